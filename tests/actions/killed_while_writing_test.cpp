// A publication killed while it writes keeps its files whole: a data file,
// a variable file and the registry, each rewritten in a loop by a
// tomeric-script that is killed at a random moment after its first write,
// is afterwards one complete version, never a mix of two, a truncated file
// or an empty one.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <random>

namespace {

constexpr int kLines = 300;
constexpr int kFirstWriteTimeoutMs = 30000;

// Every pass writes version [n] everywhere; each file holds it many times.
const char* const kWriter =
    "SetVar \"[n]\" \"0\"\r\n"
    "SetVar \"[line]\" \"0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz\"\r\n"
    "While \"1\" \"=\" \"1\"\r\n"
    "  Math \"[n]+1\" \"0\" \"[n]\"\r\n"
    "  SetVar \"[body]\" \"\"\r\n"
    "  SetVar \"[i]\" \"0\"\r\n"
    "  While \"[i]\" \"<\" \"300\"\r\n"
    "    SetVar \"[body]\" \"[body][n] [line]|\"\r\n"
    "    Math \"[i]+1\" \"0\" \"[i]\"\r\n"
    "  ENDWHILE\r\n"
    "  FileWrite \"data.txt\" \"ALL\" \"[body]\"\r\n"
    "  SaveVariables \"vars.txt\"\r\n"
    "  RegistryWrite \"HKEY_CURRENT_USER\" \"Software\\Tomeric Tests\\Kill\\Version\" \"[n] [body]\"\r\n"
    "ENDWHILE\r\n";

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The version every line of the data file names, or -1 when they differ
// or a line is cut.
int DataFileVersion(const QByteArray& content)
{
    const QList<QByteArray> lines = content.split('\n');
    int version = -1;
    int complete = 0;
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 2 || parts[1].size() != 72)
            return -1;
        const int n = parts[0].toInt();
        if (version >= 0 && n != version)
            return -1;
        version = n;
        ++complete;
    }
    return complete == kLines ? version : -1;
}

TEST(KilledWhileWriting, FilesAreTheOldOrTheNewVersionNeverAMix)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString script = folder.filePath(QStringLiteral("writer.script"));
    {
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kWriter);
    }
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> delay(0, 300);
    const QString dataFile = folder.filePath(QStringLiteral("data.txt"));
    for (int round = 0; round < 15; ++round) {
        // Each writer is killed at a random moment after its data file
        // appears, however long the loaded machine takes to start it: the
        // files of the last round go, so that the first write is seen too
        // (a new file appears with its whole content, never empty first).
        for (const char* name : {"data.txt", "vars.txt", "registry.json"})
            QFile::remove(folder.filePath(QLatin1String(name)));
        QProcess writer;
        writer.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), folder.filePath(QStringLiteral("registry.json")));
        writer.setProcessEnvironment(environment);
        writer.start(QStringLiteral(TOMERIC_SCRIPT_PATH), {script});
        ASSERT_TRUE(writer.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (!QFile::exists(dataFile) && waited.elapsed() < kFirstWriteTimeoutMs)
            QThread::msleep(1);
        QThread::msleep(delay(random));
        ::kill(pid_t(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished());
        ASSERT_TRUE(QFile::exists(dataFile)) << "round " << round << ": the writer never wrote";

        EXPECT_GE(DataFileVersion(ReadAll(dataFile)), 1) << "round " << round << ": the data file is cut or mixed";

        const QByteArray vars = ReadAll(folder.filePath(QStringLiteral("vars.txt")));
        if (!vars.isEmpty() || QFile::exists(folder.filePath(QStringLiteral("vars.txt")))) {
            const QRegularExpression body(QStringLiteral("\\r\\nbody=((\\d+) [^|]*\\|){300}\\r\\n"));
            EXPECT_TRUE(body.match(QString::fromLatin1(vars)).hasMatch()) << "round " << round
                                                                             << ": the variable file is cut";
        }
        const QByteArray registry = ReadAll(folder.filePath(QStringLiteral("registry.json")));
        if (!registry.isEmpty()) {
            QJsonParseError error;
            QJsonDocument::fromJson(registry, &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << "round " << round << ": the registry is cut";
        }
    }
}

} // namespace
