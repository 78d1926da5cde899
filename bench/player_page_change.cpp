// Changing pages on a busy page: a page of 1 000 objects of the usual
// families is left for another one of the same size, with the page events
// the player sends (hide, show, paint), and the window is repainted in full.
// The reader should see the new page at once: well under a frame interval
// of a slow screen (~40 ms).

#include "player_bench_support.h"

#include "objects/object_factory.h"
#include "objects/object_tree.h"
#include "pages/page_stack.h"
#include "publication/publication_model.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QWidget>

namespace {

using namespace tomeric;
using tomeric::bench::BenchApplication;
using tomeric::bench::BenchObject;
using tomeric::bench::TQuietHost;

// Two pages of `objects` objects each, after the empty master page.
TPublication TwoBusyPages(int objects)
{
    TPublication publication;
    publication.pages.resize(3);
    for (int p = 1; p <= 2; ++p) {
        publication.pages[size_t(p)].name = QStringLiteral("Page%1").arg(p);
        for (int o = 0; o < objects; ++o)
            publication.pages[size_t(p)].objects.push_back(BenchObject(p, o));
    }
    return publication;
}

// A shown window holding the page stack with every page's objects.
struct TBusyWindow {
    explicit TBusyWindow(int objects) : publication(TwoBusyPages(objects))
    {
        window.resize(800, 600);
        stack = new TPageStack(&window, publication, {});
        stack->resize(800, 600);
        stack->SetPageBuilder([this](int index, TTomericBackground& background) {
            CreatePageObjects(&background, publication.pages[size_t(index)].objects, host, {});
        });
        stack->CreateAllPages();
        for (int i = 0; i < stack->Count(); ++i)
            SendToObjects(stack->PageBackground(i), [](TTomericObj& o) { o.OnInit(); });
        window.show();
        stack->ShowPageAt(1);
        // The window is exposed once the platform has had its events.
        QCoreApplication::processEvents();
        window.repaint();
    }

    void ChangePage(int to)
    {
        SendToObjects(stack->PageBackground(stack->ShownIndex()), [](TTomericObj& o) { o.OnPageHide(); });
        stack->ShowPageAt(to);
        QWidget* page = stack->PageBackground(to);
        SendToObjects(page, [](TTomericObj& o) { o.OnPageShow(); });
        SendToObjects(page, [](TTomericObj& o) { o.OnPagePaint(true, {}); });
    }

    TPublication publication;
    TQuietHost host;
    QWidget window;
    TPageStack* stack = nullptr;
};

// Changes page back and forth between two busy pages; with `repaint`, the
// whole window is drawn after each change.
void ChangePages(benchmark::State& state, bool repaint)
{
    BenchApplication();
    TBusyWindow busy(int(state.range(0)));
    int next = 2;
    for (auto _ : state) {
        busy.ChangePage(next);
        // What the event loop would deliver before the repaint: the updates
        // Qt posts for widgets that were shown.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateLater);
        if (repaint)
            busy.window.repaint();
        next = 3 - next;
    }
    state.counters["objects"] = double(state.range(0));
}

void BM_PageChangeAndFullRepaint(benchmark::State& state)
{
    ChangePages(state, true);
}
BENCHMARK(BM_PageChangeAndFullRepaint)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The page events alone (hide, show, paint messages and the widgets shown
// and hidden), to tell them apart from the drawing.
void BM_PageChangeWithoutDrawing(benchmark::State& state)
{
    ChangePages(state, false);
}
BENCHMARK(BM_PageChangeWithoutDrawing)->Arg(1000)->Unit(benchmark::kMillisecond);

// Drawing the whole window alone (into an image, as a screenshot does), to
// tell drawing apart from the page events.
void BM_FullRepaintOfABusyPage(benchmark::State& state)
{
    BenchApplication();
    TBusyWindow busy(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(busy.window.grab());
    state.counters["objects"] = double(state.range(0));
}
BENCHMARK(BM_FullRepaintOfABusyPage)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
