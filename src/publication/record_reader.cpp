#include "publication/record_reader.h"

#include "platform/cp1252.h"

#include <QRegularExpression>
#include <QSet>

namespace tomeric {
namespace {

constexpr QChar kParagraphMark(0x00B6);
constexpr QByteArrayView kLineEnd("\r\n");

char16_t Unit(QChar c) { return c.unicode(); }
char16_t Unit(char c) { return static_cast<unsigned char>(c); }

template <class View>
View TrimBlanks(View text) {
    qsizetype first = 0, last = text.size();
    while (first < last && Unit(text[first]) <= 0x20) ++first;
    while (last > first && Unit(text[last - 1]) <= 0x20) --last;
    return text.sliced(first, last - first);
}

template <class View>
std::optional<std::uint64_t> ParseDigits(View digits, int base) {
    if (digits.isEmpty()) return std::nullopt;
    std::uint64_t value = 0;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const char16_t c = Unit(digits[i]);
        const int digit = (c >= '0' && c <= '9')   ? c - '0'
                          : (base == 16 && c >= 'a' && c <= 'f') ? c - 'a' + 10
                          : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                                 : -1;
        if (digit < 0 || digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return value;
}

template <class View>
std::optional<std::int32_t> ParseInteger(View text) {
    View body = TrimBlanks(text);
    bool negative = false;
    if (!body.isEmpty() && (Unit(body[0]) == '-' || Unit(body[0]) == '+')) {
        negative = Unit(body[0]) == '-';
        body = body.sliced(1);
    }
    std::optional<std::uint64_t> magnitude;
    if (!body.isEmpty() && Unit(body[0]) == '$') {
        magnitude = ParseDigits(body.sliced(1), 16);
    } else if (body.size() >= 2 && Unit(body[0]) == '0' && (Unit(body[1]) == 'x' || Unit(body[1]) == 'X')) {
        magnitude = ParseDigits(body.sliced(2), 16);
    } else {
        magnitude = ParseDigits(body, 10);
    }
    if (!magnitude) return std::nullopt;
    if (negative) {
        if (*magnitude > 0x80000000ull) return std::nullopt;
        return std::int32_t(-std::int64_t(*magnitude));
    }
    return std::int32_t(std::uint32_t(*magnitude));
}

bool IsYes(QByteArrayView value) {
    return value.size() == 3 && (value[0] | 0x20) == 'y' && (value[1] | 0x20) == 'e' &&
           (value[2] | 0x20) == 's';
}

} // namespace

// ---- lines --------------------------------------------------------------------

void TLineSplitter::FeedChunk(QByteArrayView chunk) {
    const qsizetype zero = chunk.indexOf('\0');
    if (zero >= 0) chunk = chunk.first(zero);
    // A CR LF may straddle two chunks: search from the last pending byte.
    qsizetype searchFrom = pending_.isEmpty() ? 0 : pending_.size() - 1;
    pending_.append(chunk);
    if (lineEnd_ == TLineEnd::leUnknown) {
        // The first line break decides: a text written on Windows keeps its
        // CR LF rule (a bare LF or CR inside a line is text); a text whose
        // first break is a bare LF was saved by a Unix tool and breaks at LF.
        const qsizetype firstLf = QByteArrayView(pending_).indexOf('\n');
        if (firstLf < 0) return;
        lineEnd_ = firstLf > 0 && pending_[firstLf - 1] == '\r' ? TLineEnd::leCrLf : TLineEnd::leLf;
        searchFrom = 0;
    }
    const QByteArrayView separator = lineEnd_ == TLineEnd::leCrLf ? kLineEnd : QByteArrayView("\n");
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype end = QByteArrayView(pending_).indexOf(separator, searchFrom);
        if (end < 0) break;
        sink_(QByteArrayView(pending_).sliced(lineStart, end - lineStart));
        lineStart = end + separator.size();
        searchFrom = lineStart;
    }
    if (lineStart > 0) pending_.remove(0, lineStart);
}

void TLineSplitter::Finish() {
    if (!pending_.isEmpty()) sink_(QByteArrayView(pending_));
    pending_.clear();
}

// ---- records ------------------------------------------------------------------

std::optional<TRecord> DecodeRecord(QByteArrayView line) {
    const qsizetype equals = line.indexOf('=');
    const bool marker = equals < 0;
    const QByteArrayView keyBytes = TrimBlanks(marker ? line : line.first(equals));
    const TKeyInfo* info = FindKey(keyBytes, !marker);
    if (!info) return std::nullopt;
    const QByteArrayView value = marker ? keyBytes : line.sliced(equals + 1);
    if (value.isEmpty()) return std::nullopt;

    TRecord record;
    record.key = info;
    record.tag = info->tag;
    record.rawValue = value;
    switch (info->type) {
    case TKeyType::ktyInteger: record.integer = ParseInteger(value); break;
    case TKeyType::ktyYesNo: record.yesNo = IsYes(value); break;
    case TKeyType::ktyTextPara: record.text = DecodeWithLineBreaks(value); break;
    case TKeyType::ktyText:
    case TKeyType::ktyMarker: record.text = DecodeWindows1252(value); break;
    }
    return record;
}

std::optional<std::int32_t> ParseFormatInteger(QStringView text) { return ParseInteger(text); }
std::optional<std::int32_t> ParseFormatInteger(QByteArrayView text) { return ParseInteger(text); }

QString DecodeWithLineBreaks(QByteArrayView bytes) {
    QString decoded = DecodeWindows1252(bytes);
    qsizetype mark = decoded.indexOf(kParagraphMark);
    if (mark < 0) return decoded;
    // Each mark becomes two characters: build the result once, at its size.
    QString text;
    text.reserve(decoded.size() + bytes.count('\xB6'));
    qsizetype from = 0;
    for (; mark >= 0; mark = decoded.indexOf(kParagraphMark, from)) {
        text.append(QStringView(decoded).sliced(from, mark - from));
        text.append(QLatin1String("\r\n"));
        from = mark + 1;
    }
    text.append(QStringView(decoded).sliced(from));
    return text;
}

QString NormalizeBoundVarName(const QString& name) {
    if (name.isEmpty()) return name;
    QString result = name;
    if (!result.startsWith(u'[')) result.prepend(u'[');
    if (!result.endsWith(u']')) result.append(u']');
    const qsizetype opening = result.count(u'[');
    const qsizetype closing = result.mid(1).count(u']');
    if (closing < opening) result.append(u']');
    else if (closing > opening) result.prepend(u'[');
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
