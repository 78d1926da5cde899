// Internet shortcuts (.URL files): Run opens the address of their
// [InternetShortcut] section with the desktop's handler; one without an
// address is refused with the message for files this system cannot open.

#include "services/program_launcher.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace tomeric {
namespace {

class InternetShortcut : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A desktop handler of our own on the search path: planning only
        // looks it up, it never runs it.
        handler_ = dir_.filePath(QStringLiteral("xdg-open"));
        Write(QStringLiteral("xdg-open"), "#!/bin/sh\n");
        QFile::setPermissions(handler_, QFile::ReadOwner | QFile::ExeOwner);
        path_ = qgetenv("PATH");
        qputenv("PATH", dir_.path().toLocal8Bit() + ':' + path_);
        context_.publicationFolder = dir_.path() + QLatin1Char('/');
    }
    void TearDown() override { qputenv("PATH", path_); }

    void Write(const QString& name, const QByteArray& text)
    {
        QFile file(dir_.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir dir_;
    QString handler_;
    QByteArray path_;
    TLaunchContext context_;
};

TEST_F(InternetShortcut, OpensItsAddressOrIsRefused)
{
    Write(QStringLiteral("Site.url"), "[DEFAULT]\r\nBASEURL=http://elsewhere/\r\n"
                                      "[InternetShortcut]\r\nIconIndex=0\r\nurl=https://example.org/a?b=c\r\n");
    const TLaunchPlan plan = PlanLaunch(QStringLiteral("Site.url"), QString(), context_);
    EXPECT_EQ(plan.kind, TLaunchKind::lkProcess);
    EXPECT_EQ(plan.program, handler_);
    EXPECT_EQ(plan.arguments, QStringList{QStringLiteral("https://example.org/a?b=c")});
    EXPECT_TRUE(plan.viaHandler);
    EXPECT_EQ(plan.fileName, QStringLiteral("Site.url"));

    Write(QStringLiteral("Empty.URL"), "[InternetShortcut]\r\nIconIndex=0\r\n");
    const TLaunchPlan refused = PlanLaunch(QStringLiteral("Empty.URL"), QString(), context_);
    EXPECT_EQ(refused.kind, TLaunchKind::lkRefused);
    EXPECT_EQ(refused.failure, QStringLiteral("Ce type de fichier ne peut pas être ouvert sur ce système : Empty.URL"));
}

} // namespace
} // namespace tomeric
