// HTTP in a running publication: a button reads a text from a server on the
// loopback interface, another starts a slow download whose progress window
// shows and is cancelled with its own button; the earlier file of that name
// stays as it was.

#include "../services/http_test_server.h"
#include "gui_application.h"
#include "player_test_support.h"

#include <QEventLoop>
#include <QSemaphore>
#include <QThread>

namespace tomeric::testing {
namespace {

// The test server on a thread of its own: the test waits for the player
// without an event loop of its own.
class ServerThread {
public:
    ServerThread()
    {
        thread_.reset(QThread::create([this] {
            THttpTestServer server;
            port_ = server.Port();
            QEventLoop loop;
            loop_ = &loop;
            ready_.release();
            loop.exec();
        }));
        thread_->start();
        ready_.acquire();
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(loop_, &QEventLoop::quit, Qt::QueuedConnection);
        thread_->wait(5000);
    }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }

private:
    std::unique_ptr<QThread> thread_;
    QSemaphore ready_;
    QEventLoop* loop_ = nullptr;
    quint16 port_ = 0;
};

TEST(DownloadsEndToEnd, AProgressWindowShowsAndItsCancelEndsTheDownload)
{
    GuiApplication(); // the server's event loop needs an application
    ServerThread server;
    PlayerSession session(QStringLiteral("downloads"));
    QFile earlier(session.Path(QStringLiteral("target.txt")));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier content");
    earlier.close();

    const TPlayerRun run = session.Drive(QStringLiteral("run SetVar \"[Server]\" \"%1\"\n"
                                                       "click Read\n"
                                                       "waitfor Got\n"
                                                       "click Fetch\n"
                                                       "waitfor ProgressCancel\n"
                                                       "click ProgressCancel\n"
                                                       "wait 200\n"
                                                       "vars vars.txt\n"
                                                       "waitfor ProgressCancel 100\n")
                                             .arg(server.Url()));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The progress window was open when clicked, and its Cancel closed it:
    // the last waitfor gives up after its 100 ms.
    EXPECT_EQ(run.err.count(QStringLiteral("no object")), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("no object ProgressCancel after 100 ms"))) << run.err.toStdString();
    const auto vars = session.Variables(QStringLiteral("vars.txt"));
    EXPECT_EQ(vars.at(QStringLiteral("TEXT")), QStringLiteral("Bonjour, Tomeric"));
    EXPECT_EQ(vars.at(QStringLiteral("DONE")), QStringLiteral("yes"));
    EXPECT_EQ(vars.at(QStringLiteral("ERR")), QStringLiteral("<>")) << "a cancel is no error";
    QFile target(session.Path(QStringLiteral("target.txt")));
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll(), QByteArray("earlier content"));
}

} // namespace
} // namespace tomeric::testing
