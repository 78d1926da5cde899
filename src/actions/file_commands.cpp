// The file-name, file and folder commands. Every failure goes to [LastError]
// (the system's text for the failing operation, or a string-table message)
// and success leaves it empty; the script always continues.
//
// Names: the data-file commands (FileRead ... FileLen, FileErase, FileSize,
// FileExists, FolderExists) resolve a name against the publication's folder
// (ResolveDataFilePath); CreateFolder, RemoveFolder, FileList and FileToVar
// use the name as given; FileCopy and ExtractFile have rules of their own.

#include "actions/file_commands.h"

#include "actions/data_file_cache.h"
#include "actions/data_files.h"
#include "actions/string_operations.h"
#include "actions/system_error_text.h"
#include "package/package.h"
#include "platform/cp1252.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <unistd.h>

namespace tomeric {
namespace {

QString PublicationFolder() { return GetVariable(QStringLiteral("[PubDir]")); }

QString DataFilePath(const QString& name) { return ResolveDataFilePath(name, PublicationFolder()); }

QString TrueFalse(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

// A name whose folder part is "embedded:\\\" names a file embedded in the
// compiled publication.
bool IsEmbeddedName(const QString& name) {
    return platform::FolderPart(name).compare(kEmbeddedPrefix, Qt::CaseInsensitive) == 0;
}

// Where an embedded name leads: the package entry, or in preview mode the
// file the preview maps it to (empty when there is none).
struct EmbeddedLookup {
    const TEmbeddedEntry* entry = nullptr;
    QString previewPath;
};
EmbeddedLookup LookUpEmbedded(const QString& name) {
    TPackage& package = CurrentPackage();
    if (package.IsPreview()) {
        const QString mapped = package.MapPreviewName(name);
        return {nullptr, mapped == name ? QString() : platform::NativePath(mapped)};
    }
    return {package.FindEmbedded(name), {}};
}

// Line numbers of the data-file commands: "ALL" is -1, "APPEND" is 0 (when
// the command accepts it), otherwise a whole number.
std::optional<std::int64_t> LineNumber(const QString& text, bool acceptAppend) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0)
        return -1;
    if (acceptAppend && trimmed.compare(QLatin1String("APPEND"), Qt::CaseInsensitive) == 0)
        return 0;
    return ParseWholeNumber(trimmed);
}

// ---- wildcards -----------------------------------------------------------------

// A file mask as the Windows shell reads it: "*" any run, "?" one
// character, case-insensitive; "*.*" also matches names without a dot and
// "name.*" also matches "name".
QRegularExpression MaskExpression(const QString& mask) {
    QString pattern;
    for (const QChar c : mask) {
        if (c == u'*')
            pattern += QStringLiteral(".*");
        else if (c == u'?')
            pattern += u'.';
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    if (mask.endsWith(QLatin1String(".*")))
        pattern = QStringLiteral("(?:%1|%2)").arg(pattern, pattern.left(pattern.size() - 4));
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::CaseInsensitiveOption);
}

struct ListOutcome {
    QStringList names;
    QString error; // empty: the enumeration ended normally
};

void ListOneMask(const QString& mask, bool folders, bool files, bool noExtension, ListOutcome& outcome) {
    const QString folderPart = platform::FolderPart(mask);
    const QString folder = folderPart.isEmpty() ? QStringLiteral(".") : platform::NativePath(folderPart);
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir()) {
        outcome.error = PathNotFoundText();
        return;
    }
    const QDir dir(folder);
    if (!folderInfo.isReadable()) {
        outcome.error = AccessDeniedText();
        return;
    }
    const QRegularExpression expression = MaskExpression(platform::FilePart(mask));
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                          QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        if (!(entry.isDir() ? folders : files) || !expression.match(entry.fileName()).hasMatch())
            continue;
        outcome.names.append(noExtension ? ChangeFileExt(entry.fileName(), QString()) : entry.fileName());
    }
}

// ---- the line-file commands --------------------------------------------------------

// FileWrite, FileInsLine and FileDelLine share one routine with a mode.
void EditDataFile(CommandContext& ctx, LineEditMode mode, const QString& text, bool exact) {
    const QString name = ctx.Param(1);
    if (IsDeviceName(name)) {
        ctx.SetLastError(WriteToDevice(name, text));
        return;
    }
    const std::optional<std::int64_t> line = LineNumber(ctx.Param(2), mode == LineEditMode::Write);
    if (!line) {
        ctx.SetLastError(Message(msgInvalidInteger, ctx.Param(2)));
        return;
    }
    ctx.SetLastError(EditLineFile(DataFilePath(name), *line, mode, text, exact));
}

} // namespace

// ---- file names as text ----------------------------------------------------------------

void CmdExtractFilePath(CommandContext& ctx) { ctx.SetResult(2, ExtractFilePath(ctx.Param(1))); }
void CmdExtractFileName(CommandContext& ctx) { ctx.SetResult(2, ExtractFileName(ctx.Param(1))); }
void CmdExtractFileExt(CommandContext& ctx) { ctx.SetResult(2, ExtractFileExt(ctx.Param(1))); }
void CmdExtractFileDrive(CommandContext& ctx) { ctx.SetResult(2, ExtractFileDrive(ctx.Param(1))); }
void CmdChangeFileExt(CommandContext& ctx) { ctx.SetResult(3, ChangeFileExt(ctx.Param(1), ctx.Param(2))); }

