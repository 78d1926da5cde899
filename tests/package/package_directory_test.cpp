// The package directory: every start-up field and every kind of entry comes
// back from a container exactly as the packer wrote it.

#include "package_test_support.h"

#include <QProcess>

using namespace tomeric;
using namespace tomeric::testing;

namespace {

struct DirectoryCase {
    const char* label;
    std::uint8_t previewMode;
    TApplicationKind kind;
    bool singleInstance;
    TDisplayModeRequest display;
    std::int32_t startPage;
    int expectedPreviewMode;
    std::int32_t expectedStartPage;
};

class DirectoryRoundTrip : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(DirectoryRoundTrip, StartUpFieldsComeBackAsWritten) {
    const DirectoryCase& c = GetParam();
    PackageWriter writer;
    writer.SetPreviewMode(c.previewMode, c.startPage);
    writer.SetPreviewTexts("C:\\Debug\\", "C:\\Funcs\\", "C:\\Buttons\\", "C:\\icon.ico");
    writer.SetApplicationKind(c.kind);
    writer.SetSingleInstance(c.singleInstance);
    writer.SetDisplayMode(c.display);
    writer.SetSplashImage("splash.bmp");
    writer.SetPreviewImage("preview.bmp");
    writer.AddFile("RUNTIME.PUB", "TITLE=x\r\n");
    QTemporaryDir dir;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);

    EXPECT_EQ(package.PreviewMode(), c.expectedPreviewMode);
    EXPECT_EQ(package.StartPage(), c.expectedStartPage);
    const bool preview = c.previewMode != 0;
    EXPECT_EQ(package.DebuggerFolder(), preview ? "C:\\Debug\\" : "");
    EXPECT_EQ(package.UserFunctionFolder(), preview ? "C:\\Funcs\\" : "");
    EXPECT_EQ(package.ButtonLibraryFolder(), preview ? "C:\\Buttons\\" : "");
    EXPECT_EQ(package.IconPath(), preview ? "C:\\icon.ico" : "");
    EXPECT_EQ(package.ApplicationKind(), c.kind);
    EXPECT_EQ(package.SingleInstance(), c.singleInstance);
    const bool window = c.kind == TApplicationKind::akWindow;
    EXPECT_EQ(package.DisplayMode().change, window && c.display.change);
    if (window && c.display.change) {
        EXPECT_EQ(package.DisplayMode().width, c.display.width);
        EXPECT_EQ(package.DisplayMode().height, c.display.height);
        EXPECT_EQ(package.DisplayMode().bitsPerPixel, c.display.bitsPerPixel);
    }
    EXPECT_EQ(package.SplashImage(), "splash.bmp");
    EXPECT_EQ(package.PreviewImage(),
              c.kind == TApplicationKind::akScreenSaver ? "preview.bmp" : "");
    ASSERT_EQ(package.Entries().size(), 1u);
    EXPECT_EQ(package.Entries()[0].name, "RUNTIME.PUB");
}

