// End-to-end speed and memory as a student meets them, through the real main window (offscreen).
//
// Figures and their yardsticks, measured in the same run:
// - "page_switch": from the request of a page to its painted frame, for a 2048 x 1216 colour
//   JPEG page with 200 structures and a 20 KB text, as a multiple of decoding that JPEG alone
//   into a fresh bitmap ("x_decode"; goal at most 1.4), printed at the end of the run on a line
//   of its own, "page switch: N.NN× decode";
// - "start_up": from starting the atlas process on the demo tree (OSTRELIN_DEMO_TREE) to its
//   first painted main window, against a bare QApplication process showing an empty full-screen
//   QWidget ("x_bare"; goal: under 1.5 s absolute). The start dialog, which waits for the student,
//   is left out;
// - "resident": the atlas process's resident memory with that JPEG page open, as a multiple of
//   the bare Qt process's plus three times the image's bytes ("x_budget"; goal at most 1).
//
// The start-up and memory figures come from fresh processes of this same program, started with
// "--child ..." arguments.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/karvolen_app.h"
#include "app/main_window.h"
#include "bench/race.h"
#include "image/core/colour_tables.h"
#include "image/core/jpeg_decoder.h"
#include "platform/core/scripted_message_service.h"
#include "shell/core/atlas_requests.h"
#include "shell/core/commands.h"
#include "structures/core/object_list.h"
#include "structures/ui/image_window.h"
#include "structures/core/outline_file.h"
#include "tests/support/image_samples.h"
#include "tests/support/outline_samples.h"
#include "tests/support/process_usage.h"
#include "tests/support/recording_cursor.h"

namespace {

using namespace ostrelin;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 2048;
constexpr int kHeight = 1216;
constexpr int kStructures = 200;
const QRect kScreen(0, 0, 1920, 1080);

using bench::Race;
using bench::Seconds;

double pageSwitchRatio = 0;  // the best of the run, for the summary line

// ---- The big page ----------------------------------------------------------------------------

std::string Outline200() {
  std::vector<OutlineRecord> records;
  for (int i = 0; i < kStructures; ++i) {  // a 20 x 10 grid of overlapping boxes
    const int c0 = (i % 20) * 100, r0 = (i / 20) * 120;
    records.push_back(
        test::Box(i % 250 + 1, "Struktur " + std::to_string(i), c0, c0 + 130, r0, r0 + 150));
  }
  std::string bytes, error;
  if (!EncodeOutline({"Bench", std::move(records)}, bytes, error)) std::abort();
  return bytes;
}

std::string Text20k() {
  std::string text =
      "#/H:Seite mit gro\xDF"
      "em Bild#\r\n";
  for (int i = 0; text.size() < 20000; ++i) {
    text +=
        "Absatz " + std::to_string(i) + ": Die #/P:Struktur " + std::to_string(i % kStructures) +
        "# liegt neben der #/P:Struktur " + std::to_string((i * 7) % kStructures) +
        "#; weiter zur #/L:Seite B# oder zur #/L:Seite A#. Beschreibender Text, der den Umbruch "
        "fordert, mit Lage, Form und Beziehungen zu den Nachbarn.\r\n";
  }
  return text;
}

// Two such pages, A and B, plus START, in a temporary tree.
struct BigTree {
  fs::path root;
  std::string dataPath;
  std::string jpeg;
  BigTree() {
    root = fs::temp_directory_path() / ("ostrelin-e2e-" + std::to_string(::getpid()));
    dataPath = root.string() + "/";
    const auto put = [&](const std::string& relative, const std::string& bytes) {
      fs::create_directories((root / relative).parent_path());
      std::ofstream(root / relative, std::ios::binary) << bytes;
    };
    const auto encoded = test::EncodeJpeg(test::PhotoLikeRgb(kWidth, kHeight), kWidth, kHeight, 3,
                                          JCS_RGB, test::JpegOptions{.quality = 90});
    // Two files of the same image, as the atlas does not load an image again that it shows.
    for (const char* name : {"gross_a", "gross_b"}) {
      put(std::string("Bilder/Schnitt/") + name + ".jpg",
          std::string(encoded.begin(), encoded.end()));
      put(std::string("Bilder/Schnitt/") + name + ".dat", Outline200());
    }
    put("Texte/Schnitt/gross.txt", Text20k());
    put("Daten/Index.LST",
        "START # gross.txt # gross_a.jpg # # # # Struktur 0 # S # M # R # A\r\n"
        "Seite A # gross.txt # gross_a.jpg # # # # Struktur 1 # S # M # R # A\r\n"
        "Seite B # gross.txt # gross_b.jpg # # # # Struktur 2 # S # M # R # B\r\n");
    put("Daten/Struktur.LST", "Struktur 1 # Seite A # S\r\n");
    jpeg = (root / "Bilder/Schnitt/gross_a.jpg").string();
  }
  ~BigTree() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
};

const BigTree& Tree() {
  static const BigTree tree;
  return tree;
}

// The atlas as karvolen composes it, with scripted messages and without the modal start dialog.
struct Atlas {
  ScriptedMessageService messages;
  test::RecordingCursorService cursors;
  WaitCursor waitCursor{cursors};
  ShellServices services;
  std::unique_ptr<KarvolenApp> app;

