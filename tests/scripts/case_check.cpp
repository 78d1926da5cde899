// Runs one script case through tomeric-script and compares the outcome.
//
//   script_case_check TOMERIC_SCRIPT CASE_FILE
//
// The case format is described in tests/scripts/README.md. The run happens
// in a fresh temporary folder (the publication's folder, [PubDir]); exit 0
// when everything matched, 1 with a report of the differences otherwise.

#include "platform/cp1252.h"
#include "../services/http_test_server.h"
#include "../services/smtp_test_server.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

struct Section {
    QString kind; // "script", "output", "file", ...
    QString argument; // the file name of file: and check-file:
    QStringList lines;
};

QList<Section> ParseCase(const QString& text)
{
    QList<Section> sections;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String("--- "))) {
            Section section;
            const QString head = line.mid(4).trimmed();
            const qsizetype colon = head.indexOf(QLatin1Char(':'));
            section.kind = (colon < 0 ? head : head.left(colon)).trimmed().toLower();
            section.argument = colon < 0 ? QString() : head.mid(colon + 1).trimmed();
            sections.append(section);
        } else if (!sections.isEmpty()) {
            sections.last().lines.append(line);
        }
    }
    // Trailing empty lines of a section are layout, not content.
    for (Section& section : sections)
        while (!section.lines.isEmpty() && section.lines.last().isEmpty())
            section.lines.removeLast();
    return sections;
}

