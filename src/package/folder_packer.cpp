#include "package/folder_packer.h"

#include "package/package_writer.h"
#include "package/picture_header.h"
#include "platform/cp1252.h"
#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace tomeric {
namespace {

struct KindByExtension {
    const char* extension;
    std::uint8_t kind;
};

constexpr KindByExtension kKinds[] = {
    {".bmp", ekPicture}, {".png", ekPicture}, {".jpg", ekPicture}, {".jpeg", ekPicture},
    {".gif", ekPicture}, {".ico", ekPicture}, {".pcx", ekPicture}, {".tif", ekPicture},
    {".wmf", ekPicture}, {".emf", ekPicture},
    {".ttf", ekFont},    {".otf", ekFont},    {".fon", ekFont},    {".fnt", ekFont},
    {".qxp", ekPlugIn},  {".dll", ekPlugIn},  {".so", ekPlugIn},
};

bool IsAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
}

// Every file below the folder, relative, "/"-separated, in a stable order;
// files and folders whose names begin with "." are left out.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = root.relativeFilePath(it.next());
        const QStringList parts = relative.split(u'/');
        if (std::none_of(parts.begin(), parts.end(),
                         [](const QString& part) { return part.startsWith(u'.'); }))
            files.append(relative);
    }
    std::sort(files.begin(), files.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return files;
}

