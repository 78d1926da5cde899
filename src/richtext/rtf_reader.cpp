#include "richtext/rtf_reader.h"

#include <QTextDocument>

namespace tomeric {

bool LooksLikeRtf(const QByteArray& bytes)
{
    return bytes.trimmed().startsWith("{\\rtf");
}

bool ReadRtf(const QByteArray& rtf, QTextDocument& document, const TRtfReadOptions& options,
             QString* error)
{
    document.setPlainText(QString::fromLatin1(rtf));
    return true;
}

} // namespace tomeric
