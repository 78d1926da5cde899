// Data files: line numbering, the "|" conversion, appends, safe rewrites,
// locking and the port names.

#include "actions/data_file_cache.h"
#include "actions/data_files.h"
#include "actions/system_error_text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tomeric {
namespace {

class DataFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString Path(const QString& name = QStringLiteral("data.txt")) const { return dir.filePath(name); }

    void WriteBytes(const QByteArray& bytes, const QString& name = QStringLiteral("data.txt")) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Bytes(const QString& name = QStringLiteral("data.txt")) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString Edit(std::int64_t line, LineEditMode mode, const QString& text, bool exact = false) {
        return EditLineFile(Path(), line, mode, text, exact);
    }
};

TEST_F(DataFileTest, LineEditsFollowTheLineRules) {
    struct Case {
        const char* before;
        std::int64_t line;
        LineEditMode mode;
        const char* text;
        const char* after;
    };
    const Case cases[] = {
        {"old", 3, LineEditMode::Write, "x", "old\r\n\r\nx"},             // padded with empty lines
        {"a\r\nb\r\nc", 2, LineEditMode::Write, "B", "a\r\nB\r\nc"},
        {"a\r\nb\r\nc\r\n", 1, LineEditMode::Write, "A", "A\r\nb\r\nc"},    // no line end after the last
        {"a\nb\rc", 2, LineEditMode::Write, "B", "a\r\nB\r\nc"},            // LF and CR read as line ends
        {"a\r\nb", 2, LineEditMode::Insert, "", "a\r\n\r\nb"},
        {"a", 3, LineEditMode::Insert, "", "a\r\n\r\n"},
        {"a\r\nb\r\nc", 2, LineEditMode::Delete, "", "a\r\nc"},
        {"a\r\nb\r\nc", 9, LineEditMode::Delete, "", "a\r\nb\r\nc"},       // untouched
        {"", 1, LineEditMode::Write, "first", "first"},
        {"a", 0, LineEditMode::Write, "b", "a\r\nb"},                        // append
        {"a\r\n", 0, LineEditMode::Write, "b", "a\r\nb"},
        {"a\n", 0, LineEditMode::Write, "b", "a\nb"},                        // a line end of any kind
        {"", 0, LineEditMode::Write, "b", "b"},
        {"a\r\nb", -1, LineEditMode::Write, "x|y", "x\r\ny"},               // ALL replaces everything
        {"a\r\nb", 0, LineEditMode::Insert, "", "a\r\nb"},                   // no "append" for inserts
        {"a\r\nb", -1, LineEditMode::Delete, "", "a\r\nb"},                  // nor "ALL" for deletes
    };
    for (const Case& c : cases) {
        WriteBytes(c.before);
        EXPECT_EQ(Edit(c.line, c.mode, QString::fromUtf8(c.text)), QString()) << c.before;
        EXPECT_EQ(Bytes(), QByteArray(c.after)) << "before: " << c.before << " line " << c.line;
    }
}

TEST_F(DataFileTest, AMissingFileIsCreated) {
    EXPECT_EQ(Edit(2, LineEditMode::Write, QStringLiteral("x")), QString());
    EXPECT_EQ(Bytes(), QByteArray("\r\nx"));
}

TEST_F(DataFileTest, LineBreaksOfAValueAreStoredAsBarsAndReadBack) {
    WriteBytes("first");
    ASSERT_EQ(Edit(0, LineEditMode::Write, QStringLiteral("a\r\nb")), QString());
    EXPECT_EQ(Bytes(), QByteArray("first\r\na|b"));
    const LineReadResult read = TDataFileReadCache().ReadLine(Path(), 2);
    ASSERT_TRUE(read.found);
    EXPECT_EQ(FromDataLine(QString::fromLatin1(read.line)), QStringLiteral("a\r\nb"));
}

TEST_F(DataFileTest, ABareCrOrLfInAValueCannotSplitTheLine) {
    EXPECT_EQ(ToDataLine(QStringLiteral("a\rb\nc\r\nd")), QStringLiteral("a|b|c|d"));
    WriteBytes("1\r\n2\r\n3");
    ASSERT_EQ(Edit(2, LineEditMode::Write, QStringLiteral("x\ny")), QString());
    EXPECT_EQ(CountLines(Path()), 3);
}

TEST_F(DataFileTest, ExactTextKeepsItsLineBreaksAndBars) {
    WriteBytes("a");
    ASSERT_EQ(Edit(-1, LineEditMode::Write, QStringLiteral("x|y"), true), QString());
    EXPECT_EQ(Bytes(), QByteArray("x|y"));
}

TEST_F(DataFileTest, TextIsStoredInWindows1252) {
    ASSERT_EQ(Edit(1, LineEditMode::Write, QStringLiteral("café €")), QString());
    EXPECT_EQ(Bytes(), QByteArray("caf\xe9 \x80"));
}

TEST_F(DataFileTest, AFailedRewriteLeavesTheOldContentIntact) {
    WriteBytes("keep\r\nme");
    // A file-size limit makes writing the new content fail half-way, as a
    // full disk would.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const QString error = Edit(1, LineEditMode::Write, QStringLiteral("a much longer line than sixteen bytes"));
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Bytes(), QByteArray("keep\r\nme"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("data.txt")})
        << "no temporary file is left behind";
}

