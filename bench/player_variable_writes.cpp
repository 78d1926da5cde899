// Variable writes in the player on a busy page: a button runs a loop of
// 20 000 passes that writes two variables no object shows, on a page of 0
// and of 1 000 objects (buttons, texts, edit fields and check boxes with
// variables of their own, and one text that shows the loop's end). Every
// write reaches the window, which must not ask each object about each
// variable: the page's objects should add little to the loop's time.
//
// The player runs as a separate process (qxplay5 next to this benchmark),
// off-screen; `player_cpu_ms` is its CPU time per run, start-up included.

#include "package/package.h"
#include "package/package_writer.h"

#include "player_process.h"
#include "qt_benchmark_main.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

using namespace tomeric;

constexpr int kPasses = 20000;

QByteArray PageObjects(int count)
{
    static const char* const kFamilies[] = {"3", "8", "9", "12"};
    QByteArray records;
    for (int i = 0; i < count; ++i) {
        const QByteArray n = QByteArray::number(i);
        records += QByteArray("OBJECTTYPE=") + kFamilies[i % 4] + "\r\nNAME=O" + n + "\r\nX=" +
                   QByteArray::number(i % 40 * 20) + "\r\nY=" + QByteArray::number(40 + i / 40 * 20) +
                   "\r\nW=18\r\nH=18\r\nTEXT=Object " + n + "\r\nHINT=What object " + n + " does\r\n";
        if (i % 4 >= 2) records += "VARNAME=Field" + n + "\r\n";
    }
    return records;
}

QByteArray PublicationText(int objects)
{
    return "TITLE=Writes\r\nSCREENWIDTH=800\r\nSCREENHEIGHT=600\r\nWINDOWSTYLE=0\r\nSHOWERRORS=No\r\n"
           "NEWPAGE=First\r\nPAGECOLOR=16777215\r\n"
           "OBJECTTYPE=3\r\nNAME=Go\r\nX=0\r\nY=0\r\nW=60\r\nH=30\r\nTEXT=Go\r\n"
           "OBJACTION=SetVar \"[i]\" \"0\"\xB6While \"[i]\" \"<\" \"" +
           QByteArray::number(kPasses) +
           "\"\xB6Math \"[i]+1\" \"0\" \"[i]\"\xB6Math \"[i]*2\" \"0\" \"[x]\"\xB6" "ENDWHILE\xB6"
           "SetVar \"[Done]\" \"Yes\"\r\n"
           "OBJECTTYPE=8\r\nNAME=Status\r\nX=100\r\nY=0\r\nW=200\r\nH=30\r\nTEXT=Done: [Done]\r\n" +
           PageObjects(objects);
}

struct TWritesFixture {
    QTemporaryDir folder;
    QString driveScript, variables;

    QString Container(int objects)
    {
        const QString path = folder.filePath(QStringLiteral("writes%1.tpk").arg(objects));
        if (!QFileInfo::exists(path)) {
            PackageWriter writer;
            writer.AddFile(kPublicationEntryName, PublicationText(objects));
            writer.WriteTo(path);
        }
        return path;
    }

    TWritesFixture()
    {
        driveScript = folder.filePath(QStringLiteral("drive.txt"));
        variables = folder.filePath(QStringLiteral("vars.txt"));
        QFile script(driveScript);
        if (script.open(QIODevice::WriteOnly))
            script.write("click Go\nvars " + variables.toUtf8() + "\nquit\n");
    }
};

TWritesFixture& Fixture()
{
    static TWritesFixture fixture;
    return fixture;
}

bool LoopFinished(const QString& variables)
{
    QFile file(variables);
    return file.open(QIODevice::ReadOnly) && file.readAll().toUpper().contains("DONE=YES");
}

void BM_LoopWritesOnAPageOfObjects(benchmark::State& state)
{
    TWritesFixture& f = Fixture();
    const QString player = bench::PlayerPath();
    if (!QFileInfo::exists(player)) {
        state.SkipWithError("build qxplay5 first (it is looked for next to this benchmark)");
        return;
    }
    const QString container = f.Container(int(state.range(0)));
    const QProcessEnvironment environment = bench::PlayerEnvironment(f.folder.path());
    const double cpuBefore = bench::ChildrenCpuMs();
    for (auto _ : state) {
        QFile::remove(f.variables);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(player, {QStringLiteral("/R"), container, QStringLiteral("--drive"), f.driveScript,
                               QStringLiteral("--fast")});
        if (!process.waitForFinished(300000) || process.exitCode() != 0)
            state.SkipWithError("the player did not run and close cleanly");
        if (!LoopFinished(f.variables))
            state.SkipWithError("the loop did not finish");
    }
    const double cpuMs = (bench::ChildrenCpuMs() - cpuBefore) / double(state.iterations());
    state.counters["player_cpu_ms"] = cpuMs;
    state.counters["writes"] = 2.0 * kPasses;
}

BENCHMARK(BM_LoopWritesOnAPageOfObjects)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

TOMERIC_QT_BENCHMARK_MAIN()