INSTANTIATE_TEST_SUITE_P(
    Fields, DirectoryRoundTrip,
    ::testing::Values(
        DirectoryCase{"plain", 0, TApplicationKind::akWindow, false, {}, 1, 0, 1},
        DirectoryCase{"display", 0, TApplicationKind::akWindow, true, {true, 800, 600, 16}, 1, 0, 1},
        DirectoryCase{"screensaver", 0, TApplicationKind::akScreenSaver, false, {true, 1, 2, 3}, 1, 0, 1},
        DirectoryCase{"tray", 0, TApplicationKind::akTray, true, {}, 1, 0, 1},
        DirectoryCase{"singlePage", 1, TApplicationKind::akWindow, false, {}, 1, 1, 1},
        DirectoryCase{"whole", 2, TApplicationKind::akTray, false, {}, 1, 2, 1},
        DirectoryCase{"fromPage", 3, TApplicationKind::akWindow, false, {}, 7, 2, 7}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(PackageDirectory, ApplicationKindLettersFollowTheKind) {
    const struct {
        TApplicationKind kind;
        const char* letter;
    } cases[] = {{TApplicationKind::akWindow, "A"}, {TApplicationKind::akScreenSaver, "S"},
                 {TApplicationKind::akTray, "T"}};
    for (const auto& c : cases) {
        PackageWriter writer;
        writer.SetApplicationKind(c.kind);
        QTemporaryDir dir;
        TPackage package;
        ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
        EXPECT_EQ(package.ApplicationKindLetter(), c.letter);
    }
}

TEST(PackageDirectory, ChainedPackagesHaveNoApplicationItemsAndKindPackage) {
    PackageWriter writer;
    writer.SetChainedPackage(true);
    writer.AddFile("RUNTIME.PUB", "TITLE=chained\r\n");
    QTemporaryDir dir;
    const QString path = WritePackage(writer, dir, "next.pkg");
    TPackage package;
    ASSERT_EQ(package.Open(path, {.chainedPackage = true}), kPackageOk);
    EXPECT_EQ(package.ApplicationKind(), TApplicationKind::akPackage);
    EXPECT_EQ(package.ApplicationKindLetter(), "W");
    ASSERT_EQ(package.Entries().size(), 1u);
    EXPECT_EQ(package.LoadEmbeddedToMemory("RUNTIME.PUB").data, "TITLE=chained\r\n");
}

TEST(PackageDirectory, EveryEntryKindKeepsItsFields) {
    PackageWriter writer;
    writer.AddFile("RUNTIME.PUB", "TITLE=x\r\n");
    writer.AddPicture("embedded:\\\\\\logo.png", QByteArray(300, 'p'), 640, 480, true);
    writer.AddFile("Fonts\\Serif.ttf", QByteArray(100, 'f'), ekFont);
    writer.AddFile("calc.qxp", QByteArray(50, 'l'), ekPlugIn);
    writer.AddFile("calc.dat", QByteArray(10, 's'), ekPlugInSupport);
    writer.AddTaggedPlugIn("tagged.qxp", QByteArray(20, 't'), "opaque");
    writer.AddExternalPlugIn("beside.qxp");
    QTemporaryDir dir;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);

    const auto& entries = package.Entries();
    ASSERT_EQ(entries.size(), 7u);
    // Head first: the last directory entry comes first.
    EXPECT_EQ(entries.front().name, "beside.qxp");
    EXPECT_EQ(entries.back().name, "RUNTIME.PUB");

    const TEmbeddedEntry* picture = package.FindEmbedded("embedded:\\\\\\LOGO.PNG");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->kind, ekPicture);
    EXPECT_EQ(picture->width, 640);
    EXPECT_EQ(picture->height, 480);
    EXPECT_TRUE(picture->hasAlpha);
    EXPECT_TRUE(picture->IsCompressed());
    EXPECT_EQ(picture->unpackedSize, 300);
    EXPECT_FALSE(picture->extracted);

    const struct {
        const char* name;
        std::uint8_t kind;
        QByteArray data;
    } expected[] = {{"Fonts\\Serif.ttf", ekFont, QByteArray(100, 'f')},
                    {"calc.qxp", ekPlugIn, QByteArray(50, 'l')},
                    {"calc.dat", ekPlugInSupport, QByteArray(10, 's')},
                    {"tagged.qxp", ekPlugInTagged, QByteArray(20, 't')}};
    for (const auto& e : expected) {
        const TEmbeddedEntry* entry = package.FindEmbedded(e.name);
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->kind, e.kind) << e.name;
        EXPECT_EQ(package.LoadEmbeddedToMemory(e.name).data, e.data) << e.name;
    }
    const TEmbeddedEntry* external = package.FindEmbedded("beside.qxp");
    ASSERT_NE(external, nullptr);
    EXPECT_EQ(external->storedSize, 0);
    EXPECT_EQ(external->kind, ekPlugIn);
}

TEST(PackageDirectory, NamesAreWindows1252InTheDirectory) {
    PackageWriter writer;
    writer.AddFile(QString::fromUtf8("Été – menu.txt"), "x");
    QTemporaryDir dir;
    const QString path = WritePackage(writer, dir);
    TPackage package;
    ASSERT_EQ(package.Open(path), kPackageOk);
    EXPECT_EQ(package.Entries()[0].name, QString::fromUtf8("Été – menu.txt"));
}

