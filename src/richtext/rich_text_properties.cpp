#include "richtext/rich_text_properties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

namespace tomeric {
namespace {

// Shown by a variable field whose value is empty, so the field keeps a
// character to carry it.
constexpr QChar kEmptyFieldMark(0x200B);

// A run of characters sharing one id property (a link or a field).
struct Span {
    int start = 0;
    int length = 0;
    QTextCharFormat format;
    QString text;
};

// Consecutive fragments of one block whose format has the same non-zero
// value of `idProperty` form one span.
QList<Span> SpansOf(const QTextDocument& document, int idProperty)
{
    QList<Span> spans;
    int openId = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        openId = 0;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const int id = format.intProperty(idProperty);
            if (id == 0) {
                openId = 0;
                continue;
            }
            if (id == openId && !spans.isEmpty()) {
                spans.last().length += fragment.length();
                spans.last().text += fragment.text();
            } else {
                spans.append({fragment.position(), fragment.length(), format, fragment.text()});
            }
            openId = id;
        }
    }
    return spans;
}

// The format of the character that starts at `position` (a cursor after it
// reports it; the piece table finds it without walking the block).
QTextCharFormat FormatAt(const QTextDocument& document, int position)
{
    if (position < 0 || position >= document.characterCount() - 1)
        return {};
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    if (cursor.atBlockStart())
        return {}; // the character is a paragraph end
    return cursor.charFormat();
}

TRichLink LinkOf(const Span& span)
{
    TRichLink link;
    link.start = span.start;
    link.length = span.length;
    link.text = span.text;
    link.command = span.format.stringProperty(rtpLinkCommand);
    link.kind = TRichLinkKind(span.format.intProperty(rtpLinkKind));
    return link;
}

// Shown text of a field value: never empty, never more than one paragraph.
QString FieldDisplay(QString value)
{
    value.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    value.replace(u'\r', QChar::LineSeparator);
    value.replace(u'\n', QChar::LineSeparator);
    return value.isEmpty() ? QString(kEmptyFieldMark) : value;
}

int MaxProperty(const QTextDocument& document, int property)
{
    int highest = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            highest = std::max(highest, it.fragment().charFormat().intProperty(property));
    return highest;
}

// The outermost "[...]" groups of a text as (first, last) index pairs,
// nested brackets matched; a "[" that never closes is plain text, so groups
// inside it still count.
QList<std::pair<qsizetype, qsizetype>> BracketPairs(const QString& text)
{
    QList<std::pair<qsizetype, qsizetype>> pairs;
    std::vector<qsizetype> open;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'[') {
            open.push_back(i);
        } else if (text[i] == u']' && !open.empty()) {
            pairs.append({open.back(), i});
            open.pop_back();
        }
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

// The block's ranges that may not become part of a new field (fields,
// hidden or protected text, pictures), in order.
QList<std::pair<int, int>> ExcludedRanges(const QTextBlock& block)
{
    QList<std::pair<int, int>> ranges;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        if (format.intProperty(rtpFieldId) != 0 || format.boolProperty(rtpHiddenText) ||
            format.boolProperty(rtpProtected) || format.isImageFormat())
            ranges.append({fragment.position(), fragment.position() + fragment.length()});
    }
    return ranges;
}

bool Overlaps(const QList<std::pair<int, int>>& ranges, int start, int end)
{
    // The first range ending after `start` is the only one that can overlap
    // first; ranges are disjoint and sorted.
    const auto found = std::upper_bound(ranges.begin(), ranges.end(), start,
                                        [](int value, const std::pair<int, int>& range) {
                                            return value < range.second;
                                        });
    return found != ranges.end() && found->first < end;
}

bool NameMatches(const QString& fieldName, const QString& only)
{
    if (only.isEmpty())
        return true;
    return fieldName == only || fieldName.contains(u'[' + only + u']');
}

} // namespace

QString LinkCommandAt(const QTextDocument& document, int position)
{
    return FormatAt(document, position).stringProperty(rtpLinkCommand);
}

std::optional<TRichLink> LinkAt(const QTextDocument& document, int position)
{
    const int id = FormatAt(document, position).intProperty(rtpLinkId);
    if (id == 0)
        return std::nullopt;
    for (const Span& span : SpansOf(document, rtpLinkId))
        if (position >= span.start && position < span.start + span.length)
            return LinkOf(span);
    return std::nullopt;
}

QList<TRichLink> Links(const QTextDocument& document)
{
    QList<TRichLink> links;
    for (const Span& span : SpansOf(document, rtpLinkId))
        links.append(LinkOf(span));
    return links;
}

