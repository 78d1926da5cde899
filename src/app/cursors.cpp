#include "app/cursors.h"

#include "package/package.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace tomeric {

namespace {

constexpr int kCursorDirectorySize = 6;
constexpr int kCursorEntrySize = 16;
constexpr quint16 kCursorResourceType = 2;

} // namespace

std::optional<QPoint> CursorFileHotSpot(const QByteArray& bytes)
{
    if (bytes.size() < kCursorDirectorySize + kCursorEntrySize)
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    if (qFromLittleEndian<quint16>(data) != 0 || qFromLittleEndian<quint16>(data + 2) != kCursorResourceType ||
        qFromLittleEndian<quint16>(data + 4) == 0)
        return std::nullopt;
    const uchar* entry = data + kCursorDirectorySize;
    return QPoint(qFromLittleEndian<quint16>(entry + 4), qFromLittleEndian<quint16>(entry + 6));
}

std::optional<QCursor> LoadPublicationCursor(const QString& name)
{
    if (name.isEmpty())
        return std::nullopt;
    const TResolvedFile file = ResolveFile(name);
    if (!file.ok)
        return std::nullopt;
    QFile input(file.path);
    const QByteArray bytes = input.open(QIODevice::ReadOnly) ? input.readAll() : QByteArray();
    ForgetExtracted(name);
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    if (CursorFileHotSpot(bytes))
        reader.setFormat("cur");
    const QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    const QPoint hotSpot = CursorFileHotSpot(bytes).value_or(QPoint(0, 0));
    return QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
}

} // namespace tomeric
