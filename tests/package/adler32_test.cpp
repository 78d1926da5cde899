// The quick checksum against zlib's, for the lengths around its block and
// reduction sizes, the bytes that overflow first (all 0xFF), and any way of
// cutting the data into pieces.

#include "package/adler32.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <zlib.h>

namespace tomeric {
namespace {

std::uint32_t ZlibAdler32(const QByteArray& bytes) {
    return std::uint32_t(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()),
                                 uInt(bytes.size())));
}

std::uint32_t InPieces(const QByteArray& bytes, qsizetype piece) {
    std::uint32_t sum = kAdler32Start;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        sum = UpdateAdler32(sum, QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    return sum;
}

TEST(Adler32, MatchesZlibForEveryLengthContentAndCut) {
    QRandomGenerator random(20261210);
    const qsizetype lengths[] = {0, 1, 31, 32, 33, 5535, 5536, 5552, 5553, 65536, 300001};
    for (const char fill : {'\xFF', '\0', '\x7F'}) {
        for (const qsizetype length : lengths) {
            QByteArray bytes(length, fill);
            if (fill == '\x7F')
                for (char& c : bytes) c = char(random.bounded(256));
            const std::uint32_t expected = ZlibAdler32(bytes);
            for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(2048), qsizetype(1) << 30}) {
                if (piece == 1 && length > 6000) continue; // a byte at a time only where it is quick
                EXPECT_EQ(InPieces(bytes, piece), expected)
                    << "length " << length << ", fill " << int(fill) << ", pieces of " << piece;
            }
        }
    }
}

} // namespace
} // namespace tomeric
