// Evaluator throughput: the While loop of bench/while_loop.tom (Math, SetVar
// and If on every pass) at 100 000 and 1 000 000 iterations, with the
// message pump of the headless runner (a QCoreApplication event loop) and
// without any pump. Each case prints its time against the same loop in Tcl
// (bench/while_loop.tcl run by tclsh in this run): `x_tcl_global` against
// the script as written at the top level, where Tcl too keeps its
// variables in a table by name, and `x_tcl_proc` against the same lines
// compiled inside a proc, Tcl's fastest form. Without tclsh the ratios are
// left out and a note says so.

#include "actions/action_eval.h"
#include "actions/headless_services.h"
#include "vars/variables.h"

#include "qt_benchmark_main.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

namespace {

using namespace tomeric;

// Lines executed per iteration: While, Math, SetVar, If, SetVar, ENDIF, ENDWHILE.
constexpr int kLinesPerIteration = 7;

QString BenchFile(const char* name)
{
    QFile file(QStringLiteral(TOMERIC_SOURCE_DIR "/bench/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// Seconds tclsh needs for the loop at `iterations` in `mode` ("global" or
// "proc"); 0 when tclsh is missing or fails. Measured once per case.
double TclSeconds(int iterations, const char* mode)
{
    static std::map<std::pair<int, std::string>, double> measured;
    const auto key = std::make_pair(iterations, std::string(mode));
    if (const auto it = measured.find(key); it != measured.end())
        return it->second;
    QProcess tcl;
    tcl.start(QStringLiteral("tclsh"),
              {QStringLiteral(TOMERIC_SOURCE_DIR "/bench/while_loop.tcl"), QString::number(iterations),
               QLatin1String(mode)});
    double seconds = 0;
    if (tcl.waitForFinished(120000) && tcl.exitCode() == 0)
        seconds = tcl.readAllStandardOutput().trimmed().toDouble() / 1e6;
    measured[key] = seconds;
    return seconds;
}

void RunLoop(benchmark::State& state, bool pump)
{
    const int iterations = static_cast<int>(state.range(0));
    const QString script = BenchFile("while_loop.tom").arg(iterations);
    const QString expected = QString::number(iterations);
    HeadlessServices services(nullptr);
    if (!pump)
        services.All().Pump = nullptr;
    double seconds = 0;
    for (auto _ : state) {
        ResetVariableStore();
        const auto started = std::chrono::steady_clock::now();
        RunActionText(services.All(), script, QStringLiteral("bench"), 0, 0);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (GetVariable(QStringLiteral("[i]")) != expected)
            state.SkipWithError("the loop did not run to its end");
    }
    const double runs = double(state.iterations());
    state.counters["lines_per_second"] =
        benchmark::Counter(double(iterations) * kLinesPerIteration * runs, benchmark::Counter::kIsRate);
    for (const char* mode : {"global", "proc"}) {
        const double tcl = TclSeconds(iterations, mode);
        if (tcl > 0)
            state.counters[std::string("x_tcl_") + mode] = seconds / runs / tcl;
    }
    if (TclSeconds(iterations, "global") <= 0)
        state.SetLabel("tclsh not found (install tcl8.6): no comparison");
}

void BM_WhileLoopWithMessagePump(benchmark::State& state) { RunLoop(state, true); }
void BM_WhileLoopWithoutPump(benchmark::State& state) { RunLoop(state, false); }

BENCHMARK(BM_WhileLoopWithMessagePump)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_WhileLoopWithoutPump)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

TOMERIC_QT_BENCHMARK_MAIN()
