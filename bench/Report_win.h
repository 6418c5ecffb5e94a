// The report tables of regbench.
#pragma once

#include <vector>

#include "bench/Runner_win.h"

namespace panestow::bench {

// One table of variants of an operation on a data set: median time, ratio
// to the floor (the second variant) and to reg.exe (the third), registry
// calls and CPU time; with the calls of the product and the floor by
// function.
void PrintRows(const char* what, const char* set, const std::vector<Variant>& vs, int rounds);

// The table of whole programs: median time and ratio to the second one.
void PrintProcessRows(const char* set, const std::vector<ProcessVariant>& ps, int rounds);

// "  goal ...: 0.95x (met)" or "(MISSED)".
void PrintGoal(const char* goal, double ratio, double limit);

}  // namespace panestow::bench