// ---- files and folders -------------------------------------------------------------------

// FileCopy "source" "destination": a bare source lies in the publication's
// folder; a bare destination goes next to the source; a destination that is
// a folder keeps the source's name.
void CmdFileCopy(CommandContext& ctx) {
    QString source = ctx.Param(1).trimmed();
    QString destination = ctx.Param(2).trimmed();
    if (source.isEmpty() || destination.isEmpty()) {
        ctx.SetLastError(Message(msgCopyFailed));
        return;
    }
    if (platform::FolderPart(source).isEmpty())
        source = platform::WithTrailingSeparator(PublicationFolder()) + source;
    if (platform::FolderPart(destination).isEmpty())
        destination = platform::FolderPart(source) + destination;
    QString nativeDestination = platform::NativePath(destination);
    if (platform::FilePart(destination).isEmpty() || QFileInfo(nativeDestination).isDir())
        nativeDestination = platform::WithTrailingSeparator(nativeDestination) + platform::FilePart(source);
    const QString nativeSource = platform::NativePath(source);
    if (SameFile(nativeSource, nativeDestination)) {
        ctx.SetLastError(Message(msgCopyOntoItself));
        return;
    }
    ctx.SetLastError(CopyFileReplacing(nativeSource, nativeDestination));
}

void CmdFileErase(CommandContext& ctx) {
    const QString path = DataFilePath(ctx.Param(1));
    DataFileReadCache().Forget(path);
    if (path.isEmpty() || QFileInfo(path).isDir()) {
        ctx.SetLastError(path.isEmpty() ? FileNotFoundText() : AccessDeniedText());
        return;
    }
    ctx.SetLastError(::unlink(QFile::encodeName(path).constData()) == 0 ? QString()
                                                                        : FileErrorText(errno, path));
}

// FileSize "file" "[var]": the size in bytes, empty when there is no such file.
void CmdFileSize(CommandContext& ctx) {
    const QString name = ctx.Param(1);
    QString size;
    if (IsEmbeddedName(name)) {
        const EmbeddedLookup found = LookUpEmbedded(name);
        if (found.entry)
            size = QString::number(found.entry->DataSize());
        else if (!found.previewPath.isEmpty() && QFileInfo(found.previewPath).isFile())
            size = QString::number(QFileInfo(found.previewPath).size());
    } else {
        const QFileInfo info(DataFilePath(name));
        if (info.isFile())
            size = QString::number(info.size());
    }
    ctx.SetResult(2, size);
}

void CmdFileExists(CommandContext& ctx) {
    const QString name = ctx.Param(1);
    bool exists = false;
    if (IsEmbeddedName(name)) {
        const EmbeddedLookup found = LookUpEmbedded(name);
        exists = found.entry != nullptr ||
                 (!found.previewPath.isEmpty() && QFileInfo(found.previewPath).isFile());
    } else {
        exists = !name.isEmpty() && QFileInfo(DataFilePath(name)).isFile();
    }
    ctx.SetResult(2, TrueFalse(exists));
}

void CmdFolderExists(CommandContext& ctx) {
    const QString name = ctx.Param(1);
    ctx.SetResult(2, TrueFalse(!name.isEmpty() && QFileInfo(DataFilePath(name)).isDir()));
}

// CreateFolder "folder": with every missing parent.
void CmdCreateFolder(CommandContext& ctx) {
    const QString name = ctx.Param(1);
    const bool created = !name.trimmed().isEmpty() && QDir().mkpath(platform::NativePath(name));
    ctx.SetLastError(created ? QString() : PathNotFoundText());
}

// RemoveFolder "folder": only an empty folder.
void CmdRemoveFolder(CommandContext& ctx) {
    const QString name = ctx.Param(1);
    const QString path = platform::NativePath(name);
    const bool removed = !path.isEmpty() && ::rmdir(QFile::encodeName(path).constData()) == 0;
    ctx.SetLastError(removed ? QString() : u'"' + name + QStringLiteral("\"||") + Message(msgFolderNotRemoved));
}

