// tavlink-editor-bench: the channel editor's window on a full list (106
// satellites, 1,024 transponders, 1,500 services), offscreen. Each timed
// step ends when the window has painted what changed: opening the list,
// moving 100 selected services, undoing that move, one keystroke in the
// filter. The last benchmark makes 1,000 undo steps and reports the
// process's resident memory.
//
//   QT_QPA_PLATFORM=offscreen build-release/bin/tavlink-editor-bench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "editor_qt/editor_window.h"
#include "editor_qt/service_table_model.h"

namespace tavlink::editor {
namespace {

class NoStore final : public SettingStore {
 public:
  std::optional<int32_t> ReadPort() override { return 1; }
  bool WritePort(int32_t) override { return true; }
  std::optional<std::string> ReadDevice(int) override { return std::nullopt; }
  bool WriteDevice(int, const std::string&) override { return true; }
};

// A full list as a data text: every table at its limit.
std::string FullListText() {
  std::string text;
  char line[256];
  int transponder = 0;
  std::vector<std::pair<int, int>> places;  // satellite number, tp_index of each transponder
  for (int satellite = 1; satellite <= 106; ++satellite) {
    std::snprintf(line, sizeof line,
                  "  s       \"SAT %03d\"       9750      10600     universal %-10.1feast      a "
                  "        none      none      none\n",
                  satellite, satellite * 1.5);
    text += line;
    const int count = satellite <= 70 ? 10 : 9;  // 70 * 10 + 36 * 9 = 1,024
    for (int i = 1; i <= count; ++i, ++transponder) {
      std::snprintf(line, sizeof line,
                    "      t   %-16d27500     %s       0         14        0         3/4\n",
                    10700 + (transponder % 900) * 2, i % 2 ? "hor" : "ver");
      text += line;
      places.emplace_back(satellite, i);
    }
  }
  for (int service = 0; service < 1500; ++service) {
    const auto [satellite, number] = places[static_cast<size_t>(service) % places.size()];
    std::snprintf(line, sizeof line,
                  "  %c       \"Service %04d\"  %-10d%-10d%-10d%-10d%-10d%-10d%-10d0         %d   "
                  "      0\n",
                  service % 7 == 0 ? 'r' : 'v', service, satellite, number, 1000 + service,
                  100 + service % 7000, 200 + service % 7000, 100 + service % 7000, 0,
                  service % 3 == 0);
    text += line;
  }
  return text;
}

// One window, shown offscreen, with the full list in a file.
struct Fixture {
  Fixture() {
    path = dir.filePath("full.txt").toStdString();
    std::ofstream(path, std::ios::binary) << FullListText();
    window = std::make_unique<EditorWindow>(std::make_shared<NoStore>());
    window->resize(1280, 760);
    window->show();
    Settle();
  }
  // Until the window has painted what changed.
  void Settle() {
    QApplication::processEvents();
    window->repaint();
  }
  std::vector<channels::ServiceId> Hundred() const {
    std::vector<channels::ServiceId> ids;
    for (int row = 200; row < 1400; row += 12) ids.push_back(window->Services().IdAt(row));
    return ids;
  }

  QTemporaryDir dir;
  std::string path;
  std::unique_ptr<EditorWindow> window;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_OpenFullList(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    if (!f.window->Logic().OpenPath(f.path)) state.SkipWithError("the full list did not open");
    f.Settle();
  }
  const channels::ChannelList* list = f.window->Logic().list();
  state.counters["satellites"] = list ? static_cast<double>(list->satellites().size()) : 0;
  state.counters["transponders"] = list ? static_cast<double>(list->transponders().size()) : 0;
  state.counters["services"] = static_cast<double>(f.window->Services().rowCount());
}
BENCHMARK(BM_OpenFullList)->Unit(benchmark::kMillisecond);

void BM_NewWindowWithFullList(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    EditorWindow window(std::make_shared<NoStore>());
    window.resize(1280, 760);
    window.show();
    window.Logic().OpenPath(f.path);
    QApplication::processEvents();
    window.repaint();
  }
}
BENCHMARK(BM_NewWindowWithFullList)->Unit(benchmark::kMillisecond);

void BM_Move100SelectedServices(benchmark::State& state) {
  Fixture& f = Shared();
  f.window->Logic().OpenPath(f.path);
  f.Settle();
  const std::vector<channels::ServiceId> ids = f.Hundred();
  f.window->ServicesView()->setFocus();
  f.window->SelectServices(ids);
  bool down = true;
  for (auto _ : state) {
    f.window->Action(down ? "moveDown" : "moveUp")->trigger();
    f.Settle();
    down = !down;
  }
}
BENCHMARK(BM_Move100SelectedServices)->Unit(benchmark::kMillisecond);

void BM_UndoMoveOf100(benchmark::State& state) {
  Fixture& f = Shared();
  f.window->Logic().OpenPath(f.path);
  f.Settle();
  const std::vector<channels::ServiceId> ids = f.Hundred();
  f.window->ServicesView()->setFocus();
  for (auto _ : state) {
    state.PauseTiming();
    f.window->SelectServices(ids);
    f.window->Action("moveBottom")->trigger();
    f.Settle();
    state.ResumeTiming();
    f.window->Action("undo")->trigger();
    f.Settle();
  }
}
BENCHMARK(BM_UndoMoveOf100)->Unit(benchmark::kMillisecond);

void BM_FilterKeystroke(benchmark::State& state) {
  Fixture& f = Shared();
  f.window->Logic().OpenPath(f.path);
  f.Settle();
  QLineEdit* filter = f.window->FilterBox();
  filter->setFocus();
  bool typed = false;
  for (auto _ : state) {
    // "Service 1" narrows to 500 services; the backspace shows them all again.
    if (typed) {
      filter->backspace();
    } else {
      filter->setText("Service ");
      filter->insert("1");
    }
    f.Settle();
    typed = !typed;
  }
  filter->clear();
}
BENCHMARK(BM_FilterKeystroke)->Unit(benchmark::kMillisecond);

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

void BM_MemoryWith1000UndoSteps(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    f.window->Logic().OpenPath(f.path);
    f.Settle();
    const std::vector<channels::ServiceId> ids = f.Hundred();
    f.window->ServicesView()->setFocus();
    f.window->SelectServices(ids);
    for (int step = 0; step < 1000; ++step) {
      f.window->Action(step % 2 ? "moveUp" : "moveDown")->trigger();
    }
    f.Settle();
    state.counters["undo_steps"] = static_cast<double>(f.window->Logic().UndoDepth());
    state.counters["history_MB"] =
        static_cast<double>(f.window->Logic().document().editor()->HistoryBytes()) / 1e6;
    state.counters["rss_MB"] = static_cast<double>(ResidentKilobytes()) / 1024.0;
  }
}
BENCHMARK(BM_MemoryWith1000UndoSteps)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavlink::editor

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
