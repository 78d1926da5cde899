#include "richtext/rich_text_loading.h"

#include "imaging/windows_fonts.h"
#include "platform/cp1252.h"

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
