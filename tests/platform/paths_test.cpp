#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tomeric::platform;

namespace {
void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}
} // namespace

TEST(NativePath, MatchesEachComponentIgnoringCaseWhenTheExactNameIsMissing) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Sounds/Intro");
    Touch(dir.path() + "/Sounds/Intro/Welcome.WAV");
    const QString written = dir.path() + "\\sounds\\INTRO\\welcome.wav";
    EXPECT_EQ(NativePath(written), dir.path() + "/Sounds/Intro/Welcome.WAV");
    EXPECT_TRUE(FileExists(written));
}

TEST(NativePath, KeepsMissingComponentsAsWrittenSoNewFilesCanBeNamed) {
    QTemporaryDir dir;
    EXPECT_EQ(NativePath(dir.path() + "\\New\\file.txt"), dir.path() + "/New/file.txt");
}

TEST(NativePath, DriveLettersMapThroughTheDriveTable) {
    QTemporaryDir dir;
    SetDriveRoot(u'q', dir.path());
    Touch(dir.path() + "/Data.txt");
    EXPECT_EQ(NativePath("Q:\\DATA.TXT"), dir.path() + "/Data.txt");
    EXPECT_EQ(DriveRoot(u'Q'), dir.path() + "/");
}

TEST(NameParts, SplitAtTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(FolderPart("embedded:\\\\\\pic.bmp"), "embedded:\\\\\\");
    EXPECT_EQ(FilePart("C:\\a/b\\c.TXT"), "c.TXT");
    EXPECT_EQ(FilePart("C:c.txt"), "c.txt");
    EXPECT_EQ(ExtensionPart("dir.d\\name"), "");
    EXPECT_EQ(ExtensionPart("a\\name.tar.gz"), ".gz");
    EXPECT_EQ(WithTrailingSeparator("/tmp//"), "/tmp/");
}
