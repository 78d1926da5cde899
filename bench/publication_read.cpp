// Reading a large publication: a 5 MB RUNTIME.PUB (200 pages, 10 000
// objects) packed compressed into a container.
//
//   BM_OpenAndReadContainer  opening the package and reading the whole text
//                            into the model (what start-up costs). Its
//                            `x_inflate` counter is the CPU time of the read
//                            against that of inflating the same entry, both
//                            measured in every iteration so that they share
//                            the machine's load; `free_ms` is the CPU time of
//                            freeing the model afterwards, which is not
//                            reading and is left out of the iteration time.
//   BM_InflateOnly           only the zlib inflate of the same entry, in the
//                            same 2048-byte chunks
//   BM_ParseOnly             only the parser, on the text already in memory
//                            (freeing the model left out as well)
//
// Comparing the three shows where reading time goes.

#include "package/package.h"
#include "package/package_writer.h"
#include "publication/publication_reader.h"

#include "large_publication.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <ctime>
#include <memory>

namespace {

using namespace tomeric;
using namespace tomeric::bench;

// The container, written once for all benchmarks.
struct TFixture {
    QTemporaryDir folder;
    QString path;
    QByteArray text;
    QByteArray stored; // the compressed entry as stored

    TFixture() : text(LargePublicationText()) {
        PackageWriter writer;
        writer.SetCompression(TCompression::cmAlways);
        writer.AddFile(kPublicationEntryName, text);
        path = folder.filePath(QStringLiteral("large.tpk"));
        writer.WriteTo(path);
        stored = PackageWriter::Compress(text);
    }
};

TFixture& Fixture() {
    static TFixture fixture;
    return fixture;
}

// This thread's CPU time: on a shared machine wall time says little.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Inflates the stored entry in the reader's chunk size and throws the text away.
void InflateEntry(const QByteArray& stored) {
    char chunk[kPublicationChunkSize];
    z_stream stream{};
    inflateInit(&stream);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stored.data()));
    stream.avail_in = uInt(stored.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        benchmark::DoNotOptimize(chunk[0]);
    }
    inflateEnd(&stream);
}

void BM_OpenAndReadContainer(benchmark::State& state) {
    TFixture& f = Fixture();
    double readSeconds = 0, inflateSeconds = 0, freeSeconds = 0;
    for (auto _ : state) {
        auto publication = std::make_unique<TPublication>();
        double started = CpuSeconds();
        {
            TPackage package;
            if (package.Open(f.path) != kPackageOk) state.SkipWithError("cannot open the container");
            const TReadResult result = ReadPublication(package, *publication);
            if (!result.ok) state.SkipWithError("cannot read the publication");
            benchmark::DoNotOptimize(publication->pages.size());
        }
        readSeconds += CpuSeconds() - started;

        state.PauseTiming();
        started = CpuSeconds();
        InflateEntry(f.stored);
        inflateSeconds += CpuSeconds() - started;
        started = CpuSeconds();
        publication.reset();
        freeSeconds += CpuSeconds() - started;
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * f.text.size());
    state.counters["text_MB"] = double(f.text.size()) / 1e6;
    if (inflateSeconds > 0) state.counters["x_inflate"] = readSeconds / inflateSeconds;
    state.counters["free_ms"] = freeSeconds * 1e3 / double(state.iterations());
}

void BM_InflateOnly(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) InflateEntry(f.stored);
    state.SetBytesProcessed(state.iterations() * f.text.size());
}

void BM_ParseOnly(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) {
        auto publication = std::make_unique<TPublication>(ParsePublicationText(f.text));
        benchmark::DoNotOptimize(publication->pages.size());
        state.PauseTiming(); // freeing the model is not reading
        publication.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * f.text.size());
}

BENCHMARK(BM_OpenAndReadContainer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
