#include "publication/publication_reader.h"

#include "package/adler32.h"
#include "package/package.h"
#include "platform/paths.h"
#include "platform/string_table.h"

#include <zlib.h>

#include <cmath>
#include <new>

namespace tomeric {
namespace {

constexpr std::int64_t kStoredBlockSize = 16 * 1024;

// A read that cannot go on; carries the message to show.
struct TReadFailure {
    QString message;
};

TReadFailure DiskReadError() { return {Message(msgDiskReadError)}; }

class TEntryStreamer {
public:
    TEntryStreamer(TPackage& package, const TEmbeddedEntry& entry, TPublicationParser& parser,
                   const TReadOptions& options)
        : package_(package), entry_(entry), parser_(parser), options_(options),
          total_(entry.DataSize()) {}

    void Run() {
        if (entry_.IsCompressed()) Inflate();
        else CopyRaw();
    }

private:
    void Deliver(const char* data, std::int64_t size) {
        parser_.FeedChunk(QByteArrayView(data, size));
        delivered_ += size;
        if (options_.progress) options_.progress(delivered_, total_);
    }

    std::int64_t ReadStored(std::int64_t position, char* buffer, std::int64_t count) {
        const std::int64_t got = package_.ReadEmbeddedBytes(entry_.name, position, buffer, count);
        if (got <= 0) throw DiskReadError();
        return got;
    }

    void CopyRaw() {
        char chunk[kPublicationChunkSize];
        while (delivered_ < total_) {
            const std::int64_t wanted = std::min<std::int64_t>(kPublicationChunkSize, total_ - delivered_);
            std::int64_t filled = 0;
            while (filled < wanted) filled += ReadStored(delivered_ + filled, chunk + filled, wanted - filled);
            Deliver(chunk, filled);
        }
    }

    // The entry is a zlib stream: a two-byte header, the deflate data and the
    // Adler-32 of the text. The data is inflated raw and its checksum
    // computed here, where it is quicker than zlib's own (adler32.h); the
    // header and the checksum are checked as zlib checks them.
    // The text is the entry's unpacked size: a stream that ends early is
    // damaged; bytes beyond that size are not part of the text.
    void Inflate() {
        if (total_ <= 0) return;
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw TReadFailure{Message(msgOutOfMemory)};
        struct TEnd {
            z_stream* s;
            ~TEnd() { inflateEnd(s); }
        } end{&stream};

        input_.resize(kStoredBlockSize);
        ReadZlibHeader(stream);
        std::uint32_t checksum = kAdler32Start;
        char chunk[kPublicationChunkSize];
        bool streamEnded = false;
        while (delivered_ < total_) {
            if (streamEnded) throw DiskReadError();
            const std::int64_t wanted = std::min<std::int64_t>(kPublicationChunkSize, total_ - delivered_);
            stream.next_out = reinterpret_cast<Bytef*>(chunk);
            stream.avail_out = uInt(wanted);
            while (stream.avail_out > 0 && !streamEnded) {
                if (stream.avail_in == 0) RefillInput(stream);
                const int status = inflate(&stream, Z_NO_FLUSH);
                if (status == Z_STREAM_END) streamEnded = true;
                else if (status == Z_MEM_ERROR) throw TReadFailure{Message(msgOutOfMemory)};
                else if (status != Z_OK && status != Z_BUF_ERROR) throw DiskReadError();
            }
            const std::int64_t produced = wanted - stream.avail_out;
            if (produced < wanted) throw DiskReadError();
            checksum = UpdateAdler32(checksum, QByteArrayView(chunk, produced));
            if (streamEnded) CheckStoredChecksum(stream, checksum);
            Deliver(chunk, produced);
        }
    }

    // The next block of stored bytes as zlib's input; running out of them
    // while the stream still needs some is damage.
    void RefillInput(z_stream& stream) {
        const std::int64_t left = entry_.storedSize - storedPosition_;
        if (left <= 0) throw DiskReadError();
        const std::int64_t got =
            ReadStored(storedPosition_, input_.data(), std::min<std::int64_t>(kStoredBlockSize, left));
        storedPosition_ += got;
        stream.next_in = reinterpret_cast<Bytef*>(input_.data());
        stream.avail_in = uInt(got);
    }

