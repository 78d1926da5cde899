#include "browser/ruffle_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tomeric {

namespace {

bool HoldsRuffle(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo::exists(QDir(folder).filePath(QStringLiteral("ruffle.js")));
}

} // namespace

QString RuffleFolder()
{
    if (qEnvironmentVariableIsSet("TOMERIC_RUFFLE_DIR")) {
        const QString chosen = qEnvironmentVariable("TOMERIC_RUFFLE_DIR");
        return HoldsRuffle(chosen) ? QDir(chosen).absolutePath() : QString();
    }
    if (QCoreApplication::instance()) {
        const QString installed = QDir(QCoreApplication::applicationDirPath())
                                      .filePath(QStringLiteral("../share/tomeric-player/ruffle"));
        if (HoldsRuffle(installed))
            return QDir(installed).absolutePath();
    }
#ifdef TOMERIC_RUFFLE_BUILD_DIR
    if (HoldsRuffle(QStringLiteral(TOMERIC_RUFFLE_BUILD_DIR)))
        return QStringLiteral(TOMERIC_RUFFLE_BUILD_DIR);
#endif
    return {};
}

} // namespace tomeric
