// Finding embedded files by name and reading their data.

#include "package_test_support.h"

#include <QBuffer>

using namespace tomeric;
using namespace tomeric::testing;

namespace {

class EmbeddedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        PackageWriter writer;
        writer.AddFile("RUNTIME.PUB", "TITLE=lookup\r\n");
        writer.AddFile("Sounds\\Intro.wav", "first intro");
        writer.AddFile(":Intro.wav", "colon intro");
        writer.AddFile("embedded:\\\\\\Logo.PNG", QByteArray(2000, 'L'));
        writer.AddFile("C:\\Authoring\\Data\\Intro.wav", "last intro");
        writer.AddFile("raw.bin", QByteArray::fromHex("00010203040506070809"));
        ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
    }
    QTemporaryDir dir;
    TPackage package;
};

TEST_F(EmbeddedFiles, NamesMatchIgnoringCase) {
    const char* spellings[] = {"embedded:\\\\\\Logo.PNG", "EMBEDDED:\\\\\\logo.png",
                               "Embedded:\\\\\\LOGO.png"};
    for (const char* name : spellings)
        EXPECT_NE(package.FindEmbedded(name), nullptr) << name;
}

TEST_F(EmbeddedFiles, ForwardSlashesFindBackslashedNamesThroughTheRetry) {
    const TEmbeddedEntry* entry = package.FindEmbedded("sounds/intro.WAV");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "Sounds\\Intro.wav");
    EXPECT_NE(package.FindEmbedded("embedded:///logo.png"), nullptr);
    EXPECT_EQ(package.FindEmbedded("sounds\\\\intro.wav"), nullptr);
    EXPECT_EQ(package.FindEmbedded(""), nullptr);
}

TEST_F(EmbeddedFiles, TheLaterDirectoryEntryWinsAnIncludedNameLookup) {
    // ":Intro.wav" and two paths share the short name; the last one written wins.
    EXPECT_EQ(package.FindIncludedName("intro.wav"), "C:\\Authoring\\Data\\Intro.wav");
    EXPECT_EQ(package.FindIncludedName("logo.png"), "embedded:\\\\\\Logo.PNG");
    EXPECT_EQ(package.FindIncludedName("unknown.txt"), "unknown.txt");
}

TEST_F(EmbeddedFiles, AColonNameIsFoundByItsShortName) {
    PackageWriter writer;
    writer.AddFile("other\\Clip.avi", "1");
    writer.AddFile(":Clip.avi", "2");
    QTemporaryDir other;
    TPackage colon;
    ASSERT_EQ(colon.Open(WritePackage(writer, other)), kPackageOk);
    EXPECT_EQ(colon.FindIncludedName("CLIP.AVI"), ":Clip.avi");
}

TEST_F(EmbeddedFiles, ThePublicationTextIsHiddenOnceRead) {
    EXPECT_EQ(package.LoadEmbeddedToMemory("RUNTIME.PUB").code, 0);
    package.SetPublicationRead(true);
    EXPECT_EQ(package.FindEmbedded("RUNTIME.PUB"), nullptr);
    EXPECT_EQ(package.FindEmbedded("runtime.pub"), nullptr);
    EXPECT_EQ(package.LoadEmbeddedToMemory("RUNTIME.PUB").code, 1);
    char buffer[4];
    EXPECT_EQ(package.ReadEmbeddedBytes("RUNTIME.PUB", 0, buffer, 4), -2);
    EXPECT_EQ(package.FindIncludedName("RUNTIME.PUB"), "RUNTIME.PUB");
    EXPECT_NE(package.FindEmbedded("raw.bin"), nullptr);
}

