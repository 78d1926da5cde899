#pragma once
// The Adler-32 checksum that ends every zlib stream, computed sixteen bytes
// at a time. zlib's own is one byte at a time and cost more than the
// inflating itself; readers that inflate raw and check the stream's last
// four bytes against this one read the same data in about half the time.
//
//   std::uint32_t sum = kAdler32Start;
//   for (each piece) sum = UpdateAdler32(sum, piece);
//   if (sum != stored) damaged();

#include <QByteArrayView>

#include <cstdint>

namespace tomeric {

inline constexpr std::uint32_t kAdler32Start = 1;

// The checksum of what `adler` covered followed by `bytes`; equal to
// zlib's adler32() for any split of the data.
std::uint32_t UpdateAdler32(std::uint32_t adler, QByteArrayView bytes);

} // namespace tomeric
