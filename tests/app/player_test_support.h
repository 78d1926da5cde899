#pragma once
// Running qxplay5 on a publication of tests/publications: the folder is
// packed into a container at test time, the player runs off-screen with a
// driver script, and what it wrote is read back.

#include "package/folder_packer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

namespace tomeric::testing {

struct TPlayerRun {
    int exitCode = -1;
    bool finished = false;
    QString out, err;
};

class PlayerSession {
public:
    // Packs tests/publications/<name> into a container in a fresh folder.
    explicit PlayerSession(const QString& publication, const QString& splashImage = QString())
    {
        TFolderPackOptions options;
        options.splashImage = splashImage;
        options.sourceFolder = QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/") + publication;
        options.outputPath = Path(publication + QStringLiteral(".tpk"));
        const TFolderPackReport report = PackFolder(options);
        EXPECT_TRUE(report.ok) << report.error.toStdString();
        container_ = options.outputPath;
    }

    // Packs tests/publications/<name> with further files beside it: each
    // entry maps a file name in the publication folder to the file copied
    // there (built plug-ins, for instance).
    PlayerSession(const QString& publication, const std::map<QString, QString>& extraFiles)
    {
        const QString staging = Path(QStringLiteral("source"));
        QDir().mkpath(staging);
        const QDir source(QStringLiteral(TOMERIC_SOURCE_DIR "/tests/publications/") + publication);
        for (const QString& name : source.entryList(QDir::Files))
            EXPECT_TRUE(QFile::copy(source.filePath(name), staging + u'/' + name)) << name.toStdString();
        for (const auto& [name, from] : extraFiles)
            EXPECT_TRUE(QFile::copy(from, staging + u'/' + name)) << from.toStdString();
        TFolderPackOptions options;
        options.sourceFolder = staging;
        options.outputPath = Path(publication + QStringLiteral(".tpk"));
        const TFolderPackReport report = PackFolder(options);
        EXPECT_TRUE(report.ok) << report.error.toStdString();
        container_ = options.outputPath;
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }
    QString RegistryFile() const { return Path(QStringLiteral("registry.json")); }
    // A variable of the player's environment for the following runs.
    void SetEnvironment(const QString& name, const QString& value) { environment_.insert(name, value); }
    QString TracePath() const { return Path(QStringLiteral("debug-trace.txt")); }
    const QString& Container() const { return container_; }

    // `input` is the player's standard input (the debugger's prompt reads
    // it); the debugger's trace goes to TracePath().
    TPlayerRun Run(const QStringList& arguments, const QByteArray& input = QByteArray())
    {
        QProcess player;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The registry stays inside the test's folder.
        environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), RegistryFile());
        environment.insert(environment_);
        environment.insert(QStringLiteral("TOMERIC_DEBUG_TRACE"), TracePath());
        player.setProcessEnvironment(environment);
        player.setWorkingDirectory(dir_.path());
        player.start(QStringLiteral(QXPLAY5_PATH), arguments);
        player.write(input);
        player.closeWriteChannel();
        TPlayerRun run;
        run.finished = player.waitForFinished(60000);
        if (!run.finished)
            player.kill();
        run.exitCode = player.exitCode();
        run.out = QString::fromUtf8(player.readAllStandardOutput());
        run.err = QString::fromUtf8(player.readAllStandardError());
        return run;
    }

    // Runs the driver script (one verb a line) with --fast.
    TPlayerRun Drive(const QString& script, const QStringList& extra = {})
    {
        QFile file(Path(QStringLiteral("drive.txt")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(script.toUtf8());
        file.close();
        return Run(QStringList{QStringLiteral("/R"), container_} + extra +
                   QStringList{QStringLiteral("--drive"), file.fileName(), QStringLiteral("--fast")});
    }

    // key=value lines of a variable file.
    std::map<QString, QString> Variables(const QString& name) const
    {
        std::map<QString, QString> vars;
        QFile file(Path(name));
        if (!file.open(QIODevice::ReadOnly))
            return vars;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QString text = QString::fromLatin1(line).trimmed();
            const qsizetype eq = text.indexOf(QLatin1Char('='));
            if (eq > 0)
                vars[text.left(eq).toUpper()] = text.mid(eq + 1);
        }
        return vars;
    }

    QImage Picture(const QString& name) const { return QImage(Path(name)); }

private:
    QTemporaryDir dir_;
    QString container_;
    QProcessEnvironment environment_;
};

// One driven run shared by every test of a suite: the publication is packed
// and played once with the script, and the variables the script wrote with
// "vars vars.txt" are read back.
struct DrivenTour {
    DrivenTour(const QString& publication, const char* script)
        : session(publication), run(session.Drive(QString::fromUtf8(script))),
          vars(session.Variables(QStringLiteral("vars.txt")))
    {
    }
    // As std::string, so that failures print the texts.
    std::string Var(const char* name) const
    {
        const auto found = vars.find(QString::fromLatin1(name));
        return found == vars.end() ? std::string() : found->second.toStdString();
    }
    int Number(const char* name) const { return std::atoi(Var(name).c_str()); }
    // The player finished on its own, with exit code 0, and the driver did
    // not complain on standard error ("qxplay5: no object ...").
    void ExpectCleanRun() const
    {
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QStringLiteral("qxplay5:"))) << run.err.toStdString();
    }

    PlayerSession session;
    TPlayerRun run;
    std::map<QString, QString> vars;
};

// A suite whose tests share one DrivenTour. `Tour` gives the publication
// folder (kPublication) and the driver script (kScript).
template <class Tour>
class DrivenTourTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tour = std::make_unique<DrivenTour>(QString::fromLatin1(Tour::kPublication), Tour::kScript); }
    static void TearDownTestSuite() { tour.reset(); }
    static std::string Var(const char* name) { return tour->Var(name); }
    static int Number(const char* name) { return tour->Number(name); }
    static inline std::unique_ptr<DrivenTour> tour;
};

// Colours compared with a small tolerance (off-screen drawing may round).
inline bool Near(const QColor& a, const QColor& b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace tomeric::testing
