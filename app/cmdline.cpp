#include "app/cmdline.h"

#include "app/Func_.h"
#include "app/codepage.h"

namespace panestow {

const char kDefaultJwCadExe[] = "C:\\JWW\\Jw_win.exe";

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// One argument from `i` on, stepping by whole characters; `i` is left after
// it.
std::string NextArgument(const std::string& s, size_t& i) {
  const size_t n = s.size();
  for (;;) {
    while (i < n && IsSeparator(s[i])) i = AnsiCharNext(s, i);
    if (i + 1 < n && s[i] == '"' && s[i + 1] == '"') {
      i += 2;
      continue;
    }
    break;
  }
  std::string arg;
  while (i < n && !IsSeparator(s[i])) {
    if (s[i] == '"') {
      i = AnsiCharNext(s, i);
      while (i < n && s[i] != '"') {
        const size_t next = AnsiCharNext(s, i);
        arg.append(s, i, next - i);
        i = next;
      }
      if (i < n) i = AnsiCharNext(s, i);
    } else {
      const size_t next = AnsiCharNext(s, i);
      arg.append(s, i, next - i);
      i = next;
    }
  }
  return arg;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& command_line) {
  // The text ends at a NUL, as the process's command line does.
  const std::string s = command_line.substr(0, command_line.find('\0'));
  size_t i = 0;
  NextArgument(s, i);  // the program's own path
  std::vector<std::string> args;
  for (;;) {
    std::string arg = NextArgument(s, i);
    if (arg.empty()) break;
    args.push_back(std::move(arg));
  }
  return args;
}

ModeChoice ChooseMode(const std::vector<std::string>& args) {
  ModeChoice choice;
  if (args.empty()) return choice;
  std::string upper = args[0];
  UpperAnsi(upper);
  if (!upper.empty() && (upper[0] == 'S' || upper[0] == 'J')) {
    choice.mode = upper[0] == 'S' ? RunMode::Silent : RunMode::Launch;
    choice.slot = StrToIntOrZero(std::string_view(upper).substr(1));
  } else {
    choice.mode = RunMode::Confirmed;
    choice.slot = StrToIntOrZero(args[0]);
  }
  return choice;
}

std::string LaunchExecutable(const std::string& open_command) {
  std::string exe = open_command.empty() ? std::string(kDefaultJwCadExe) : open_command.substr(0, open_command.find(' '));
  return "\"" + exe + "\"";
}

std::string JwCadImageName(const std::string& open_command) {
  std::string exe;
  if (!open_command.empty() && open_command[0] == '"') {
    const size_t close = open_command.find('"', 1);
    exe = open_command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  } else {
    exe = open_command.substr(0, open_command.find(' '));
  }
  size_t name = 0;
  for (size_t i = 0; i < exe.size(); i = AnsiCharNext(exe, i)) {
    if (exe[i] == '\\' || exe[i] == '/' || exe[i] == ':') name = i + 1;
  }
  return name < exe.size() ? exe.substr(name) : "Jw_win.exe";
}

std::string LaunchParameters(const std::vector<std::string>& args) {
  std::string params;
  for (size_t i = 1; i < args.size(); ++i) {
    if (i > 1) params += ' ';
    params += "\"" + args[i] + "\"";
  }
  return params;
}

}  // namespace panestow
