#pragma once
// Packs a publication folder (RUNTIME.PUB and the files it uses) into a
// container: the engine behind "tomeric-pack build", also used by tests that
// need a real container.

#include "package/package.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tomeric {

struct TFolderPackOptions {
    QString sourceFolder;
    QString outputPath;
    QString stubPath; // empty: the package alone
    TApplicationKind applicationKind = TApplicationKind::akWindow;
    bool singleInstance = false;
    QString splashImage;
    QString previewImage;
    // A start page other than 1 can only be stored by a preview package.
    std::optional<std::int32_t> startPage;
    // Files (relative to the folder, or bare names) stored as plug-in
    // support files (kind 11).
    QStringList pluginSupportFiles;
    // A preview package that runs under the debugger of this folder: its
    // plug-ins are not stored but named by their paths in the source
    // folder, as the authoring tool's previews name them.
    std::optional<QString> debuggerFolder;
};

struct TFolderPackReport {
    bool ok = false;
    QString error;        // why it failed
    QStringList warnings; // what the user should know about a success
    int entryCount = 0;
};

TFolderPackReport PackFolder(const TFolderPackOptions& options);

// The kind of entry a file becomes, from its extension: pictures 3, fonts
// 6, plug-in libraries 10, everything else 0.
std::uint8_t EntryKindForFileName(const QString& fileName);

// Publication texts are stored in Windows-1252. A source that is valid UTF-8
// and not plain ASCII is converted; anything else is taken as it is.
// `lossy` reports characters Windows-1252 cannot hold (stored as "?").
QByteArray PublicationTextForPackage(const QByteArray& source, bool* converted = nullptr,
                                     bool* lossy = nullptr);

} // namespace tomeric
