#include "services/internal_commands.h"

#include "platform/cp1252.h"
#include "platform/paths.h"
#include "services/program_launcher.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSysInfo>

#include <functional>

namespace tomeric {

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;

// One run: its arguments without switches, the switches, and its output.
struct TInvocation {
    QStringList arguments;
    QStringList switches; // upper case, without "/"
    QString folder;       // relative names are relative to it
    QString output;

    bool Has(const char* flag) const { return switches.contains(QString::fromLatin1(flag)); }
    void Line(const QString& text = QString()) { output += text + QStringLiteral("\r\n"); }

    // A name of the command line as a native path.
    QString Path(const QString& name) const
    {
        const QString native = platform::NativePath(name);
        if (QFileInfo(native).isAbsolute() || folder.isEmpty())
            return native;
        return platform::NativePath(platform::WithTrailingSeparator(folder) + name);
    }
};

// Where the output goes: ">" file or ">>" file at the end of the line.
struct TRedirect {
    QString file;
    bool append = false;
};

// Takes the redirection off the parameters (outside quotes only).
TRedirect TakeRedirect(QString& parameters)
{
    bool inQuotes = false;
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        if (parameters[i] == QLatin1Char('"'))
            inQuotes = !inQuotes;
        if (inQuotes || parameters[i] != QLatin1Char('>'))
            continue;
        TRedirect redirect;
        redirect.append = i + 1 < parameters.size() && parameters[i + 1] == QLatin1Char('>');
        const QStringList target = SplitWindowsArguments(parameters.mid(i + (redirect.append ? 2 : 1)));
        redirect.file = target.value(0);
        parameters.truncate(i);
        return redirect;
    }
    return {};
}

// The files a name or wildcard pattern names (no folders).
QFileInfoList MatchingFiles(const QString& nativePattern)
{
    const QFileInfo info(nativePattern);
    if (!info.fileName().contains(QLatin1Char('*')) && !info.fileName().contains(QLatin1Char('?')))
        return info.isFile() ? QFileInfoList{info} : QFileInfoList{};
    QDir dir(info.absolutePath());
    dir.setNameFilters({info.fileName()});
    dir.setFilter(QDir::Files | QDir::Hidden);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    return dir.entryInfoList();
}

QString DirectoryLine(const QFileInfo& entry)
{
    const QString when = QLocale::system().toString(entry.lastModified(), QStringLiteral("dd/MM/yyyy  HH:mm"));
    const QString size = entry.isDir() ? QStringLiteral("<REP>").leftJustified(14) : QString::number(entry.size()).rightJustified(14);
    return when + QStringLiteral("    ") + size + QLatin1Char(' ') + entry.fileName();
}

int Dir(TInvocation& run)
{
    QString target = run.Path(run.arguments.value(0, QStringLiteral(".")));
    QFileInfo info(target);
    QString pattern = QStringLiteral("*");
    if (!info.isDir()) {
        pattern = info.fileName();
        target = info.absolutePath();
    }
    QDir dir(target);
    if (!dir.exists())
        return kFailed;
    const QDirIterator::IteratorFlags recurse = run.Has("S") ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags;
    QDirIterator it(dir.absolutePath(), {pattern}, QDir::AllEntries | QDir::NoDotAndDotDot, recurse);
    QStringList lines;
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        if (run.Has("B"))
            lines.append(run.Has("S") ? entry.absoluteFilePath() : entry.fileName());
        else
            lines.append(DirectoryLine(entry));
    }
    lines.sort(Qt::CaseInsensitive);
    if (!run.Has("B")) {
        run.Line(QStringLiteral(" Répertoire de ") + QDir::toNativeSeparators(dir.absolutePath()));
        run.Line();
    }
    for (const QString& line : lines)
        run.Line(line);
    return lines.isEmpty() ? kFailed : kDone;
}

int Copy(TInvocation& run)
{
    if (run.arguments.isEmpty())
        return kFailed;
    const QFileInfoList sources = MatchingFiles(run.Path(run.arguments[0]));
    const QString destination = run.Path(run.arguments.value(1, QStringLiteral(".")));
    if (sources.isEmpty())
        return kFailed;
    int copied = 0;
    for (const QFileInfo& source : sources) {
        QString target = QFileInfo(destination).isDir() ? QDir(destination).filePath(source.fileName()) : destination;
        if (QFileInfo(target).absoluteFilePath() == source.absoluteFilePath())
            continue; // a file is never copied onto itself
        // Copy through a temporary, so a failed copy leaves the old file whole.
        const QString temporary = target + QStringLiteral(".tomeric-copy");
        QFile::remove(temporary);
        if (!QFile::copy(source.absoluteFilePath(), temporary))
            continue;
        QFile::remove(target);
        if (QFile::rename(temporary, target))
            ++copied;
        else
            QFile::remove(temporary);
    }
    run.Line(QStringLiteral("        %1 fichier(s) copié(s).").arg(copied));
    return copied == sources.size() ? kDone : kFailed;
}

int Delete(TInvocation& run)
{
    bool all = !run.arguments.isEmpty();
    for (const QString& name : run.arguments) {
        const QString path = run.Path(name);
        // "DEL folder" empties the folder, as the interpreter does.
        const QFileInfoList files = QFileInfo(path).isDir() ? MatchingFiles(QDir(path).filePath(QStringLiteral("*")))
                                                            : MatchingFiles(path);
        if (files.isEmpty())
            all = false;
        for (const QFileInfo& file : files)
            all = QFile::remove(file.absoluteFilePath()) && all;
    }
    return all ? kDone : kFailed;
}

