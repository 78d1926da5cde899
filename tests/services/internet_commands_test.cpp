// The Internet commands against a real HTTP server on the loopback
// interface, run the way tomeric-script runs them: through the headless
// services with the Internet service wired in.

#include "headless_internet.h"
#include "http_test_server.h"
#include "platform/string_table.h"

namespace tomeric::testing {
namespace {

class InternetCommands : public HeadlessInternet {
protected:
    // Runs the script with %URL and %PORT standing for the server's.
    void Run(const QString& script)
    {
        HeadlessInternet::Run(QString(script)
                                  .replace(QLatin1String("%URL"), server.Url(""))
                                  .replace(QLatin1String("%PORT"), QString::number(server.Port())));
    }

    THttpTestServer server;
};

TEST_F(InternetCommands, GetPostAndTheChecksReadWhatTheServerSays)
{
    Run(QStringLiteral(
        "SetVar \"[LastError]\" \"stale\"\r\n"
        "InternetGet \"%URL/text\" \"[text]\" \"\"\r\n"
        "SetVar \"[afterGet]\" \"<[LastError]>\"\r\n"
        "InternetGet \"%URL/redirect\" \"[redirected]\" \"HideProgress\"\r\n"
        "InternetPost \"%URL/echo\" \"name=Ann&city=Liège\" \"[echo]\" \"\"\r\n"
        "InternetFileSize \"%URL/text\" \"[size]\" \"\"\r\n"
        "InternetFileExists \"%URL/text\" \"[exists]\" \"\"\r\n"
        "InternetFileExists \"%URL/missing\" \"[missingExists]\" \"\"\r\n"
        "SetVar \"[afterExists]\" \"<[LastError]>\"\r\n"
        "InternetFileSize \"%URL/missing\" \"[missingSize]\" \"\"\r\n"
        "InternetGet \"%URL/nolength\" \"[unsized]\" \"\"\r\n"));
    EXPECT_EQ(Var("text"), QStringLiteral("Bonjour, Tomeric"));
    EXPECT_EQ(Var("afterGet"), QStringLiteral("<>")) << "each command clears [LastError] first";
    EXPECT_EQ(Var("redirected"), QStringLiteral("Bonjour, Tomeric"));
    EXPECT_EQ(Var("echo"), QStringLiteral("name=Ann&city=Liège"));
    EXPECT_EQ(Var("size"), QStringLiteral("16"));
    EXPECT_EQ(Var("exists"), QStringLiteral("True"));
    EXPECT_EQ(Var("missingExists"), QStringLiteral("False"));
    EXPECT_EQ(Var("afterExists"), QStringLiteral("<>")) << "InternetFileExists reports nothing";
    EXPECT_EQ(Var("missingSize"), QStringLiteral("-1"));
    EXPECT_EQ(Var("unsized"), QStringLiteral("no length here"));
    EXPECT_EQ(Var("DownloadProgress"), QStringLiteral("-14")) << "without a length, minus the bytes received";
}

TEST_F(InternetCommands, FailuresAndTheVariablesThatShapeARequest)
{
    Run(QString::fromUtf8(
        "InternetGet \"%URL/missing\" \"[missing]\" \"\"\r\n"
        "SetVar \"[missingError]\" \"[LastError]\"\r\n"
        "InternetGet \"%URL/secret\" \"[refused]\" \"\"\r\n"
        "SetVar \"[refusedError]\" \"[LastError]\"\r\n"
        "SetVar \"[HTTPUserID]\" \"ann\"\r\n"
        "SetVar \"[HTTPUserPassword]\" \"pw\"\r\n"
        "InternetGet \"%URL/secret\" \"[secret]\" \"\"\r\n"
        "InternetGet \"http://127.0.0.1:1/text\" \"[closed]\" \"\"\r\n"
        "SetVar \"[closedError]\" \"[LastError]\"\r\n"
        "SetVar \"[HTTPPort]\" \"%PORT\"\r\n"
        "InternetGet \"http://127.0.0.1:1/text\" \"[ported]\" \"\"\r\n"));
    EXPECT_EQ(Var("missing"), QString());
    EXPECT_EQ(Var("missingError"), QStringLiteral("404 Not Found"));
    EXPECT_EQ(Var("refusedError"), QStringLiteral("401 Unauthorized"));
    EXPECT_EQ(Var("secret"), QStringLiteral("inside"));
    EXPECT_FALSE(Var("closedError").isEmpty()) << "a refused connection is reported";
    EXPECT_EQ(Var("ported"), QStringLiteral("Bonjour, Tomeric")) << "[HTTPPort] replaces the URL's port";
}

TEST_F(InternetCommands, DownloadsReplaceTheTargetOnlyWhenTheyComplete)
{
    Write("kept.txt", "old content");
    Write("cancelled.txt", "old content");
    server.onSlowUnderWay = [] { SetVariable(QStringLiteral("[DownloadProgress]"), QStringLiteral("cancel")); };
    Run(QStringLiteral("DownloadFile \"%URL/text\" \"%1\" \"\"\r\n"
                       "DownloadFile \"%URL/missing\" \"%2\" \"\"\r\n"
                       "SetVar \"[missingError]\" \"[LastError]\"\r\n"
                       "DownloadFile \"%URL/slow\" \"%3\" \"\"\r\n"
                       "SetVar \"[cancelError]\" \"<[LastError]>\"\r\n")
            .arg(File("fresh.txt"), File("kept.txt"), File("cancelled.txt")));
    EXPECT_EQ(Read("fresh.txt"), QByteArray("Bonjour, Tomeric"));
    EXPECT_EQ(Read("kept.txt"), QByteArray("old content")) << "a failed download keeps the old file";
    EXPECT_EQ(Var("missingError"), QStringLiteral("404 Not Found"));
    EXPECT_EQ(Read("cancelled.txt"), QByteArray("old content")) << "a cancelled download keeps the old file";
    EXPECT_EQ(Var("cancelError"), QStringLiteral("<>"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 3) << "no partial file is left behind";
}

TEST_F(InternetCommands, OnlyOneTransferRunsAtATime)
{
    server.onSlowUnderWay = [this] {
        Run(QStringLiteral("InternetGet \"%URL/text\" \"[other]\" \"\"\r\n"
                           "SetVar \"[otherError]\" \"[LastError]\""));
        SetVariable(QStringLiteral("[DownloadProgress]"), QStringLiteral("Cancel"));
    };
    Run(QStringLiteral("InternetGet \"%URL/slow\" \"[first]\" \"\""));
    EXPECT_EQ(Var("other"), QString());
    EXPECT_EQ(Var("otherError"), Message(msgOneInternetCommand));
    Run(QStringLiteral("InternetGet \"%URL/text\" \"[third]\" \"\""));
    EXPECT_EQ(Var("third"), QStringLiteral("Bonjour, Tomeric")) << "the next transfer runs once the first ended";
}

} // namespace
} // namespace tomeric::testing
