// Opening a container and reaching its embedded files: the player does this
// at every start, and every picture, sound or text a page shows goes through
// a lookup and a load.

#include "package/package.h"
#include "package/package_writer.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace tomeric;

// A publication-sized container: `count` entries of a few kilobytes each,
// plus one large picture.
struct Fixture {
    explicit Fixture(int count) {
        PackageWriter writer;
        writer.AddFile("RUNTIME.PUB", QByteArray(200 * 1024, 'p'));
        for (int i = 0; i < count; ++i)
            writer.AddFile(QStringLiteral("embedded:\\\\\\picture%1.bmp").arg(i),
                           QByteArray(4096, char('a' + i % 26)), ekPicture);
        QByteArray large(4 * 1024 * 1024, '\0');
        for (qsizetype i = 0; i < large.size(); ++i)
            large[i] = char((i * 31) % 97);
        writer.AddFile("large.bin", large);
        path = dir.filePath("pub.exe");
        writer.WriteTo(path);
    }
    QTemporaryDir dir;
    QString path;
};

void BM_OpenContainer(benchmark::State& state) {
    Fixture fixture(int(state.range(0)));
    for (auto _ : state) {
        TPackage package;
        benchmark::DoNotOptimize(package.Open(fixture.path));
    }
}
BENCHMARK(BM_OpenContainer)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_FindEmbeddedWorstCase(benchmark::State& state) {
    Fixture fixture(int(state.range(0)));
    TPackage package;
    package.Open(fixture.path);
    // The first directory entry is the last one of the head-first list.
    const QString name = QStringLiteral("EMBEDDED:\\\\\\PICTURE0.BMP");
    for (auto _ : state)
        benchmark::DoNotOptimize(package.FindEmbedded(name));
}
BENCHMARK(BM_FindEmbeddedWorstCase)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_LoadLargeEntry(benchmark::State& state) {
    Fixture fixture(10);
    TPackage package;
    package.Open(fixture.path);
    for (auto _ : state)
        benchmark::DoNotOptimize(package.LoadEmbeddedToMemory("large.bin"));
    state.SetBytesProcessed(state.iterations() * 4 * 1024 * 1024);
}
BENCHMARK(BM_LoadLargeEntry)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
