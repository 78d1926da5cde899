#pragma once
// Checks made on every pass of a loop over the short texts of parameters
// and variable keys. They are a few characters long, and a plain scan costs
// less on them than the library's search, which is made for long texts.

#include <QStringView>

namespace tomeric {

inline bool HasChar(QStringView text, char16_t c)
{
    for (const QChar x : text)
        if (x.unicode() == c)
            return true;
    return false;
}

inline bool StartsWithChar(QStringView text, char16_t c)
{
    return !text.isEmpty() && text.front().unicode() == c;
}

// True when the text holds a "[" or a "]".
inline bool HasBracket(QStringView text)
{
    for (const QChar x : text)
        if (x.unicode() == u'[' || x.unicode() == u']')
            return true;
    return false;
}

} // namespace tomeric
