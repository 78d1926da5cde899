#pragma once
// Reading the publication text "RUNTIME.PUB" into a TPublication.
//
//   TPublication publication;
//   const TReadResult result = ReadPublication(CurrentPackage(), publication,
//                                              {.screenSaverMode = mode, .progress = bar});
//   if (!result.ok) ShowStartupFailure(result.errorText);
//
// ReadPublication does the part of reading that needs no window: it finds
// the entry, streams it (raw, or through zlib when it is stored compressed)
// in 2048-byte chunks, reports progress after each chunk, builds the model,
// imposes the screen-saver values and marks the package's publication as
// read (which hides "RUNTIME.PUB" from later lookups). Showing the hourglass,
// sizing and titling the window, installing the menu, linking the linked
// articles and telling the plug-ins are the main window's steps afterwards.

#include "publication/publication_builder.h"
#include "publication/publication_model.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <functional>

namespace tomeric {

class TPackage;

// The text is read in chunks of this size; each chunk is text only up to
// its first zero byte.
inline constexpr int kPublicationChunkSize = 2048;
// A publication text larger than this is refused as lack of memory: real
// texts are a few megabytes, and a compressed entry may claim any size.
inline constexpr std::int64_t kMaxPublicationTextSize = 64LL * 1024 * 1024;

// Chunks in, publication out; for callers that stream the text themselves.
class TPublicationParser {
public:
    explicit TPublicationParser(const TParseOptions& options = {});
    TPublicationParser(const TPublicationParser&) = delete; // its line splitter points back at it
    TPublicationParser& operator=(const TPublicationParser&) = delete;
    void FeedChunk(QByteArrayView chunk); // at most kPublicationChunkSize bytes
    TPublication Finish();

private:
    struct TLineSink {
        TPublicationParser* parser;
        void operator()(QByteArrayView line) const { parser->ReadLine(line); }
    };
    void ReadLine(QByteArrayView line);

    TPublicationBuilder builder_;
    TRecentTexts recentTexts_;
    TRecord record_; // reused for every line
    TLineSplitter<TLineSink> lines_;
};

// The whole text at once, cut into chunks as the package reader does.
TPublication ParsePublicationText(QByteArrayView text, const TParseOptions& options = {});

struct TReadOptions {
    TScreenSaverMode screenSaverMode = TScreenSaverMode::ssNone;
    // Called after each chunk with the bytes read so far and the text's size.
    std::function<void(std::int64_t bytesRead, std::int64_t totalBytes)> progress;
    std::int64_t maxTextSize = kMaxPublicationTextSize;
};

struct TReadResult {
    bool ok = false;
    // On failure, the message to show: "Impossible d'ouvrir le fichier " and
    // the file name when the entry is missing, the disk read error (string
    // 213) for unreadable or damaged data, string 209 for lack of memory.
    QString errorText;
};

// Preview mode and tray application come from the package's directory.
TReadResult ReadPublication(TPackage& package, TPublication& publication,
                            const TReadOptions& options = {});

// round(bytesRead ÷ total × 100), the splash screen's bar position.
int ProgressPercent(std::int64_t bytesRead, std::int64_t totalBytes);

} // namespace tomeric
