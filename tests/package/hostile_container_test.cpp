// Damaged and hostile containers: opening fails with 100 (never a crash or
// a read out of bounds), and a broken entry fails on its own.

#include "package_test_support.h"

using namespace tomeric;
using namespace tomeric::testing;

namespace {

QByteArray SmallContainer() {
    PackageWriter writer;
    writer.AddFile("RUNTIME.PUB", "TITLE=small\r\n");
    writer.AddPicture("p.bmp", QByteArray(64, 'x'), 2, 2, false);
    QTemporaryDir dir;
    return ReadAll(WritePackage(writer, dir));
}

int OpenBytes(const QByteArray& bytes, TPackage& package) {
    QTemporaryDir dir;
    const QString path = dir.filePath("c.exe");
    WriteAll(path, bytes);
    return package.Open(path);
}

int OpenBytes(const QByteArray& bytes) {
    TPackage package;
    return OpenBytes(bytes, package);
}

TEST(HostileContainer, EveryTruncationOfASmallContainerFailsCleanly) {
    const QByteArray full = SmallContainer();
    ASSERT_EQ(OpenBytes(full), kPackageOk);
    for (qsizetype length = 0; length < full.size(); ++length)
        EXPECT_EQ(OpenBytes(full.left(length)), kPackageFailure) << "length " << length;
}

TEST(HostileContainer, MissingFilesAndFoldersFail) {
    TPackage package;
    EXPECT_EQ(package.Open("/nonexistent/container.exe"), kPackageFailure);
    QTemporaryDir dir;
    EXPECT_EQ(package.Open(dir.path()), kPackageFailure);
    EXPECT_FALSE(package.IsOpen());
}

TEST(HostileContainer, PackageOffsetsOutsideTheFileFail) {
    const QByteArray stream = PackageWriter::Compress(WindowDirectory());
    const std::int32_t offsets[] = {-1, -217, INT32_MIN, 1 << 30, INT32_MAX, 5, 3};
    for (std::int32_t offset : offsets)
        EXPECT_EQ(OpenBytes(RawContainer("stub", std::int32_t(WindowDirectory().size()), stream,
                                         offset)),
                  kPackageFailure)
            << "offset " << offset;
}

TEST(HostileContainer, DeclaredDirectorySizesTheStreamCannotDeliverFail) {
    const QByteArray directory = WindowDirectory();
    const QByteArray stream = PackageWriter::Compress(directory);
    const auto size = std::int32_t(directory.size());
    EXPECT_EQ(OpenBytes(RawContainer("", size, stream)), kPackageOk);
    const std::int32_t lies[] = {size + 1, size * 2, 0, -1, INT32_MAX, INT32_MIN};
    for (std::int32_t lie : lies)
        EXPECT_EQ(OpenBytes(RawContainer("", lie, stream)), kPackageFailure) << "D " << lie;
}

TEST(HostileContainer, ADirectoryShorterThanItsStreamTakesExactlyDBytes) {
    // An entry record after the declared size is never read.
    const QByteArray directory =
        WindowDirectory(EntryRecord("extra", 0, 0, 0, 0));
    const QByteArray stream = PackageWriter::Compress(directory);
    TPackage package;
    ASSERT_EQ(OpenBytes(RawContainer("", std::int32_t(WindowDirectory().size()), stream), package),
              kPackageOk);
    EXPECT_TRUE(package.Entries().empty());
}

TEST(HostileContainer, CorruptZlibDataFails) {
    const QByteArray directory = WindowDirectory(EntryRecord("a", 0, 0, 0, 0));
    QByteArray stream = PackageWriter::Compress(directory);
    const auto size = std::int32_t(directory.size());
    QByteArray flipped = stream;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x5A);
    flipped[2] = char(0xFF);
    EXPECT_EQ(OpenBytes(RawContainer("", size, flipped)), kPackageFailure);
    EXPECT_EQ(OpenBytes(RawContainer("", size, QByteArray(40, '\x7F'))), kPackageFailure);
    EXPECT_EQ(OpenBytes(RawContainer("", size, directory)), kPackageFailure); // not compressed
}

TEST(HostileContainer, APartialEntryRecordFails) {
    const QByteArray record = EntryRecord("name.txt", 3, 0, 0, 0); // picture without its size
    const QByteArray directory = WindowDirectory(record);
    EXPECT_EQ(OpenBytes(RawContainer("", std::int32_t(directory.size()),
                                     PackageWriter::Compress(directory))),
              kPackageFailure);
}

TEST(HostileContainer, AStr16LongerThanTheDirectoryFails) {
    QByteArray directory = WindowDirectory();
    directory.chop(2);
    directory.append("\xFF\xFF", 2); // splash name of 65535 bytes
    EXPECT_EQ(OpenBytes(RawContainer("", std::int32_t(directory.size()),
                                     PackageWriter::Compress(directory))),
              kPackageFailure);
}

TEST(HostileContainer, AHugeDeclaredSizeIsRejectedBeforeAnythingIsAllocated) {
    // A 20-byte stream cannot inflate to 100 MB.
    const QByteArray stream = PackageWriter::Compress(WindowDirectory());
    EXPECT_EQ(OpenBytes(RawContainer("", 100 * 1024 * 1024, stream)), kPackageFailure);
}

TEST(HostileContainer, EntriesPointingOutsideTheFileFailAlone) {
    const QByteArray good = "good data";
    // Entry data first, at offset 0, then the package block.
    QByteArray entries;
    entries += EntryRecord("good", 0, 0, 0, std::int32_t(good.size()));
    entries += EntryRecord("past-end", 0, 0, 1 << 30, 10);
    entries += EntryRecord("negative-offset", 0, 0, -5, 10);
    entries += EntryRecord("negative-size", 0, 0, 0, -10);
    entries += EntryRecord("overlong", 0, 0, 2, INT32_MAX);
    entries += EntryRecord("packed-past-end", 0, 50, 1 << 30, 10);
    const QByteArray directory = WindowDirectory(entries);
    TPackage package;
    ASSERT_EQ(OpenBytes(RawContainer(good, std::int32_t(directory.size()),
                                     PackageWriter::Compress(directory)),
                        package),
              kPackageOk);
    // The container file was in a temporary folder that is gone: reads go
    // through the open stream, which still holds it.
    EXPECT_EQ(package.LoadEmbeddedToMemory("good").data, good);
    for (const char* name :
         {"past-end", "negative-offset", "negative-size", "overlong", "packed-past-end"}) {
        const TEmbeddedLoad load = package.LoadEmbeddedToMemory(name);
        EXPECT_EQ(load.code, 2) << name;
        EXPECT_TRUE(load.data.isEmpty()) << name;
        char buffer[8];
        EXPECT_LE(package.ReadEmbeddedBytes(name, 0, buffer, 8), 0) << name;
    }
}

TEST(HostileContainer, RandomGarbageNeverOpens) {
    std::uint32_t seed = 12345;
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(64 + round * 7, '\0');
        for (char& c : bytes) {
            seed = seed * 1103515245u + 12345u;
            c = char(seed >> 16);
        }
        // Point P at the start so the reserved block and D are inside.
        bytes.chop(4);
        package_format::AppendInt32(bytes, 0);
        EXPECT_EQ(OpenBytes(bytes), kPackageFailure) << "round " << round;
    }
}

} // namespace
