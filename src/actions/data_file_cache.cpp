#include "actions/data_file_cache.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace tomeric {
namespace {

struct FileStamp {
    QDateTime lastWrite;
    qint64 size = -1;
};

FileStamp StampOf(const QString& nativePath) {
    const QFileInfo info(nativePath);
    return {info.lastModified(), info.exists() ? info.size() : -1};
}

} // namespace

// ---- LineReader -------------------------------------------------------------

bool LineReader::Refill(bool keepPending) {
    if (keepPending) {
        buffer_.remove(0, pos_);
    } else {
        buffer_.clear();
    }
    pos_ = 0;
    const qsizetype old = buffer_.size();
    buffer_.resize(old + kChunkSize);
    const qint64 got = file_.read(buffer_.data() + old, kChunkSize);
    buffer_.resize(old + (got > 0 ? got : 0));
    return got > 0;
}

bool LineReader::AtEnd() { return pos_ >= buffer_.size() && file_.atEnd(); }

bool LineReader::NextLine(QByteArray* line) {
    for (;;) {
        const char* begin = buffer_.constData() + pos_;
        const qsizetype available = buffer_.size() - pos_;
        // Bytes before `scanned_` are known to hold no line end (a long line
        // spans several chunks; each byte is looked at once).
        const char* from = begin + scanned_;
        const qsizetype rest = available - scanned_;
        const char* lf = static_cast<const char*>(std::memchr(from, '\n', rest));
        const char* cr = static_cast<const char*>(std::memchr(from, '\r', lf ? lf - from : rest));
        if (cr != nullptr && cr - begin + 1 == available && !file_.atEnd()) {
            // A CR at the end of the buffer may be half of a CR LF.
            scanned_ = available - 1;
            Refill(true);
            continue;
        }
        const char* end = cr ? cr : lf;
        if (end != nullptr) {
            if (line)
                *line = QByteArray(begin, end - begin);
            qsizetype next = pos_ + (end - begin) + 1;
            if (cr && next < buffer_.size() && buffer_[next] == '\n')
                ++next;
            pos_ = next;
            scanned_ = 0;
            return true;
        }
        if (file_.atEnd()) {
            scanned_ = 0;
            if (available == 0)
                return false;
            if (line)
                *line = QByteArray(begin, available);
            pos_ = buffer_.size();
            return true;
        }
        // No line end yet: a skipped line need not be kept in memory.
        const bool keep = line != nullptr;
        scanned_ = keep ? available : 0;
        Refill(keep);
    }
}

// ---- TDataFileReadCache -------------------------------------------------------

TDataFileReadCache::~TDataFileReadCache() = default;

bool TDataFileReadCache::Holds(const QString& nativePath) const {
    return reader_ && path_ == nativePath;
}

void TDataFileReadCache::Reset() {
    reader_.reset();
    file_.reset();
    path_.clear();
    nextLine_ = 0;
    size_ = -1;
    lastWrite_ = {};
}

void TDataFileReadCache::Forget(const QString& nativePath) {
    if (nativePath.isEmpty() || nativePath == path_)
        Reset();
}

bool TDataFileReadCache::StillValid(const QString& nativePath, std::int64_t lineNumber) const {
    if (!Holds(nativePath) || lineNumber < nextLine_)
        return false;
    const FileStamp stamp = StampOf(nativePath);
    return stamp.lastWrite == lastWrite_ && stamp.size == size_;
}

LineReadResult TDataFileReadCache::ReadLine(const QString& nativePath, std::int64_t lineNumber) {
    LineReadResult result;
    if (!StillValid(nativePath, lineNumber)) {
        Reset();
        const FileStamp stamp = StampOf(nativePath);
        auto file = std::make_unique<QFile>(nativePath);
        errno = 0;
        if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            result.errnoValue = errno != 0 ? errno : ENOENT;
            return result;
        }
        file_ = std::move(file);
        reader_ = std::make_unique<LineReader>(*file_);
        path_ = nativePath;
        nextLine_ = 1;
        lastWrite_ = stamp.lastWrite;
        size_ = stamp.size;
    }
    result.ok = true;
    while (nextLine_ < lineNumber && reader_->NextLine(nullptr))
        ++nextLine_;
    if (nextLine_ == lineNumber && reader_->NextLine(&result.line)) {
        result.found = true;
        ++nextLine_;
    }
    if (!result.found || reader_->AtEnd())
        Reset();
    return result;
}

TDataFileReadCache& DataFileReadCache() {
    static TDataFileReadCache cache;
    return cache;
}

} // namespace tomeric