TEST_F(EmbeddedFiles, ReadEmbeddedBytesReadsStoredDataWithinItsBounds) {
    char buffer[16] = {};
    const struct {
        std::int64_t position, count, expected;
    } cases[] = {{0, 4, 4}, {8, 16, 2}, {9, 1, 1}, {10, 4, 0}, {1000, 4, 0}, {-1, 4, 0},
                 {0, 0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(package.ReadEmbeddedBytes("raw.bin", c.position, buffer, c.count), c.expected)
            << "position " << c.position << " count " << c.count;
    ASSERT_EQ(package.ReadEmbeddedBytes("raw.bin", 6, buffer, 16), 4);
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray::fromHex("06070809"));
    EXPECT_EQ(package.ReadEmbeddedBytes("missing", 0, buffer, 4), -2);
}

TEST_F(EmbeddedFiles, ReadEmbeddedBytesGivesTheCompressedBytesOfAPackedEntry) {
    const TEmbeddedEntry* logo = package.FindEmbedded("embedded:\\\\\\Logo.PNG");
    ASSERT_TRUE(logo->IsCompressed());
    QByteArray stored(logo->storedSize + 10, '\0');
    EXPECT_EQ(package.ReadEmbeddedBytes(logo->name, 0, stored.data(), stored.size()),
              logo->storedSize);
}

TEST_F(EmbeddedFiles, LoadingGivesTheUnpackedData) {
    const TEmbeddedLoad load = package.LoadEmbeddedToMemory("embedded:\\\\\\logo.png");
    EXPECT_EQ(load.code, 0);
    EXPECT_EQ(load.data, QByteArray(2000, 'L'));
    EXPECT_EQ(package.LoadEmbeddedToMemory("not there").code, 1);
}

TEST_F(EmbeddedFiles, CopyEmbeddedToWritesExactlyTheEntry) {
    QByteArray copy;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(package.CopyEmbeddedTo(*package.FindEmbedded("raw.bin"), buffer));
    EXPECT_EQ(copy, QByteArray::fromHex("00010203040506070809"));
}

TEST(EmbeddedData, AnUncompressedEntryIsCopiedRawForItsStoredSize) {
    const QByteArray data = "0123456789ABCDEF";
    const QByteArray entries = EntryRecord("zero", 0, 0, 0, 10) + EntryRecord("negative", 0, -7, 4, 6);
    const QByteArray directory = WindowDirectory(entries);
    QTemporaryDir dir;
    const QString path = dir.filePath("c.exe");
    WriteAll(path, RawContainer(data, std::int32_t(directory.size()),
                                PackageWriter::Compress(directory)));
    TPackage package;
    ASSERT_EQ(package.Open(path), kPackageOk);
    EXPECT_EQ(package.LoadEmbeddedToMemory("zero").data, "0123456789");
    EXPECT_EQ(package.LoadEmbeddedToMemory("negative").data, "456789");
}

TEST(EmbeddedData, CompressedDataYieldingLessThanItsUnpackedSizeFails) {
    const QByteArray packed = PackageWriter::Compress("only twenty bytes!!!");
    const QByteArray entries = EntryRecord("short", 0, 21, 0, std::int32_t(packed.size())) +
                               EntryRecord("exact", 0, 20, 0, std::int32_t(packed.size())) +
                               EntryRecord("cut", 0, 20, 0, std::int32_t(packed.size() / 2)) +
                               EntryRecord("fewer", 0, 5, 0, std::int32_t(packed.size()));
    const QByteArray directory = WindowDirectory(entries);
    QTemporaryDir dir;
    const QString path = dir.filePath("c.exe");
    WriteAll(path, RawContainer(packed, std::int32_t(directory.size()),
                                PackageWriter::Compress(directory)));
    TPackage package;
    ASSERT_EQ(package.Open(path), kPackageOk);
    EXPECT_EQ(package.LoadEmbeddedToMemory("short").code, 2);
    EXPECT_EQ(package.LoadEmbeddedToMemory("cut").code, 2);
    EXPECT_EQ(package.LoadEmbeddedToMemory("exact").data, "only twenty bytes!!!");
    // Exactly the unpacked size is taken, even when the stream holds more.
    EXPECT_EQ(package.LoadEmbeddedToMemory("fewer").data, "only ");
}

TEST(EmbeddedData, LargeEntriesSurviveTheRoundTrip) {
    QByteArray big(3 * 1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char((i * 7919) % 251);
    PackageWriter writer;
    writer.AddFile("big.bin", big);
    writer.SetCompression(TCompression::cmNever);
    writer.AddFile("big-raw.bin", big);
    QTemporaryDir dir;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
    EXPECT_EQ(package.LoadEmbeddedToMemory("big.bin").data, big);
    EXPECT_EQ(package.LoadEmbeddedToMemory("big-raw.bin").data, big);
}

} // namespace

namespace {

TEST(EmbeddedRename, ARenamedEntryIsFoundByItsNewNameOnly) {
    PackageWriter writer;
    writer.AddFile("plug.qxp", "library", ekPlugIn);
    QTemporaryDir dir;
    TPackage package;
    ASSERT_EQ(package.Open(WritePackage(writer, dir)), kPackageOk);
    package.RenameEntry(*package.FindEmbedded("plug.qxp"), "/tmp/tm_123.qxp");
    EXPECT_EQ(package.FindEmbedded("plug.qxp"), nullptr);
    ASSERT_NE(package.FindEmbedded("/TMP/TM_123.QXP"), nullptr);
    EXPECT_EQ(package.FindIncludedName("tm_123.qxp"), "/tmp/tm_123.qxp");
}

} // namespace
