#include "platform/cp1252.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tomeric {
namespace {

// Bytes 0x80..0x9F; the five undefined positions map to the C1 control of
// the same value, as Windows' MultiByteToWideChar does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Every byte's character: the bytes below 0x80 and from 0xA0 up are their
// Latin-1 characters.
constexpr std::array<char16_t, 256> kCharacters = [] {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[b] = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b);
    return table;
}();

constexpr unsigned char kLineBreakMark = 0xB6;

// One byte, at `out`; returns the end of what was written. With
// `LineBreaks`, the mark byte stands for CR LF.
template <bool LineBreaks>
char16_t* DecodeByte(unsigned char byte, char16_t* out) {
    if (LineBreaks && byte == kLineBreakMark) {
        out[0] = u'\r';
        out[1] = u'\n';
        return out + 2;
    }
    *out = kCharacters[byte];
    return out + 1;
}

template <bool LineBreaks>
char16_t* DecodeBytes(const unsigned char* in, qsizetype count, char16_t* out) {
    for (qsizetype i = 0; i < count; ++i) out = DecodeByte<LineBreaks>(in[i], out);
    return out;
}

// Texts are mostly ASCII: sixteen bytes are widened at once, and only from
// the first byte with its high bit set is the block taken again. A block
// with many such bytes (accented text) goes through the table as a whole.
// Widening always writes sixteen units: while sixteen bytes are left, the
// text has room for them.
template <bool LineBreaks>
char16_t* DecodeAsciiRuns(const unsigned char* in, qsizetype count, char16_t* out) {
    const unsigned char* const end = in + count;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (end - in >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
        const unsigned high = unsigned(_mm_movemask_epi8(block));
        if (high == 0) {
            in += 16, out += 16;
        } else if (const unsigned rest = high & (high - 1); (rest & (rest - 1)) != 0) { // three or more
            out = DecodeBytes<LineBreaks>(in, 16, out);
            in += 16;
        } else {
            const int ascii = __builtin_ctz(high);
            in += ascii, out += ascii;
            out = DecodeByte<LineBreaks>(*in++, out);
        }
    }
#endif
    return DecodeBytes<LineBreaks>(in, end - in, out);
}

qsizetype CountLineBreakMarks(const unsigned char* in, qsizetype count) {
    const unsigned char* const end = in + count;
    qsizetype marks = 0;
#if defined(__SSE2__)
    // Each block's matches (0xFF) are subtracted from byte counters, which
    // are summed before they can overflow.
    const __m128i mark = _mm_set1_epi8(char(kLineBreakMark));
    while (end - in >= 16) {
        __m128i counters = _mm_setzero_si128();
        for (int blocks = 0; blocks < 255 && end - in >= 16; ++blocks, in += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(block, mark));
        }
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        marks += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
#endif
    for (; in < end; ++in) marks += *in == kLineBreakMark;
    return marks;
}

const unsigned char* Bytes(QByteArrayView bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

int ByteFor(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return int(0x80 + i);
    return -1;
}

} // namespace

QString DecodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    DecodeWindows1252Into(bytes, reinterpret_cast<char16_t*>(text.data()));
    return text;
}

char16_t* DecodeWindows1252Into(QByteArrayView bytes, char16_t* out) {
    return DecodeAsciiRuns<false>(Bytes(bytes), bytes.size(), out);
}

QString DecodeWindows1252WithLineBreaks(QByteArrayView bytes) {
    const qsizetype marks = CountLineBreakMarks(Bytes(bytes), bytes.size());
    if (marks == 0) return DecodeWindows1252(bytes);
    // Each mark becomes two characters: the text is built once, at its size.
    QString text(bytes.size() + marks, Qt::Uninitialized);
    DecodeAsciiRuns<true>(Bytes(bytes), bytes.size(), reinterpret_cast<char16_t*>(text.data()));
    return text;
}

QByteArray EncodeWindows1252(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = ByteFor(text[i].unicode());
        bytes[i] = b < 0 ? '?' : char(b);
    }
    return bytes;
}

bool IsWindows1252(QStringView text) {
    for (QChar c : text)
        if (ByteFor(c.unicode()) < 0)
            return false;
    return true;
}

} // namespace tomeric
