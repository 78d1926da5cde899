#include "publication/record_reader.h"

#include "platform/cp1252.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <bit>
#include <cstring>
#include <type_traits>

namespace tomeric {
namespace {

constexpr QChar kParagraphMark(0x00B6);

char16_t Unit(QChar c) { return c.unicode(); }
char16_t Unit(char c) { return static_cast<unsigned char>(c); }

template <class View>
View TrimBlanks(View text) {
    qsizetype first = 0, last = text.size();
    while (first < last && Unit(text[first]) <= 0x20) ++first;
    while (last > first && Unit(text[last - 1]) <= 0x20) --last;
    return text.sliced(first, last - first);
}

// Each ASCII character's value as a hexadecimal digit; 0xFF for the others.
constexpr std::array<std::uint8_t, 128> kHexDigitValues = [] {
    std::array<std::uint8_t, 128> values{};
    values.fill(0xFF);
    for (int c = '0'; c <= '9'; ++c) values[c] = std::uint8_t(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) values[c] = std::uint8_t(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) values[c] = std::uint8_t(c - 'A' + 10);
    return values;
}();

template <unsigned Base>
unsigned DigitValue(char16_t c) {
    if constexpr (Base == 10) return unsigned(c) - '0'; // wraps above 9 for the others
    else return c < kHexDigitValues.size() ? kHexDigitValues[c] : 0xFF;
}

// With the base known at compile time the common decimal case is a
// subtraction, a comparison and a multiply-add per digit.
template <unsigned Base, class View>
std::optional<std::uint64_t> ParseDigits(View digits) {
    if (digits.isEmpty()) return std::nullopt;
    std::uint64_t value = 0;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const unsigned digit = DigitValue<Base>(Unit(digits[i]));
        if (digit >= Base) return std::nullopt;
        value = value * Base + digit;
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return value;
}

// Most values are plain decimal numbers of a few digits ("X=120"): read
// straight when every byte is a digit; nothing when they are not.
inline std::optional<std::int32_t> ParsePlainDecimal(QByteArrayView text) {
    // Empty, or long enough to overflow: the general way decides.
    if (text.isEmpty() || text.size() > 9) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        const unsigned digit = unsigned(static_cast<unsigned char>(c)) - '0';
        if (digit > 9) return std::nullopt;
        value = value * 10 + digit;
    }
    return std::int32_t(value);
}

template <class View>
std::optional<std::int32_t> ParseInteger(View text) {
    if constexpr (std::is_same_v<View, QByteArrayView>) {
        if (const auto plain = ParsePlainDecimal(text)) return plain;
    }
    View body = TrimBlanks(text);
    bool negative = false;
    if (!body.isEmpty() && (Unit(body[0]) == '-' || Unit(body[0]) == '+')) {
        negative = Unit(body[0]) == '-';
        body = body.sliced(1);
    }
    std::optional<std::uint64_t> magnitude;
    if (!body.isEmpty() && Unit(body[0]) == '$') {
        magnitude = ParseDigits<16>(body.sliced(1));
    } else if (body.size() >= 2 && Unit(body[0]) == '0' && (Unit(body[1]) == 'x' || Unit(body[1]) == 'X')) {
        magnitude = ParseDigits<16>(body.sliced(2));
    } else {
        magnitude = ParseDigits<10>(body);
    }
    if (!magnitude) return std::nullopt;
    if (negative) {
        if (*magnitude > 0x80000000ull) return std::nullopt;
        return std::int32_t(-std::int64_t(*magnitude));
    }
    return std::int32_t(std::uint32_t(*magnitude));
}

// The first `byte` at or after `from`, or -1. Straight to memchr: lines are
// short, so the general view search's set-up would cost more than the search.
qsizetype FindByte(QByteArrayView bytes, char byte, qsizetype from = 0) {
    if (from >= bytes.size()) return -1;
    const void* found = std::memchr(bytes.data() + from, byte, std::size_t(bytes.size() - from));
    return found ? static_cast<const char*>(found) - bytes.data() : -1;
}

// A text or marker value: text¶ keys with their line breaks restored.
QString DecodeText(const TKeyInfo& key, QByteArrayView value) {
    if (key.type == TKeyType::ktyTextPara) return DecodeWindows1252WithLineBreaks(value);
    return DecodeWindows1252(value);
}

bool IsYes(QByteArrayView value) {
    return value.size() == 3 && (value[0] | 0x20) == 'y' && (value[1] | 0x20) == 'e' &&
           (value[2] | 0x20) == 's';
}

// The key of a line by the general rules: blanks around the key go; a
// line without "=" is a marker, its own (trimmed) text the value.
const TKeyInfo* FindKeyByGeneralRules(QByteArrayView line, QByteArrayView& value) {
    const qsizetype equals = FindByte(line, '=');
    const bool marker = equals < 0;
    const QByteArrayView keyBytes = TrimBlanks(marker ? line : line.first(equals));
    value = marker ? keyBytes : line.sliced(equals + 1);
    return FindKey(keyBytes, !marker);
}

static_assert(std::endian::native == std::endian::little, "key bytes are read as little-endian numbers");

constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;

// Up to eight bytes at `bytes` (`available` of them may be read) as one
// number, byte i in bits 8i to 8i+7; zero beyond them.
// Four to seven bytes are two overlapping four-byte reads.
inline std::uint64_t LoadUpTo8(const char* bytes, qsizetype available) {
    if (available >= 8) {
        std::uint64_t loaded;
        std::memcpy(&loaded, bytes, 8);
        return loaded;
    }
    if (available >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, bytes, 4);
        std::memcpy(&high, bytes + available - 4, 4);
        return low | std::uint64_t(high) << (8 * (available - 4));
    }
    std::uint64_t loaded = 0;
    for (qsizetype i = 0; i < available; ++i)
        loaded |= std::uint64_t(static_cast<std::uint8_t>(bytes[i])) << (8 * i);
    return loaded;
}

