#include "actions/data_files.h"

#include "actions/action_text.h"

#include "actions/data_file_cache.h"
#include "actions/string_operations.h"
#include "actions/system_error_text.h"
#include "platform/cp1252.h"
#include "platform/paths.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <QThread>

#include <cerrno>
#include <climits>
#include <optional>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomeric {
namespace {

constexpr qint64 kBusyCursorSize = 25600;
const QByteArray kCrLf("\r\n");

QByteArray Encoded(const QString& path) { return QFile::encodeName(path); }

// A file descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void Reset(int fd) { Close(); fd_ = fd; }
    void Close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

class BusyScope {
public:
    BusyScope(const DataFileOptions& options, bool busy) : options_(options), busy_(busy && options.busyCursor) {
        if (busy_)
            options_.busyCursor(true);
    }
    ~BusyScope() {
        if (busy_)
            options_.busyCursor(false);
    }

private:
    const DataFileOptions& options_;
    bool busy_;
};

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool ReadAll(int fd, QByteArray* bytes) {
    bytes->clear();
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        bytes->append(chunk, got);
    }
}

// The file a path finally names (symbolic links followed), so a rewrite
// replaces the target and keeps the link.
QString FinalPath(const QString& nativePath) {
    const QFileInfo info(nativePath);
    if (info.isSymLink()) {
        const QString target = info.canonicalFilePath();
        if (!target.isEmpty())
            return target;
    }
    return nativePath;
}

// Opens (creating when missing) and locks a file for a change. A lock held
// by another program is retried; a file replaced meanwhile by a rename is
// reopened, so the change always applies to the current content.
struct LockResult {
    int errnoValue = 0;
    bool denied = false;
};
LockResult OpenLocked(const QString& nativePath, const DataFileOptions& options, Fd& fd) {
    const QByteArray path = Encoded(nativePath);
    bool busyShown = false;
    LockResult result;
    for (int attempt = 0; attempt < std::max(1, options.lockAttempts); ++attempt) {
        fd.Reset(::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
        if (!fd.valid()) {
            result.errnoValue = errno;
            break;
        }
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
            struct stat locked {}, current {};
            if (::fstat(fd.get(), &locked) == 0 && ::stat(path.constData(), &current) == 0 &&
                locked.st_ino == current.st_ino && locked.st_dev == current.st_dev) {
                if (busyShown && options.busyCursor)
                    options.busyCursor(false);
                return {};
            }
            result.denied = true; // replaced while we waited: lock the new file
            continue;
        }
        fd.Close();
        if (!busyShown && options.busyCursor)
            options.busyCursor(true);
        busyShown = true;
        if (attempt + 1 < options.lockAttempts)
            QThread::msleep(static_cast<unsigned long>(std::max(0, options.lockRetryMs)));
        result.denied = true;
    }
    if (busyShown && options.busyCursor)
        options.busyCursor(false);
    fd.Close();
    return result;
}

// Replaces the file's content through a temporary file renamed over it.
// The old content stays whole when anything fails. Error text or empty.
QString ReplaceContent(const QString& nativePath, int lockedFd, const QByteArray& content) {
    const QString finalPath = FinalPath(nativePath);
    QByteArray temp = Encoded(finalPath) + ".~tmXXXXXX";
    Fd out(::mkstemp(temp.data()));
    if (!out.valid())
        return SystemErrorText(errno, true);
    struct stat old {};
    const mode_t mode = ::fstat(lockedFd, &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool written = WriteAll(out.get(), content.constData(), content.size()) &&
                         ::fchmod(out.get(), mode) == 0 && ::fsync(out.get()) == 0;
    const int writeError = errno;
    out.Close();
    if (!written || ::rename(temp.constData(), Encoded(finalPath).constData()) != 0) {
        const int error = written ? errno : writeError;
        ::unlink(temp.constData());
        return SystemErrorText(error);
    }
    return {};
}

// A file that does not exist yet appears with its whole content at once:
// the content goes into a temporary file beside it, which is then linked
// under the final name (a link never replaces a file). Creating the file
// empty to lock it would leave an empty file behind a kill before the
// content is in. Nothing when the name exists (a file, a link, anything
// else): the caller then locks it and changes it in place.
std::optional<QString> CreateWithContent(const QString& nativePath, const QByteArray& content) {
    const QByteArray path = Encoded(nativePath);
    struct stat existing {};
    if (::lstat(path.constData(), &existing) == 0 || errno != ENOENT)
        return std::nullopt;
    QByteArray temp;
    Fd out;
    for (int attempt = 0; attempt < 16 && !out.valid(); ++attempt) {
        temp = path + ".~tm" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // The process's umask applies, as it does to a file created in place.
        out.Reset(::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!out.valid() && errno != EEXIST)
            return SystemErrorText(errno, true);
    }
    if (!out.valid())
        return SystemErrorText(EEXIST, true);
    const bool written = WriteAll(out.get(), content.constData(), content.size()) && ::fsync(out.get()) == 0;
    const int writeError = errno;
    out.Close();
    const bool linked = written && ::link(temp.constData(), path.constData()) == 0;
    const int linkError = errno;
    ::unlink(temp.constData());
    if (linked)
        return QString();
    if (written && linkError == EEXIST)
        return std::nullopt; // another writer created it meanwhile
    return SystemErrorText(written ? linkError : writeError);
}

QString AppendLine(int fd, const QString& line) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return SystemErrorText(errno);
    QByteArray bytes;
    if (info.st_size > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, info.st_size - 1) != 1)
            return SystemErrorText(errno);
        if (last != '\n' && last != '\r')
            bytes = kCrLf;
    }
    bytes += EncodeWindows1252(line);
    if (::lseek(fd, 0, SEEK_END) < 0 || !WriteAll(fd, bytes.constData(), bytes.size()))
        return SystemErrorText(errno);
    return {};
}

