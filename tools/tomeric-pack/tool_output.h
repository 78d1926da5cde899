#pragma once
// Console output of tomeric-pack: UTF-8 lines on stdout and stderr.

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

} // namespace tomeric::pack
