#pragma once
// The line level of the publication text: chunks of bytes become CR LF
// lines, lines become typed records through the key table.
//
//  - The text arrives in chunks (2048 bytes from the package); each chunk is
//    taken only up to its first zero byte.
//  - Lines end at CR LF pairs; a lone CR or LF stays inside the line; a final
//    line without CR LF counts.
//  - A line without "=" is a marker whose key (and value) is the line with
//    surrounding blanks removed. Otherwise the key is the text before the
//    first "=" with surrounding blanks removed, followed by "=", and the value
//    is everything after that "=", unchanged ("x = 5" -> "X=", " 5").
//  - Unknown keys and empty values give no record.
//  - Bytes are Windows-1252; 0xB6 (U+00B6) in text¶ values becomes CR LF.

#include "publication/key_table.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tomeric {

// Text values as the parser last decoded them, one per key. A value equal
// to the last one of its key (the same font or hint on every object) shares
// that text instead of being decoded into a new one.
class TRecentTexts {
public:
    QString Decode(const TKeyInfo& key, QByteArrayView value);

private:
    struct TEntry {
        QByteArray bytes; // the value as written
        QString text;
    };
    std::vector<TEntry> byKey_; // indexed by the key's row in the key table
};

// One decoded line of the text.
struct TRecord {
    const TKeyInfo* key = nullptr;
    TKeyTag tag = ktNone;
    // Integer keys: the number, or nothing when the value is not a valid
    // integer (the record is then skipped by every integer property).
    std::optional<std::int32_t> integer;
    // Yes/No keys: true only for "Yes" in any case.
    bool yesNo = false;
    // Text keys: the value as it stands (text¶ keys with their line breaks
    // restored); markers: the marker text. Integer and Yes/No keys leave it
    // empty: their value is read from the bytes. While `textPending`, the
    // value is still only in `rawValue`: Text() and TakeText() decode it.
    QString text;
    // The value's bytes (Windows-1252) as they stand in the line; they belong
    // to the line and are valid only while the record is being applied.
    QByteArrayView rawValue;
    // Set by records that decode text values only when a structure takes
    // them: most values the page objects' classes skip are never decoded.
    TRecentTexts* recentTexts = nullptr;
    bool textPending = false;

    // The text value, decoded now if it was pending.
    const QString& Text();
    // The same, moved out of the record, which is spent afterwards.
    QString TakeText();
};

// Splits chunks into lines; each complete line goes to the sink.
class TLineSplitter {
public:
    using Sink = std::function<void(QByteArrayView line)>;
    explicit TLineSplitter(Sink sink) : sink_(std::move(sink)) {}

    // One chunk as read from the stream; only the bytes before its first
    // zero byte are text.
    void FeedChunk(QByteArrayView chunk);
    // Lines end at CR LF. A text whose first line break is a bare LF (saved
    // by a Unix tool) ends its lines at LF instead.
    // Hands on the last line when the text does not end with CR LF.
    void Finish();

private:
    enum class TLineEnd { leUnknown, leCrLf, leLf };

    bool DecideLineEnd(QByteArrayView chunk);
    char ByteBefore(QByteArrayView chunk, qsizetype at) const;
    void HandOn(QByteArrayView chunk, qsizetype lineStart, qsizetype lineEnd);

    Sink sink_;
    QByteArray pending_;
    TLineEnd lineEnd_ = TLineEnd::leUnknown;
};

// The record of one line; nothing for unknown keys and empty values.
std::optional<TRecord> DecodeRecord(QByteArrayView line);
// The same into a record kept from line to line, which spares building and
// freeing one per line; false (and the record unchanged) when the line
// gives none. A record with `recentTexts` leaves its text pending.
bool DecodeRecordInto(QByteArrayView line, TRecord& record);

// A signed integer as the format writes it: optional blanks around it, an
// optional sign, decimal digits (or "$"/"0x" followed by hexadecimal digits).
// Values up to 4294967295 are taken modulo 2^32, so colours written unsigned
// still read. Anything else, or an empty text, gives nothing.
std::optional<std::int32_t> ParseFormatInteger(QStringView text);
std::optional<std::int32_t> ParseFormatInteger(QByteArrayView text);

// Windows-1252 bytes to text with every 0xB6 turned into CR LF, in one pass.
QString DecodeWithLineBreaks(QByteArrayView bytes);

// A bracketed variable reference made from a name as the author wrote it:
// "[" in front and "]" at the end when missing, then one more "]" (or "["
// in front) when the brackets inside do not balance. Empty stays empty.
QString NormalizeBoundVarName(const QString& name);
// The same made from a record's text value, which is spent afterwards.
QString TakeBoundVarName(TRecord& record);

// One palette entry.
struct TPaletteEntry {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const TPaletteEntry&) const = default;
};
using TPalette = std::array<TPaletteEntry, 256>;

// PAGEPALETTE= value: up to 256 colour integers (0x00BBGGRR), each followed
// by one blank. A missing entry, a number not followed by a blank and a
// number that does not parse give black.
TPalette ParsePalette(QStringView value);

// EMBEDDEDFILES= value: name=path pairs separated by "¶". Pairs without "="
// are skipped; a name met again (ignoring case) keeps its first path.
QList<QPair<QString, QString>> ParseEmbeddedFileList(const QString& value);

// Lines of an action text (CR LF, CR or LF separated) that begin with ":"
// name a subroutine: the rest of the line.
QStringList SubroutineNames(const QString& subroutineAction);

} // namespace tomeric
