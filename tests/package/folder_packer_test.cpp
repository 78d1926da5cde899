// Packing a publication folder, unpacking a package into a folder, and the
// picture sizes the packer records.

#include "package/folder_packer.h"
#include "package/package_unpacker.h"
#include "package/picture_header.h"
#include "package_test_support.h"
#include "platform/cp1252.h"

#include <QDir>
#include <QFileInfo>

using namespace tomeric;
using namespace tomeric::testing;

namespace {

QByteArray Png(std::uint32_t width, std::uint32_t height, std::uint8_t colourType,
               bool transparencyChunk = false) {
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    auto chunk = [&](const char* type, const QByteArray& data) {
        const auto n = std::uint32_t(data.size());
        bytes.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
        bytes.append(type, 4).append(data).append(QByteArray(4, '\0'));
    };
    QByteArray header;
    for (std::uint32_t v : {width, height})
        header.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
    header.append(char(8)).append(char(colourType)).append(QByteArray(3, '\0'));
    chunk("IHDR", header);
    if (transparencyChunk)
        chunk("tRNS", QByteArray(2, '\0'));
    chunk("IDAT", QByteArray(4, '\0'));
    return bytes;
}

QByteArray Bmp(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t headerSize,
               std::uint32_t alphaMask = 0) {
    QByteArray bytes("BM");
    bytes.append(QByteArray(12, '\0'));
    package_format::AppendInt32(bytes, std::int32_t(headerSize));
    package_format::AppendInt32(bytes, width);
    package_format::AppendInt32(bytes, height);
    bytes.append(char(1)).append(char(0)).append(char(bits)).append(char(bits >> 8));
    bytes.append(QByteArray(int(headerSize) - 16, '\0'));
    if (headerSize >= 56)
        for (int i = 0; i < 4; ++i)
            bytes[14 + 52 + i] = char(alphaMask >> (8 * i));
    return bytes;
}

QByteArray Jpeg(std::uint16_t width, std::uint16_t height) {
    QByteArray bytes("\xFF\xD8\xFF\xE0\x00\x04" "ab\xFF\xC0\x00\x0B\x08", 13);
    bytes.append(char(height >> 8)).append(char(height)).append(char(width >> 8)).append(char(width));
    bytes.append(QByteArray(4, '\0'));
    return bytes;
}

QByteArray Gif(std::uint16_t width, std::uint16_t height, bool transparent) {
    QByteArray bytes("GIF89a");
    bytes.append(char(width)).append(char(width >> 8)).append(char(height)).append(char(height >> 8));
    bytes.append(char(0x80)).append(char(0)).append(char(0)); // 2-colour global table
    bytes.append(QByteArray(6, '\0'));
    bytes.append("\x21\xF9\x04", 3).append(char(transparent ? 1 : 0)).append(QByteArray(4, '\0'));
    bytes.append(',');
    return bytes;
}

TEST(PictureHeader, SizesAndAlphaComeFromTheHeader) {
    const struct {
        const char* label;
        QByteArray bytes;
        std::int32_t width, height;
        bool alpha;
    } cases[] = {
        {"png rgba", Png(640, 480, 6), 640, 480, true},
        {"png rgb", Png(32, 16, 2), 32, 16, false},
        {"png grey alpha", Png(3, 4, 4), 3, 4, true},
        {"png palette tRNS", Png(5, 6, 3, true), 5, 6, true},
        {"bmp 24", Bmp(100, 50, 24, 40), 100, 50, false},
        {"bmp top-down", Bmp(100, -50, 24, 40), 100, 50, false},
        {"bmp v5 alpha", Bmp(8, 9, 32, 124, 0xFF000000u), 8, 9, true},
        {"bmp v5 no alpha", Bmp(8, 9, 32, 124, 0), 8, 9, false},
        {"jpeg", Jpeg(1024, 768), 1024, 768, false},
        {"gif", Gif(20, 10, false), 20, 10, false},
        {"gif transparent", Gif(20, 10, true), 20, 10, true},
    };
    for (const auto& c : cases) {
        const auto header = ReadPictureHeader(c.bytes);
        ASSERT_TRUE(header.has_value()) << c.label;
        EXPECT_EQ(header->width, c.width) << c.label;
        EXPECT_EQ(header->height, c.height) << c.label;
        EXPECT_EQ(header->hasAlpha, c.alpha) << c.label;
    }
}

TEST(PictureHeader, UnknownOrTruncatedDataGivesNothing) {
    const QByteArray cases[] = {"", "BM", "\x89PNG", "GIF89a\x01", "\xFF\xD8\xFF", "not a picture",
                                Png(1, 1, 6).left(20), Jpeg(4, 4).left(12)};
    for (const QByteArray& bytes : cases)
        EXPECT_FALSE(ReadPictureHeader(bytes).has_value()) << bytes.toHex().toStdString();
}

TEST(PictureHeader, EveryPrefixOfAPictureIsSafeToRead) {
    for (const QByteArray& picture : {Png(7, 7, 6, true), Bmp(3, 3, 32, 124, 1), Jpeg(9, 9),
                                      Gif(4, 4, true)})
        for (qsizetype n = 0; n <= picture.size(); ++n)
            (void)ReadPictureHeader(picture.left(n));
}

TEST(EntryKinds, TheExtensionChoosesTheKind) {
    const struct {
        const char* name;
        std::uint8_t kind;
    } cases[] = {{"a.BMP", ekPicture}, {"a.png", ekPicture}, {"a.jpeg", ekPicture},
                 {"a.wmf", ekPicture}, {"a.ttf", ekFont},    {"a.FON", ekFont},
                 {"a.qxp", ekPlugIn},  {"a.dll", ekPlugIn},  {"a.so", ekPlugIn},
                 {"a.wav", ekOrdinary}, {"RUNTIME.PUB", ekOrdinary}, {"noext", ekOrdinary}};
    for (const auto& c : cases)
        EXPECT_EQ(EntryKindForFileName(c.name), c.kind) << c.name;
}

TEST(PublicationText, Utf8SourcesAreStoredAsWindows1252) {
    bool converted = false, lossy = false;
    const QByteArray utf8 = QString::fromUtf8("TITLE=Démo – été\r\n").toUtf8();
    const QByteArray stored = PublicationTextForPackage(utf8, &converted, &lossy);
    EXPECT_TRUE(converted);
    EXPECT_FALSE(lossy);
    EXPECT_EQ(stored, EncodeWindows1252(QString::fromUtf8("TITLE=Démo – été\r\n")));

    const QByteArray latin = "TITLE=D\xE9mo\r\n"; // not valid UTF-8: already Windows-1252
    EXPECT_EQ(PublicationTextForPackage(latin, &converted), latin);
    EXPECT_FALSE(converted);
    EXPECT_EQ(PublicationTextForPackage("\xEF\xBB\xBFTITLE=x"), "TITLE=x");
    PublicationTextForPackage(QString::fromUtf8("TITLE=日本").toUtf8(), &converted, &lossy);
    EXPECT_TRUE(lossy);
}

class FolderPacking : public ::testing::Test {
protected:
    void Make(const QString& relative, const QByteArray& bytes) {
        const QString path = QDir(source.path()).filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        WriteAll(path, bytes);
    }
    TFolderPackReport Pack(TFolderPackOptions options = {}) {
        options.sourceFolder = source.path();
        options.outputPath = out.filePath("demo.exe");
        return PackFolder(options);
    }
    QTemporaryDir source, out;
};

TEST_F(FolderPacking, EveryFileBecomesAnEntryOfTheRightKind) {
    Make("RUNTIME.PUB", QString::fromUtf8("TITLE=Été\r\nPIC=embedded:\\\\\\logo.png\r\n").toUtf8());
    Make("images/logo.png", Png(12, 8, 6));
    Make("fonts/Serif.ttf", "font");
    Make("plugins/calc.qxp", "plug-in");
    Make("plugins/calc.cfg", "support");
    Make("sounds/click.wav", QByteArray(1000, 'w'));
    Make(".git/config", "not published");
    TFolderPackOptions options;
    options.pluginSupportFiles = {"calc.cfg"};
    options.applicationKind = TApplicationKind::akTray;
    options.singleInstance = true;
    options.splashImage = "embedded:\\\\\\logo.png";
    const TFolderPackReport report = Pack(options);
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_TRUE(report.warnings.isEmpty());

    TPackage package;
    ASSERT_EQ(package.Open(out.filePath("demo.exe")), kPackageOk);
    EXPECT_EQ(package.ApplicationKind(), TApplicationKind::akTray);
    EXPECT_TRUE(package.SingleInstance());
    EXPECT_EQ(package.SplashImage(), "embedded:\\\\\\logo.png");
    EXPECT_EQ(package.Entries().back().name, "RUNTIME.PUB"); // written first
    EXPECT_EQ(package.LoadEmbeddedToMemory("RUNTIME.PUB").data,
              EncodeWindows1252(QString::fromUtf8("TITLE=Été\r\nPIC=embedded:\\\\\\logo.png\r\n")));
    const struct {
        const char* name;
        std::uint8_t kind;
    } expected[] = {{"images\\logo.png", ekPicture}, {"embedded:\\\\\\logo.png", ekPicture},
                    {"fonts\\Serif.ttf", ekFont},    {"plugins\\calc.qxp", ekPlugIn},
                    {"plugins\\calc.cfg", ekPlugInSupport}, {"sounds\\click.wav", ekOrdinary}};
    for (const auto& e : expected) {
        const TEmbeddedEntry* entry = package.FindEmbedded(e.name);
        ASSERT_NE(entry, nullptr) << e.name;
        EXPECT_EQ(entry->kind, e.kind) << e.name;
    }
    const TEmbeddedEntry* logo = package.FindEmbedded("embedded:\\\\\\logo.png");
    EXPECT_EQ(logo->width, 12);
    EXPECT_EQ(logo->height, 8);
    EXPECT_TRUE(logo->hasAlpha);
    EXPECT_EQ(package.LoadEmbeddedToMemory("embedded:\\\\\\logo.png").data, Png(12, 8, 6));
    EXPECT_EQ(package.FindEmbedded(".git\\config"), nullptr);
    EXPECT_EQ(package.Entries().size(), 7u);
}

TEST_F(FolderPacking, AFolderWithoutAPublicationIsRefused) {
    Make("readme.txt", "x");
    const TFolderPackReport report = Pack();
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.error.contains("RUNTIME.PUB"));
    EXPECT_FALSE(QFileInfo::exists(out.filePath("demo.exe")));
    TFolderPackOptions missing;
    missing.sourceFolder = "/nonexistent/folder";
    missing.outputPath = out.filePath("x.exe");
    EXPECT_FALSE(PackFolder(missing).ok);
}

