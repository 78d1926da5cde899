#pragma once
// Words that are numbers: menu positions, window handles, process ids.

#include <QStringView>

namespace tomeric::platform {

// True for a non-empty run of digits only: no sign, blank or decimal symbol.
inline bool AllDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!c.isDigit())
            return false;
    return true;
}

} // namespace tomeric::platform
