// Evaluator throughput: a 100 000-iteration While loop whose body computes
// with Math, assigns with SetVar and branches with If. Reports executed
// script lines per second, with the message pump of the headless runner (a
// QCoreApplication event loop) and without any pump.

#include "actions/action_eval.h"
#include "actions/headless_services.h"
#include "vars/variables.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

using namespace tomeric;

constexpr int kIterations = 100000;
// Lines executed per iteration: While, Math, SetVar, If, SetVar, ENDIF, ENDWHILE.
constexpr int kLinesPerIteration = 7;

const QString kScript = QStringLiteral(
    "SetVar \"[i]\" \"0\"\n"
    "While \"[i]\" \"<\" \"100000\"\n"
    "  Math \"[i]+1\" \"0\" \"[i]\"\n"
    "  SetVar \"[j]\" \"[i]*2\"\n"
    "  If \"[j]\" \">\" \"50\"\n"
    "    SetVar \"[k]\" \"[j]\"\n"
    "  ENDIF\n"
    "ENDWHILE\n");

void RunLoop(benchmark::State& state, bool pump)
{
    HeadlessServices services(nullptr);
    if (!pump)
        services.All().Pump = nullptr;
    for (auto _ : state) {
        ResetVariableStore();
        RunActionText(services.All(), kScript, QStringLiteral("bench"), 0, 0);
        if (GetVariable(QStringLiteral("[i]")) != QLatin1String("100000"))
            state.SkipWithError("the loop did not run to its end");
    }
    const double lines = double(kIterations) * kLinesPerIteration * double(state.iterations());
    state.counters["lines_per_second"] = benchmark::Counter(lines, benchmark::Counter::kIsRate);
}

void BM_WhileLoopWithMessagePump(benchmark::State& state) { RunLoop(state, true); }
void BM_WhileLoopWithoutPump(benchmark::State& state) { RunLoop(state, false); }

BENCHMARK(BM_WhileLoopWithMessagePump)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WhileLoopWithoutPump)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
