// File commands on files that travel inside the compiled publication:
// "[Embedded]name" files and included files are found in the package.

#include "actions/script_session.h"
#include "package/package.h"
#include "package/package_writer.h"
#include "vars/variables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tomeric {
namespace {

class EmbeddedFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = QDir::currentPath();
        QDir::setCurrent(dir.path());
        PackageWriter writer;
        writer.AddFile(QStringLiteral("embedded:\\\\\\logo.txt"), QByteArray("embedded bytes"));
        writer.AddFile(QStringLiteral("data\\inc.txt"), QByteArray("included|text\r\nline 2"));
        QString error;
        ASSERT_TRUE(writer.WriteTo(dir.filePath(QStringLiteral("pub.exe")), {}, &error)) << error.toStdString();
        ASSERT_EQ(OpenPackage(dir.filePath(QStringLiteral("pub.exe"))), 0);
        ResetVariableStore();
        SetShowErrors(false);
        session = std::make_unique<ScriptSession>([](const QString&) {});
        session->UseEmptyPublication();
    }
    void TearDown() override {
        session.reset();
        ClosePackage(true);
        ResetVariableStore();
        SetShowErrors(true);
        QDir::setCurrent(saved_);
    }
    void Run(const char* script) { session->Run(QString::fromUtf8(script)); }
    static QString Var(const char* name) { return GetVariable(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    std::unique_ptr<ScriptSession> session;

private:
    QString saved_;
};

TEST_F(EmbeddedFileTest, EmbeddedFilesExistAndHaveTheirSize) {
    Run("FileExists \"[Embedded]logo.txt\" \"[e1]\"\r\nFileExists \"[Embedded]none.txt\" \"[e2]\"\r\n"
        "FileSize \"[Embedded]LOGO.TXT\" \"[s]\"");
    EXPECT_EQ(Var("e1"), QStringLiteral("True"));
    EXPECT_EQ(Var("e2"), QStringLiteral("False"));
    EXPECT_EQ(Var("s"), QStringLiteral("14"));
}

TEST_F(EmbeddedFileTest, FileToVarReadsIncludedAndEmbeddedFilesFromThePackage) {
    Run("FileToVar \"inc.txt\" \"[inc]\"\r\nFileToVar \"[Embedded]logo.txt\" \"[logo]\"");
    EXPECT_EQ(Var("inc"), QStringLiteral("included|text\r\nline 2"));
    EXPECT_EQ(Var("logo"), QStringLiteral("embedded bytes"));
    EXPECT_EQ(Var("LastError"), QString());
}

TEST_F(EmbeddedFileTest, ExtractFileWritesTheIncludedFileOut) {
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    SetVariable(QStringLiteral("[entry]"), QStringLiteral("data\\inc.txt"));
    Run("ExtractFile \"[entry]\" \"\"\r\nExtractFile \"[entry]\" \"copy.txt\"\r\n"
        "SetVar \"[to]\" \"[PubDir]out[#92]\"\r\nExtractFile \"[entry]\" \"[to]\"");
    for (const char* name : {"inc.txt", "copy.txt", "out/inc.txt"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.readAll(), QByteArray("included|text\r\nline 2")) << name;
    }
    EXPECT_EQ(Var("LastError"), QString());
}

} // namespace
} // namespace tomeric
