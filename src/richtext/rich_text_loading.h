#pragma once
// Loading text the way the text controls do, in automatic-detection mode:
// RTF when the text starts with "{\rtf", else plain text whose lines become
// paragraphs in the options' default font, size and colour.

#include "richtext/rtf_reader.h"

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace tomeric {

// Bytes as read from a file (plain text in Windows-1252). Returns false only
// for damaged RTF; the document then keeps what could be read.
bool LoadRichOrPlainText(const QByteArray& bytes, QTextDocument& document,
                         const TRtfReadOptions& options = {}, QString* error = nullptr);

// Text as the publication holds it (a text object's TEXT=): RTF is read from
// its Windows-1252 bytes, characters outside that code page as \uN.
bool LoadRichOrPlainText(const QString& text, QTextDocument& document,
                         const TRtfReadOptions& options = {}, QString* error = nullptr);

// Puts a font on the whole text (an article's OverrideFont, SetObjectFont on
// a text object): family and size always; the style bits (TFontStyleBits:
// bold, italic, underline, strike-out) only with `withStyle`. Links stay
// underlined. The document's default font follows.
void ApplyFontToWholeText(QTextDocument& document, const QString& family, double pointSize,
                          int styleBits, bool withStyle);

// RTF bytes for RTF held as a QString (the inverse of decoding it as
// Windows-1252; other characters become \uN escapes).
QByteArray RtfBytesOf(const QString& rtf);

} // namespace tomeric
