// The read cache: reading lines 1, 2, 3 ... of a file in a loop is one pass
// over the file, however large, and a changed file is never read stale.

#include "actions/data_file_cache.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

class ReadCacheTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TDataFileReadCache cache;
    QString Path() const { return dir.filePath(QStringLiteral("data.txt")); }
    void Write(const QByteArray& bytes) {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Line(std::int64_t n) {
        const LineReadResult result = cache.ReadLine(Path(), n);
        EXPECT_TRUE(result.ok);
        return result.found ? result.line : QByteArray("<none>");
    }
};

TEST_F(ReadCacheTest, ReadsAnyLineInAnyOrder) {
    Write("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(Line(3), "three");
    EXPECT_EQ(Line(1), "one");
    EXPECT_EQ(Line(4), "four");
    EXPECT_EQ(Line(2), "two");
    EXPECT_EQ(Line(5), "<none>");
}

TEST_F(ReadCacheTest, KeepsItsPlaceBetweenReadsAndDropsItAtTheEnd) {
    Write("a\r\nb\r\nc");
    EXPECT_EQ(Line(1), "a");
    EXPECT_TRUE(cache.Holds(Path()));
    EXPECT_EQ(cache.NextLineNumber(), 2);
    EXPECT_EQ(Line(2), "b");
    EXPECT_EQ(cache.NextLineNumber(), 3);
    EXPECT_EQ(Line(3), "c");
    EXPECT_FALSE(cache.Holds(Path())) << "reaching the end clears the cache";
}

TEST_F(ReadCacheTest, AChangedFileIsReadAfresh) {
    Write("a\r\nb\r\nc");
    EXPECT_EQ(Line(1), "a");
    Write("x\r\ny\r\nz\r\nmore");
    EXPECT_EQ(Line(2), "y");
}

TEST_F(ReadCacheTest, AMissingFileIsAnError) {
    const LineReadResult result = cache.ReadLine(dir.filePath(QStringLiteral("none.txt")), 1);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.errnoValue, 0);
}

TEST_F(ReadCacheTest, ACrLfSplitAcrossReadChunksIsOneLineEnd) {
    QByteArray bytes(LineReader::kChunkSize - 1, 'x');
    bytes += "\r\nnext";
    Write(bytes);
    EXPECT_EQ(Line(1).size(), LineReader::kChunkSize - 1);
    EXPECT_EQ(Line(2), "next");
    EXPECT_EQ(Line(3), "<none>");
}

TEST_F(ReadCacheTest, SkippedLongLinesAreNotKeptInMemory) {
    QByteArray bytes(8 * LineReader::kChunkSize, 'x');
    bytes += "\r\nshort";
    Write(bytes);
    EXPECT_EQ(Line(2), "short");
    EXPECT_LT(cache.BufferedBytes(), 3 * LineReader::kChunkSize);
}

// A 100 MB file read line by line: one pass, memory bounded by one chunk
// and one line (the time limit only catches quadratic behaviour).
TEST_F(ReadCacheTest, ALargeFileReadLineByLineIsOnePass) {
    constexpr int kLineLength = 1000;
    constexpr int kLines = 100 * 1000;
    {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray line(kLineLength - 2, 'a');
        line += "\r\n";
        for (int i = 0; i < kLines; ++i)
            ASSERT_EQ(file.write(line), line.size());
    }
    QElapsedTimer clock;
    clock.start();
    qsizetype largestBuffer = 0;
    std::int64_t n = 1;
    for (;; ++n) {
        const LineReadResult result = cache.ReadLine(Path(), n);
        ASSERT_TRUE(result.ok);
        if (!result.found)
            break;
        ASSERT_EQ(result.line.size(), kLineLength - 2);
        largestBuffer = std::max(largestBuffer, cache.BufferedBytes());
    }
    EXPECT_EQ(n, kLines + 1);
    EXPECT_LE(largestBuffer, 2 * LineReader::kChunkSize);
    EXPECT_LT(clock.elapsed(), 20000);
}

} // namespace
} // namespace tomeric
