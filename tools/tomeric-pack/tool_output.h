#pragma once
// Console output of tomeric-pack: UTF-8 lines on stdout and stderr.

#include "package/package.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace tomeric::pack {

inline void Out(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
}
inline void Err(const QString& line) {
    std::fputs((line + u'\n').toUtf8().constData(), stderr);
}

// True when the arguments ask for help ("--help" or "-h" anywhere).
inline bool WantsHelp(const QStringList& args) {
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

// Opens a container for a subcommand; on failure prints one line saying why
// ("tomeric-pack list: ...") and returns false.
inline bool OpenContainer(TPackage& package, const QString& path, const QString& command) {
    const QFileInfo info(path);
    QString problem;
    if (!info.exists())
        problem = QStringLiteral("%1 does not exist").arg(path);
    else if (info.isDir())
        problem = QStringLiteral("%1 is a folder, not a container").arg(path);
    else if (!info.isReadable())
        problem = QStringLiteral("cannot read %1").arg(path);
    else if (package.Open(path) != kPackageOk)
        problem = QStringLiteral("%1 is not a Tomeric container (no readable package at its end)")
                      .arg(path);
    if (problem.isEmpty())
        return true;
    Err(QStringLiteral("tomeric-pack %1: %2").arg(command, problem));
    return false;
}

} // namespace tomeric::pack
