#include "app/cmdline.h"

#include <gtest/gtest.h>

#include "tests/common/CommandLineCases.h"

namespace panestow::test {
namespace {

TEST(CommandLine, SplitsByTheProgramsRule) {
  for (const SplitCase& c : SplitCases()) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(CommandLine, ChoosesTheModeFromTheFirstArgument) {
  struct Case {
    const char* arg;
    RunMode mode;
    int32_t slot;
  };
  const Case cases[] = {
      {"1", RunMode::Confirmed, 1}, {"4", RunMode::Confirmed, 4}, {"01", RunMode::Confirmed, 1},
      {"0", RunMode::Confirmed, 0}, {"5", RunMode::Confirmed, 5}, {"-1", RunMode::Confirmed, -1},
      {"X", RunMode::Confirmed, 0}, {"S1", RunMode::Silent, 1},   {"s2", RunMode::Silent, 2},
      {"S01", RunMode::Silent, 1},  {"S", RunMode::Silent, 0},    {"S0", RunMode::Silent, 0},
      {"S5", RunMode::Silent, 5},   {"S1x", RunMode::Silent, 0},  {"J3", RunMode::Launch, 3},
      {"j4", RunMode::Launch, 4},   {"J", RunMode::Launch, 0},    {"J5", RunMode::Launch, 5},
      {"x1F", RunMode::Confirmed, 31},  // a hex number to the integer parser
  };
  for (const Case& c : cases) {
    const ModeChoice choice = ChooseMode({c.arg, "more"});
    EXPECT_EQ(choice.mode, c.mode) << c.arg;
    EXPECT_EQ(choice.slot, c.slot) << c.arg;
  }
  EXPECT_EQ(ChooseMode({}).mode, RunMode::Interactive);
}

TEST(CommandLine, LaunchTextsFromTheOpenCommandAndArguments) {
  struct Case {
    const char* open_command;
    const char* exe;
  };
  const Case cases[] = {
      {"C:\\JWW\\Jw_win.exe \"%1\"", "\"C:\\JWW\\Jw_win.exe\""},
      {"C:\\JWW\\Jw_win.exe", "\"C:\\JWW\\Jw_win.exe\""},
      {"\"C:\\Program Files\\JWW\\Jw_win.exe\" \"%1\"", "\"\"C:\\Program\""},  // cut inside the quotes
      {" C:\\JWW\\Jw_win.exe", "\"\""},
      {"", "\"C:\\JWW\\Jw_win.exe\""},
  };
  for (const Case& c : cases) EXPECT_EQ(LaunchExecutable(c.open_command), c.exe) << c.open_command;

  EXPECT_EQ(LaunchParameters({"J1"}), "");
  EXPECT_EQ(LaunchParameters({"J1", "a.jww", "b c.jww"}), "\"a.jww\" \"b c.jww\"");
}

TEST(CommandLine, JwCadsImageNameFromTheOpenCommand) {
  struct Case {
    const char* open_command;
    const char* image;
  };
  const Case cases[] = {
      {"C:\\JWW\\Jw_win.exe \"%1\"", "Jw_win.exe"},
      {"\"C:\\Program Files\\JWW\\Jw_cad.exe\" \"%1\"", "Jw_cad.exe"},  // a quoted path, blanks and all
      {"\"C:\\Program Files\\JWW\\Jw_cad.exe", "Jw_cad.exe"},            // quoted to the end
      {"jww.exe /o", "jww.exe"},
      {"C:\\x\\表.exe", "表.exe"},  // 表 ends in the byte of a backslash
      {"", "Jw_win.exe"},
      {" C:\\JWW\\Jw_win.exe", "Jw_win.exe"},  // nothing before the blank
      {"C:\\JWW\\", "Jw_win.exe"},
  };
  for (const Case& c : cases) EXPECT_EQ(JwCadImageName(c.open_command), c.image) << c.open_command;
}

}  // namespace
}  // namespace panestow::test
