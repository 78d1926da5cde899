#include "services/program_launcher.h"

#include "actions/system_error_text.h"
#include "platform/paths.h"
#include "platform/string_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace tomeric {

namespace {

// The command interpreter's internal commands, as the launcher tests them:
// the name upper-cased and followed by "." must occur in this list.
constexpr const char* kInternalCommands =
    "DIR.COPY.DEL.TYPE.VER.ERASE.TREE.CHCP.CHDIR.CD.DATE.MKDIR.MD.RENAME.REN.RMDIR.RD.TIME.VOL.";
// Extensions that are programs on Windows: Wine runs them here.
constexpr const char* kWindowsPrograms = ".EXE.COM.BAT.MSI.SCR.";
// Extensions nothing on this system opens.
constexpr const char* kWindowsOnly = ".LNK.CPL.PIF.HLP.CHM.";
// The extensions the launcher never hands to a document handler.
constexpr const char* kNotDocuments = ".EXE.COM.BAT.LNK.PIF.URL.SCR.MSI.HLP.CHM.";

bool InList(const char* list, const QString& item)
{
    return !item.isEmpty() && QString::fromLatin1(list).contains(item.toUpper() + QLatin1Char('.'));
}

QString Unquoted(const QString& text)
{
    QString result = text.trimmed();
    result.remove(QLatin1Char('"'));
    return result;
}

// "http://...", "mailto:..." but not a drive letter ("C:\...").
bool IsUrl(const QString& text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch();
}

QString DesktopHandler()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

TLaunchPlan Refused(const QString& failure)
{
    TLaunchPlan plan;
    plan.kind = TLaunchKind::lkRefused;
    plan.failure = failure;
    return plan;
}

// The desktop's handler opens `target` (a URL, a document or a folder).
TLaunchPlan ThroughHandler(const QString& target)
{
    const QString handler = DesktopHandler();
    if (handler.isEmpty())
        return Refused(FileNotFoundText());
    TLaunchPlan plan;
    plan.kind = TLaunchKind::lkProcess;
    plan.program = handler;
    // xdg-open takes one target; the publication's parameters have nowhere
    // to go on this system, so they are left out rather than misread.
    plan.arguments = QStringList{target};
    plan.viaHandler = true;
    return plan;
}

// Where a program without folder is found: the publication's folder first,
// then the search path.
QString FindProgram(const QString& name, const TLaunchContext& context)
{
    if (!context.publicationFolder.isEmpty()) {
        const QString local = platform::NativePath(context.publicationFolder + name);
        if (QFileInfo(local).isFile())
            return local;
    }
    return QStandardPaths::findExecutable(name);
}

// The address an Internet shortcut (.URL) points at: the URL= line of its
// [InternetShortcut] section; empty when it has none.
QString InternetShortcutUrl(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    bool inSection = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inSection = line.compare(QLatin1String("[InternetShortcut]"), Qt::CaseInsensitive) == 0;
        else if (inSection && line.startsWith(QLatin1String("URL="), Qt::CaseInsensitive))
            return line.mid(4).trimmed();
    }
    return QString();
}

QString WorkingFolderFor(const QString& programPath, const TLaunchContext& context)
{
    if (!context.publicationCurrentFolder.isEmpty())
        return context.publicationCurrentFolder;
    return QFileInfo(programPath).absolutePath();
}

} // namespace

QStringList SplitWindowsArguments(const QString& parameters)
{
    QStringList arguments;
    QString current;
    bool inQuotes = false, haveArgument = false;
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const QChar c = parameters[i];
        if (c == QLatin1Char('"')) {
            if (inQuotes && i + 1 < parameters.size() && parameters[i + 1] == QLatin1Char('"')) {
                current += c;
                ++i;
            } else {
                inQuotes = !inQuotes;
            }
            haveArgument = true;
        } else if (!inQuotes && (c == QLatin1Char(' ') || c == QLatin1Char('\t'))) {
            if (haveArgument)
                arguments.append(current);
            current.clear();
            haveArgument = false;
        } else {
            current += c;
            haveArgument = true;
        }
    }
    if (haveArgument)
        arguments.append(current);
    return arguments;
}

TLaunchPlan PlanLaunch(const QString& programText, const QString& parameters, const TLaunchContext& context)
{
    const QString program = Unquoted(programText);
    const QString extension = platform::ExtensionPart(program).toUpper();

    if (InList(kInternalCommands, program)) {
        TLaunchPlan plan;
        plan.kind = TLaunchKind::lkInternal;
        plan.internalCommand = program.toUpper();
        plan.internalParameters = parameters;
        plan.fileName = program;
        plan.workingFolder = context.publicationCurrentFolder;
        return plan;
    }
    if (IsUrl(program) && !(program.size() > 1 && program[1] == QLatin1Char(':')))
        return ThroughHandler(program);
    if (InList(kWindowsOnly, extension))
        return Refused(Message(msgCannotOpenHere, program));

    const QString native = platform::NativePath(program);
    const QFileInfo info(native);
    if (platform::FilePart(program).isEmpty() || (info.isDir() && !info.isFile())) {
        if (!info.isDir())
            return Refused(PathNotFoundText());
        TLaunchPlan plan = ThroughHandler(info.absoluteFilePath());
        plan.fileName = info.fileName();
        return plan;
    }

    const bool hasFolder = !platform::FolderPart(program).isEmpty();
    const QString found = hasFolder ? (info.isFile() ? info.absoluteFilePath() : QString())
                                    : FindProgram(program, context);
    TLaunchPlan plan;
    plan.fileName = platform::FilePart(program);
    const QStringList arguments = SplitWindowsArguments(parameters);

    if (InList(kWindowsPrograms, extension)) {
        const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
        if (wine.isEmpty())
            return Refused(Message(msgWineMissing, program));
        // Wine finds its own programs (notepad.exe) when we have no file.
        plan.kind = TLaunchKind::lkProcess;
        plan.program = wine;
        plan.arguments = QStringList{found.isEmpty() ? program : found} + arguments;
        plan.programPath = found.isEmpty() ? program : found;
        plan.workingFolder = found.isEmpty() ? context.publicationCurrentFolder : WorkingFolderFor(found, context);
        return plan;
    }
    if (found.isEmpty())
        return Refused(FileNotFoundText());

    if (extension == QLatin1String(".URL")) {
        const QString url = InternetShortcutUrl(found);
        if (url.isEmpty())
            return Refused(Message(msgCannotOpenHere, program));
        TLaunchPlan opened = ThroughHandler(url);
        opened.fileName = plan.fileName;
        opened.programPath = found;
        return opened;
    }

    const QFileInfo target(found);
    const bool document = !extension.isEmpty() && !InList(kNotDocuments, extension) && extension != QLatin1String(".SH");
    if (document && !target.isExecutable()) {
        const bool page = extension == QLatin1String(".HTML") || extension == QLatin1String(".HTM");
        TLaunchPlan opened = ThroughHandler(page ? QUrl::fromLocalFile(found).toString() : found);
        opened.fileName = plan.fileName;
        opened.programPath = found;
        return opened;
    }
    plan.kind = TLaunchKind::lkProcess;
    plan.programPath = found;
    plan.workingFolder = WorkingFolderFor(found, context);
    if (!target.isExecutable()) {
        if (extension != QLatin1String(".SH"))
            return Refused(AccessDeniedText());
        plan.program = QStringLiteral("/bin/sh");
        plan.arguments = QStringList{found} + arguments;
        return plan;
    }
    plan.program = found;
    plan.arguments = arguments;
    return plan;
}

} // namespace tomeric