// ExtractFile "included file" "destination": writes the file out of the
// package (default folder: the publication's; default name: the included
// file's). In preview mode, and for a file that is not in the package but
// on disk, the file is copied instead.
void CmdExtractFile(CommandContext& ctx) {
    const QString included = ctx.Param(1).trimmed();
    QString destination = ctx.Param(2).trimmed();
    QString includedName = platform::FilePart(included);
    if (includedName.startsWith(u':'))
        includedName.remove(0, 1);
    if (platform::FolderPart(destination).isEmpty())
        destination = platform::WithTrailingSeparator(PublicationFolder()) + destination;
    QString nativeDestination = platform::NativePath(destination);
    if (platform::FilePart(destination).isEmpty() || QFileInfo(nativeDestination).isDir())
        nativeDestination = platform::WithTrailingSeparator(nativeDestination) + includedName;

    TPackage& package = CurrentPackage();
    if (!package.IsPreview() && package.FindEmbedded(included) != nullptr) {
        QString error;
        ctx.SetLastError(package.CopyEmbeddedToFile(included, nativeDestination, &error) ? QString() : error);
        DataFileReadCache().Forget(nativeDestination);
        return;
    }
    const QString source = platform::NativePath(package.MapPreviewName(included));
    if (included.isEmpty() || !QFileInfo(source).isFile()) {
        ctx.SetLastError(FileNotFoundText());
        return;
    }
    if (SameFile(source, nativeDestination)) {
        ctx.SetLastError(Message(msgCopyOntoItself));
        return;
    }
    ctx.SetLastError(CopyFileReplacing(source, nativeDestination));
}

// FileList "C:\data\*.txt|*.csv" "FOLDERS FILES NOEXT" "[var]": the names,
// one per CR; later masks live in the folder of the first.
void CmdFileList(CommandContext& ctx) {
    const QStringList masks = ctx.Param(1).split(u'|');
    const QString options = ctx.Param(2);
    const bool folders = HasOption(options, QStringLiteral("FOLDERS"));
    const bool files = !folders || HasOption(options, QStringLiteral("FILES"));
    const bool noExtension = HasOption(options, QStringLiteral("NOEXT"));
    const QString firstFolder = platform::FolderPart(masks.first());
    ListOutcome outcome;
    for (qsizetype i = 0; i < masks.size() && outcome.error.isEmpty(); ++i) {
        const QString mask = i == 0 ? masks[i] : firstFolder + platform::FilePart(masks[i]);
        ListOneMask(mask, folders, files, noExtension, outcome);
    }
    if (!outcome.error.isEmpty()) {
        ctx.SetLastError(outcome.error);
        return;
    }
    ctx.ClearLastError();
    ctx.SetResult(3, outcome.names.join(u'\r'));
}

// ---- data files --------------------------------------------------------------------------

// FileRead "file" "n" "[var]": line n with its "|" turned into line breaks
// (empty beyond the last line); "ALL" or a number below 1: the whole file as
// it is.
void CmdFileRead(CommandContext& ctx) {
    const std::optional<std::int64_t> line = LineNumber(ctx.Param(2), false);
    if (!line) {
        ctx.SetLastError(Message(msgInvalidInteger, ctx.Param(2)));
        return;
    }
    const QString path = DataFilePath(ctx.Param(1));
    if (*line < 1) {
        const WholeFile file = ReadWholeFile(path);
        if (!file.ok) {
            ctx.SetLastError(FileErrorText(file.errnoValue, path));
            return;
        }
        ctx.ClearLastError();
        ctx.SetResult(3, DecodeWindows1252(file.bytes));
        return;
    }
    const LineReadResult read = DataFileReadCache().ReadLine(path, *line);
    if (!read.ok) {
        ctx.SetLastError(FileErrorText(read.errnoValue, path));
        return;
    }
    ctx.ClearLastError();
    ctx.SetResult(3, read.found ? FromDataLine(DecodeWindows1252(read.line)) : QString());
}

// FileWrite "file" "n" | "APPEND" | "ALL" "text"
void CmdFileWrite(CommandContext& ctx) { EditDataFile(ctx, LineEditMode::Write, ctx.Param(3), ctx.Exact(3)); }

// FileInsLine "file" "n": an empty line before line n.
void CmdFileInsLine(CommandContext& ctx) { EditDataFile(ctx, LineEditMode::Insert, QString(), false); }

// FileDelLine "file" "n": a file with fewer lines stays as it is.
void CmdFileDelLine(CommandContext& ctx) { EditDataFile(ctx, LineEditMode::Delete, QString(), false); }

void CmdFileLen(CommandContext& ctx) {
    ctx.ClearLastError();
    ctx.SetResult(2, QString::number(CountLines(DataFilePath(ctx.Param(1)))));
}

// FileToVar "file" "[var]": every byte of the file, from the package when
// the publication includes or embeds it, else from disk.
void CmdFileToVar(CommandContext& ctx) {
    const QString name = ctx.Param(1);
    TPackage& package = CurrentPackage();
    for (const QString& candidate : {name, package.FindIncludedName(name)}) {
        if (package.FindEmbedded(candidate) == nullptr)
            continue;
        const TEmbeddedLoad load = package.LoadEmbeddedToMemory(candidate);
        if (load.code == 0) {
            ctx.ClearLastError();
            ctx.SetResult(2, DecodeWindows1252(load.data));
            return;
        }
    }
    const QString path = platform::NativePath(package.MapPreviewName(name));
    const WholeFile file = ReadWholeFile(path);
    if (!file.ok) {
        ctx.SetLastError(FileErrorText(file.errnoValue, path));
        return;
    }
    ctx.ClearLastError();
    ctx.SetResult(2, DecodeWindows1252(file.bytes));
}

} // namespace tomeric
