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

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <sys/resource.h>

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

// CPU time (user and system) of the children that have ended so far, in
// milliseconds: the machine may be loaded, the player's own work is not.
double ChildrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

QString PlayerPath()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/qxplay5");
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
    const QString player = PlayerPath();
    if (!QFileInfo::exists(player)) {
        state.SkipWithError("build qxplay5 first (it is looked for next to this benchmark)");
        return;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TOMERIC_REGISTRY_FILE"), f.folder.filePath(QStringLiteral("registry.json")));
    const double cpuBefore = ChildrenCpuMs();
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(player, {QStringLiteral("/R"), f.container, QStringLiteral("--drive"), f.driveScript,
                               QStringLiteral("--fast")});
        if (!process.waitForFinished(120000) || process.exitCode() != 0)
            state.SkipWithError("the player did not start and close cleanly");
    }
    state.counters["player_cpu_ms"] = (ChildrenCpuMs() - cpuBefore) / double(state.iterations());
    if (!QFileInfo::exists(f.folder.filePath(QStringLiteral("first.png"))))
        state.SkipWithError("the driver took no screenshot");
}

BENCHMARK(BM_ReadContainerOnly)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_PlayerStartToFirstScreenshot)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
