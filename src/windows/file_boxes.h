#pragma once
// FileOpenBox, FileSaveBox and FolderBox on the system's file dialogs. The
// rules around the dialogs (filters, where a dialog starts, how several
// chosen files come back) are plain functions so they can be checked
// without a dialog.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace tomeric {

// A Windows filter ("Texts|*.txt;*.asc|All|*.*": description and pattern
// pairs, all separated by "|") as Qt's file dialogs take it ("Texts (*.txt
// *.asc);;All (*.*)"). A description without its pattern is dropped.
QString QtFileFilter(const QString& filter);

// "MULTIPLE" anywhere in the options, in any case.
bool WantsMultipleFiles(const QString& options);

// Several chosen files as FileOpenBox stores them: joined by ";" in the
// dialog's order.
QString JoinChosenFiles(const QStringList& files);

// Where the save dialog starts for its default: an existing folder starts
// there with no file name; anything else starts in its folder part with its
// file-name part filled in.
struct TSaveStart {
    QString folder;
    QString fileName;
};
TSaveStart SaveDialogStart(const QString& defaultName);

// The dialogs. Each returns nothing when cancelled. They leave the process's
// current folder unchanged and are resizable; the save dialog asks before
// overwriting a file.
std::optional<QString> RunFileOpenBox(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& initialFolder, const QString& options);
std::optional<QString> RunFileSaveBox(QWidget* owner, const QString& title, const QString& filter,
                                      const QString& defaultName);
// File-system folders only, with a new-folder button, the start folder
// selected.
std::optional<QString> RunFolderBox(QWidget* owner, const QString& title, const QString& startFolder);

} // namespace tomeric
