#include "services/process_list.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

namespace tomeric {

namespace {

// Programs whose first argument names what really runs.
const QStringList kInterpreters = {
    QStringLiteral("sh"),      QStringLiteral("bash"),  QStringLiteral("dash"),    QStringLiteral("python3"),
    QStringLiteral("python"),  QStringLiteral("perl"),  QStringLiteral("wine"),    QStringLiteral("wine64"),
    QStringLiteral("wine-preloader"), QStringLiteral("wine64-preloader"),
};

// The file name of a path written with "/" or "\" (Wine writes "C:\...").
QString BaseName(const QByteArray& path)
{
    QString text = QString::fromLocal8Bit(path);
    const qsizetype cut = std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
    return text.mid(cut + 1).toLower();
}

QByteArray ReadProcFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList NamesOf(qint64 pid)
{
    QStringList names;
    const QString executable = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    if (!executable.isEmpty())
        names.append(QFileInfo(executable).fileName().toLower());
    const QList<QByteArray> arguments = ReadProcFile(pid, "cmdline").split('\0');
    if (!arguments.isEmpty() && !arguments[0].isEmpty()) {
        const QString first = BaseName(arguments[0]);
        if (!names.contains(first))
            names.append(first);
        if (kInterpreters.contains(first) || (!names.isEmpty() && kInterpreters.contains(names[0]))) {
            // The script or program it runs: the first argument that is no option.
            for (qsizetype i = 1; i < arguments.size(); ++i) {
                if (arguments[i].isEmpty() || arguments[i].startsWith('-'))
                    continue;
                names.append(BaseName(arguments[i]));
                break;
            }
        }
    }
    return names;
}

bool IsZombie(qint64 pid)
{
    // "pid (comm) S ...": the state follows the last ")".
    const QByteArray stat = ReadProcFile(pid, "stat");
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 || close + 2 >= stat.size() || stat[close + 2] == 'Z' || stat[close + 2] == 'X';
}

} // namespace

QList<TVexProcessEntry> TVexProcessList::Snapshot()
{
    QList<TVexProcessEntry> entries;
    const QStringList folders = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& folder : folders) {
        bool numeric = false;
        const qint64 pid = folder.toLongLong(&numeric);
        if (!numeric || IsZombie(pid))
            continue;
        TVexProcessEntry entry;
        entry.ProcessId = pid;
        entry.FileNames = NamesOf(pid);
        if (!entry.FileNames.isEmpty())
            entries.append(entry);
    }
    return entries;
}

qint64 TVexProcessList::FindByFileName(const QString& fileName)
{
    const QString wanted = fileName.trimmed().toLower();
    if (wanted.isEmpty())
        return 0;
    for (const TVexProcessEntry& entry : Snapshot())
        if (entry.FileNames.contains(wanted))
            return entry.ProcessId;
    return 0;
}

bool TVexProcessList::IsAlive(qint64 processId)
{
    return processId > 0 && QFileInfo::exists(QStringLiteral("/proc/%1").arg(processId)) && !IsZombie(processId);
}

} // namespace tomeric
