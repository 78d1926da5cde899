#pragma once
// Words of a command line in the Windows manner: blanks separate them,
// double quotes group blanks into a word and are dropped. Used for MCI
// command strings and the instructions of rich-text fields.

#include <QString>
#include <QStringList>

namespace tomeric::platform {

struct TQuotedWords {
    QStringList words;
    bool balanced = true; // false when a quote was left open
};

TQuotedWords SplitQuotedWords(const QString& text);

} // namespace tomeric::platform
