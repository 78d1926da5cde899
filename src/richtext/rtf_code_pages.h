#pragma once
// Code pages of RTF text: \ansicpgN names the document's, a font's
// \fcharsetN its own. Windows-1252 is decoded here; other code pages through
// Qt's converters where the Qt build has them, else as Windows-1252.

#include <QByteArrayView>
#include <QString>

namespace tomeric {

// Windows' number for the Symbol font's "code page": its bytes are signs and
// Greek letters, decoded to their Unicode characters.
constexpr int kSymbolCodePage = 42;

// The Windows code page of a font character set; 0 for "the document's".
int CodePageOfCharset(int charset);

// Decodes bytes of a code page (a whole run, so double-byte code pages see
// both bytes of a character).
QString DecodeCodePage(QByteArrayView bytes, int codePage);

// True when the bytes of the code page map one to one onto characters (such
// runs can be decoded byte by byte).
bool IsSingleByteCodePage(int codePage);

} // namespace tomeric
