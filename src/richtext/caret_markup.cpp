#include "richtext/caret_markup.h"

namespace tomeric {

QByteArray CaretMarkupToRtf(const QByteArray& text, const TCaretMarkupOptions& options)
{
    return "{\\rtf1\\ansi " + text + "}";
}

} // namespace tomeric