TEST_F(DataFileTest, ARewriteKeepsTheFilePermissions) {
    WriteBytes("a");
    ::chmod(QFile::encodeName(Path()).constData(), 0640);
    ASSERT_EQ(Edit(1, LineEditMode::Write, QStringLiteral("b")), QString());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(Path()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(DataFileTest, AFileHeldByAnotherProgramIsRetriedThenDenied) {
    WriteBytes("a");
    const int holder = ::open(QFile::encodeName(Path()).constData(), O_RDWR);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    DataFileOptions options;
    options.lockAttempts = 3;
    options.lockRetryMs = 10;
    int busyCalls = 0;
    options.busyCursor = [&](bool) { ++busyCalls; };
    const QString error = EditLineFile(Path(), 1, LineEditMode::Write, QStringLiteral("b"), false, options);
    ::close(holder);
    EXPECT_EQ(error, AccessDeniedText());
    EXPECT_EQ(Bytes(), QByteArray("a"));
    EXPECT_EQ(busyCalls, 2) << "hourglass on while waiting, off afterwards";
}

TEST_F(DataFileTest, AMissingFolderReportsPathNotFound) {
    EXPECT_EQ(EditLineFile(dir.filePath(QStringLiteral("no/such/data.txt")), 1, LineEditMode::Write,
                           QStringLiteral("x"), false),
              PathNotFoundText());
}

TEST_F(DataFileTest, CountLinesCountsALastLineWithoutLineEnd) {
    struct Case { const char* bytes; std::int64_t lines; };
    const Case cases[] = {{"", 0}, {"a", 1}, {"a\r\n", 1}, {"a\r\nb", 2}, {"\r\n", 1},
                          {"a\n\nb", 3}, {"a\rb\r", 2}};
    for (const Case& c : cases) {
        WriteBytes(c.bytes);
        EXPECT_EQ(CountLines(Path()), c.lines) << c.bytes;
    }
    EXPECT_EQ(CountLines(Path(QStringLiteral("missing.txt"))), 0);
}

TEST_F(DataFileTest, PortNamesWriteTheTextWithALineEndToTheDevice) {
    EXPECT_TRUE(IsDeviceName(QStringLiteral("lpt1")));
    EXPECT_TRUE(IsDeviceName(QStringLiteral("COM4")));
    EXPECT_FALSE(IsDeviceName(QStringLiteral("COM5")));
    EXPECT_FALSE(IsDeviceName(QStringLiteral("LPT")));
    DataFileOptions options;
    options.deviceFolder = dir.path();
    WriteBytes("", QStringLiteral("lp1"));
    WriteBytes("", QStringLiteral("ttyS0"));
    EXPECT_EQ(WriteToDevice(QStringLiteral("LPT2"), QStringLiteral("page"), options), QString());
    EXPECT_EQ(WriteToDevice(QStringLiteral("com1"), QStringLiteral("at"), options), QString());
    EXPECT_EQ(Bytes(QStringLiteral("lp1")), QByteArray("page\r\n"));
    EXPECT_EQ(Bytes(QStringLiteral("ttyS0")), QByteArray("at\r\n"));
    EXPECT_EQ(WriteToDevice(QStringLiteral("LPT4"), QStringLiteral("x"), options), FileNotFoundText());
}

TEST_F(DataFileTest, DataFileNamesResolveAgainstThePublication) {
    const QString pub = dir.path() + QStringLiteral("/pub/");
    QDir().mkpath(pub);
    EXPECT_EQ(ResolveDataFilePath(QStringLiteral("list.txt"), pub), pub + QStringLiteral("list.txt"));
    EXPECT_EQ(ResolveDataFilePath(dir.filePath(QStringLiteral("x.txt")), pub), dir.filePath(QStringLiteral("x.txt")));
    // A folder without drive lies on the publication's drive (the root here).
    EXPECT_EQ(ResolveDataFilePath(QStringLiteral("tmp\\x.txt"), pub), QStringLiteral("/tmp/x.txt"));
    EXPECT_EQ(ResolveDataFilePath(QStringLiteral("\\tmp\\x.txt"), pub), QStringLiteral("/tmp/x.txt"));
}

TEST_F(DataFileTest, CopyReplacesTheDestinationAndMakesItWritable) {
    WriteBytes("new", QStringLiteral("src.txt"));
    ::chmod(QFile::encodeName(Path(QStringLiteral("src.txt"))).constData(), 0444);
    WriteBytes("old", QStringLiteral("dst.txt"));
    EXPECT_EQ(CopyFileReplacing(Path(QStringLiteral("src.txt")), Path(QStringLiteral("dst.txt"))), QString());
    EXPECT_EQ(Bytes(QStringLiteral("dst.txt")), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("dst.txt"))).isWritable());
    EXPECT_EQ(CopyFileReplacing(Path(QStringLiteral("none.txt")), Path(QStringLiteral("dst.txt"))),
              FileNotFoundText());
    EXPECT_EQ(Bytes(QStringLiteral("dst.txt")), QByteArray("new"));
    EXPECT_TRUE(SameFile(Path(QStringLiteral("dst.txt")), dir.path() + QStringLiteral("/./dst.txt")));
}

} // namespace
} // namespace tomeric
