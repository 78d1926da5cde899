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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
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

// What TLineSplitter keeps between chunks, and its steps that do not
// depend on where lines go.
class TLineSplitterState {
protected:
    enum class TLineEnd { leUnknown, leCrLf, leLf };

    // The chunk up to its first zero byte.
    static QByteArrayView TextOf(QByteArrayView chunk);
    bool DecideLineEnd(QByteArrayView chunk);
    // The byte in front of chunk[at], which may be the last pending one.
    char ByteBefore(QByteArrayView chunk, qsizetype at) const {
        if (at > 0) return chunk[at - 1];
        return pending_.isEmpty() ? '\0' : pending_.back();
    }
    // The pending start of a line completed by chunk[0, lineEnd); -1: the
    // CR ending the line was the last pending byte.
    void CompletePending(QByteArrayView chunk, qsizetype lineEnd);

    QByteArray pending_; // a line that spans chunks, up to the current one
    TLineEnd lineEnd_ = TLineEnd::leUnknown;
};

// Splits chunks into lines; each complete line goes to the sink, a callable
// taking QByteArrayView. Lines are cut straight from the chunk; only a line
// that spans two chunks is gathered in `pending_`.
template <class Sink>
class TLineSplitter : private TLineSplitterState {
public:
    explicit TLineSplitter(Sink sink) : sink_(std::move(sink)) {}

    // One chunk as read from the stream; only the bytes before its first
    // zero byte are text.
    // Lines end at CR LF. A text whose first line break is a bare LF (saved
    // by a Unix tool) ends its lines at LF instead.
    void FeedChunk(QByteArrayView chunk) {
        chunk = TextOf(chunk);
        if (lineEnd_ == TLineEnd::leUnknown && !DecideLineEnd(chunk)) {
            pending_.append(chunk);
            return;
        }
        qsizetype lineStart = 0;
        ForEachLineFeed(chunk, [&](qsizetype lf) {
            qsizetype lineEnd = lf;
            if (lineEnd_ == TLineEnd::leCrLf) {
                if (ByteBefore(chunk, lf) != '\r') return; // a lone LF is text
                lineEnd = lf - 1; // -1: the CR ended the previous chunk
            }
            if (pending_.isEmpty()) {
                sink_(chunk.sliced(lineStart, lineEnd - lineStart));
            } else {
                CompletePending(chunk, lineEnd);
                sink_(QByteArrayView(pending_));
                pending_.resize(0); // keeps its capacity for the next straddling line
            }
            lineStart = lf + 1;
        });
        pending_.append(chunk.sliced(lineStart));
    }

    // Hands on the last line when the text does not end with CR LF.
    void Finish() {
        if (!pending_.isEmpty()) sink_(QByteArrayView(pending_));
        pending_.clear();
    }

private:
    // Calls found(i) for each LF at bytes[i], in order: sixteen bytes are
    // searched at once, without a call per line.
    template <class Found>
    static void ForEachLineFeed(QByteArrayView bytes, Found&& found) {
        const char* const data = bytes.data();
        const qsizetype size = bytes.size();
        qsizetype at = 0;
#if defined(__SSE2__)
        const __m128i lineFeed = _mm_set1_epi8('\n');
        for (; size - at >= 16; at += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
            for (unsigned hits = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lineFeed))); hits != 0;
                 hits &= hits - 1)
                found(at + __builtin_ctz(hits));
        }
#endif
        for (; at < size; ++at)
            if (data[at] == '\n') found(at);
    }

    Sink sink_;
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
