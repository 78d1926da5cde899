#include "package/command_line.h"

#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>

namespace tomeric {
namespace {

QString BaseName(const QString& executablePath) {
    return platform::FilePart(executablePath);
}

bool IsContainerSwitch(const QString& argument) {
    return argument.compare(QLatin1String("/R"), Qt::CaseInsensitive) == 0 ||
           argument.compare(QLatin1String("-R"), Qt::CaseInsensitive) == 0;
}

bool IsSwitchSyntax(const QString& argument) {
    return argument.size() >= 2 && (argument[0] == u'-' || argument[0] == u'/');
}

// Native absolute paths look like "/x" switches; one that exists is data.
bool NamesExistingPath(const QString& argument) {
    return argument.startsWith(u'/') && argument.indexOf(u'/', 1) > 0 &&
           QFileInfo::exists(argument);
}

} // namespace

bool IsStandalonePlayer(const QString& executablePath) {
    const QString base = BaseName(executablePath);
    return base.compare(QLatin1String("QXPlay5"), Qt::CaseInsensitive) == 0 ||
           base.compare(QLatin1String("QXPlay5.exe"), Qt::CaseInsensitive) == 0;
}

TContainerChoice DiscoverContainer(const QStringList& arguments) {
    TContainerChoice choice;
    const QString executable = arguments.value(0);
    if (!IsStandalonePlayer(executable)) {
        choice.containerPath = executable;
        choice.found = !executable.isEmpty();
        return choice;
    }
    choice.standalone = true;
    choice.fromArguments = true;
    if (arguments.size() >= 3 && IsContainerSwitch(arguments[1])) {
        choice.containerPath = arguments[2];
        choice.firstTextArgument = 3;
    } else if (arguments.size() == 2 && platform::FileExists(arguments[1])) {
        choice.containerPath = arguments[1];
        choice.firstTextArgument = 2;
    } else {
        choice.firstTextArgument = std::min<int>(int(arguments.size()), 3);
    }
    choice.found = !choice.containerPath.isEmpty() && platform::FileExists(choice.containerPath);
    if (choice.found)
        choice.containerPath = platform::NativePath(choice.containerPath);
    return choice;
}

QString CommandLineText(const QStringList& arguments, int firstTextArgument) {
    const int first = std::max(firstTextArgument, 0);
    if (first >= arguments.size())
        return {};
    return arguments.mid(first).join(u'\r');
}

QString CommandLineVariable(const QString& executablePath, const QString& text) {
    if (text.isEmpty())
        return executablePath;
    return executablePath + u'\r' + text;
}

std::optional<QString> SwitchValue(const QStringList& arguments, QChar letter,
                                   int firstArgument) {
    std::optional<QString> value;
    const QChar wanted = letter.toUpper();
    for (qsizetype i = std::max(firstArgument, 0); i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!IsSwitchSyntax(argument) || argument[1].toUpper() != wanted)
            continue;
        if (NamesExistingPath(argument))
            continue;
        value = argument.mid(2).toUpper();
    }
    return value;
}

bool BypassPrintDialogSwitch(const QStringList& arguments, int firstArgument) {
    return SwitchValue(arguments, u'B', firstArgument).has_value();
}

QString StartPageSwitch(const QStringList& arguments, int firstArgument) {
    return SwitchValue(arguments, u'K', firstArgument).value_or(QString());
}

QString LocatePublicationFile(const QString& name, const QString& containerFolder) {
    if (name.isEmpty())
        return {};
    if (!platform::FolderPart(name).isEmpty() && platform::FileExists(name))
        return platform::NativePath(name);
    const QString bare = platform::FilePart(name);
    if (bare.isEmpty())
        return {};
    QStringList folders{containerFolder};
    folders += qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            continue;
        const QString candidate = platform::WithTrailingSeparator(folder) + bare;
        if (platform::FileExists(candidate))
            return platform::NativePath(candidate);
    }
    return {};
}

bool IsScreenSaverExecutable(const QString& executablePath) {
    return platform::ExtensionPart(executablePath).toUpper() == QLatin1String(".SCR");
}

TScreenSaverArguments ParseScreenSaverArguments(const QStringList& arguments) {
    TScreenSaverArguments result;
    if (!IsScreenSaverExecutable(arguments.value(0)))
        return result;
    const QString first = arguments.value(1);
    if (first.size() < 2) {
        result.mode = ssConfigureNoParent;
        return result;
    }
    switch (first[1].toUpper().unicode()) {
    case u'A': result.mode = ssChangePassword; break;
    case u'C': result.mode = ssConfigure; break;
    case u'P': result.mode = ssPreview; break;
    default: result.mode = ssRun; break;
    }
    if (result.mode == ssChangePassword || result.mode == ssPreview) {
        bool ok = false;
        const qulonglong handle = arguments.value(2).trimmed().toULongLong(&ok);
        result.windowHandle = ok ? std::uintptr_t(handle) : 0;
    }
    return result;
}

} // namespace tomeric