// The high bit of each byte of `word` that is "=" (and maybe of bytes after
// the first such one, which are never looked at).
std::uint64_t EqualsSigns(std::uint64_t word) {
    const std::uint64_t x = word ^ ('=' * kEveryByte);
    return (x - kEveryByte) & ~x & (0x80 * kEveryByte);
}

// The first `count` bytes of a word.
std::uint64_t FirstBytes(std::uint64_t word, qsizetype count) {
    if (count <= 0) return 0;
    if (count >= 8) return word;
    return word & ((std::uint64_t(1) << (8 * count)) - 1);
}

// Lines as the authoring tool writes them ("KEY=value", "MARKER") have no
// blanks around a key of at most sixteen characters: its first sixteen
// bytes are read as two numbers, in which the "=" is found and the name
// folded for the look-up without a pass per byte. Anything else (blanks to
// trim, a longer key or marker) goes to the general rules.
const TKeyInfo* FindLineKey(QByteArrayView line, QByteArrayView& value) {
    const char* name = line.data();
    const qsizetype size = line.size();
    const std::uint64_t first = LoadUpTo8(name, size);
    std::uint64_t second = 0; // read only for names beyond eight characters, the fewer
    TFoldedKey key;
    qsizetype length = 0;
    key.withEquals = true;
    if (const std::uint64_t signs = EqualsSigns(first)) {
        length = std::countr_zero(signs) / 8;
    } else {
        if (size > 8) second = LoadUpTo8(name + 8, size - 8);
        if (const std::uint64_t signs = EqualsSigns(second)) length = 8 + std::countr_zero(signs) / 8;
        else if (size <= 16) length = size, key.withEquals = false; // a marker
        else return FindKeyByGeneralRules(line, value);
    }
    if (length == 0 || static_cast<std::uint8_t>(name[0]) <= 0x20 ||
        static_cast<std::uint8_t>(name[length - 1]) <= 0x20)
        return FindKeyByGeneralRules(line, value);
    key.head[0] = FoldAsciiCase8(FirstBytes(first, length));
    if (length > 8) key.head[1] = FoldAsciiCase8(FirstBytes(second, length - 8));
    key.length = std::size_t(length);
    value = key.withEquals ? line.sliced(length + 1) : line;
    return FindFoldedKey(key, name);
}

} // namespace

// ---- lines --------------------------------------------------------------------

QByteArrayView TLineSplitterState::TextOf(QByteArrayView chunk) {
    const qsizetype zero = FindByte(chunk, '\0');
    return zero >= 0 ? chunk.first(zero) : chunk;
}

// The first line break decides: a text written on Windows keeps its CR LF
// rule (a bare LF or CR inside a line is text); a text whose first break is
// a bare LF was saved by a Unix tool and breaks at LF. False while no break
// has come.
bool TLineSplitterState::DecideLineEnd(QByteArrayView chunk) {
    const qsizetype firstLf = FindByte(chunk, '\n');
    if (firstLf < 0) return false;
    lineEnd_ = ByteBefore(chunk, firstLf) == '\r' ? TLineEnd::leCrLf : TLineEnd::leLf;
    return true;
}

void TLineSplitterState::CompletePending(QByteArrayView chunk, qsizetype lineEnd) {
    if (lineEnd < 0) pending_.chop(1);
    else pending_.append(chunk.first(lineEnd));
}

// ---- records ------------------------------------------------------------------

bool DecodeRecordInto(QByteArrayView line, TRecord& record) {
    QByteArrayView value;
    const TKeyInfo* info = FindLineKey(line, value);
    if (!info || value.isEmpty()) return false;

    record.key = info;
    record.tag = info->tag;
    record.rawValue = value;
    record.integer.reset();
    record.yesNo = false;
    record.textPending = false;
    switch (info->type) {
    case TKeyType::ktyInteger:
        record.integer = ParsePlainDecimal(value); // most numbers, without the general rules' call
        if (!record.integer) record.integer = ParseInteger(value);
        record.text.clear();
        break;
    case TKeyType::ktyYesNo:
        record.yesNo = IsYes(value);
        record.text.clear();
        break;
    case TKeyType::ktyTextPara:
    case TKeyType::ktyText:
    case TKeyType::ktyMarker:
        if (record.recentTexts) record.textPending = true;
        else record.text = DecodeText(*info, value);
        break;
    }
    return true;
}

