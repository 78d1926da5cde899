#include "publication/record_reader.h"

#include "platform/cp1252.h"

#include <QRegularExpression>
#include <QSet>

namespace tomeric {
namespace {

constexpr QChar kParagraphMark(0x00B6);
constexpr QByteArrayView kLineEnd("\r\n");

bool IsBlank(QChar c) { return c.unicode() <= 0x20; }

QStringView TrimBlanks(QStringView text) {
    qsizetype first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.mid(first, last - first);
}

std::optional<std::uint64_t> ParseDigits(QStringView digits, int base) {
    if (digits.isEmpty()) return std::nullopt;
    std::uint64_t value = 0;
    for (QChar c : digits) {
        const int digit = c.isDigit() ? c.unicode() - '0'
                          : (base == 16 && c.toLower() >= u'a' && c.toLower() <= u'f')
                              ? c.toLower().unicode() - 'a' + 10
                              : -1;
        if (digit < 0 || digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    return value;
}

} // namespace

// ---- lines --------------------------------------------------------------------

void TLineSplitter::FeedChunk(QByteArrayView chunk) {
    const qsizetype zero = chunk.indexOf('\0');
    if (zero >= 0) chunk = chunk.first(zero);
    // A CR LF may straddle two chunks: search from the last pending byte.
    qsizetype searchFrom = pending_.isEmpty() ? 0 : pending_.size() - 1;
    pending_.append(chunk);
    qsizetype lineStart = 0;
    for (;;) {
        const qsizetype end = QByteArrayView(pending_).indexOf(kLineEnd, searchFrom);
        if (end < 0) break;
        sink_(QByteArrayView(pending_).sliced(lineStart, end - lineStart));
        lineStart = end + 2;
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
    QString keyText;
    if (marker) {
        keyText = TrimBlanks(DecodeWindows1252(line)).toString();
    } else {
        keyText = TrimBlanks(DecodeWindows1252(line.first(equals))).toString() + u'=';
    }
    const TKeyInfo* info = FindKey(keyText);
    if (!info) return std::nullopt;

    TRecord record;
    record.key = info;
    record.tag = info->tag;
    record.text = marker ? keyText : DecodeWindows1252(line.sliced(equals + 1));
    if (record.text.isEmpty()) return std::nullopt;

    switch (info->type) {
    case TKeyType::ktyInteger:
        record.integer = ParseFormatInteger(record.text);
        break;
    case TKeyType::ktyYesNo:
        record.yesNo = record.text.compare(u"Yes", Qt::CaseInsensitive) == 0;
        break;
    case TKeyType::ktyTextPara:
        record.text = RestoreLineBreaks(std::move(record.text));
        break;
    case TKeyType::ktyText:
    case TKeyType::ktyMarker:
        break;
    }
    return record;
}

std::optional<std::int32_t> ParseFormatInteger(QStringView text) {
    QStringView body = TrimBlanks(text);
    bool negative = false;
    if (!body.isEmpty() && (body[0] == u'-' || body[0] == u'+')) {
        negative = body[0] == u'-';
        body = body.sliced(1);
    }
    std::optional<std::uint64_t> magnitude;
    if (body.startsWith(u'$')) {
        magnitude = ParseDigits(body.sliced(1), 16);
    } else if (body.startsWith(u"0x", Qt::CaseInsensitive)) {
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

QString RestoreLineBreaks(QString text) {
    if (text.contains(kParagraphMark)) text.replace(kParagraphMark, QStringLiteral("\r\n"));
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
