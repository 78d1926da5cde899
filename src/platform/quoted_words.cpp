#include "platform/quoted_words.h"

namespace tomeric::platform {

TQuotedWords SplitQuotedWords(const QString& text)
{
    TQuotedWords result;
    QString word;
    bool quoted = false;
    bool inWord = false; // "" is an empty word, not nothing
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c.isSpace() && !quoted) {
            if (inWord)
                result.words.append(word);
            word.clear();
            inWord = false;
        } else {
            word.append(c);
            inWord = true;
        }
    }
    if (inWord)
        result.words.append(word);
    result.balanced = !quoted;
    return result;
}

} // namespace tomeric::platform
