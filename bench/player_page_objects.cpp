// Creating every page's objects at load: the player builds all pages' objects
// once the publication is read (buttons and inputs take their first values
// at OM_INIT), so a large publication must still open quickly. 200 pages of
// 50 objects of the usual families (10 000 objects), then OM_INIT to all.

#include "player_bench_support.h"

#include "objects/object_factory.h"
#include "objects/object_tree.h"
#include "pages/page_stack.h"
#include "publication/publication_model.h"

#include <benchmark/benchmark.h>

#include <QWidget>

namespace {

using namespace tomeric;
using tomeric::bench::BenchApplication;
using tomeric::bench::BenchObject;
using tomeric::bench::TQuietHost;

constexpr int kPages = 200;
constexpr int kObjectsPerPage = 50;

TPublication BenchPublication(int pages)
{
    TPublication publication;
    publication.pages.resize(size_t(pages) + 1);
    for (int p = 1; p <= pages; ++p) {
        publication.pages[size_t(p)].name = QStringLiteral("Page%1").arg(p);
        for (int o = 0; o < kObjectsPerPage; ++o)
            publication.pages[size_t(p)].objects.push_back(BenchObject(p, o));
    }
    return publication;
}

void BM_CreateAllPagesObjectsAndInit(benchmark::State& state)
{
    BenchApplication();
    const TPublication publication = BenchPublication(int(state.range(0)));
    TQuietHost host;
    QWidget window;
    window.resize(800, 600);
    for (auto _ : state) {
        auto* stack = new TPageStack(&window, publication, {});
        stack->resize(800, 600);
        stack->SetPageBuilder([&](int index, TTomericBackground& background) {
            CreatePageObjects(&background, publication.pages[size_t(index)].objects, host, {});
        });
        stack->CreateAllPages();
        for (int i = 0; i < stack->Count(); ++i)
            SendToObjects(stack->PageBackground(i), [](TTomericObj& o) { o.OnInit(); });
        state.PauseTiming();
        delete stack;
        state.ResumeTiming();
    }
    state.counters["objects"] = double(state.range(0) * kObjectsPerPage);
}
BENCHMARK(BM_CreateAllPagesObjectsAndInit)->Arg(20)->Arg(kPages)->Unit(benchmark::kMillisecond);

void BM_VariableChangeToAllPages(benchmark::State& state)
{
    BenchApplication();
    const TPublication publication = BenchPublication(kPages);
    TQuietHost host;
    QWidget window;
    auto* stack = new TPageStack(&window, publication, {});
    stack->SetPageBuilder([&](int index, TTomericBackground& background) {
        CreatePageObjects(&background, publication.pages[size_t(index)].objects, host, {});
    });
    stack->CreateAllPages();
    const QString name = QStringLiteral("[SCORE]"), value = QStringLiteral("12");
    for (auto _ : state)
        for (int i = 0; i < stack->Count(); ++i)
            SendToObjects(stack->PageBackground(i), [&](TTomericObj& o) { o.OnVarChanged(name, value); });
}
BENCHMARK(BM_VariableChangeToAllPages)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
