// Reading a data file line by line in a loop must stay linear: FileRead of
// lines 1..100 000 in order may take at most about ten times as long as
// lines 1..10 000 (the read cache goes on where the last read stopped).
//
// BM_FileReadLoop runs the real script loop through the evaluator;
// BM_ReadCacheLines measures the read cache alone.

#include "actions/data_file_cache.h"
#include "actions/script_session.h"
#include "vars/variables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFileLines = 100 * 1000;

// One data file for every benchmark: 100 000 lines of about 60 bytes.
const QTemporaryDir& DataFolder() {
    static QTemporaryDir dir;
    static const bool written = [] {
        QFile file(dir.filePath(QStringLiteral("data.txt")));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (int i = 1; i <= kFileLines; ++i)
            file.write(QByteArray("line ") + QByteArray::number(i) +
                       " of the data file, with a|bar and some words\r\n");
        return true;
    }();
    (void)written;
    return dir;
}

void BM_ReadCacheLines(benchmark::State& state) {
    const QString path = DataFolder().filePath(QStringLiteral("data.txt"));
    const std::int64_t lines = state.range(0);
    for (auto _ : state) {
        tomeric::TDataFileReadCache cache;
        for (std::int64_t n = 1; n <= lines; ++n)
            benchmark::DoNotOptimize(cache.ReadLine(path, n));
    }
    state.SetItemsProcessed(state.iterations() * lines);
}
BENCHMARK(BM_ReadCacheLines)->Arg(10 * 1000)->Arg(100 * 1000)->Unit(benchmark::kMillisecond);

void BM_FileReadLoop(benchmark::State& state) {
    const QString saved = QDir::currentPath();
    QDir::setCurrent(DataFolder().path());
    tomeric::SetShowErrors(false);
    tomeric::ScriptSession session([](const QString&) {});
    session.UseEmptyPublication();
    const QString script = QStringLiteral("Loop \"1\" \"%1\" \"[i]\"\r\n"
                                          "FileRead \"data.txt\" \"[i]\" \"[line]\"\r\n"
                                          "ENDLOOP")
                               .arg(state.range(0));
    for (auto _ : state)
        session.Run(script);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    QDir::setCurrent(saved);
}
BENCHMARK(BM_FileReadLoop)->Arg(10 * 1000)->Arg(100 * 1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