QString JoinCrLf(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n"));
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFileInfo(path).dir().mkpath(QStringLiteral("."));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

class CaseRun {
public:
    CaseRun(QString runner, QString caseFile) : runner_(std::move(runner)), caseFile_(std::move(caseFile)) {}

    int Execute()
    {
        QFile file(caseFile_);
        if (!file.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("cannot read the case file"));
        sections_ = ParseCase(QString::fromUtf8(file.readAll()));
        if (!Find(QStringLiteral("script")))
            return Fail(QStringLiteral("the case has no \"--- script\" section"));
        if (!dir_.isValid())
            return Fail(QStringLiteral("cannot create a temporary folder"));
        if (!Prepare())
            return 1;
        if (!RunScript())
            return 1;
        CheckOutput();
        CheckVariables();
        CheckFiles();
        CheckMail();
        if (failures_.isEmpty())
            return 0;
        for (const QString& failure : failures_)
            std::fprintf(stderr, "%s\n", failure.toLocal8Bit().constData());
        return 1;
    }

private:
    const Section* Find(const QString& kind) const
    {
        for (const Section& section : sections_)
            if (section.kind == kind)
                return &section;
        return nullptr;
    }

    int Fail(const QString& why)
    {
        std::fprintf(stderr, "%s: %s\n", caseFile_.toLocal8Bit().constData(), why.toLocal8Bit().constData());
        return 1;
    }

    QString InDir(const QString& name) const { return dir_.filePath(name); }

    // The loopback servers a case asks for, and what stands for them in the
    // script and the arguments.
    void StartServers()
    {
        const Section* servers = Find(QStringLiteral("servers"));
        if (!servers)
            return;
        if (servers->lines.contains(QLatin1String("http"))) {
            http_ = std::make_unique<tomeric::testing::THttpTestServer>();
            placeholders_.insert(QStringLiteral("${HTTP}"), http_->Url(""));
        }
        if (servers->lines.contains(QLatin1String("smtp"))) {
            smtp_ = std::make_unique<tomeric::testing::TSmtpTestServer>();
            placeholders_.insert(QStringLiteral("${SMTP_PORT}"), QString::number(smtp_->Port()));
        }
    }

    QString Substituted(QString text) const
    {
        for (auto it = placeholders_.begin(); it != placeholders_.end(); ++it)
            text.replace(it.key(), it.value());
        return text;
    }

    bool Prepare()
    {
        StartServers();
        bool ok = WriteBytes(InDir(QStringLiteral("case.script")),
                             Substituted(JoinCrLf(Find(QStringLiteral("script"))->lines)).toUtf8());
        if (const Section* subroutines = Find(QStringLiteral("subroutines"))) {
            ok = ok && WriteBytes(InDir(QStringLiteral("case.subroutines")), JoinCrLf(subroutines->lines).toUtf8());
            arguments_ << QStringLiteral("--subroutines") << InDir(QStringLiteral("case.subroutines"));
        }
        for (const Section& section : sections_)
            if (section.kind == QLatin1String("file"))
                ok = ok && WriteBytes(InDir(section.argument), tomeric::EncodeWindows1252(JoinCrLf(section.lines)));
        if (const Section* answers = Find(QStringLiteral("answers")))
            for (const QString& answer : answers->lines)
                arguments_ << QStringLiteral("--answer") << answer;
        if (const Section* args = Find(QStringLiteral("args"))) {
            const QString caseDir = QFileInfo(caseFile_).absolutePath();
            for (QString arg : args->lines)
                if (!arg.isEmpty())
                    arguments_ << Substituted(arg.replace(QLatin1String("${CASE_DIR}"), caseDir));
        }
        arguments_ << QStringLiteral("--vars") << InDir(QStringLiteral("case.vars")) << InDir(QStringLiteral("case.script"));
        if (!ok)
            Fail(QStringLiteral("cannot write the case's files"));
        return ok;
    }

    bool RunScript()
    {
        QProcess process;
        process.setWorkingDirectory(dir_.path());
        process.start(runner_, arguments_);
        // The servers answer on this thread's event loop while the runner works.
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
        QTimer::singleShot(50000, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning)
            loop.exec();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            Fail(QStringLiteral("tomeric-script did not finish"));
            return false;
        }
        output_ = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'));
        while (!output_.isEmpty() && output_.last().isEmpty())
            output_.removeLast();
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        const int expectedExit = Find(QStringLiteral("exit")) ? Find(QStringLiteral("exit"))->lines.value(0).toInt() : 0;
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != expectedExit) {
            failures_ << QStringLiteral("exit code %1, expected %2; stderr:\n%3")
                             .arg(process.exitCode()).arg(expectedExit).arg(errors);
        }
        return true;
    }

    void CheckOutput()
    {
        const Section* expected = Find(QStringLiteral("output"));
        if (!expected || expected->lines == output_)
            return;
        QString report = QStringLiteral("output differs.\n--- expected\n");
        report += expected->lines.join(QLatin1Char('\n'));
        report += QStringLiteral("\n--- actual\n") + output_.join(QLatin1Char('\n'));
        failures_ << report;
    }

    QMap<QString, QString> Variables() const
    {
        QMap<QString, QString> vars; // upper-cased key -> "key=value" line
        QFile file(InDir(QStringLiteral("case.vars")));
        if (!file.open(QIODevice::ReadOnly))
            return vars;
        const QString text = tomeric::DecodeWindows1252(file.readAll());
        for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            vars.insert(line.section(QLatin1Char('='), 0, 0).toUpper(), line.section(QLatin1Char('='), 1));
        return vars;
    }

    void CheckVariables()
    {
        const QMap<QString, QString> vars = Variables();
        if (const Section* expected = Find(QStringLiteral("vars"))) {
            for (const QString& line : expected->lines) {
                if (line.isEmpty())
                    continue;
                const QString key = line.section(QLatin1Char('='), 0, 0);
                const QString value = line.section(QLatin1Char('='), 1);
                if (!vars.contains(key.toUpper()))
                    failures_ << QStringLiteral("variable %1 is not defined (expected %2)").arg(key, value);
                else if (vars.value(key.toUpper()) != value)
                    failures_ << QStringLiteral("variable %1 is \"%2\", expected \"%3\"")
                                     .arg(key, vars.value(key.toUpper()), value);
            }
        }
        if (const Section* absent = Find(QStringLiteral("novars")))
            for (const QString& key : absent->lines)
                if (!key.isEmpty() && vars.contains(key.trimmed().toUpper()))
                    failures_ << QStringLiteral("variable %1 should not be defined (it is \"%2\")")
                                     .arg(key, vars.value(key.trimmed().toUpper()));
    }

    void CheckFiles()
    {
        for (const Section& section : sections_) {
            if (section.kind != QLatin1String("check-file"))
                continue;
            QFile file(InDir(section.argument));
            if (!file.open(QIODevice::ReadOnly)) {
                failures_ << QStringLiteral("file %1 does not exist").arg(section.argument);
                continue;
            }
            const QString actual = tomeric::DecodeWindows1252(file.readAll());
            const QString expected = JoinCrLf(section.lines);
            if (actual != expected)
                failures_ << QStringLiteral("file %1 differs.\n--- expected\n%2\n--- actual\n%3")
                                 .arg(section.argument, expected, actual);
        }
    }

    // Every line of "--- mail-contains" must be found in the messages the
    // SMTP server received (their DATA, dot-stuffing kept, CR LF lines).
    void CheckMail()
    {
        const Section* expected = Find(QStringLiteral("mail-contains"));
        if (!expected)
            return;
        QByteArray received;
        if (smtp_)
            for (const auto& transaction : smtp_->transactions)
                received += "MAIL FROM:" + transaction.from + "\r\nRCPT TO:" + transaction.recipients.join(',') +
                            "\r\n" + transaction.data;
        for (const QString& line : expected->lines)
            if (!line.isEmpty() && !received.contains(line.toUtf8()))
                failures_ << QStringLiteral("no mail contains \"%1\"; received:\n%2")
                                 .arg(line, QString::fromUtf8(received));
    }

    std::unique_ptr<tomeric::testing::THttpTestServer> http_;
    std::unique_ptr<tomeric::testing::TSmtpTestServer> smtp_;
    QMap<QString, QString> placeholders_;
    QString runner_;
    QString caseFile_;
    QList<Section> sections_;
    QTemporaryDir dir_;
    QStringList arguments_;
    QStringList output_;
    QStringList failures_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 || args[1] == QLatin1String("--help")) {
        std::fprintf(stderr, "usage: script_case_check TOMERIC_SCRIPT CASE_FILE\n"
                             "Runs one script case (tests/scripts/README.md) and compares its outcome.\n");
        return args.size() == 2 && args[1] == QLatin1String("--help") ? 0 : 2;
    }
    CaseRun run(args[1], args[2]);
    const int result = run.Execute();
    if (result != 0)
        std::fprintf(stderr, "FAILED: %s\n", args[2].toLocal8Bit().constData());
    return result;
}
