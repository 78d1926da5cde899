#include "imaging/metafile_records.h"

#include <cstring>

namespace tomeric {

float TMetaRecord::F32(qsizetype at) const {
    const std::uint32_t bits = U32(at);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint64_t TMetaRecord::Raw(qsizetype at, int size) const {
    if (!Has(at, size))
        return 0;
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes_[at + i]);
    return value;
}

QByteArrayView TMetaRecord::Slice(qsizetype offset, qsizetype count) const {
    if (offset < 0 || offset >= bytes_.size() || count <= 0)
        return {};
    return bytes_.sliced(offset, std::min(count, bytes_.size() - offset));
}

namespace {

struct RecordHead {
    std::uint32_t type = 0;
    qsizetype size = 0;
    bool end = false; // the end-of-file record
};

// The header of the record at `at`; nothing when its size is damaged or
// reaches past the data.
std::optional<RecordHead> HeadAt(QByteArrayView data, qsizetype at, bool emf) {
    const qsizetype headerSize = emf ? emf::kRecordHeader : wmf::kRecordHeader;
    if (at < 0 || at > data.size() - headerSize)
        return std::nullopt;
    const auto byteAt = [&](qsizetype i) { return std::uint32_t(std::uint8_t(data[at + i])); };
    const std::uint32_t first = byteAt(0) | byteAt(1) << 8 | byteAt(2) << 16 | byteAt(3) << 24;
    RecordHead head;
    if (emf) {
        head.type = first;
        head.size = qsizetype(byteAt(4) | byteAt(5) << 8 | byteAt(6) << 16 | byteAt(7) << 24);
        head.end = head.type == emf::kEof;
        if (head.size % 4 != 0)
            return std::nullopt;
    } else {
        head.size = qsizetype(first) * 2;
        head.type = byteAt(4) | byteAt(5) << 8;
        head.end = head.type == wmf::kEof;
    }
    if (head.size < headerSize || head.size > data.size() - at)
        return std::nullopt;
    return head;
}

// Walks every record up to the end-of-file record; the number of records
// before it, or nothing when a size is damaged or the end record is missing
// (the data ended first).
std::optional<qsizetype> CheckRecords(QByteArrayView data, qsizetype start, bool emf) {
    qsizetype count = 0;
    for (qsizetype at = start;; ++count) {
        const std::optional<RecordHead> head = HeadAt(data, at, emf);
        if (!head)
            return std::nullopt;
        if (head->end)
            return count;
        at += head->size;
    }
}

} // namespace

bool TMetaRecordWalker::Next(TMetaRecord& record) {
    const std::optional<RecordHead> head = HeadAt(data_, at_, emf_);
    if (!head || head->end)
        return false;
    record = TMetaRecord(head->type, data_.sliced(at_, head->size));
    at_ += head->size;
    return true;
}

std::shared_ptr<const TMetafile> LoadMetafile(const QByteArray& bytes) {
    const std::optional<TMetafileFrame> frame = ReadMetafileFrame(bytes);
    if (!frame)
        return nullptr;
    const bool emf = frame->kind == TMetafileKind::Emf;
    if (emf) {
        // The header's own count of bytes: a shorter file was cut.
        const auto byteAt = [&](qsizetype i) { return std::uint32_t(std::uint8_t(bytes[i])); };
        const std::uint32_t declared = byteAt(48) | byteAt(49) << 8 | byteAt(50) << 16
            | byteAt(51) << 24;
        if (qint64(declared) > bytes.size())
            return nullptr;
    }
    const std::optional<qsizetype> count = CheckRecords(bytes, frame->recordsStart, emf);
    if (!count)
        return nullptr;
    auto metafile = std::make_shared<TMetafile>();
    metafile->bytes = bytes;
    metafile->frame = *frame;
    metafile->recordCount = *count;
    return metafile;
}

} // namespace tomeric