// Applies a change of line `line` (from 1) to the file's lines; false when
// nothing is to be written.
bool ChangeLines(QStringList& lines, std::int64_t line, LineEditMode mode, const QString& text) {
    const qsizetype index = static_cast<qsizetype>(std::min<std::int64_t>(line, INT_MAX / 2)) - 1;
    switch (mode) {
    case LineEditMode::Write:
        while (lines.size() <= index)
            lines.append(QString());
        lines[index] = text;
        return true;
    case LineEditMode::Insert:
        while (lines.size() < index)
            lines.append(QString());
        lines.insert(index, text);
        return true;
    case LineEditMode::Delete:
        if (lines.size() <= index)
            return false;
        lines.removeAt(index);
        return true;
    }
    return false;
}

} // namespace

// ---- names ---------------------------------------------------------------------

QString ResolveDataFilePath(const QString& name, const QString& publicationFolder) {
    if (name.isEmpty())
        return name;
    if (!ExtractFileDrive(name).isEmpty() || name.startsWith(u'/'))
        return platform::NativePath(name);
    if (ExtractFilePath(name).isEmpty())
        return platform::NativePath(platform::WithTrailingSeparator(publicationFolder) + name);
    const QString drive = ExtractFileDrive(publicationFolder);
    const bool rooted = name.startsWith(u'\\');
    return platform::NativePath(drive + (rooted ? QString() : QStringLiteral("\\")) + name);
}

// ---- line texts ----------------------------------------------------------------

QString ToDataLine(const QString& value) {
    QString line = value;
    line.replace(QLatin1String("\r\n"), QLatin1String("|"));
    line.replace(u'\r', u'|');
    line.replace(u'\n', u'|');
    return line;
}

QString FromDataLine(const QString& line) { return BarsToLineBreaks(line); }

QString BarsToLineBreaks(const QString& text) {
    QString result = text;
    return result.replace(u'|', QLatin1String("\r\n"));
}

// ---- the line-file routine -------------------------------------------------------

namespace {

// The bytes that replace a whole file (line "ALL"), and the text one line
// holds (line breaks written as bars unless exact).
QByteArray WholeFileContent(const QString& text, bool exact) {
    return EncodeWindows1252(exact ? text : BarsToLineBreaks(text));
}
QString LineValue(const QString& text, bool exact) { return exact ? text : ToDataLine(text); }

// A file's whole content after a change to its line `line` (from 1);
// nothing when the change changes nothing.
std::optional<QByteArray> WithLineChanged(QStringList lines, std::int64_t line, LineEditMode mode,
                                          const QString& value) {
    if (!ChangeLines(lines, line, mode, value))
        return std::nullopt;
    return EncodeWindows1252(lines.join(QLatin1String("\r\n")));
}

// What a change writes into a file that does not exist yet (the same as into
// an empty one); nothing when it writes nothing (such a change creates the
// file empty, as it always has).
std::optional<QByteArray> ContentOfNewFile(std::int64_t line, LineEditMode mode, const QString& text, bool exact) {
    if (line < 0)
        return WholeFileContent(text, exact);
    if (line == 0)
        return EncodeWindows1252(LineValue(text, exact));
    return WithLineChanged({}, line, mode, LineValue(text, exact));
}

} // namespace

