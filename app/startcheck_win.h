// The start-up check on Windows, and the executable's path it vouches for.
#pragma once

#include <string>

namespace panestow {

// The code page and the executable's path (see app/startcheck.h): true
// when Panestow may run; else the error box was shown, and the caller ends
// without touching anything.
bool StartCheck();

// The executable's path in the ANSI code page, however long: empty when it
// cannot be expressed there exactly.
std::string ExecutablePath();

}  // namespace panestow