TEST_F(FolderPacking, AStartPageMakesAPreviewPackageAndSaysSo) {
    Make("RUNTIME.PUB", "TITLE=x\r\n");
    TFolderPackOptions options;
    options.startPage = 4;
    const TFolderPackReport report = Pack(options);
    ASSERT_TRUE(report.ok);
    EXPECT_EQ(report.warnings.size(), 1);
    TPackage package;
    ASSERT_EQ(package.Open(out.filePath("demo.exe")), kPackageOk);
    EXPECT_EQ(package.StartPage(), 4);
    EXPECT_EQ(package.PreviewMode(), 2);
}

TEST_F(FolderPacking, TheOutputInsideTheSourceFolderIsNotPackedIntoItself) {
    Make("RUNTIME.PUB", "TITLE=x\r\n");
    TFolderPackOptions options;
    options.sourceFolder = source.path();
    options.outputPath = QDir(source.path()).filePath("demo.exe");
    ASSERT_TRUE(PackFolder(options).ok);
    ASSERT_TRUE(PackFolder(options).ok); // second run sees the first output
    TPackage package;
    ASSERT_EQ(package.Open(options.outputPath), kPackageOk);
    EXPECT_EQ(package.Entries().size(), 1u);
}

// ---- unpacking ----------------------------------------------------------------

