// Reading a large publication: a 5 MB RUNTIME.PUB (200 pages, 10 000
// objects) packed compressed into a container.
//
//   BM_OpenAndReadContainer  opening the package and reading the whole text
//                            into the model (what start-up costs)
//   BM_InflateOnly           only the zlib inflate of the same entry, in the
//                            same 2048-byte chunks
//   BM_ParseOnly             only the parser, on the text already in memory
//
// Comparing the three shows where reading time goes.

#include "package/package.h"
#include "package/package_writer.h"
#include "publication/publication_reader.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <memory>

namespace {

using namespace tomeric;

constexpr int kPages = 200;
constexpr int kObjectsPerPage = 50;

QByteArray Action(int page, int object) {
    return "SetVar \"[Visited" + QByteArray::number(page) + "]\" \"[Visited" + QByteArray::number(page) +
           "]+1\"\xB6If \"[Visited" + QByteArray::number(page) + "]\" \">\" \"3\"\xB6" +
           "AlertBox \"Welcome back\" \"You have seen object " + QByteArray::number(object) +
           " of page " + QByteArray::number(page) + " several times already.\"\xB6" +
           "EndIf\xB6GotoPage \"Page" + QByteArray::number((page % kPages) + 1) + "\"";
}

QByteArray ObjectRecords(int page, int object) {
    static const int kTypes[] = {3, 8, 5, 12, 9, 15, 6, 16, 10, 17};
    const int type = kTypes[object % std::size(kTypes)];
    QByteArray r;
    r += "OBJECTTYPE=" + QByteArray::number(type) + "\r\n";
    r += "NAME=Object" + QByteArray::number(page) + "_" + QByteArray::number(object) + "\r\n";
    r += "X=" + QByteArray::number(object * 13 % 700) + "\r\nY=" + QByteArray::number(object * 7 % 500) +
         "\r\nW=120\r\nH=32\r\n";
    r += "LINECOLOR=5284041\r\nLINEWIDTH=1\r\nFILLCOLOR=14742522\r\nFILLPATTERN=0\r\n";
    r += "FONT=Georgia\r\nFONTSIZE=11\r\nFONTSTYLE=1\r\nTEXTCOLOR=1976380\r\n";
    r += "TEXT=Caption of object " + QByteArray::number(object) + " on page " + QByteArray::number(page) +
         "\xB6with a second line\r\n";
    r += "HINT=A hint that explains what this object does when clicked\r\n";
    r += "VARNAME=Var" + QByteArray::number(object) + "\r\n";
    r += "OBJACTION=" + Action(page, object) + "\r\n";
    return r;
}

QByteArray LargeText() {
    QByteArray text = "TITLE=Benchmark publication\r\nSCREENWIDTH=800\r\nSCREENHEIGHT=600\r\n"
                      "SUBROUTINEACTION=:One\xB6Return\xB6:Two\xB6Return\r\n";
    for (int page = 1; page <= kPages; ++page) {
        text += "NEWPAGE=Page" + QByteArray::number(page) + "\r\nPAGECOLOR=14742522\r\n";
        text += "PGENTERACTION=" + Action(page, 0) + "\r\n";
        for (int object = 0; object < kObjectsPerPage; ++object) text += ObjectRecords(page, object);
    }
    return text;
}

// The container, written once for all benchmarks.
struct TFixture {
    QTemporaryDir folder;
    QString path;
    QByteArray text;
    QByteArray stored; // the compressed entry as stored

    TFixture() : text(LargeText()) {
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

void BM_OpenAndReadContainer(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) {
        TPackage package;
        if (package.Open(f.path) != kPackageOk) state.SkipWithError("cannot open the container");
        TPublication publication;
        const TReadResult result = ReadPublication(package, publication);
        if (!result.ok) state.SkipWithError("cannot read the publication");
        benchmark::DoNotOptimize(publication.pages.size());
    }
    state.SetBytesProcessed(state.iterations() * f.text.size());
    state.counters["text_MB"] = double(f.text.size()) / 1e6;
}

void BM_InflateOnly(benchmark::State& state) {
    TFixture& f = Fixture();
    char chunk[kPublicationChunkSize];
    for (auto _ : state) {
        z_stream stream{};
        inflateInit(&stream);
        stream.next_in = reinterpret_cast<Bytef*>(f.stored.data());
        stream.avail_in = uInt(f.stored.size());
        int status = Z_OK;
        while (status == Z_OK) {
            stream.next_out = reinterpret_cast<Bytef*>(chunk);
            stream.avail_out = sizeof chunk;
            status = inflate(&stream, Z_NO_FLUSH);
            benchmark::DoNotOptimize(chunk[0]);
        }
        inflateEnd(&stream);
    }
    state.SetBytesProcessed(state.iterations() * f.text.size());
}

void BM_ParseOnly(benchmark::State& state) {
    TFixture& f = Fixture();
    for (auto _ : state) {
        const TPublication publication = ParsePublicationText(f.text);
        benchmark::DoNotOptimize(publication.pages.size());
    }
    state.SetBytesProcessed(state.iterations() * f.text.size());
}

BENCHMARK(BM_OpenAndReadContainer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