int Type(TInvocation& run)
{
    bool ok = !run.arguments.isEmpty();
    for (const QString& name : run.arguments) {
        QFile file(run.Path(name));
        if (!file.open(QIODevice::ReadOnly)) {
            ok = false;
            continue;
        }
        run.output += DecodeWindows1252(file.readAll());
    }
    return ok ? kDone : kFailed;
}

int Rename(TInvocation& run)
{
    if (run.arguments.size() < 2 || platform::FilePart(run.arguments[1]) != run.arguments[1])
        return kFailed; // the new name is a name, never a path
    const QString source = run.Path(run.arguments[0]);
    const QString target = QFileInfo(source).dir().filePath(run.arguments[1]);
    if (QFileInfo::exists(target))
        return kFailed;
    return QFile::rename(source, target) ? kDone : kFailed;
}

int MakeFolder(TInvocation& run)
{
    bool ok = !run.arguments.isEmpty();
    for (const QString& name : run.arguments) {
        const QString path = run.Path(name);
        ok = !QFileInfo::exists(path) && QDir().mkpath(path) && ok;
    }
    return ok ? kDone : kFailed;
}

int RemoveFolder(TInvocation& run)
{
    bool ok = !run.arguments.isEmpty();
    for (const QString& name : run.arguments) {
        QDir dir(run.Path(name));
        if (!dir.exists()) {
            ok = false;
            continue;
        }
        ok = (run.Has("S") ? dir.removeRecursively() : QDir().rmdir(dir.absolutePath())) && ok;
    }
    return ok ? kDone : kFailed;
}

int ChangeFolder(TInvocation& run)
{
    // The interpreter's folder change ends with it; only the display is left.
    if (run.arguments.isEmpty()) {
        run.Line(QDir::toNativeSeparators(run.folder.isEmpty() ? QDir::currentPath() : run.folder));
        return kDone;
    }
    return QFileInfo(run.Path(run.arguments[0])).isDir() ? kDone : kFailed;
}

int Version(TInvocation& run)
{
    run.Line();
    run.Line(QSysInfo::prettyProductName() + QStringLiteral(" [") + QSysInfo::kernelVersion() + QLatin1Char(']'));
    return kDone;
}

int Date(TInvocation& run)
{
    run.Line(QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    return kDone;
}

int Time(TInvocation& run)
{
    run.Line(QTime::currentTime().toString(QStringLiteral("HH:mm:ss,zzz")).left(11));
    return kDone;
}

int Volume(TInvocation& run)
{
    run.Line(QStringLiteral(" Le volume dans le lecteur C n'a pas de nom."));
    return kDone;
}

void TreeLines(TInvocation& run, const QDir& dir, const QString& indent)
{
    const QFileInfoList folders = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const bool last = i + 1 == folders.size();
        run.Line(indent + (last ? QStringLiteral("\\---") : QStringLiteral("+---")) + folders[i].fileName());
        TreeLines(run, QDir(folders[i].absoluteFilePath()), indent + (last ? QStringLiteral("    ") : QStringLiteral("|   ")));
    }
}

int Tree(TInvocation& run)
{
    const QDir dir(run.Path(run.arguments.value(0, QStringLiteral("."))));
    if (!dir.exists())
        return kFailed;
    run.Line(QDir::toNativeSeparators(dir.absolutePath()));
    TreeLines(run, dir, QString());
    return kDone;
}

int CodePage(TInvocation& run)
{
    run.Line(QStringLiteral("Page de codes active : 1252"));
    return kDone;
}

struct TInternalCommand {
    const char* names; // "." separated
    int (*run)(TInvocation&);
};

constexpr TInternalCommand kCommands[] = {
    {"DIR.", Dir},          {"COPY.", Copy},         {"DEL.ERASE.", Delete},  {"TYPE.", Type},
    {"REN.RENAME.", Rename}, {"MD.MKDIR.", MakeFolder}, {"RD.RMDIR.", RemoveFolder}, {"CD.CHDIR.", ChangeFolder},
    {"VER.", Version},      {"DATE.", Date},         {"TIME.", Time},         {"VOL.", Volume},
    {"TREE.", Tree},        {"CHCP.", CodePage},
};

bool WriteOutput(const TInvocation& run, const TRedirect& redirect)
{
    if (redirect.file.isEmpty())
        return true;
    QFile file(run.Path(redirect.file));
    const QIODevice::OpenMode mode = redirect.append ? QIODevice::Append : (QIODevice::WriteOnly | QIODevice::Truncate);
    if (!file.open(mode))
        return false;
    const QByteArray bytes = EncodeWindows1252(run.output);
    return file.write(bytes) == bytes.size();
}

} // namespace

int RunInternalCommand(const QString& command, const QString& parameters, const QString& folder)
{
    QString line = parameters;
    const TRedirect redirect = TakeRedirect(line);
    TInvocation run;
    run.folder = folder;
    for (const QString& argument : SplitWindowsArguments(line)) {
        if (argument.startsWith(QLatin1Char('/')) && argument.size() <= 3)
            run.switches.append(argument.mid(1).toUpper());
        else
            run.arguments.append(argument);
    }
    const QString key = command.toUpper() + QLatin1Char('.');
    for (const TInternalCommand& entry : kCommands) {
        if (!(QLatin1Char('.') + QString::fromLatin1(entry.names)).contains(QLatin1Char('.') + key))
            continue;
        const int code = entry.run(run);
        return WriteOutput(run, redirect) ? code : kFailed;
    }
    return kFailed;
}

} // namespace tomeric
