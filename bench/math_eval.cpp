// How long one numeric parameter costs a script: a 20-token expression from
// text to result text.

#include "math/math_expression.h"

#include <benchmark/benchmark.h>

namespace {

// 20 tokens: numbers, operators, one function call and parentheses.
const QString kExpression = QStringLiteral("(12.5+3)*2-SQRT(16)/4+7&3^2");

void BM_EvaluateMath20Tokens(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(tomeric::EvaluateMath(kExpression, -1));
}
BENCHMARK(BM_EvaluateMath20Tokens);

void BM_FormatNumberGeneral(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(tomeric::FormatNumber(2.0L / 3, -1));
}
BENCHMARK(BM_FormatNumberGeneral);

} // namespace

BENCHMARK_MAIN();
