#include "objects/text_content.h"

#include "actions/action_eval.h"
#include "objects/tomeric_obj.h"
#include "platform/cp1252.h"
#include "richtext/caret_markup.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_reader.h"
#include "vars/variables.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include <vector>

namespace tomeric {
namespace {

const QChar kPilcrow(0x00B6); // "¶": a line break in scripts

TRtfReadOptions ReadOptions(const TTextLook& look)
{
    TRtfReadOptions options;
    options.defaultFontFamily = look.font.family();
    options.defaultFontPointSize = look.fontPoints > 0 ? look.fontPoints : 8;
    options.defaultTextColor = look.textColour;
    options.linkColor = look.linkColour;
    return options;
}

void PrepareEmpty(QTextDocument& document, const TTextLook& look)
{
    document.clear();
    document.setDocumentMargin(0);
    document.setDefaultFont(look.font);
}

void LoadPlain(QTextDocument& document, const QString& text, const TTextLook& look)
{
    PrepareEmpty(document, look);
    // Windows line ends (and a lone CR) end paragraphs like LF does.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    document.setPlainText(lines);
}

void LoadRtf(QTextDocument& document, const QByteArray& rtf, const TTextLook& look)
{
    PrepareEmpty(document, look);
    // A damaged text keeps what was read before the damage.
    ReadRtf(rtf, document, ReadOptions(look));
    document.setDocumentMargin(0);
}

bool HasHtmlExtension(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == QLatin1String("htm") || suffix == QLatin1String("html");
}

bool LooksLikeHtml(const QByteArray& bytes)
{
    const QByteArray head = bytes.left(512).trimmed().toLower();
    return head.startsWith("<!doctype html") || head.startsWith("<html");
}

QString StripBrackets(const QString& bracketed)
{
    if (bracketed.size() >= 2 && bracketed.startsWith(u'[') && bracketed.endsWith(u']'))
        return bracketed.mid(1, bracketed.size() - 2);
    return bracketed;
}

struct TFragmentFormat {
    int start = 0;
    int length = 0;
    QTextCharFormat format;
};

} // namespace

TTextFormat FileTextFormat(const QString& fileName, const QByteArray& bytes)
{
    if (fileName.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return TTextFormat::CaretMarkup;
    if (LooksLikeRtf(bytes))
        return TTextFormat::Rtf;
    if (HasHtmlExtension(fileName) || LooksLikeHtml(bytes))
        return TTextFormat::Html;
    return TTextFormat::Plain;
}

void LoadDocument(QTextDocument& document, const QByteArray& bytes, TTextFormat format,
                  const TTextLook& look)
{
    switch (format) {
    case TTextFormat::CaretMarkup: {
        TCaretMarkupOptions options;
        options.wordWrap = look.wordWrap;
        LoadRtf(document, CaretMarkupToRtf(bytes, options), look);
        return;
    }
    case TTextFormat::Rtf:
        LoadRtf(document, bytes, look);
        return;
    case TTextFormat::Html:
        PrepareEmpty(document, look);
        document.setHtml(QString::fromUtf8(bytes));
        document.setDocumentMargin(0);
        return;
    case TTextFormat::Plain:
        LoadPlain(document, DecodeWindows1252(bytes), look);
        return;
    }
}

void LoadCaption(QTextDocument& document, const QString& text, const TTextLook& look)
{
    if (text.trimmed().startsWith(QLatin1String("{\\rtf")))
        LoadRtf(document, EncodeWindows1252(text), look);
    else
        LoadPlain(document, text, look);
}

void ApplyFontToAll(QTextDocument& document, const QFont& font, bool withStyle)
{
    document.setDefaultFont(font);
    // Rewritten fragment by fragment (not merged) so that an explicit point
    // size from the text gives way to the font's pixel size.
    std::vector<TFragmentFormat> fragments;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            format.clearProperty(QTextFormat::FontPointSize);
            format.clearProperty(QTextFormat::FontPixelSize);
            format.clearProperty(QTextFormat::FontSizeAdjustment);
            format.setFontFamilies(QStringList{font.family()});
            if (font.pixelSize() > 0)
                format.setProperty(QTextFormat::FontPixelSize, font.pixelSize());
            else
                format.setFontPointSize(font.pointSizeF());
            if (withStyle) {
                format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
                format.setFontItalic(font.italic());
                format.setFontStrikeOut(font.strikeOut());
                // Links keep their underline: it is what marks them.
                if (!format.hasProperty(rtpLinkCommand))
                    format.setFontUnderline(font.underline());
            }
            fragments.push_back({fragment.position(), fragment.length(), format});
        }
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const TFragmentFormat& fragment : fragments) {
        cursor.setPosition(fragment.start);
        cursor.setPosition(fragment.start + fragment.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(fragment.format);
    }
    cursor.endEditBlock();
}

QString FieldValue(const QString& upperName)
{
    return SubstituteVars(QLatin1Char('[') + upperName + QLatin1Char(']'));
}

int MakeVariableFields(QTextDocument& document)
{
    NoteVariableInterestChanged();
    return CreateVariableFields(document, FieldValue);
}

// The rule RefreshFields matches fields by, ignoring case, so that it never
// answers false where a refresh would change something.
bool FieldsShowVariable(const QTextDocument& document, const QString& bracketedUpper)
{
    if (bracketedUpper.isEmpty())
        return false;
    const QString name = StripBrackets(bracketedUpper);
    const QString inner = u'[' + name + u']';
    for (const QString& field : VariableFieldNames(document))
        if (field.compare(name, Qt::CaseInsensitive) == 0 || field.contains(inner, Qt::CaseInsensitive))
            return true;
    return false;
}

int RefreshFields(QTextDocument& document, const QString& bracketedUpper)
{
    if (bracketedUpper.isEmpty())
        return RefreshVariableFields(document, FieldValue);
    return RefreshVariableFields(document, FieldValue, StripBrackets(bracketedUpper));
}

bool IsLinkCharacter(const QTextDocument& document, int position)
{
    return !LinkCommandAt(document, position).isEmpty();
}

void FollowLink(TTomericObj& object, const QTextDocument& document, int position,
                const std::function<void(const QString& bookmark)>& jump)
{
    const std::optional<TRichLink> link = LinkAt(document, position);
    if (!link || link->command.isEmpty())
        return;
    SetVariable(QStringLiteral("[HyperlinkClickedText]"), link->text);
    if (link->command.startsWith(u':')) {
        if (jump)
            jump(link->command.mid(1).trimmed());
        return;
    }
    QString script = link->command;
    script.replace(kPilcrow, QStringLiteral("\r\n"));
    object.RunObjectAction(script, ekLinkClicked, 0);
}

std::optional<QTextCursor> FindInDocument(const QTextDocument& document, const QString& text,
                                          int from, bool includeLinkCommands, bool caseSensitive)
{
    if (text.isEmpty())
        return std::nullopt;
    const QTextDocument::FindFlags flags =
        caseSensitive ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
    std::optional<QTextCursor> found;
    const QTextCursor visible = document.find(text, std::max(0, from), flags);
    if (!visible.isNull())
        found = visible;
    if (!includeLinkCommands)
        return found;
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (const TRichLink& link : Links(document)) {
        if (link.start < from || (found && link.start >= found->selectionStart()))
            continue;
        if (!link.command.contains(text, sensitivity))
            continue;
        QTextCursor cursor(const_cast<QTextDocument*>(&document));
        cursor.setPosition(link.start);
        cursor.setPosition(link.start + link.length, QTextCursor::KeepAnchor);
        found = cursor;
        break;
    }
    return found;
}

std::optional<QTextCursor> FindWildcard(const QTextDocument& document, const QString& pattern, int from)
{
    QStringList parts = pattern.split(u'*');
    for (QString& part : parts)
        part = QRegularExpression::escape(part);
    const QRegularExpression expression(parts.join(QStringLiteral(".*")),
                                        QRegularExpression::CaseInsensitiveOption);
    if (QString(pattern).remove(u'*').isEmpty() || !expression.isValid())
        return std::nullopt;
    const QTextCursor found = document.find(expression, std::max(0, from));
    if (found.isNull() || !found.hasSelection())
        return std::nullopt;
    return found;
}

QStringList LinkCommands(const QTextDocument& document)
{
    QStringList commands;
    for (const TRichLink& link : Links(document))
        commands << link.command;
    return commands;
}

std::optional<TFindMatch> FindWildcardMatch(const QTextDocument& document, const QString& pattern, int from)
{
    const std::optional<QTextCursor> found = FindWildcard(document, pattern, from);
    if (!found)
        return std::nullopt;
    TFindMatch match;
    match.position = found->selectionStart();
    match.length = found->selectionEnd() - found->selectionStart();
    match.next = found->selectionEnd();
    return match;
}

QString SelectionPlainText(const QTextCursor& selection)
{
    return VisiblePlainText(selection);
}

} // namespace tomeric
