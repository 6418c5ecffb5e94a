#include "bench/Report_win.h"

#include <cstdio>

#include "bench/BenchUtil_win.h"

namespace panestow::bench {

void PrintRows(const char* what, const char* set, const std::vector<Variant>& vs, int rounds) {
  std::printf("\n%s, %s layout (%d paired rounds, medians; ratio = median of the per-round ratios [min-max];\n"
              "  CPU ms = the client's user + kernel time, not the wineserver's)\n",
              what, set, rounds);
  std::printf("  %-44s %11s %24s %24s %9s %9s\n", "", "median ms", "vs floor", "vs reg.exe", "reg calls",
              "CPU ms");
  for (const Variant& v : vs) {
    char calls[32] = "-";
    if (v.calls >= 0) std::snprintf(calls, sizeof calls, "%ld", v.calls);
    char cpu[32] = "-";
    if (!v.is_process) std::snprintf(cpu, sizeof cpu, "%.0f", Median(v.cpu_ms));
    std::printf("  %-44s %11.1f %24s %24s %9s %9s\n", v.label.c_str(), Median(v.ms),
                &v == &vs[1] ? "1" : Ratio(v, vs[1]).c_str(), &v == &vs[2] ? "1" : Ratio(v, vs[2]).c_str(), calls,
                cpu);
  }
  if (vs[0].calls >= 0) {
    std::printf("  calls, product: %s\n", vs[0].call_breakdown.c_str());
    std::printf("  calls, floor:   %s\n", vs[1].call_breakdown.c_str());
    std::printf("  floor cost per registry call: %.1f us\n", Median(vs[1].ms) * 1000.0 / vs[1].calls);
  }
}

void PrintProcessRows(const char* set, const std::vector<ProcessVariant>& ps, int rounds) {
  std::printf("\nWhole processes, %s layout (%d paired rounds, medians, CreateProcess to exit)\n", set, rounds);
  std::printf("  %-50s %11s %24s\n", "", "median ms", "vs floor + window");
  for (const ProcessVariant& p : ps) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2fx", PairedRatio(p.ms, ps[1].ms));
    std::printf("  %-50s %11.1f %24s\n", p.label.c_str(), Median(p.ms), &p == &ps[1] ? "1" : buf);
  }
}

void PrintGoal(const char* goal, double ratio, double limit) {
  std::printf("  goal%s: %.2fx%s\n", goal, ratio, ratio <= limit ? " (met)" : " (MISSED)");
}

}  // namespace panestow::bench