const QString& TRecord::Text() {
    if (textPending) {
        text = recentTexts->Decode(*key, rawValue);
        textPending = false;
    }
    return text;
}

QString TRecord::TakeText() {
    if (textPending) {
        textPending = false;
        return recentTexts->Decode(*key, rawValue);
    }
    return std::move(text);
}

// A text is kept only once its value has come twice in a row: a key whose
// values differ every time (names, scripts) hands its new texts on without
// the reference counting that sharing costs.
QString TRecentTexts::Decode(const TKeyInfo& key, QByteArrayView value) {
    const std::size_t row = std::size_t(&key - KeyTable().rows);
    if (byKey_.empty()) byKey_.resize(std::size_t(KeyTable().count));
    TEntry& last = byKey_[row];
    const bool repeated = last.bytes.size() == value.size() &&
                          std::memcmp(last.bytes.constData(), value.data(), std::size_t(value.size())) == 0;
    if (repeated) {
        if (last.text.isNull()) last.text = DecodeText(key, value);
        return last.text;
    }
    last.bytes.resize(value.size());
    std::memcpy(last.bytes.data(), value.data(), std::size_t(value.size()));
    if (!last.text.isNull()) last.text = QString();
    return DecodeText(key, value);
}

std::optional<TRecord> DecodeRecord(QByteArrayView line) {
    TRecord record;
    if (!DecodeRecordInto(line, record)) return std::nullopt;
    return record;
}

std::optional<std::int32_t> ParseFormatInteger(QStringView text) { return ParseInteger(text); }
std::optional<std::int32_t> ParseFormatInteger(QByteArrayView text) { return ParseInteger(text); }

QString DecodeWithLineBreaks(QByteArrayView bytes) { return DecodeWindows1252WithLineBreaks(bytes); }

QString TakeBoundVarName(TRecord& record) {
    const QByteArrayView bytes = record.rawValue;
    if (!record.textPending || record.key->type != TKeyType::ktyText || FindByte(bytes, '[') >= 0 ||
        FindByte(bytes, ']') >= 0)
        return NormalizeBoundVarName(record.TakeText());
    // The usual bare name gets its brackets in the one text it is decoded into.
    QString name(bytes.size() + 2, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(name.data());
    *out++ = u'[';
    *DecodeWindows1252Into(bytes, out) = u']';
    record.textPending = false;
    return name;
}

QString NormalizeBoundVarName(const QString& name) {
    if (name.isEmpty()) return name;
    int openingsInFront = name.startsWith(u'[') ? 0 : 1;
    int closingsAtEnd = name.endsWith(u']') ? 0 : 1;
    // The first character, always an opening bracket by now, is not counted
    // among the closing ones.
    const qsizetype opening = name.count(u'[') + openingsInFront;
    const qsizetype closing = name.count(u']') + closingsAtEnd;
    if (closing < opening) ++closingsAtEnd;
    else if (closing > opening) ++openingsInFront;
    if (openingsInFront == 0 && closingsAtEnd == 0) return name;
    QString result;
    result.reserve(name.size() + openingsInFront + closingsAtEnd);
    for (int i = 0; i < openingsInFront; ++i) result.append(u'[');
    result.append(name);
    for (int i = 0; i < closingsAtEnd; ++i) result.append(u']');
    return result;
}

TPalette ParsePalette(QStringView value) {
    TPalette palette{};
    qsizetype position = 0;
    for (TPaletteEntry& entry : palette) {
        const qsizetype blank = value.indexOf(u' ', position);
        if (blank < 0) break; // missing entries and a number without its blank: black
        if (const auto colour = ParseFormatInteger(value.sliced(position, blank - position))) {
            const auto rgb = std::uint32_t(*colour);
            entry = {std::uint8_t(rgb & 0xFF), std::uint8_t(rgb >> 8 & 0xFF),
                     std::uint8_t(rgb >> 16 & 0xFF)};
        }
        position = blank + 1;
    }
    return palette;
}

QList<QPair<QString, QString>> ParseEmbeddedFileList(const QString& value) {
    QList<QPair<QString, QString>> pairs;
    QSet<QString> seen;
    for (const QString& item : value.split(kParagraphMark, Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf(u'=');
        if (equals < 0) continue;
        const QString name = item.first(equals);
        if (seen.contains(name.toCaseFolded())) continue;
        seen.insert(name.toCaseFolded());
        pairs.append({name, item.sliced(equals + 1)});
    }
    return pairs;
}

QStringList SubroutineNames(const QString& subroutineAction) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList names;
    for (const QString& line : subroutineAction.split(lineBreak)) {
        if (line.startsWith(u':')) names.append(line.sliced(1));
    }
    return names;
}

} // namespace tomeric