std::optional<int> BookmarkPosition(const QTextDocument& document, const QString& name)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QStringList names = it.fragment().charFormat().property(rtpBookmarks).toStringList();
            if (names.contains(name, Qt::CaseInsensitive))
                return it.fragment().position();
        }
        const QStringList atEnd = block.blockFormat().property(rtpBlockEndBookmarks).toStringList();
        if (atEnd.contains(name, Qt::CaseInsensitive))
            return block.position() + block.length() - 1;
    }
    return std::nullopt;
}

QStringList Bookmarks(const QTextDocument& document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            names += it.fragment().charFormat().property(rtpBookmarks).toStringList();
        names += block.blockFormat().property(rtpBlockEndBookmarks).toStringList();
    }
    return names;
}

int CreateVariableFields(QTextDocument& document,
                         const std::function<QString(const QString& upperName)>& valueOf)
{
    int nextId = MaxProperty(document, rtpFieldId) + 1;
    int made = 0;
    QTextCursor editBlock(&document);
    editBlock.beginEditBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        // Groups are found left to right, then replaced right to left so that
        // the positions found stay valid.
        const QList<std::pair<int, int>> excluded = ExcludedRanges(block);
        QList<std::pair<qsizetype, qsizetype>> groups;
        qsizetype coveredUntil = -1;
        for (const auto& [first, last] : BracketPairs(text)) {
            if (first <= coveredUntil || last - first < 2)
                continue;
            const int start = block.position() + int(first);
            if (Overlaps(excluded, start, block.position() + int(last) + 1))
                continue;
            groups.append({first, last});
            coveredUntil = last;
        }
        for (auto group = groups.crbegin(); group != groups.crend(); ++group) {
            const QString source = text.mid(group->first, group->second - group->first + 1);
            const QString name = source.mid(1, source.size() - 2).toUpper();
            const int start = block.position() + int(group->first);
            QTextCharFormat format = FormatAt(document, start);
            format.setProperty(rtpVariableName, name);
            format.setProperty(rtpFieldId, nextId++);
            format.setProperty(rtpFieldSource, source);
            QTextCursor cursor(&document);
            cursor.setPosition(start);
            cursor.setPosition(start + int(source.size()), QTextCursor::KeepAnchor);
            cursor.insertText(FieldDisplay(valueOf ? valueOf(name) : QString()), format);
            ++made;
        }
    }
    editBlock.endEditBlock();
    return made;
}

int RefreshVariableFields(QTextDocument& document,
                          const std::function<QString(const QString& upperName)>& valueOf,
                          const QString& onlyUpperName)
{
    const QString only = onlyUpperName.toUpper();
    const QList<Span> spans = SpansOf(document, rtpFieldId);
    int updated = 0;
    QTextCursor editBlock(&document);
    editBlock.beginEditBlock();
    for (auto span = spans.crbegin(); span != spans.crend(); ++span) {
        const QString name = span->format.stringProperty(rtpVariableName);
        if (name.isEmpty() || !NameMatches(name, only))
            continue;
        ++updated;
        const QString shown = FieldDisplay(valueOf ? valueOf(name) : QString());
        if (shown == span->text)
            continue;
        QTextCursor cursor(&document);
        cursor.setPosition(span->start);
        cursor.setPosition(span->start + span->length, QTextCursor::KeepAnchor);
        cursor.insertText(shown, span->format);
    }
    editBlock.endEditBlock();
    return updated;
}

QStringList VariableFieldNames(const QTextDocument& document)
{
    QStringList names;
    for (const Span& span : SpansOf(document, rtpFieldId)) {
        const QString name = span.format.stringProperty(rtpVariableName);
        if (!name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QString VisiblePlainText(const QTextDocument& document, int from, int to)
{
    if (from > to)
        std::swap(from, to);
    QString text;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        if (block.position() > from)
            text += QStringLiteral("\r\n");
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.boolProperty(rtpHiddenText) || format.boolProperty(rtpProtected))
                continue;
            const int start = std::max(from, fragment.position());
            const int end = std::min(to, fragment.position() + fragment.length());
            if (end <= start)
                continue;
            for (const QChar c : fragment.text().mid(start - fragment.position(), end - start)) {
                if (c == kEmptyFieldMark || c == QChar::ObjectReplacementCharacter)
                    continue;
                if (c == QChar::LineSeparator)
                    text += QStringLiteral("\r\n");
                else
                    text += c;
            }
        }
    }
    return text;
}

QString VisiblePlainText(const QTextCursor& selection)
{
    if (!selection.document())
        return {};
    return VisiblePlainText(*selection.document(), selection.selectionStart(),
                            selection.selectionEnd());
}

} // namespace tomeric