QString EditLineFile(const QString& nativePath, std::int64_t line, LineEditMode mode,
                     const QString& text, bool exact, const DataFileOptions& options) {
    if (line < 1 && mode != LineEditMode::Write)
        return {}; // inserting or deleting "line 0" or "ALL" means nothing
    DataFileReadCache().Forget(nativePath);
    if (const std::optional<QByteArray> content = ContentOfNewFile(line, mode, text, exact))
        if (const std::optional<QString> created = CreateWithContent(nativePath, *content))
            return *created;
    Fd fd;
    const LockResult lock = OpenLocked(nativePath, options, fd);
    if (!fd.valid())
        return lock.denied ? AccessDeniedText() : SystemErrorText(lock.errnoValue, true);

    if (line < 0)
        return ReplaceContent(nativePath, fd.get(), WholeFileContent(text, exact));
    if (line == 0)
        return AppendLine(fd.get(), LineValue(text, exact));

    QByteArray bytes;
    if (!ReadAll(fd.get(), &bytes))
        return SystemErrorText(errno);
    BusyScope busy(options, bytes.size() > kBusyCursorSize);
    const std::optional<QByteArray> changed =
        WithLineChanged(SplitActionLines(DecodeWindows1252(bytes)), line, mode, LineValue(text, exact));
    if (!changed)
        return {};
    return ReplaceContent(nativePath, fd.get(), *changed);
}

bool IsDeviceName(const QString& name) {
    static const QString kDevices = QStringLiteral("|LPT1|LPT2|LPT3|LPT4|COM1|COM2|COM3|COM4|");
    return name.size() == 4 && kDevices.contains(u'|' + name.toUpper() + u'|');
}

QString WriteToDevice(const QString& name, const QString& text, const DataFileOptions& options) {
    const QString upper = name.toUpper();
    const int unit = upper.back().digitValue() - 1;
    const QString device = platform::WithTrailingSeparator(options.deviceFolder) +
                           (upper.startsWith(QLatin1String("LPT")) ? QStringLiteral("lp%1")
                                                                    : QStringLiteral("ttyS%1"))
                               .arg(unit);
    Fd fd(::open(Encoded(device).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid())
        return SystemErrorText(errno);
    const QByteArray bytes = EncodeWindows1252(text) + kCrLf;
    if (!WriteAll(fd.get(), bytes.constData(), bytes.size()))
        return SystemErrorText(errno);
    return {};
}

// ---- reading ------------------------------------------------------------------------

WholeFile ReadWholeFile(const QString& nativePath) {
    WholeFile result;
    Fd fd(::open(Encoded(nativePath).constData(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        result.errnoValue = errno;
        return result;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode)) {
        result.errnoValue = EISDIR;
        return result;
    }
    result.ok = ReadAll(fd.get(), &result.bytes);
    if (!result.ok)
        result.errnoValue = errno;
    return result;
}

std::int64_t CountLines(const QString& nativePath) {
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return 0;
    LineReader reader(file);
    std::int64_t count = 0;
    while (reader.NextLine(nullptr))
        ++count;
    return count;
}

// ---- copying ------------------------------------------------------------------------

QString CopyFileReplacing(const QString& source, const QString& destination,
                          const DataFileOptions& options) {
    Fd in(::open(Encoded(source).constData(), O_RDONLY | O_CLOEXEC));
    if (!in.valid())
        return FileErrorText(errno, source);
    struct stat info {};
    if (::fstat(in.get(), &info) != 0)
        return SystemErrorText(errno);
    if (S_ISDIR(info.st_mode))
        return AccessDeniedText();
    BusyScope busy(options, true);
    const QString finalPath = FinalPath(destination);
    QByteArray temp = Encoded(finalPath) + ".~tmXXXXXX";
    Fd out(::mkstemp(temp.data()));
    if (!out.valid())
        return SystemErrorText(errno, true);
    char chunk[64 * 1024];
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(in.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        if (!WriteAll(out.get(), chunk, got)) {
            ok = false;
            break;
        }
    }
    ok = ok && ::fchmod(out.get(), (info.st_mode & 07777) | S_IWUSR) == 0 && ::fsync(out.get()) == 0;
    const int error = errno;
    out.Close();
    if (!ok || ::rename(temp.constData(), Encoded(finalPath).constData()) != 0) {
        const int renameError = ok ? errno : error;
        ::unlink(temp.constData());
        return SystemErrorText(renameError);
    }
    DataFileReadCache().Forget(destination);
    return {};
}

bool SameFile(const QString& a, const QString& b) {
    struct stat first {}, second {};
    if (::stat(Encoded(a).constData(), &first) != 0 || ::stat(Encoded(b).constData(), &second) != 0)
        return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace tomeric