TEST(PackageDirectory, AppendedToAnExecutableItOpensAndTheExecutableStillRuns) {
    PackageWriter writer;
    writer.AddFile("RUNTIME.PUB", QByteArray(5000, 'r'));
    QTemporaryDir dir;
    const QString path = dir.filePath("compiled");
    QString error;
    ASSERT_TRUE(writer.WriteTo(path, "/bin/true", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(path).isExecutable());
    EXPECT_TRUE(ReadAll(path).startsWith(ReadAll("/bin/true")));
    EXPECT_EQ(QProcess::execute(path, {}), 0);

    TPackage package;
    ASSERT_EQ(package.Open(path), kPackageOk);
    const TEmbeddedEntry* entry = package.FindEmbedded("runtime.pub");
    ASSERT_NE(entry, nullptr);
    EXPECT_GE(entry->offset, QFileInfo("/bin/true").size());
    EXPECT_EQ(package.LoadEmbeddedToMemory("RUNTIME.PUB").data, QByteArray(5000, 'r'));
}

TEST(PackageDirectory, DataThatDoesNotShrinkIsStoredAsItIs) {
    PackageWriter writer;
    writer.AddFile("tiny", "ab");
    writer.AddFile("repetitive", QByteArray(4000, 'a'));
    QTemporaryDir dir;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
    EXPECT_FALSE(package.FindEmbedded("tiny")->IsCompressed());
    EXPECT_EQ(package.FindEmbedded("tiny")->storedSize, 2);
    EXPECT_TRUE(package.FindEmbedded("repetitive")->IsCompressed());
    EXPECT_LT(package.FindEmbedded("repetitive")->storedSize, 4000);
}

TEST(PackageDirectory, ReopeningForgetsThePreviousPackage) {
    PackageWriter first;
    first.AddFile("one", "1");
    PackageWriter second;
    second.SetApplicationKind(TApplicationKind::akTray);
    second.AddFile("two", "2");
    QTemporaryDir dir;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(first, dir, "a")), kPackageOk);
    ASSERT_EQ(package.Open(WritePackage(second, dir, "b")), kPackageOk);
    EXPECT_EQ(package.FindEmbedded("one"), nullptr);
    EXPECT_NE(package.FindEmbedded("two"), nullptr);
    EXPECT_EQ(package.ApplicationKind(), TApplicationKind::akTray);
}

TEST(CurrentPackage, FreeFunctionsServeTheOneProcessWidePackage) {
    PackageWriter writer;
    writer.AddFile("RUNTIME.PUB", "TITLE=current\r\n");
    QTemporaryDir dir;
    ASSERT_EQ(OpenPackage(WritePackage(writer, dir)), kPackageOk);
    EXPECT_EQ(&CurrentPackage(), &CurrentPackage());
    EXPECT_NE(FindEmbedded("RUNTIME.PUB"), nullptr);
    EXPECT_EQ(LoadEmbeddedToMemory("RUNTIME.PUB").code, 0);
    ClosePackage(true);
    EXPECT_FALSE(CurrentPackage().IsOpen());
    EXPECT_EQ(LoadEmbeddedToMemory("RUNTIME.PUB").code, 1);
}

} // namespace

namespace {

// A container laid out byte by byte by tests/data/package/make_golden.py.
TEST(GoldenContainer, AContainerBuiltByHandReadsAsLaidOut) {
    TPackage package;
    ASSERT_EQ(package.Open(TOMERIC_TEST_DATA "/package/golden_screensaver.scr"), kPackageOk);
    EXPECT_EQ(package.PreviewMode(), 2);
    EXPECT_EQ(package.StartPage(), 5);
    EXPECT_EQ(package.DebuggerFolder(), "C:\\Debug\\");
    EXPECT_EQ(package.UserFunctionFolder(), "C:\\Funcs\\");
    EXPECT_EQ(package.ButtonLibraryFolder(), "C:\\Buttons\\");
    EXPECT_EQ(package.IconPath(), "");
    EXPECT_EQ(package.ApplicationKind(), TApplicationKind::akScreenSaver);
    EXPECT_TRUE(package.SingleInstance());
    EXPECT_EQ(package.SplashImage(), "splash.bmp");
    EXPECT_EQ(package.PreviewImage(), "prev.bmp");

    const auto& entries = package.Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, QString::fromUtf8("café.txt"));
    EXPECT_EQ(entries[3].name, "RUNTIME.PUB");
    EXPECT_EQ(package.LoadEmbeddedToMemory("runtime.pub").data.left(14), "TITLE=Golden\r\n");
    const TEmbeddedEntry* logo = package.FindEmbedded("embedded:\\\\\\LOGO.BMP");
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->width, 2);
    EXPECT_EQ(logo->height, 3);
    EXPECT_TRUE(logo->hasAlpha);
    EXPECT_EQ(package.LoadEmbeddedToMemory("tagged.qxp").data, "plug-in bytes");
    EXPECT_EQ(package.LoadEmbeddedToMemory(QString::fromUtf8("CAFÉ.TXT")).data, "menu");
}

} // namespace
