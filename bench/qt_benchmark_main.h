#pragma once
// BENCHMARK_MAIN for benchmarks that need a QCoreApplication (event loops,
// processes, timers):
//
//   TOMERIC_QT_BENCHMARK_MAIN()

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#define TOMERIC_QT_BENCHMARK_MAIN()                                                                     \
    int main(int argc, char** argv)                                                                     \
    {                                                                                                   \
        QCoreApplication app(argc, argv);                                                               \
        benchmark::Initialize(&argc, argv);                                                             \
        benchmark::RunSpecifiedBenchmarks();                                                            \
        benchmark::Shutdown();                                                                          \
        return 0;                                                                                       \
    }
