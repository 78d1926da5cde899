#pragma once
// The keys text of SendKeys, turned into presses and releases. The text is
// first rewritten (PrepareSendKeys): characters outside ASCII are typed as
// themselves, "%", "(", ")", "+" and "^" of the text are literal, and the
// words {SHIFTDN} ... {ALTUP} become the modifier groups "+(" ... ")". Then
// "+", "^", "%" hold Shift, Ctrl, Alt for the next key or a "( )" group,
// "~" is Enter, and braces name a key ({TAB}, {F5}, {TAB 3}) or a character.
// Where the keys go is the caller's business (X test extension for another
// program, Qt key events for the player itself).

#include <QList>
#include <QString>

namespace tomeric {

struct TKeyStroke {
    enum TKind { ksTap, ksDown, ksUp };
    TKind Kind = ksTap;
    int Key = 0;     // a Qt::Key for named keys and modifiers; 0 for a character
    QChar Character; // the character to type when Key is 0
    bool Keypad = false; // the key of the numeric keypad ({N0}..{N9})
};

struct TKeySequence {
    QList<TKeyStroke> Strokes;
    int Error = 0; // 0, or the evaluator's code: invalid key, missing "}"
};

// The rewriting step before typing.
QString PrepareSendKeys(const QString& keys);
// The prepared text as strokes, or the error that stops the command.
TKeySequence ParseSendKeys(const QString& preparedKeys);

} // namespace tomeric
