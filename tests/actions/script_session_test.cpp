// Headless runs inside a packed publication: its subroutines, pages,
// included files and folder apply; a broken container is refused.

#include "actions/script_session.h"
#include "package/folder_packer.h"
#include "platform/cp1252.h"
#include "vars/variables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class ScriptSessionTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetVariableStore();
        SetShowErrors(true);
        ASSERT_TRUE(dir_.isValid());
        const QString source = dir_.filePath("source");
        ASSERT_TRUE(QDir().mkpath(source));
        const QString pub = QStringLiteral(
            "TITLE=Session test\r\n"
            "SUBROUTINEACTION=:Hello\xB6SetVar \"[greeted]\" \"yes\"\xB6Return\r\n"
            "NEWPAGE=Intro\r\n"
            "NEWPAGE=Second\r\n");
        ASSERT_TRUE(WriteFile(source + "/RUNTIME.PUB", EncodeWindows1252(pub)));
        ASSERT_TRUE(WriteFile(source + "/ding.wav", "RIFF"));
        TFolderPackOptions options;
        options.sourceFolder = source;
        options.outputPath = dir_.filePath("pub.tpk");
        const TFolderPackReport report = PackFolder(options);
        ASSERT_TRUE(report.ok) << report.error.toStdString();
    }
    void TearDown() override { ResetVariableStore(); }

    QTemporaryDir dir_;
    QStringList lines_;
};

TEST_F(ScriptSessionTest, TheContainersPublicationApplies)
{
    ScriptSession session([this](const QString& line) { lines_ << line; });
    QString error;
    ASSERT_TRUE(session.OpenContainer(dir_.filePath("pub.tpk"), &error)) << error.toStdString();
    session.Run(QStringLiteral("GoSub \"Hello\"\n"
                               "SetVar \"[folder]\" \"[PubDir]\"\n"
                               "PlaySoundFile \"ding.wav\" \"\"\n"
                               "GotoPage \"second\"\n"
                               "GotoPage \"Third\""));
    EXPECT_EQ(GetVariable("[greeted]"), "yes");
    EXPECT_EQ(QDir(GetVariable("[folder]")).canonicalPath(), QDir(dir_.path()).canonicalPath());
    ASSERT_GE(lines_.size(), 4) << lines_.join('\n').toStdString();
    EXPECT_TRUE(lines_[0].startsWith("CALL PlaySoundFile \"")) << lines_[0].toStdString();
    EXPECT_TRUE(lines_[0].contains("ding.wav"));
    EXPECT_TRUE(lines_.contains("CALL GotoPage \"second\""));
    EXPECT_EQ(lines_.last(), "ERROR \"GotoPage[#13][#13][#34]Third[#34][#13]Cette page n'existe pas.\"");
}

TEST_F(ScriptSessionTest, AContainerThatIsNotOneIsRefused)
{
    ScriptSession session(nullptr);
    const QString bogus = dir_.filePath("bogus.tpk");
    ASSERT_TRUE(WriteFile(bogus, QByteArray(100, 'x')));
    QString error;
    EXPECT_FALSE(session.OpenContainer(bogus, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(session.OpenContainer(dir_.filePath("missing.tpk"), &error));
}

TEST_F(ScriptSessionTest, WithoutAContainerThePublicationFolderIsTheCurrentFolder)
{
    ScriptSession session(nullptr);
    session.UseEmptyPublication();
    session.Run(QStringLiteral("SetVar \"[folder]\" \"[PubDir]\"\nSetVar \"[line]\" \"a[#13][#10]b\""));
    EXPECT_EQ(QDir(GetVariable("[folder]")).canonicalPath(), QDir::current().canonicalPath());
    const QString text = DecodeWindows1252(ScriptSession::GlobalVariablesText());
    EXPECT_TRUE(text.contains("line=a[#13][#10]b\r\n")) << text.toStdString();
}

} // namespace
} // namespace tomeric
