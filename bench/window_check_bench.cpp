// How long the main window's event loop goes without a turn while a check waits on a router that
// answers after 2 s: the longest gap between two ticks of a 10 ms timer on the UI thread.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "support/qt_main_window.h"
#include "ui/main/main_dialog.h"

namespace {

constexpr int kRouterDelayMs = 2000;
constexpr int kTickMs = 10;

void BM_WindowCheckLongestTickGap(benchmark::State& state) {
  zepa2::test::MainWindowScope scope;
  zepa2::AppSettings settings;
  zepa2::test::UseRouterServer(settings, zepa2::test::RouterTestServer());
  settings.routerPage = "slow/" + std::to_string(kRouterDelayMs) + "/status.htm";
  // The program's own pauses: 200 ms after each line, taken on the worker.
  zepa2::ui::MainDialog dialog(settings);
  dialog.show();

  QElapsedTimer clock;
  clock.start();
  qint64 lastTurn = 0;
  qint64 longestGap = 0;
  const auto turn = [&] {
    const qint64 now = clock.elapsed();
    longestGap = std::max(longestGap, now - lastTurn);
    lastTurn = now;
  };
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, &dialog, [&] {
    if (dialog.checkRunning()) turn();
  });
  ticker.start(kTickMs);

  for (auto _ : state) {
    QEventLoop untilEnded;
    QObject::connect(&dialog, &zepa2::ui::MainDialog::checkEnded, &untilEnded, [&] {
      turn();
      untilEnded.quit();
    });
    lastTurn = clock.elapsed();
    dialog.accept();
    untilEnded.exec();
    if (dialog.lastReport().address != "10.0.0.1") state.SkipWithError("no address found");
  }
  state.counters["longest_tick_gap_ms"] = static_cast<double>(longestGap);
}
BENCHMARK(BM_WindowCheckLongestTickGap)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
