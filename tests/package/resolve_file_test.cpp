// ResolveFile: embedded names are extracted; other names are looked for in
// and below the publication's folder before they are taken as written.

#include "package_test_support.h"

#include <QDir>
#include <QFileInfo>

using namespace tomeric;
using namespace tomeric::testing;

namespace {

class ResolveFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        pub = QDir(root.path()).filePath("pub");
        QDir(root.path()).mkpath("pub");
        PackageWriter writer;
        writer.AddFile("RUNTIME.PUB", "TITLE=x\r\n");
        writer.AddFile("embedded:\\\\\\intro.txt", "embedded intro");
        ASSERT_EQ(package.Open(WritePackage(writer, root, "pub/pub.exe")), kPackageOk);
        package.SetTemporaryFolder(temp.path());
        package.SetExtractionFolder(temp.path());
    }
    QString Make(const QString& relative) {
        const QString path = QDir(root.path()).filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        WriteAll(path, relative.toUtf8());
        return path;
    }
    QTemporaryDir root, temp;
    QString pub;
    TPackage package;
};

TEST_F(ResolveFileTest, ThePublicationFolderIsTheContainersFolder) {
    EXPECT_EQ(package.PublicationFolder(), pub + "/");
}

TEST_F(ResolveFileTest, EmbeddedNamesAreExtractedAndTheirPathGiven) {
    const TResolvedFile resolved = package.ResolveFile("embedded:\\\\\\INTRO.txt");
    ASSERT_TRUE(resolved.ok);
    EXPECT_EQ(resolved.path, temp.filePath("intro.txt"));
    EXPECT_EQ(ReadAll(resolved.path), "embedded intro");
    EXPECT_EQ(package.ResolveFile("embedded:\\\\\\intro.txt").path, resolved.path);
}

TEST_F(ResolveFileTest, AnExistingNameInsideThePublicationFolderIsTakenAsItIs) {
    Make("pub/sub/two/b.txt");
    const QString exact = Make("pub/sub/b.txt");
    const TResolvedFile resolved = package.ResolveFile(exact);
    ASSERT_TRUE(resolved.ok);
    EXPECT_EQ(resolved.path, exact);
}

TEST_F(ResolveFileTest, RelativeWindowsNamesLieInThePublicationFolderIgnoringCase) {
    const QString file = Make("pub/Sounds/Intro.WAV");
    const TResolvedFile resolved = package.ResolveFile("sounds\\intro.wav");
    ASSERT_TRUE(resolved.ok);
    EXPECT_EQ(resolved.path, file);
}

TEST_F(ResolveFileTest, AFolderOutsideThePublicationIsSearchedForByBareName) {
    // The author's own machine path: only the bare name counts.
    const QString found = Make("pub/images/logo.bmp");
    const TResolvedFile resolved = package.ResolveFile("C:\\Authoring\\Images\\LOGO.BMP");
    ASSERT_TRUE(resolved.ok);
    EXPECT_EQ(resolved.path, found);
}

TEST_F(ResolveFileTest, TheSearchIsDepthFirstWithEachFolderOwnFileFirst) {
    struct Case {
        QStringList files;
        QString expected;
    };
    const Case cases[] = {
        {{"pub/a/x.txt", "pub/x.txt"}, "pub/x.txt"},
        {{"pub/a/deep/y.txt", "pub/b/y.txt"}, "pub/a/deep/y.txt"},
        {{"pub/m/z.txt", "pub/n/z.txt"}, "pub/m/z.txt"},
        {{"pub/.hidden/w.txt", "pub/zz/w.txt"}, "pub/zz/w.txt"},
    };
    for (const Case& c : cases) {
        for (const QString& f : c.files)
            Make(f);
        const QString bare = QFileInfo(c.expected).fileName();
        const TResolvedFile resolved = package.ResolveFile("D:\\elsewhere\\" + bare.toUpper());
        ASSERT_TRUE(resolved.ok) << bare.toStdString();
        EXPECT_EQ(resolved.path, QDir(root.path()).filePath(c.expected)) << bare.toStdString();
    }
}

TEST_F(ResolveFileTest, AnExistingFileElsewhereComesAfterThePublicationsOwn) {
    const QString outside = Make("outside/v.txt");
    EXPECT_EQ(package.ResolveFile(outside).path, outside);
    const QString inside = Make("pub/deep/v.txt");
    EXPECT_EQ(package.ResolveFile(outside).path, inside);
}

TEST_F(ResolveFileTest, AMissingFileIsNotOkWithError2) {
    const char* names[] = {"nothing.txt", "C:\\none\\nothing.txt", "embedded:\\\\\\nothing.txt", ""};
    for (const char* name : names) {
        const TResolvedFile resolved = package.ResolveFile(name);
        EXPECT_FALSE(resolved.ok) << name;
        EXPECT_EQ(resolved.error, 2) << name;
    }
}

TEST_F(ResolveFileTest, PreviewFilesMapEmbeddedNamesToTheirPaths) {
    const QString real = Make("authoring/logo.png");
    const QString second = Make("authoring/second.png");
    package.SetPreviewFiles(QStringLiteral("logo.png=%1\u00B6LOGO.PNG=%2\u00B6broken\u00B6")
                                .arg(real, second));
    EXPECT_EQ(package.MapPreviewName("embedded:\\\\\\Logo.png"), real);
    EXPECT_EQ(package.MapPreviewName("other\\logo.png"), "other\\logo.png");
    EXPECT_EQ(package.MapPreviewName("embedded:\\\\\\none.png"), "embedded:\\\\\\none.png");
    const TResolvedFile resolved = package.ResolveFile("embedded:\\\\\\logo.png");
    ASSERT_TRUE(resolved.ok);
    EXPECT_EQ(resolved.path, real);
}

} // namespace
