#pragma once
// The lexical layer of the RTF reader: braces, control words with their
// optional numeric parameter, control symbols, \'hh bytes, binary data and
// runs of plain text bytes. Every token is bounded by the input; nothing here
// allocates per byte.

#include <QByteArray>
#include <QByteArrayView>

namespace tomeric {

enum class TRtfTokenKind {
    End,          // no more input
    GroupStart,   // {
    GroupEnd,     // }
    ControlWord,  // \word or \wordN
    ControlSymbol,// \x for a non-letter x (\~ \- \_ \* \{ ...)
    HexByte,      // \'hh
    Text,         // a run of plain bytes (line ends removed)
    Binary,       // the data of \binN
};

struct TRtfToken {
    TRtfTokenKind kind = TRtfTokenKind::End;
    QByteArrayView word;  // control word name, or the text / binary bytes
    bool hasParameter = false;
    int parameter = 0;    // clamped to the int range
    char symbol = 0;      // control symbol, or the byte of a HexByte
};

class TRtfTokenizer {
public:
    explicit TRtfTokenizer(QByteArrayView input) : input_(input) {}

    TRtfToken Next();

    // Skips to just after the "}" that closes the group the reader is in
    // now (nested groups included). False when the input ends first.
    bool SkipGroup();

    qsizetype Position() const { return pos_; }

private:
    TRtfToken ReadControl();
    TRtfToken ReadText();

    QByteArrayView input_;
    qsizetype pos_ = 0;
    qsizetype pendingBinary_ = -1; // bytes of \binN still to hand out
};

} // namespace tomeric