    std::uint8_t TakeInputByte(z_stream& stream) {
        if (stream.avail_in == 0) RefillInput(stream);
        --stream.avail_in;
        return *stream.next_in++;
    }

    // Deflate (method 8) with a window of at most 32 KB, the check bits
    // right and no preset dictionary, which the format never uses.
    void ReadZlibHeader(z_stream& stream) {
        const unsigned method = TakeInputByte(stream);
        const unsigned flags = TakeInputByte(stream);
        const bool valid = (method << 8 | flags) % 31 == 0 && (method & 0x0F) == Z_DEFLATED &&
                           (method >> 4) + 8 <= MAX_WBITS && (flags & 0x20) == 0;
        if (!valid) throw DiskReadError();
    }

    // The four bytes after the deflate data are the text's checksum, most
    // significant first. An entry whose stored bytes end before them is
    // still read: the text itself is whole.
    void CheckStoredChecksum(z_stream& stream, std::uint32_t checksum) {
        std::uint32_t stored = 0;
        for (int i = 0; i < 4; ++i) {
            if (stream.avail_in == 0 && storedPosition_ >= entry_.storedSize) return;
            stored = stored << 8 | TakeInputByte(stream);
        }
        if (stored != checksum) throw DiskReadError();
    }

    TPackage& package_;
    const TEmbeddedEntry& entry_;
    TPublicationParser& parser_;
    const TReadOptions& options_;
    const std::int64_t total_;
    std::int64_t delivered_ = 0;
    std::vector<char> input_; // stored bytes on their way to zlib
    std::int64_t storedPosition_ = 0;
};

} // namespace

// ---- parser -----------------------------------------------------------------------

TPublicationParser::TPublicationParser(const TParseOptions& options)
    : builder_(options), lines_(TLineSink{this}) {
    record_.recentTexts = &recentTexts_;
}

// Inline: called for every line, from FeedChunk only.
inline void TPublicationParser::ReadLine(QByteArrayView line) {
    if (DecodeRecordInto(line, record_)) builder_.Apply(record_);
}

void TPublicationParser::FeedChunk(QByteArrayView chunk) { lines_.FeedChunk(chunk); }

TPublication TPublicationParser::Finish() {
    lines_.Finish();
    return builder_.Finish();
}

TPublication ParsePublicationText(QByteArrayView text, const TParseOptions& options) {
    TPublicationParser parser(options);
    for (qsizetype at = 0; at < text.size(); at += kPublicationChunkSize) {
        parser.FeedChunk(text.sliced(at, std::min<qsizetype>(kPublicationChunkSize, text.size() - at)));
    }
    return parser.Finish();
}

// ---- from the package -----------------------------------------------------------------

TReadResult ReadPublication(TPackage& package, TPublication& publication,
                            const TReadOptions& options) {
    const TEmbeddedEntry* entry = package.FindEmbedded(kPublicationEntryName);
    if (!entry) {
        return {false, Message(msgCannotOpenFile, platform::FilePart(kPublicationEntryName))};
    }
    if (entry->DataSize() > options.maxTextSize) return {false, Message(msgOutOfMemory)};
    try {
        TParseOptions parse;
        parse.previewMode = package.IsPreview();
        parse.trayApplication = package.ApplicationKind() == TApplicationKind::akTray;
        TPublicationParser parser(parse);
        TEntryStreamer(package, *entry, parser, options).Run();
        TPublication read = parser.Finish();
        if (read.limitReached) return {false, Message(msgOutOfMemory)};
        ApplyScreenSaverForcedValues(read.settings, options.screenSaverMode);
        publication = std::move(read);
    } catch (const TReadFailure& failure) {
        return {false, failure.message};
    } catch (const std::bad_alloc&) {
        return {false, Message(msgOutOfMemory)};
    }
    package.SetPublicationRead(true);
    return {true, {}};
}

int ProgressPercent(std::int64_t bytesRead, std::int64_t totalBytes) {
    if (totalBytes <= 0) return 100;
    return int(std::lround(double(bytesRead) / double(totalBytes) * 100.0));
}

} // namespace tomeric
