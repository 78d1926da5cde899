#pragma once
// Reading data files line by line without reading them again and again.
//
// Scripts read data files with a loop over the line number: FileRead line 1,
// then 2, then 3 ... A naive reader would start from the top each time, so a
// loop over a large file would read it quadratically. The read cache keeps
// the file it read last open, with its position, buffer and the number of the
// next line; when the same unchanged file is read again at that line or
// further, reading goes on from there. A loop over a file of any size is
// then one pass, and memory stays at one buffer plus the longest line.
//
// Lines end with CR LF, LF or a lone CR; the last line needs no line end.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace tomeric {

// Walks the lines of an open file from its current position.
class LineReader {
public:
    static constexpr qsizetype kChunkSize = 64 * 1024;

    explicit LineReader(QFile& file) : file_(file) {}
    // The next line without its line end into `line` (skipped when null);
    // false at the end of the file.
    bool NextLine(QByteArray* line);
    // True when no byte is left to read.
    bool AtEnd();
    // How much the reader holds in memory now.
    qsizetype BufferedBytes() const { return buffer_.size(); }

private:
    bool Refill(bool keepPending);
    QFile& file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    qsizetype scanned_ = 0; // from pos_: bytes known to hold no line end
};

struct LineReadResult {
    bool ok = false;      // false: the file could not be opened (see errnoValue)
    int errnoValue = 0;
    bool found = false;   // false: the file has fewer lines
    QByteArray line;      // the line's bytes, without line end
};

class TDataFileReadCache {
public:
    TDataFileReadCache() = default;
    ~TDataFileReadCache();
    TDataFileReadCache(const TDataFileReadCache&) = delete;
    TDataFileReadCache& operator=(const TDataFileReadCache&) = delete;

    // Line `lineNumber` (from 1) of the file at `nativePath`.
    LineReadResult ReadLine(const QString& nativePath, std::int64_t lineNumber);

    // Drops the cached file (every writer of data files calls this for the
    // file it changes; an empty path drops whatever is cached).
    void Forget(const QString& nativePath = QString());

    // What is cached, for tests and diagnostics.
    bool Holds(const QString& nativePath) const;
    std::int64_t NextLineNumber() const { return nextLine_; }
    qsizetype BufferedBytes() const { return reader_ ? reader_->BufferedBytes() : 0; }

private:
    bool StillValid(const QString& nativePath, std::int64_t lineNumber) const;
    void Reset();

    QString path_;
    std::int64_t nextLine_ = 0;
    QDateTime lastWrite_;
    qint64 size_ = -1;
    std::unique_ptr<QFile> file_;
    std::unique_ptr<LineReader> reader_;
};

// The one read cache of the process, shared by every FileRead.
TDataFileReadCache& DataFileReadCache();

} // namespace tomeric
