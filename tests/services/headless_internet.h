#pragma once
// The Internet commands run the way tomeric-script runs them: a script
// session with the headless services and the Internet service wired in, a
// folder of the test's own, and a way to act while a command waits.

#include "actions/script_session.h"
#include "services/internet_service.h"
#include "vars/variables.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace tomeric::testing {

class HeadlessInternet : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        static int argc = 1;
        static char name[] = "test_services";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }

    void SetUp() override
    {
        ResetVariableStore();
        SetShowErrors(false);
        session = std::make_unique<ScriptSession>([this](const QString& line) { lines << line; });
        session->UseEmptyPublication();
        HeadlessServices& headless = session->Services();
        internet = std::make_unique<TInternetService>(
            headless.All(), [](const QString&) { return std::optional<QString>(); }, &headless);
        headless.All().Internet = internet.get();
    }
    void TearDown() override
    {
        session.reset();
        ResetVariableStore();
        SetShowErrors(true);
    }

    void Run(const QString& script) { session->Run(script); }
    static QString Var(const char* name) { return GetVariable(QString::fromLatin1(name)); }
    QString File(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void Write(const char* name, const QByteArray& bytes) const
    {
        QFile file(File(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const char* name) const
    {
        QFile file(File(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir folder;
    QStringList lines;
    std::unique_ptr<ScriptSession> session;
    std::unique_ptr<TInternetService> internet;
};

} // namespace tomeric::testing
