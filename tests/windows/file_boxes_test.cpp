// The rules around the file and folder boxes: filters, where the save box
// starts, several files chosen; and where the help file is found.

#include "windows_test_support.h"

#include "windows/file_boxes.h"
#include "windows/find_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tomeric {
namespace {

struct FilterCase {
    const char* windows;
    const char* qt;
};

class FileFilters : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FileFilters, PairsOfDescriptionAndPatternBecomeQtFilters)
{
    EXPECT_EQ(QtFileFilter(QString::fromUtf8(GetParam().windows)), QString::fromUtf8(GetParam().qt));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileFilters,
    ::testing::Values(FilterCase{"Texts|*.txt", "Texts (*.txt)"},
                      FilterCase{"Texts|*.txt;*.asc|All|*.*", "Texts (*.txt *.asc);;All (*.*)"},
                      FilterCase{"Pictures|*.bmp|Orphan", "Pictures (*.bmp)"},
                      FilterCase{"", ""}));

TEST(FileOpenOptions, MultipleIsAWordInAnyCaseAnywhere)
{
    EXPECT_TRUE(WantsMultipleFiles(QStringLiteral("multiple")));
    EXPECT_TRUE(WantsMultipleFiles(QStringLiteral("ALLOWMULTIPLEFILES")));
    EXPECT_FALSE(WantsMultipleFiles(QStringLiteral("Multi")));
    EXPECT_FALSE(WantsMultipleFiles(QString()));
}

TEST(FileOpenOptions, SeveralFilesAreJoinedBySemicolonsOneFileIsJustItsPath)
{
    EXPECT_EQ(JoinChosenFiles({QStringLiteral("/a/x.txt"), QStringLiteral("/a/y.txt")}),
              QStringLiteral("/a/x.txt;/a/y.txt"));
    EXPECT_EQ(JoinChosenFiles({QStringLiteral("/a/x.txt")}), QStringLiteral("/a/x.txt"));
}

TEST(FileSaveStart, AnExistingFolderStartsThereWithoutAFileName)
{
    QTemporaryDir dir;
    const TSaveStart start = SaveDialogStart(dir.path());
    EXPECT_EQ(QDir(start.folder), QDir(dir.path()));
    EXPECT_TRUE(start.fileName.isEmpty());
}

TEST(FileSaveStart, AFilePathStartsInItsFolderWithItsNameFilledIn)
{
    QTemporaryDir dir;
    const TSaveStart start = SaveDialogStart(dir.filePath(QStringLiteral("report.txt")));
    EXPECT_EQ(QDir(start.folder), QDir(dir.path()));
    EXPECT_EQ(start.fileName, QStringLiteral("report.txt"));
}

TEST(FileSaveStart, WindowsSeparatorsAreAccepted)
{
    QTemporaryDir dir;
    QString windows = dir.filePath(QStringLiteral("notes.txt"));
    windows.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const TSaveStart start = SaveDialogStart(windows);
    EXPECT_EQ(start.fileName, QStringLiteral("notes.txt"));
    EXPECT_EQ(QDir(start.folder), QDir(dir.path()));
}

TEST(HelpFile, AMissingFileOpensNothing)
{
    EXPECT_TRUE(HelpFilePath(QString()).isEmpty());
    EXPECT_TRUE(HelpFilePath(QStringLiteral("/nowhere/at/all/help.chm")).isEmpty());
}

TEST(HelpFile, AnExistingFileIsFound)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("guide.html"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(HelpFilePath(path).isEmpty());
}

TEST(HelpFile, AnHtmlFileOpensAtTheTopicOthersAtTheirStart)
{
    EXPECT_TRUE(HelpAddress(QStringLiteral("/h/guide.html"), QStringLiteral("install")).endsWith(u"#install"));
    EXPECT_FALSE(HelpAddress(QStringLiteral("/h/guide.txt"), QStringLiteral("install")).contains(u'#'));
    EXPECT_FALSE(HelpAddress(QStringLiteral("/h/guide.html"), QString()).contains(u'#'));
}

} // namespace
} // namespace tomeric
