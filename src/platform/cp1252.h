#pragma once
// Windows-1252, the 8-bit code page of publication texts, caret-markup files,
// variable files and data files. Decoded and encoded here so that the core
// depends on no codec library.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tomeric {

QString DecodeWindows1252(QByteArrayView bytes);
// The same into a buffer of at least bytes.size() units; returns the end of
// what was written. For callers that build one string from several pieces.
char16_t* DecodeWindows1252Into(QByteArrayView bytes, char16_t* out);
// The same for texts whose 0xB6 bytes ("¶") stand for line breaks: each
// becomes CR LF.
QString DecodeWindows1252WithLineBreaks(QByteArrayView bytes);

// Characters with no Windows-1252 byte become '?', as Windows' own
// best-fit-free conversion does.
QByteArray EncodeWindows1252(QStringView text);

// True when every character of the text has a Windows-1252 byte.
bool IsWindows1252(QStringView text);

} // namespace tomeric
