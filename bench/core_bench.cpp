// The layout core over the in-memory registry at 1x, 10x, 100x and 300x the
// typical layout (300x is 3.3 MB, within the line list's capacity):
// restore (RestoreFromFile) and capture (CaptureToFile), medians of
// interleaved rounds, and how the cost grows from one size to the next.
//
//   core_bench [ROUNDS] [SCRATCH_DIR]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/LayoutModel.h"
#include "bench/Seed.h"
#include "layout/Capture.h"
#include "layout/LineList.h"
#include "layout/Restore.h"
#include "registry/MemoryRegistryStore.h"

using namespace panestow;
using namespace panestow::bench;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <typename F>
double TimeMs(F&& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Scale {
  int factor;
  Layout layout;
  MemoryRegistry registry;
  std::string file, captured_file, undo_file;
  size_t file_bytes = 0;
  std::vector<double> restore_ms, capture_ms;
};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string dir = argc > 2 ? argv[2] : "/tmp";

  const int factors[] = {1, 10, 100, 300};
  std::vector<Scale> scales(sizeof factors / sizeof factors[0]);
  for (size_t s = 0; s < scales.size(); ++s) {
    Scale& sc = scales[s];
    sc.factor = factors[s];
    sc.layout = MakeLayout(sc.factor == 1 ? kTypicalToolbars : ToolbarsForScale(sc.factor));
    SeedMemory(sc.registry, sc.layout);
    // The layout file is the core's own capture of the seeded registry.
    sc.file = dir + "/core_bench_" + std::to_string(getpid()) + "_" + std::to_string(sc.factor) + ".rg";
    sc.captured_file = sc.file + ".captured";
    sc.undo_file = sc.file + ".undo.reg";
    LineList lines;
    MemoryRegistryStore store(sc.registry);
    if (!CaptureToFile(store, lines, sc.file)) {
      std::fprintf(stderr, "core_bench: capture of the %dx layout failed\n", sc.factor);
      return 1;
    }
    sc.file_bytes = lines.Text().size();
  }

  volatile size_t sink = 0;
  for (int r = -1; r < rounds; ++r) {  // round -1 warms up
    for (Scale& sc : scales) {
      LineList lines;
      bool ok = true;
      const double restore = TimeMs([&] {
        MemoryRegistryStore store(sc.registry);
        MemoryWideRegistry wide(sc.registry);
        RestoreTarget target{store, wide, PlatformFiles(), sc.undo_file};
        ok = RestoreFromFile(sc.file, lines, target);
      });
      LineList captured;
      const double capture = TimeMs([&] {
        MemoryRegistryStore store(sc.registry);
        ok = CaptureToFile(store, captured, sc.captured_file) && ok;
      });
      if (!ok) {
        std::fprintf(stderr, "core_bench: a restore or capture of the %dx layout failed\n", sc.factor);
        return 1;
      }
      sink = sink + static_cast<size_t>(captured.Count());
      if (r < 0) continue;
      sc.restore_ms.push_back(restore);
      sc.capture_ms.push_back(capture);
    }
  }
  for (Scale& sc : scales) {
    unlink(sc.file.c_str());
    unlink(sc.captured_file.c_str());
    unlink(sc.undo_file.c_str());
  }

  std::printf("Core over the in-memory registry (native g++, %d rounds, medians)\n", rounds);
  // "restore x", "capture x": the time over that of the size before.
  std::printf("%-6s %9s %11s %12s %10s %12s %10s %10s %10s\n", "scale", "values", "file bytes", "restore ms",
              "ns/value", "capture ms", "ns/value", "restore x", "capture x");
  const Scale* prev = nullptr;
  for (const Scale& sc : scales) {
    const double values = static_cast<double>(ValueCount(sc.layout));
    const double rm = Median(sc.restore_ms), cm = Median(sc.capture_ms);
    char rx[32] = "", cx[32] = "";
    if (prev) {
      std::snprintf(rx, sizeof rx, "%.2f", rm / Median(prev->restore_ms));
      std::snprintf(cx, sizeof cx, "%.2f", cm / Median(prev->capture_ms));
    }
    std::printf("%-6s %9.0f %11zu %12.3f %10.0f %12.3f %10.0f %10s %10s\n",
                (std::to_string(sc.factor) + "x").c_str(), values, sc.file_bytes, rm, rm * 1e6 / values, cm,
                cm * 1e6 / values, rx, cx);
    prev = &sc;
  }
  const double r100 = Median(scales[2].restore_ms) / Median(scales[1].restore_ms);
  const double c100 = Median(scales[2].capture_ms) / Median(scales[1].capture_ms);
  std::printf("Goal: 100x within 11x of 10x. Restore %.2fx: %s. Capture %.2fx: %s.\n", r100,
              r100 <= 11 ? "met" : "MISSED", c100, c100 <= 11 ? "met" : "MISSED");
  return 0;
}
