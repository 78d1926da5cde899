#pragma once
// Writing a document back as RTF: what a text object keeps in its text after
// a font change, and what a linked-article frame keeps when its chain is
// rebuilt. ReadRtf reads the result back into the same text, formats, links,
// bookmarks and pictures.
//
// Variable fields are written as the "[Name]" group they came from, so the
// text shows current values again once its fields are made anew; other
// fields keep their instruction and result.

#include <QByteArray>

class QTextDocument;

namespace tomeric {

// Windows-1252 RTF ("\ansicpg1252"; other characters as \uN with a "?"
// fallback).
QByteArray WriteRtf(const QTextDocument& document);

} // namespace tomeric
