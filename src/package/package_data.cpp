// Reading the data of embedded entries: raw stored bytes, and whole entries
// copied (inflated when compressed) to a device or into memory. An entry
// whose offset or size points outside the container fails on its own; the
// rest of the package stays usable.

#include "package/package.h"

#include <QBuffer>
#include <QMutexLocker>

#include <zlib.h>

namespace tomeric {
namespace {

constexpr std::int64_t kChunk = 64 * 1024;

bool WriteAll(QIODevice& destination, const char* data, std::int64_t count) {
    while (count > 0) {
        const qint64 written = destination.write(data, count);
        if (written <= 0)
            return false;
        data += written;
        count -= written;
    }
    return true;
}

} // namespace

bool TPackage::StoredDataInBounds(const TEmbeddedEntry& entry) const {
    return container_ && entry.offset >= 0 && entry.storedSize >= 0 &&
           entry.offset + entry.storedSize <= containerSize_;
}

bool TPackage::ReadStored(std::int64_t offset, char* buffer, std::int64_t count) {
    QMutexLocker lock(&streamLock_);
    if (!container_ || !container_->seek(offset))
        return false;
    return container_->read(buffer, count) == count;
}

std::int64_t TPackage::ReadEmbeddedBytes(const QString& name, std::int64_t position,
                                         char* buffer, std::int64_t count) {
    const TEmbeddedEntry* entry = FindEmbedded(name);
    if (!entry)
        return -2;
    if (position < 0 || position >= entry->storedSize || count <= 0)
        return 0;
    if (!StoredDataInBounds(*entry))
        return -100;
    const std::int64_t available = std::min<std::int64_t>(count, entry->storedSize - position);
    return ReadStored(entry->offset + position, buffer, available) ? available : -100;
}

TPackage::CopyResult TPackage::CopyData(const TEmbeddedEntry& entry, QIODevice& destination) {
    if (!StoredDataInBounds(entry))
        return CopyResult::crReadError;
    QByteArray input(qsizetype(std::min<std::int64_t>(kChunk, entry.storedSize)),
                     Qt::Uninitialized);
    std::int64_t position = 0;

    if (!entry.IsCompressed()) {
        while (position < entry.storedSize) {
            const std::int64_t count = std::min<std::int64_t>(kChunk, entry.storedSize - position);
            if (!ReadStored(entry.offset + position, input.data(), count))
                return CopyResult::crReadError;
            if (!WriteAll(destination, input.constData(), count))
                return CopyResult::crWriteError;
            position += count;
        }
        return CopyResult::crOk;
    }

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return CopyResult::crReadError;
    QByteArray output(qsizetype(kChunk), Qt::Uninitialized);
    std::int64_t remainingOutput = entry.unpackedSize;
    CopyResult result = CopyResult::crOk;
    int status = Z_OK;
    while (remainingOutput > 0) {
        if (stream.avail_in == 0) {
            const std::int64_t count = std::min<std::int64_t>(kChunk, entry.storedSize - position);
            if (count <= 0 || !ReadStored(entry.offset + position, input.data(), count)) {
                result = CopyResult::crReadError;
                break;
            }
            position += count;
            stream.next_in = reinterpret_cast<Bytef*>(input.data());
            stream.avail_in = uInt(count);
        }
        const std::int64_t room = std::min<std::int64_t>(kChunk, remainingOutput);
        stream.next_out = reinterpret_cast<Bytef*>(output.data());
        stream.avail_out = uInt(room);
        status = inflate(&stream, Z_NO_FLUSH);
        const std::int64_t produced = room - stream.avail_out;
        if (!WriteAll(destination, output.constData(), produced)) {
            result = CopyResult::crWriteError;
            break;
        }
        remainingOutput -= produced;
        // A stream that ends (or breaks) before the unpacked size is a failure.
        if (remainingOutput > 0 && status != Z_OK) {
            result = CopyResult::crReadError;
            break;
        }
    }
    inflateEnd(&stream);
    return result;
}

bool TPackage::CopyEmbeddedTo(const TEmbeddedEntry& entry, QIODevice& destination) {
    return CopyData(entry, destination) == CopyResult::crOk;
}

TEmbeddedLoad TPackage::LoadEmbeddedToMemory(const QString& name) {
    TEmbeddedLoad load;
    const TEmbeddedEntry* entry = FindEmbedded(name);
    if (!entry)
        return load; // code 1: not embedded
    QByteArray bytes;
    // Reserve no more than the stored data could honestly produce.
    const std::int64_t plausible = entry->IsCompressed()
        ? std::min<std::int64_t>(entry->unpackedSize, std::int64_t(entry->storedSize) * 1032)
        : entry->storedSize;
    if (plausible > 0 && plausible < (std::int64_t(1) << 30))
        bytes.reserve(qsizetype(plausible));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!CopyEmbeddedTo(*entry, buffer)) {
        load.code = 2;
        return load;
    }
    buffer.close();
    load.code = 0;
    load.data = std::move(bytes);
    return load;
}

} // namespace tomeric
