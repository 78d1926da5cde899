#include "richtext/rich_text_loading.h"

#include "imaging/windows_fonts.h"
#include "platform/cp1252.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_tables.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace tomeric {
namespace {

void LoadPlainText(const QString& text, QTextDocument& document, const TRtfReadOptions& options)
{
    document.clear();
    InstallFontSubstitutes();
    QFont font(options.defaultFontFamily);
    font.setPointSizeF(options.defaultFontPointSize > 0 ? options.defaultFontPointSize : 10.0);
    document.setDefaultFont(font);
    QTextCharFormat format;
    format.setFontFamilies(QStringList{options.defaultFontFamily});
    format.setFontPointSize(font.pointSizeF());
    if (options.defaultTextColor.isValid())
        format.setForeground(options.defaultTextColor);
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(u'\r', u'\n');
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.setCharFormat(format);
    cursor.setBlockCharFormat(format);
    const QStringList lines = normalised.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock(QTextBlockFormat(), format);
        cursor.insertText(lines[i], format);
    }
    cursor.endEditBlock();
}

} // namespace

void ApplyFontToWholeText(QTextDocument& document, const QString& family, double pointSize,
                          int styleBits, bool withStyle)
{
    InstallFontSubstitutes();
    QFont font = document.defaultFont();
    font.setFamilies(QStringList{family});
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    if (pointSize > 0)
        format.setFontPointSize(pointSize);
    if (withStyle) {
        format.setFontWeight(styleBits & fsBold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(styleBits & fsItalic);
        format.setFontUnderline(styleBits & fsUnderline);
        format.setFontStrikeOut(styleBits & fsStrikeOut);
        font.setBold(styleBits & fsBold);
        font.setItalic(styleBits & fsItalic);
        font.setUnderline(styleBits & fsUnderline);
        font.setStrikeOut(styleBits & fsStrikeOut);
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(format);
    cursor.mergeBlockCharFormat(format);
    if (withStyle) {
        QTextCharFormat underline;
        underline.setFontUnderline(true);
        for (const TRichLink& link : Links(document)) {
            QTextCursor range(&document);
            range.setPosition(link.start);
            range.setPosition(link.start + link.length, QTextCursor::KeepAnchor);
            range.mergeCharFormat(underline);
        }
    }
    cursor.endEditBlock();
    document.setDefaultFont(font);
    FitTableRowHeights(document); // rows with a height fit the new text
}

QByteArray RtfBytesOf(const QString& rtf)
{
    QByteArray bytes;
    bytes.reserve(rtf.size());
    for (const QChar c : rtf) {
        if (IsWindows1252(QStringView(&c, 1))) {
            bytes.append(EncodeWindows1252(QStringView(&c, 1)));
        } else {
            bytes.append("\\u");
            bytes.append(QByteArray::number(qint16(c.unicode())));
            bytes.append('?');
        }
    }
    return bytes;
}

bool LoadRichOrPlainText(const QByteArray& bytes, QTextDocument& document,
                         const TRtfReadOptions& options, QString* error)
{
    if (LooksLikeRtf(bytes))
        return ReadRtf(bytes, document, options, error);
    LoadPlainText(DecodeWindows1252(bytes), document, options);
    if (error)
        error->clear();
    return true;
}

bool LoadRichOrPlainText(const QString& text, QTextDocument& document,
                         const TRtfReadOptions& options, QString* error)
{
    if (text.trimmed().startsWith(QStringLiteral("{\\rtf")))
        return ReadRtf(RtfBytesOf(text), document, options, error);
    LoadPlainText(text, document, options);
    if (error)
        error->clear();
    return true;
}

} // namespace tomeric
