// The command line: its arguments, the mode they choose and the launch of
// Jw_cad that the launch mode makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace panestow {

// The arguments after the program's own path: split at characters of code
// 32 or less outside double quotes, quotes dropped, no escapes, a leading
// pair of empty quotes skipped; the list ends at the first empty argument.
std::vector<std::string> SplitCommandLine(const std::string& command_line);

enum class RunMode { Interactive, Confirmed, Silent, Launch };

struct ModeChoice {
  RunMode mode = RunMode::Interactive;
  int32_t slot = 0;  // as parsed; the caller checks 1 to 4
};

// "S" or "J" (either case) and a number choose the silent or the launch
// mode; anything else is a number for the confirmed mode.
ModeChoice ChooseMode(const std::vector<std::string>& args);

// Fallback when Jw_cad registered no open command.
extern const char kDefaultJwCadExe[];  // "C:\JWW\Jw_win.exe"

// The open command up to its first blank, or the fallback, in double quotes.
std::string LaunchExecutable(const std::string& open_command);

// The image file name of Jw_cad's executable in its open command (a quoted
// path, or the text up to the first blank), or "Jw_win.exe" when there is
// none.
std::string JwCadImageName(const std::string& open_command);

// Arguments 2 on, each in double quotes, joined by single blanks.
std::string LaunchParameters(const std::vector<std::string>& args);

}  // namespace panestow
