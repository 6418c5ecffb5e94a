// Paired rounds of the variants of one operation, and the statistics of
// their times: each variant is a way to do the same work (the product, the
// floor, reg.exe), timed in rounds whose order rotates.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace panestow::bench {

struct Variant {
  Variant(std::string l, std::function<bool()> r, bool process = false)
      : label(std::move(l)), run(std::move(r)), is_process(process) {}
  std::string label;
  std::function<bool()> run;  // false: the run failed
  bool is_process;            // runs another program (whose CPU time is not counted)
  std::vector<double> ms;
  std::vector<double> cpu_ms;  // this process's CPU time
  long calls = -1;
  std::string call_breakdown;
};

// A warm-up round, which also brings the key to the state every later run
// starts from; a round in which the registry calls are counted (`check`
// then looks at what each variant did); then `rounds` timed rounds. Round r
// starts with variant r mod n, so that no variant always runs first or
// after the same one. A variant whose run fails ends the program.
void RunPaired(std::vector<Variant>& variants, int rounds, bool count_calls,
               const std::function<void(const Variant&)>& check = nullptr);

// The median of the per-round ratios of a's times over b's, and the same
// with their spread as text: "1.02x [1.00-1.16]".
double PairedRatio(const std::vector<double>& a, const std::vector<double>& b);
double PairedRatio(const Variant& a, const Variant& b);
std::string Ratio(const Variant& a, const Variant& b);

// A whole program as a variant: its command line and times from
// CreateProcess to its end.
struct ProcessVariant {
  std::string label;
  std::string command;
  std::vector<double> ms;
};

// A warm-up round (`check` then looks at what each program did), then
// `rounds` timed rounds of rotating order, each program started in
// `folder`. A program that cannot start, or that fails when `must_succeed`,
// ends this one.
void RunProcessRounds(std::vector<ProcessVariant>& programs, int rounds, const std::string& folder,
                      const std::function<void(const ProcessVariant&)>& check = nullptr, bool must_succeed = true);

}  // namespace panestow::bench
