#pragma once
// Data files: the line files scripts read and write with FileRead,
// FileWrite, FileInsLine, FileDelLine and FileLen, plus the file copy and
// the whole-file reads the other file commands share.
//
// A data file is 8-bit Windows-1252 text, lines separated by CR LF, no line
// end after the last line. One line never holds a line break: a value's line
// breaks are stored as "|" and turned back into CR LF when the line is read.
//
// Nothing here loses data: a file whose lines change is written to a
// temporary file in the same folder and renamed over the old one, so a full
// disk or a crash leaves the old content intact; appending appends. While a
// file is changed it is locked (an advisory lock every copy of the player
// honours); a file another copy holds is retried for a while before the
// change gives up with "access denied".

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace tomeric {

// ---- names -------------------------------------------------------------------

// Where a data file named by a script lies: a bare name in the publication's
// folder; a name with a folder but no drive on the publication's drive (a
// separator put in front when it has none); a name with a drive or network
// share as written. The result is a native path.
QString ResolveDataFilePath(const QString& name, const QString& publicationFolder);

// ---- line texts --------------------------------------------------------------

// A value as one line: every line break (CR LF, and a lone CR or LF, which
// would otherwise split the line) becomes "|".
QString ToDataLine(const QString& value);
// A stored line as a value: every "|" becomes CR LF.
QString FromDataLine(const QString& line);
// Every "|" becomes CR LF (FileWrite "ALL").
QString BarsToLineBreaks(const QString& text);

// ---- options -------------------------------------------------------------------

struct DataFileOptions {
    // Attempts to lock a file another program holds, and the pause between.
    int lockAttempts = 11;
    int lockRetryMs = 250;
    // Called with true before a long operation (a lock wait, a rewrite of a
    // file above 25600 bytes, a copy) and with false after it.
    std::function<void(bool busy)> busyCursor;
    // Folder of the device files LPTn and COMn map to (tests point it
    // elsewhere): LPT1..4 are lp0..3, COM1..4 are ttyS0..3.
    QString deviceFolder = QStringLiteral("/dev/");
};

// ---- the line-file routine ------------------------------------------------------

enum class LineEditMode { Write, Insert, Delete };

// Line numbers: -1 the whole file (FileWrite "ALL"), 0 append (FileWrite
// "APPEND"), n >= 1 a line. `text` is the value as the script gave it;
// `exact` keeps its line breaks as they are. Returns the error text, empty
// on success.
QString EditLineFile(const QString& nativePath, std::int64_t line, LineEditMode mode,
                     const QString& text, bool exact, const DataFileOptions& options = {});

// "LPT1".."LPT4", "COM1".."COM4" (any case): names of ports, not files.
bool IsDeviceName(const QString& name);
// The text followed by CR LF, written to the port. Error text or empty.
QString WriteToDevice(const QString& name, const QString& text, const DataFileOptions& options = {});

// ---- reading ---------------------------------------------------------------------

struct WholeFile {
    bool ok = false;
    int errnoValue = 0;
    QByteArray bytes;
};
WholeFile ReadWholeFile(const QString& nativePath);

// Number of lines; the last counts without a line end; 0 for an empty or
// unreadable file. Reads the file in chunks, never whole.
std::int64_t CountLines(const QString& nativePath);

// ---- copying -------------------------------------------------------------------------

// Copies `source` over `destination` through a temporary file (an existing
// destination is replaced only once the copy is complete). The copy is
// writable for its owner whatever the source's permissions. Error text or
// empty.
QString CopyFileReplacing(const QString& source, const QString& destination,
                          const DataFileOptions& options = {});

// True when both names lead to the same file on disk.
bool SameFile(const QString& a, const QString& b);

} // namespace tomeric
