#pragma once
// Byte-level constants and helpers of the package layout, shared by the
// reader and the writer.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace tomeric::package_format {

// The package block starts with reserved bytes the player never reads.
inline constexpr std::int64_t kReservedSize = 213;
// P + 213: int32 D; P + 217: the zlib stream of the directory.
inline constexpr std::int64_t kDirectoryOffset = kReservedSize + 4;

// zlib cannot expand data by more than about 1032:1; a directory size that
// the remaining bytes could never produce is a damaged or hostile container.
// The absolute cap keeps a huge file from claiming a huge directory.
inline constexpr std::int64_t kMaxDirectorySize = 256 * 1024 * 1024;
inline std::int64_t MaxInflatedSize(std::int64_t compressedBytes) {
    const std::int64_t bound = compressedBytes * 1032 + 64;
    return bound < kMaxDirectorySize ? bound : kMaxDirectorySize;
}

inline std::int32_t ReadInt32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::int32_t(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                        std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
}
inline std::uint16_t ReadUInt16(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint16_t(b[0] | b[1] << 8);
}

inline void AppendInt32(QByteArray& out, std::int32_t value) {
    const auto v = std::uint32_t(value);
    const char bytes[4] = {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF),
                           char(v >> 24 & 0xFF)};
    out.append(bytes, 4);
}
inline void AppendUInt8(QByteArray& out, std::uint8_t value) { out.append(char(value)); }
// A str16 of already encoded bytes; longer texts are cut at 65535 bytes.
inline void AppendStr16Bytes(QByteArray& out, const QByteArray& bytes) {
    const qsizetype length = bytes.size() < 0xFFFF ? bytes.size() : 0xFFFF;
    out.append(char(length & 0xFF));
    out.append(char(length >> 8 & 0xFF));
    out.append(bytes.constData(), length);
}

} // namespace tomeric::package_format
