// Small helpers of the Windows benchmark programs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace panestow::bench {

// Ends the program after a message on the standard error.
[[noreturn]] void Die(const std::string& what);

// Milliseconds on the performance counter.
double NowMs();

// User and kernel time of this process, in milliseconds. (Wine does not
// give a sound figure for other processes.)
double CpuMs();

double Median(std::vector<double> v);

bool WriteBytes(const std::string& path, const std::string& bytes);
bool ReadBytes(const std::string& path, std::string& bytes);

struct ProcessResult {
  double ms = 0;       // from CreateProcess to the end of the process
  DWORD exit_code = 0;
  bool started = false;
};

// Runs `command_line` in `folder` (the current one when empty) and waits
// for it. Its standard streams go to NUL unless `inherit_output`.
ProcessResult RunProcess(const std::string& command_line, const std::string& folder = "",
                         bool inherit_output = false);

}  // namespace panestow::bench
