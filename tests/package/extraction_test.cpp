// Extracting embedded files to disk, the extraction folder, and what
// closing the package deletes.

#include "package_test_support.h"

#include <QDir>
#include <QFileInfo>

using namespace tomeric;
using namespace tomeric::testing;

namespace {

class Extraction : public ::testing::Test {
protected:
    void SetUp() override {
        PackageWriter writer;
        writer.AddFile("RUNTIME.PUB", "TITLE=x\r\n");
        writer.AddFile("embedded:\\\\\\notes.txt", "the notes");
        writer.AddFile("Fonts\\Serif.ttf", QByteArray(500, 'f'), ekFont);
        writer.AddFile("media\\clip.avi", QByteArray(3000, 'c'));
        ASSERT_EQ(package.Open(WritePackage(writer, containerDir)), kPackageOk);
        package.SetTemporaryFolder(tempDir.path());
        package.SetExtractionFolder(extractDir.path());
    }
    QString InExtractDir(const QString& name) const { return extractDir.filePath(name); }

    QTemporaryDir containerDir, tempDir, extractDir;
    TPackage package;
};

TEST_F(Extraction, WritesThePlainFileNameIntoTheExtractionFolder) {
    TEmbeddedEntry& entry = *package.FindEmbedded("media/clip.avi");
    EXPECT_EQ(package.ExtractEmbedded(entry, false), 1);
    EXPECT_TRUE(entry.extracted);
    EXPECT_EQ(entry.extractedPath, InExtractDir("clip.avi"));
    EXPECT_EQ(ReadAll(InExtractDir("clip.avi")), QByteArray(3000, 'c'));
    // No temporary left beside it.
    EXPECT_EQ(QDir(extractDir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(Extraction, AnExistingFileOfThatNameIsUsedUnchanged) {
    WriteAll(InExtractDir("notes.txt"), "user's own notes");
    TEmbeddedEntry& entry = *package.FindEmbedded("embedded:\\\\\\notes.txt");
    EXPECT_EQ(package.ExtractEmbedded(entry, false), 2);
    EXPECT_TRUE(entry.extracted);
    EXPECT_EQ(ReadAll(InExtractDir("notes.txt")), "user's own notes");
    // Closing with deletion never removes a file the player did not write.
    package.ApplyExtractionSettings({0x84}, {});
    package.SetExtractionFolder(extractDir.path());
    package.Close(true);
    EXPECT_TRUE(QFileInfo::exists(InExtractDir("notes.txt")));
}

TEST_F(Extraction, ASecondExtractionFindsItsOwnFile) {
    TEmbeddedEntry& entry = *package.FindEmbedded("media\\clip.avi");
    EXPECT_EQ(package.ExtractEmbedded(entry, false), 1);
    EXPECT_EQ(package.ExtractEmbedded(entry, false), 2);
    EXPECT_TRUE(entry.extractedByUs);
}

TEST_F(Extraction, UniqueNamesKeepTheEntrysExtension) {
    TEmbeddedEntry& entry = *package.FindEmbedded("Fonts\\Serif.ttf");
    EXPECT_EQ(package.ExtractEmbedded(entry, true), 1);
    const QString first = entry.extractedPath;
    EXPECT_TRUE(first.endsWith(".ttf"));
    EXPECT_TRUE(first.startsWith(extractDir.path()));
    EXPECT_EQ(package.ExtractEmbedded(entry, true), 1);
    EXPECT_NE(entry.extractedPath, first);
    EXPECT_EQ(ReadAll(entry.extractedPath), QByteArray(500, 'f'));
}

TEST_F(Extraction, AnUnwritableFolderIsAWriteError) {
    package.SetExtractionFolder(containerDir.filePath("pub.exe")); // a file, not a folder
    TEmbeddedEntry& entry = *package.FindEmbedded("media\\clip.avi");
    EXPECT_EQ(package.ExtractEmbedded(entry, false), 100);
    EXPECT_EQ(package.ExtractEmbedded(entry, true), 100);
    EXPECT_FALSE(entry.extracted);
}

TEST(ExtractionFailure, DamagedDataLeavesNoPartialFile) {
    const QByteArray packed = PackageWriter::Compress(QByteArray(100, 'z'));
    const QByteArray directory =
        WindowDirectory(EntryRecord("broken.dat", 0, 200, 0, std::int32_t(packed.size())));
    QTemporaryDir dir, out;
    const QString path = dir.filePath("c.exe");
    WriteAll(path, RawContainer(packed, std::int32_t(directory.size()),
                                PackageWriter::Compress(directory)));
    TPackage package;
    ASSERT_EQ(package.Open(path), kPackageOk);
    package.SetExtractionFolder(out.path());
    TEmbeddedEntry& entry = *package.FindEmbedded("broken.dat");
    EXPECT_EQ(package.ExtractEmbedded(entry, false), 0);
    EXPECT_EQ(package.ExtractEmbedded(entry, true), 0);
    EXPECT_TRUE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_FALSE(entry.extracted);
}

TEST_F(Extraction, ForgetExtractedDeletesTheCopyAndClearsTheFlag) {
    TEmbeddedEntry& entry = *package.FindEmbedded("media\\clip.avi");
    ASSERT_EQ(package.ExtractEmbedded(entry, false), 1);
    package.ForgetExtracted("MEDIA\\CLIP.AVI");
    EXPECT_FALSE(entry.extracted);
    EXPECT_FALSE(QFileInfo::exists(InExtractDir("clip.avi")));
}

TEST_F(Extraction, CopyEmbeddedToFileWritesTheDataOrReportsAMissingFile) {
    QString error;
    const QString target = extractDir.filePath("copy.txt");
    EXPECT_TRUE(package.CopyEmbeddedToFile("embedded:\\\\\\notes.txt", target, &error));
    EXPECT_EQ(ReadAll(target), "the notes");
    EXPECT_FALSE(package.CopyEmbeddedToFile("embedded:\\\\\\none.txt", target, &error));
    EXPECT_EQ(error, QString::fromUtf8("Le fichier n'existe pas."));
    EXPECT_EQ(ReadAll(target), "the notes");
}

struct CloseCase {
    const char* label;
    std::uint8_t flags;
    bool deleteExtracted;
    bool fontRemains;
    bool otherRemains;
};

class ClosingDeletion : public Extraction, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingDeletion, FontsGoAlwaysOtherFilesWithFlag0x80) {
    const CloseCase& c = GetParam();
    package.ApplyExtractionSettings({c.flags}, {});
    package.SetExtractionFolder(extractDir.path());
    TEmbeddedEntry& font = *package.FindEmbedded("Fonts\\Serif.ttf");
    TEmbeddedEntry& clip = *package.FindEmbedded("media\\clip.avi");
    ASSERT_EQ(package.ExtractEmbedded(font, true), 1);
    ASSERT_EQ(package.ExtractEmbedded(clip, false), 1);
    const QString fontPath = font.extractedPath, clipPath = clip.extractedPath;
    EXPECT_EQ(package.Close(c.deleteExtracted), c.fontRemains ? 0 : 1);
    EXPECT_EQ(QFileInfo::exists(fontPath), c.fontRemains);
    EXPECT_EQ(QFileInfo::exists(clipPath), c.otherRemains);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ClosingDeletion,
    ::testing::Values(CloseCase{"defaultFlags", 0x84, true, false, false},
                      CloseCase{"keepOthers", 0x04, true, false, true},
                      CloseCase{"noDeletion", 0x84, false, true, true}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- the extraction folder ---------------------------------------------------

TEST_F(Extraction, TheFirstFlagInTheOrderWindowsTemporaryPublicationDirChooses) {
    QTemporaryDir windows, chosen;
    package.SetWindowsFolder(windows.path());
    const QString publication = QFileInfo(package.ContainerPath()).absolutePath() + "/";
    const struct {
        std::uint8_t flags;
        QString expected;
    } cases[] = {
        {0x0F, windows.path() + "/"},
        {0x0D, tempDir.path() + "/"},
        {0x09, publication},
        {0x08, chosen.path() + "/"},
        {0x80, tempDir.path() + "/"}, // no folder flag: the temporary folder
    };
    for (const auto& c : cases) {
        package.ApplyExtractionSettings({c.flags}, chosen.path());
        EXPECT_EQ(package.ExtractionFolder(), c.expected) << "flags " << int(c.flags);
    }
}

TEST_F(Extraction, ExtractDirIsCreatedWithItsParents) {
    const QString wanted = tempDir.filePath("a/b/c");
    package.ApplyExtractionSettings({0x08}, wanted);
    EXPECT_EQ(package.ExtractionFolder(), wanted + "/");
    EXPECT_TRUE(QFileInfo(wanted).isDir());
}

TEST_F(Extraction, AnUnusableChoiceFallsBackToTheTemporaryFolder) {
    const QString file = containerDir.filePath("pub.exe");
    const QString cases[] = {
        file + "/sub",  // cannot be created: its parent is a file
        "Error",        // the system's answer for an unknown folder
        "",             // flag 0x08 with no EXTRACTDIR
    };
    for (const QString& dir : cases) {
        package.ApplyExtractionSettings({0x08}, dir);
        EXPECT_EQ(package.ExtractionFolder(), tempDir.path() + "/") << dir.toStdString();
    }
    package.SetWindowsFolder({});
    package.ApplyExtractionSettings({0x02}, {});
    EXPECT_EQ(package.ExtractionFolder(), tempDir.path() + "/");
}

TEST_F(Extraction, ARelativeExtractDirLiesInThePublicationsFolder) {
    package.ApplyExtractionSettings({0x08}, "Data\\Files");
    EXPECT_EQ(package.ExtractionFolder(),
              QFileInfo(package.ContainerPath()).absolutePath() + "/Data/Files/");
}

} // namespace

namespace {

TEST(StartUpFiles, FontsAreExtractedUnderUniqueNames) {
    PackageWriter writer;
    writer.AddFile("Serif.ttf", "serif", ekFont);
    writer.AddFile("Sans.otf", "sans", ekFont);
    writer.AddFile("other.txt", "x");
    QTemporaryDir dir, extract;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
    package.SetExtractionFolder(extract.path());
    const QStringList fonts = package.ExtractFonts();
    ASSERT_EQ(fonts.size(), 2);
    EXPECT_TRUE(fonts[0].endsWith(".otf")); // entry-list order: head first
    EXPECT_TRUE(fonts[1].endsWith(".ttf"));
    EXPECT_FALSE(fonts.contains(extract.filePath("Serif.ttf")));
    EXPECT_EQ(ReadAll(fonts[1]), "serif");
}

TEST(StartUpFiles, PlugInsBecomeFilesAndSupportFilesComeFirst) {
    PackageWriter writer;
    writer.AddFile("calc.dat", "support", ekPlugInSupport);
    writer.AddFile("calc.qxp", "library", ekPlugIn);
    writer.AddTaggedPlugIn("tagged.qxp", "tagged library", "x");
    writer.AddExternalPlugIn("beside.qxp");
    writer.AddExternalPlugIn("absent.qxp");
    QTemporaryDir dir, extract;
    WriteAll(dir.filePath("beside.qxp"), "beside");
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
    package.SetExtractionFolder(extract.path());
    const QStringList libraries = package.PreparePlugInFiles();
    EXPECT_EQ(ReadAll(extract.filePath("calc.dat")), "support");
    ASSERT_EQ(libraries.size(), 3);
    EXPECT_EQ(libraries[0], dir.filePath("beside.qxp"));
    EXPECT_EQ(ReadAll(libraries[1]), "tagged library");
    EXPECT_EQ(ReadAll(libraries[2]), "library");
    // An extracted library's entry is now named by its path.
    EXPECT_NE(package.FindEmbedded(libraries[2]), nullptr);
}

} // namespace
