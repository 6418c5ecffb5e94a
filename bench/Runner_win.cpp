#include "bench/Runner_win.h"

#include <cstdio>

#include "bench/BenchUtil_win.h"
#include "bench/CallCount_win.h"

namespace panestow::bench {

void RunPaired(std::vector<Variant>& variants, int rounds, bool count_calls,
               const std::function<void(const Variant&)>& check) {
  for (Variant& v : variants) {
    if (!v.run()) Die(v.label + " failed");
  }
  for (Variant& v : variants) {
    if (count_calls) StartCountingRegistryCalls();
    if (!v.run()) Die(v.label + " failed");
    if (count_calls) {
      StopCountingRegistryCalls();
      v.calls = RegistryCallCount();
      v.call_breakdown = RegistryCallBreakdown();
    }
    if (check) check(v);
  }
  const size_t n = variants.size();
  for (int r = 0; r < rounds; ++r) {
    for (size_t k = 0; k < n; ++k) {
      Variant& v = variants[(static_cast<size_t>(r) + k) % n];
      const double cpu_start = CpuMs();
      const double start = NowMs();
      const bool ok = v.run();
      const double ms = NowMs() - start;
      if (!ok) Die(v.label + " failed");
      v.ms.push_back(ms);
      v.cpu_ms.push_back(CpuMs() - cpu_start);
    }
  }
}

std::string Ratio(const Variant& a, const Variant& b) {
  std::vector<double> r;
  for (size_t i = 0; i < a.ms.size() && i < b.ms.size(); ++i) r.push_back(a.ms[i] / b.ms[i]);
  const double med = Median(r);
  double lo = r.empty() ? 0 : r[0], hi = lo;
  for (double x : r) {
    lo = x < lo ? x : lo;
    hi = x > hi ? x : hi;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2fx [%.2f-%.2f]", med, lo, hi);
  return buf;
}

double PairedRatio(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> r;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) r.push_back(a[i] / b[i]);
  return Median(r);
}

double PairedRatio(const Variant& a, const Variant& b) { return PairedRatio(a.ms, b.ms); }

void RunProcessRounds(std::vector<ProcessVariant>& programs, int rounds, const std::string& folder,
                      const std::function<void(const ProcessVariant&)>& check, bool must_succeed) {
  auto run = [&](const ProcessVariant& p) {
    const ProcessResult r = RunProcess(p.command, folder);
    if (!r.started || (must_succeed && r.exit_code != 0)) Die("cannot run " + p.command);
    return r.ms;
  };
  for (const ProcessVariant& p : programs) {
    run(p);
    if (check) check(p);
  }
  for (int r = 0; r < rounds; ++r) {
    for (size_t k = 0; k < programs.size(); ++k) {
      ProcessVariant& p = programs[(static_cast<size_t>(r) + k) % programs.size()];
      p.ms.push_back(run(p));
    }
  }
}

}  // namespace panestow::bench
