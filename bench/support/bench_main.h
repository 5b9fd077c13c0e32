// The main() of a benchmark program: the benchmarks run inside a Qt
// application of the given kind, drawn off screen, with the embedded engine's
// root folder from the build unless the environment names one.
#pragma once

#include <QtGlobal>

#include <benchmark/benchmark.h>

namespace bench {

template <class App>
int RunBenchmarks(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("FIREBIRD")) qputenv("FIREBIRD", VORIK_FBROOT);
  App app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
