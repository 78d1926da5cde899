#include "app/container_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace tomeric {

namespace {

const QString kLastFolderKey = QStringLiteral("chooser/lastFolder");

// The player's own preferences, under the XDG config folder.
QSettings PlayerPreferences()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("tomeric-player"),
                     QStringLiteral("qxplay5"));
}

} // namespace

QString ChooseContainer()
{
    QSettings preferences = PlayerPreferences();
    QString folder = preferences.value(kLastFolderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString chosen = QFileDialog::getOpenFileName(
        nullptr, QStringLiteral("Open a Tomeric publication"), folder,
        QStringLiteral("Tomeric publications (*.tpk *.exe *.scr *.pkg);;All files (*)"));
    if (!chosen.isEmpty())
        preferences.setValue(kLastFolderKey, QFileInfo(chosen).absolutePath());
    return chosen;
}

QString ExplainUnopenedContainer(const QString& container)
{
    if (container.isEmpty())
        return QStringLiteral("No publication was given, or the file does not exist.");
    return QStringLiteral("%1 is not a Tomeric publication, or it is damaged: no publication could be read "
                          "from it.")
        .arg(QFileInfo(container).fileName());
}

} // namespace tomeric
