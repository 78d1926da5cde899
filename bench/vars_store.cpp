// Speed of the variable store: substitution of a text with ten references,
// and reads and writes whose cost must not grow with the number of
// variables (compare the 100 and the 100 000 variable runs).

#include "vars/variables.h"

#include <benchmark/benchmark.h>

#include <QLocale>

namespace {

using namespace tomeric;

void FillGlobals(int count) {
    ResetVariableStore();
    for (int i = 0; i < count; ++i)
        GlobalVars().Set(QStringLiteral("Var%1").arg(i), QString::number(i));
}

void BM_SubstituteTenReferences(benchmark::State& state) {
    FillGlobals(1000);
    SetVariable(QStringLiteral("[i]"), QStringLiteral("7"));
    const QString text = QStringLiteral(
        "Score [Var1] of [Var2], player [Var3] on page [PageNumber] at [Time24]; item [Var[i]] "
        "costs [Var5][#13][#10]total [Var999] and [Missing]");
    for (auto _ : state)
        benchmark::DoNotOptimize(SubstituteVars(text));
    state.SetItemsProcessed(state.iterations() * 10);
}
BENCHMARK(BM_SubstituteTenReferences);

void BM_SetVariable(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    FillGlobals(count);
    const QString name = QStringLiteral("[Var%1]").arg(count / 2);
    int n = 0;
    for (auto _ : state)
        SetVariable(name, QString::number(++n));
}
BENCHMARK(BM_SetVariable)->Arg(100)->Arg(100000);

void BM_GetVariable(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    FillGlobals(count);
    const QString name = QStringLiteral("[Var%1]").arg(count / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(GetVariable(name));
}
BENCHMARK(BM_GetVariable)->Arg(100)->Arg(100000);

// Creating and deleting variables, as scripts with temporary arrays do.
void BM_CreateAndDelete(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    FillGlobals(count);
    int n = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("[Temp%1]").arg(++n % 64);
        SetVariable(name, QStringLiteral("x"));
        SetVariable(name, QString());
    }
}
BENCHMARK(BM_CreateAndDelete)->Arg(100)->Arg(100000);

} // namespace

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