TEST(SafeExtractionPath, NamesStayInsideTheDestination) {
    const struct {
        const char* name;
        std::optional<QString> path;
    } cases[] = {
        {"RUNTIME.PUB", "RUNTIME.PUB"},
        {"images\\logo.png", "images/logo.png"},
        {"a/b\\c.txt", "a/b/c.txt"},
        {"embedded:\\\\\\logo.png", "embedded/logo.png"},
        {"EMBEDDED:\\\\\\sub\\x.txt", "embedded/sub/x.txt"},
        {".\\a.txt", "a.txt"},
        {":Intro.wav", ":Intro.wav"},
        {"..\\evil.txt", std::nullopt},
        {"a\\..\\..\\evil.txt", std::nullopt},
        {"a/../b.txt", std::nullopt},
        {"embedded:\\\\\\..\\evil", std::nullopt},
        {"\\etc\\passwd", std::nullopt},
        {"/etc/passwd", std::nullopt},
        {"C:\\Windows\\evil.dll", std::nullopt},
        {"c:evil.dll", std::nullopt},
        {"", std::nullopt},
        {"\\\\", std::nullopt},
        {"embedded:\\\\\\", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeExtractionPath(c.name), c.path) << c.name;
}

TEST(ExtractAllEntries, WritesSafeEntriesAndReportsTheOthers) {
    PackageWriter writer;
    writer.AddFile("RUNTIME.PUB", "TITLE=x\r\n");
    writer.AddFile("images\\logo.png", "logo");
    writer.AddFile("..\\escape.txt", "escape");
    writer.AddFile("/tmp/absolute.txt", "absolute");
    writer.AddFile("C:\\drive.txt", "drive");
    writer.AddFile("dup.txt", "old");
    writer.AddFile("DUP.txt", "new");
    QTemporaryDir dir;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
    const QString destination = dir.filePath("out/inner");
    const TUnpackReport report = ExtractAllEntries(package, destination);
    EXPECT_EQ(report.written, 4);
    EXPECT_EQ(report.problems.size(), 3);
    EXPECT_EQ(ReadAll(destination + "/images/logo.png"), "logo");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out/escape.txt")));
    EXPECT_FALSE(QFileInfo::exists("/tmp/absolute.txt") &&
                 ReadAll("/tmp/absolute.txt") == "absolute");
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"inner"});
}

} // namespace
