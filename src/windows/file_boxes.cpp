#include "windows/file_boxes.h"

#include "platform/paths.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace tomeric {

namespace {

QString NativeFolder(const QString& folder)
{
    return folder.trimmed().isEmpty() ? QString() : platform::NativePath(folder);
}

// Runs a prepared dialog with the mouse showing; the current folder is put
// back whatever the dialog did with it.
bool RunDialog(QFileDialog& dialog)
{
    const QString current = QDir::currentPath();
    dialog.setSizeGripEnabled(true);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    QApplication::restoreOverrideCursor();
    QDir::setCurrent(current);
    return accepted;
}

} // namespace

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1].trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

bool WantsMultipleFiles(const QString& options)
{
    return options.contains(QLatin1String("MULTIPLE"), Qt::CaseInsensitive);
}

QString JoinChosenFiles(const QStringList& files)
{
    return files.join(QLatin1Char(';'));
}

TSaveStart SaveDialogStart(const QString& defaultName)
{
    if (defaultName.trimmed().isEmpty())
        return {};
    const QString native = platform::NativePath(defaultName);
    if (platform::DirectoryExists(native))
        return {native, QString()};
    TSaveStart start;
    start.folder = platform::FolderPart(native);
    start.fileName = platform::FilePart(native);
    return start;
}

std::optional<QString> RunFileOpenBox(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& initialFolder, const QString& options)
{
    QFileDialog dialog(owner, title, NativeFolder(initialFolder), QtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(WantsMultipleFiles(options) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!RunDialog(dialog))
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return JoinChosenFiles(chosen);
}

std::optional<QString> RunFileSaveBox(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& defaultName)
{
    const TSaveStart start = SaveDialogStart(defaultName);
    QFileDialog dialog(owner, title, start.folder, QtFileFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!start.fileName.isEmpty())
        dialog.selectFile(start.fileName);
    if (!RunDialog(dialog))
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

std::optional<QString> RunFolderBox(QWidget* owner, const QString& title, const QString& startFolder)
{
    QFileDialog dialog(owner, title, NativeFolder(startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!startFolder.trimmed().isEmpty())
        dialog.selectFile(NativeFolder(startFolder));
    if (!RunDialog(dialog))
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.first();
}

} // namespace tomeric