  explicit Atlas(const std::string& dataPath) {
    services.messages = &messages;
    services.waitCursor = &waitCursor;
    services.queryDisplay = [](const QWidget*) { return DisplayInfo{24, 1920}; };
    services.showStartDialog = [](QWidget*, const std::string&) {};
    Settings settings;
    settings.DataPath = dataPath;
    settings.SavePath = fs::temp_directory_path().string() + "/";
    app = std::make_unique<KarvolenApp>(services, kScreen);
    app->InitApplication(settings, 1);
  }
  bool Start() { return app->InitInstance(); }
  MainWindow& Window() { return *app->mainWindow(); }
  void Open(const std::string& page) {
    AtlasRequests(Window().transferBuffer(), Window()).OpenPage(page);
    // The frame the event loop paints next, now: every widget the switch changed, and no other.
    QCoreApplication::sendPostedEvents(&Window(), QEvent::UpdateRequest);
  }
};

struct PaintCounter : QObject {
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

void BM_PageSwitch(benchmark::State& state) {
  const BigTree& tree = Tree();
  InitColourTables();
  Atlas atlas(tree.dataPath);
  if (!atlas.Start()) {
    state.SkipWithError("the atlas did not start");
    return;
  }
  QCoreApplication::processEvents();
  ScriptedMessageService decodeMessages;
  Race race;
  int page = 0;
  const ImageWindow& images = *atlas.Window().imageWindow();
  PaintCounter paints;
  atlas.Window().imageWindow()->installEventFilter(&paints);
  for (auto _ : state) {
    const auto decode = [&] {
      SourceImage image;  // freed outside the timing: the decode alone
      return Seconds([&] {
        DecodeJpegFile(tree.jpeg, image, decodeMessages);
        benchmark::DoNotOptimize(image.pixels.get());
      });
    };
    const int paintsBefore = paints.count;
    const std::string imageBefore = images.Image() ? images.Image()->Path() : std::string();
    // START shows A's image: the first switch goes to B, so that every switch loads an image.
    const bool odd = page++ % 2;
    const char* name = odd ? "Seite A" : "Seite B";
    // Whichever runs second finds the decoder's code and tables warm: the two take turns.
    double yardstick = odd ? decode() : 0;
    const double measured = Seconds([&] { atlas.Open(name); });
    if (!odd) yardstick = decode();
    race.Record(yardstick, measured);
    // Nothing of the switch was left for a later frame.
    const int paintsOfTheSwitch = paints.count;
    QCoreApplication::processEvents();
    // The figure counts only if the switch showed the other page, loaded its image and structures,
    // and the image window painted it.
    if (images.Image() == nullptr || images.PageName() != name ||
        images.Image()->Path() == imageBefore || images.Objects() == nullptr ||
        images.Objects()->Count() < 200 || paintsOfTheSwitch == paintsBefore ||
        paints.count != paintsOfTheSwitch) {
      state.SkipWithError("the page switch did not load and paint the other page");
      return;
    }
  }
  if (!atlas.messages.shown.empty()) state.SkipWithError(atlas.messages.shown.front().text.c_str());
  state.counters["x_decode"] = race.Ratio();
  if (atlas.messages.shown.empty()) pageSwitchRatio = race.Ratio();
  state.counters["ms"] = race.measured * 1e3;
  state.counters["decode_ms"] = race.yardstick * 1e3;
}
BENCHMARK(BM_PageSwitch)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// ---- Fresh processes -------------------------------------------------------------------------

// Runs this program with `args`; returns the wall time to its exit and its standard output.
double RunChild(const std::vector<std::string>& args, std::string& output) {
  std::vector<char*> argv;
  static std::string self = fs::read_symlink("/proc/self/exe").string();
  argv.push_back(self.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  pid_t pid = 0;
  const auto start = Clock::now();
  const int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  output.clear();
  char buffer[256];
  for (ssize_t n; spawned == 0 && (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
    output.append(buffer, size_t(n));
  }
  close(pipeFds[0]);
  int status = 0;
  if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    return -1;
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

long ResidentOf(const std::string& output) {
  const auto at = output.find("resident ");
  return at == std::string::npos ? -1 : std::atol(output.c_str() + at + 9);
}

const char* DemoTree() { return std::getenv("OSTRELIN_DEMO_TREE"); }

void BM_StartUp(benchmark::State& state) {
  if (!DemoTree()) {
    state.SkipWithError("OSTRELIN_DEMO_TREE names no demo tree");
    return;
  }
  Race race;
  std::string output;
  for (auto _ : state) {
    const double bare = RunChild({"--child", "bare"}, output);
    const double atlas = RunChild({"--child", "atlas", DemoTree()}, output);
    if (bare < 0 || atlas < 0) {
      state.SkipWithError("a child process failed");
      return;
    }
    race.Record(bare, atlas);
  }
  state.counters["x_bare"] = race.Ratio();
  state.counters["ms"] = race.measured * 1e3;
  state.counters["bare_ms"] = race.yardstick * 1e3;
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ResidentMemory(benchmark::State& state) {
  const BigTree& tree = Tree();
  long bare = 0, page = 0;
  std::string output;
  for (auto _ : state) {
    if (RunChild({"--child", "bare"}, output) < 0) break;
    bare = ResidentOf(output);
    if (RunChild({"--child", "page", tree.dataPath}, output) < 0) break;
    page = ResidentOf(output);
  }
  if (bare <= 0 || page <= 0) {
    state.SkipWithError("a child process failed");
    return;
  }
  const double imageKb = 3.0 * kWidth * kHeight * 3 / 1024;
  state.counters["x_budget"] = double(page) / (double(bare) + imageKb);
  state.counters["resident_MB"] = double(page) / 1024;
  state.counters["qt_MB"] = double(bare) / 1024;
  state.counters["image_MB"] = double(kWidth) * kHeight * 3 / (1024 * 1024);
}
BENCHMARK(BM_ResidentMemory)->Iterations(1);

// ---- The children ----------------------------------------------------------------------------

// Runs the event loop until everything queued at start-up is done, then paints `widget` (a
// visible top-level window) and its children once more and ends the loop.
int PaintThenQuit(QWidget& widget) {
  QTimer::singleShot(0, [&widget] {
    widget.repaint();
    QCoreApplication::exit(0);  // quit() would ask the main window whether to close
  });
  const int result = QApplication::exec();
  return widget.isVisible() ? result : 1;
}

int Child(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);
  const std::string mode = argv[2];
  int result = 0;
  if (mode == "bare") {
    QWidget empty;
    empty.showFullScreen();
    result = PaintThenQuit(empty);
  } else {
    Atlas atlas(argv[3] + std::string(argv[3][std::strlen(argv[3]) - 1] == '/' ? "" : "/"));
    if (!atlas.Start()) return 1;
    if (mode == "page") atlas.Open("Seite A");
    result = PaintThenQuit(atlas.Window());
    if (!atlas.messages.shown.empty()) return 1;
  }
  std::printf("resident %ld\n", test::MeasureProcess().residentKb);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return Child(argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qapp(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (pageSwitchRatio > 0) std::printf("page switch: %.2f\u00D7 decode\n", pageSwitchRatio);
  return 0;
}
