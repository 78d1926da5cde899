#pragma once
// The records of a Windows metafile, read without trusting them: a metafile
// is loaded only when every record's declared size lies inside the data and
// the records end with their end-of-file record, so a truncated file or a
// record whose size was damaged is refused before anything is drawn. Inside
// a record, every read is checked against the record's own size: a field
// beyond it reads as 0 and marks the record as short.

#include "package/picture_header.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <memory>
#include <optional>

namespace tomeric {

// One record: its type (the WMF function or the EMF record type) and its
// bytes, header included.
class TMetaRecord {
public:
    TMetaRecord() = default;
    TMetaRecord(std::uint32_t type, QByteArrayView bytes) : type_(type), bytes_(bytes) {}

    std::uint32_t Type() const { return type_; }
    qsizetype Size() const { return bytes_.size(); }
    QByteArrayView Bytes() const { return bytes_; }
    // True when `count` bytes from `offset` lie inside the record.
    bool Has(qsizetype offset, qsizetype count) const {
        return offset >= 0 && count >= 0 && offset <= bytes_.size() - count;
    }
    // Little-endian reads; 0 beyond the record's end.
    std::uint8_t U8(qsizetype at) const { return Has(at, 1) ? std::uint8_t(bytes_[at]) : 0; }
    std::uint16_t U16(qsizetype at) const { return std::uint16_t(Raw(at, 2)); }
    std::int16_t S16(qsizetype at) const { return std::int16_t(Raw(at, 2)); }
    std::uint32_t U32(qsizetype at) const { return std::uint32_t(Raw(at, 4)); }
    std::int32_t S32(qsizetype at) const { return std::int32_t(Raw(at, 4)); }
    float F32(qsizetype at) const;
    // The bytes from `offset`, at most `count` of them (fewer at the end).
    QByteArrayView Slice(qsizetype offset, qsizetype count) const;

private:
    std::uint64_t Raw(qsizetype at, int size) const;

    std::uint32_t type_ = 0;
    QByteArrayView bytes_;
};

// Walks the records of a metafile whose structure was checked (TMetafile).
class TMetaRecordWalker {
public:
    TMetaRecordWalker(QByteArrayView data, qsizetype start, bool emf)
        : data_(data), at_(start), emf_(emf) {}
    // The next record; false at the end-of-file record or a damaged record.
    bool Next(TMetaRecord& record);

private:
    QByteArrayView data_;
    qsizetype at_;
    bool emf_;
};

// A metafile whose records were checked: its bytes, frame and record count.
struct TMetafile {
    QByteArray bytes;
    TMetafileFrame frame;
    qsizetype recordCount = 0;
    bool IsEmf() const { return frame.kind == TMetafileKind::Emf; }
    TMetaRecordWalker Records() const {
        return TMetaRecordWalker(bytes, frame.recordsStart, IsEmf());
    }
};

// Checks the header and every record's size; nothing when the data is no
// metafile, is truncated, or a record's size is damaged.
std::shared_ptr<const TMetafile> LoadMetafile(const QByteArray& bytes);

// Record types and functions the players and the checks name.
namespace wmf {
inline constexpr std::uint32_t kEof = 0x0000;
inline constexpr qsizetype kRecordHeader = 6; // size (words, 32 bits) + function
} // namespace wmf
namespace emf {
inline constexpr std::uint32_t kHeader = 1;
inline constexpr std::uint32_t kEof = 14;
inline constexpr qsizetype kRecordHeader = 8; // type + size (bytes)
} // namespace emf

} // namespace tomeric