bool SameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool IsPluginSupport(const QString& relative, const QStringList& supportFiles) {
    for (QString wanted : supportFiles) {
        wanted.replace(u'\\', u'/');
        if (relative.compare(wanted, Qt::CaseInsensitive) == 0 ||
            platform::FilePart(relative).compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

void AddFolderFile(PackageWriter& writer, const QString& entryName, const QByteArray& bytes,
                   std::uint8_t kind) {
    if (kind != ekPicture) {
        writer.AddFile(entryName, bytes, kind);
        return;
    }
    const TPictureHeader header = ReadPictureHeader(bytes).value_or(TPictureHeader{});
    writer.AddPicture(entryName, bytes, header.width, header.height, header.hasAlpha);
}

// Files the publication names with the "embedded:\\\" prefix get a second
// entry of that name sharing their data.
void AddEmbeddedAliases(PackageWriter& writer, const QString& publicationText,
                        const QStringList& entryNames) {
    QSet<QString> added;
    for (const QString& entryName : entryNames) {
        for (const QString& referred : {entryName, platform::FilePart(entryName)}) {
            const QString alias = kEmbeddedPrefix + referred;
            if (added.contains(alias.toCaseFolded()) ||
                !publicationText.contains(alias, Qt::CaseInsensitive))
                continue;
            if (writer.AddAlias(alias, entryName))
                added.insert(alias.toCaseFolded());
        }
    }
}

bool NamesAnEntry(const QString& name, const QStringList& entryNames) {
    if (name.startsWith(kEmbeddedPrefix, Qt::CaseInsensitive))
        return NamesAnEntry(name.mid(kEmbeddedPrefix.size()), entryNames);
    QString backslashed = name;
    backslashed.replace(u'/', u'\\');
    return std::any_of(entryNames.begin(), entryNames.end(), [&](const QString& entry) {
        return entry.compare(backslashed, Qt::CaseInsensitive) == 0 ||
               platform::FilePart(entry).compare(backslashed, Qt::CaseInsensitive) == 0;
    });
}

TFolderPackReport Failure(const QString& error) {
    TFolderPackReport report;
    report.error = error;
    return report;
}

} // namespace

std::uint8_t EntryKindForFileName(const QString& fileName) {
    const QString extension = platform::ExtensionPart(fileName).toLower();
    for (const KindByExtension& entry : kKinds)
        if (extension == QLatin1String(entry.extension))
            return entry.kind;
    return ekOrdinary;
}

QByteArray PublicationTextForPackage(const QByteArray& source, bool* converted, bool* lossy) {
    if (converted)
        *converted = false;
    if (lossy)
        *lossy = false;
    QByteArray body = source;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    if (IsAscii(body))
        return body;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (utf8.hasError())
        return source; // already Windows-1252
    if (converted)
        *converted = true;
    if (lossy)
        *lossy = !IsWindows1252(text);
    return EncodeWindows1252(text);
}

TFolderPackReport PackFolder(const TFolderPackOptions& options) {
    const QFileInfo folderInfo(options.sourceFolder);
    if (!folderInfo.isDir())
        return Failure(QStringLiteral("%1 is not a folder").arg(options.sourceFolder));
    if (!folderInfo.isReadable())
        return Failure(QStringLiteral("cannot read the folder %1").arg(options.sourceFolder));
    const QString folder = folderInfo.absoluteFilePath();

    QStringList files = FilesBelow(folder);
    files.erase(std::remove_if(files.begin(), files.end(),
                               [&](const QString& relative) {
                                   const QString path = folder + u'/' + relative;
                                   return SameFile(path, options.outputPath) ||
                                          (!options.stubPath.isEmpty() &&
                                           SameFile(path, options.stubPath));
                               }),
                files.end());
    const auto publication = std::find_if(files.begin(), files.end(), [](const QString& f) {
        return f.compare(kPublicationEntryName, Qt::CaseInsensitive) == 0;
    });
    if (publication == files.end())
        return Failure(QStringLiteral("%1 holds no RUNTIME.PUB").arg(options.sourceFolder));

    TFolderPackReport report;
    PackageWriter writer;
    writer.SetApplicationKind(options.applicationKind);
    writer.SetSingleInstance(options.singleInstance);
    writer.SetSplashImage(options.splashImage);
    writer.SetPreviewImage(options.previewImage);
    if (options.debuggerFolder) {
        writer.SetPreviewMode(options.startPage ? 3 : 2, options.startPage.value_or(1));
        writer.SetPreviewTexts(QFileInfo(*options.debuggerFolder).absoluteFilePath(), QString(), QString(),
                               QString());
    } else if (options.startPage) {
        writer.SetPreviewMode(3, *options.startPage);
        report.warnings.append(QStringLiteral(
            "a start page is stored only by preview packages: the player runs this one in "
            "preview mode"));
    }

    QFile publicationFile(folder + u'/' + *publication);
    if (!publicationFile.open(QIODevice::ReadOnly))
        return Failure(QStringLiteral("cannot read %1").arg(publicationFile.fileName()));
    bool converted = false, lossy = false;
    const QByteArray publicationText =
        PublicationTextForPackage(publicationFile.readAll(), &converted, &lossy);
    if (lossy)
        report.warnings.append(QStringLiteral(
            "RUNTIME.PUB holds characters Windows-1252 cannot store; they became \"?\""));
    writer.AddFile(kPublicationEntryName, publicationText);

    QStringList entryNames;
    for (const QString& relative : files) {
        if (relative == *publication)
            continue;
        QFile file(folder + u'/' + relative);
        if (!file.open(QIODevice::ReadOnly))
            return Failure(QStringLiteral("cannot read %1").arg(file.fileName()));
        QString entryName = relative;
        entryName.replace(u'/', u'\\');
        const std::uint8_t kind = IsPluginSupport(relative, options.pluginSupportFiles)
            ? std::uint8_t(ekPlugInSupport) : EntryKindForFileName(relative);
        if (kind == ekPlugIn && options.debuggerFolder) {
            writer.AddExternalPlugIn(QFileInfo(file).absoluteFilePath());
            continue;
        }
        AddFolderFile(writer, entryName, file.readAll(), kind);
        entryNames.append(entryName);
    }
    AddEmbeddedAliases(writer, DecodeWindows1252(publicationText), entryNames);

    for (const QString& image : {options.splashImage, options.previewImage})
        if (!image.isEmpty() && !NamesAnEntry(image, entryNames))
            report.warnings.append(QStringLiteral("no file of the folder is named %1").arg(image));

    QString error;
    if (!writer.WriteTo(options.outputPath, options.stubPath, &error))
        return Failure(error);
    report.ok = true;
    report.entryCount = int(writer.EntryCount());
    return report;
}

} // namespace tomeric
