// Starting the player on a large publication (200 pages, 10 000 objects):
// from the command line to the first page on screen, photographed by the
// driver, and closed again. Against it, reading the same container alone
// (what `tomeric-pack info` does), so the reading shows as a share of the
// start-up. Pages that are not shown must not cost their full widget and
// picture work, so start-up should stay within a small multiple of reading.
//
// The player runs as a separate process (qxplay5 next to this benchmark),
// off-screen, with --fast: transitions and the splash do not wait.

#include "package/package.h"
#include "package/package_writer.h"
#include "publication/publication_reader.h"

#include "large_publication.h"
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

struct TStartupFixture {
    QTemporaryDir folder;
    QString container, driveScript;

    TStartupFixture()
    {
        PackageWriter writer;
        writer.SetCompression(TCompression::cmAlways);
        writer.AddFile(kPublicationEntryName, bench::LargePublicationText(false));
        container = folder.filePath(QStringLiteral("large.tpk"));
        writer.WriteTo(container);
        driveScript = folder.filePath(QStringLiteral("drive.txt"));
        QFile script(driveScript);
        if (script.open(QIODevice::WriteOnly))
            script.write("screenshot " + folder.filePath(QStringLiteral("first.png")).toUtf8() + "\nquit\n");
    }
};

TStartupFixture& Fixture()
{
    static TStartupFixture fixture;
    return fixture;
}

void BM_ReadContainerOnly(benchmark::State& state)
{
    TStartupFixture& f = Fixture();
    for (auto _ : state) {
        TPackage package;
        if (package.Open(f.container) != kPackageOk)
            state.SkipWithError("cannot open the container");
        TPublication publication;
        if (!ReadPublication(package, publication).ok)
            state.SkipWithError("cannot read the publication");
        benchmark::DoNotOptimize(publication.pages.size());
    }
}

void BM_PlayerStartToFirstScreenshot(benchmark::State& state)
{
    TStartupFixture& f = Fixture();
    const QString player = bench::PlayerPath();
    if (!QFileInfo::exists(player)) {
        state.SkipWithError("build qxplay5 first (it is looked for next to this benchmark)");
        return;
    }
    const QProcessEnvironment environment = bench::PlayerEnvironment(f.folder.path());
    const double cpuBefore = bench::ChildrenCpuMs();
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(player, {QStringLiteral("/R"), f.container, QStringLiteral("--drive"), f.driveScript,
                               QStringLiteral("--fast")});
        if (!process.waitForFinished(120000) || process.exitCode() != 0)
            state.SkipWithError("the player did not start and close cleanly");
    }
    state.counters["player_cpu_ms"] = (bench::ChildrenCpuMs() - cpuBefore) / double(state.iterations());
    if (!QFileInfo::exists(f.folder.filePath(QStringLiteral("first.png"))))
        state.SkipWithError("the driver took no screenshot");
}

BENCHMARK(BM_ReadContainerOnly)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlayerStartToFirstScreenshot)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

TOMERIC_QT_BENCHMARK_MAIN()
