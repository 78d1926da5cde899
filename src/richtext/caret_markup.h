#pragma once
// Caret markup: the text format of ".TXT" articles. Plain Windows-1252 lines
// with two-character codes introduced by "^":
//
//   ^B ^b bold on/off        ^I ^i italic        ^U ^u underline
//   ^X ^x strike-through     ^Fn size n points   ^f size 10 points
//   ^Pn colour n (0..15)     ^p colour 0
//   ^C centre  ^G right      ^c ^g back to left (now when the line has no
//                            text yet, else from the next paragraph)
//   ^S ^T ^s ^t [n]  tab (the number is skipped)
//   ^L text = command ^l     a link showing "text" that runs "command"
//                            ("|" outside double quotes: a line break)
//   ^M name ^m               a bookmark named "name" at this place
//   ^^ a literal caret
//
// Numbers are the longest run of digits after the code, with an optional
// leading "-". The converter writes RTF that ReadRtf (and the era's RTF
// readers) load: a 16-colour table, tab stops every inch, one paragraph per
// line when word wrap is off, lines joined into paragraphs separated by empty
// lines when it is on.

#include <QByteArray>

namespace tomeric {

struct TCaretMarkupOptions {
    // On: a line end becomes a space and an empty line ends the paragraph.
    // Off: every line end is a paragraph end.
    bool wordWrap = true;
};

// Converts caret-markup text (Windows-1252 bytes, lines ended by CR LF; a
// bare LF or CR also ends a line) into RTF bytes.
QByteArray CaretMarkupToRtf(const QByteArray& text, const TCaretMarkupOptions& options = {});

} // namespace tomeric
