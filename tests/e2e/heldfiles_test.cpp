// Files that another program holds for a moment, as a virus scanner, an
// indexer or a sync client does: a save and the settings written at exit
// wait for them; held for longer, they fail as before and the old file
// stays whole.
#include <windows.h>

#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::ReadFileBytes;
using test::WriteFileBytes;

const char kHeldEvent[] = "PanestowTestFileHeld";

class HeldFileTest : public E2eTest {
 protected:
  // Starts a program that holds `path` for `ms` milliseconds, and returns
  // once it holds it.
  void Hold(const std::string& path, DWORD ms, Where where = {}) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, kHeldEvent);
    if (!holder_.Start(BuildFolder() + "\\fileholder.exe",
                       "\"" + path + "\" " + std::to_string(ms) + " " + kHeldEvent) ||
        WaitForSingleObject(event, kTimeoutMs) != WAIT_OBJECT_0) {
      ADD_FAILURE_AT(where.file, where.line) << "the file is not held";
    }
    CloseHandle(event);
  }
  void LetGo() { holder_.WaitExit(kTimeoutMs); }

  automation::Process holder_;
};

TEST_F(HeldFileTest, ASaveWaitsForASlotFileHeldForAMomentAndFailsAsBeforeWhenItIsHeldLonger) {
  SetJwCadDword("Dialog", "Left", 7);
  for (DWORD ms : {300u, 5000u}) {
    SCOPED_TRACE(std::to_string(ms) + " ms");
    const std::string old_file = "1\r\n[Dialog]\r\n1\r\nLeft\t1\r\n";
    WriteFileBytes(SlotFile(1), old_file);
    Start();
    HWND main = WaitMain();
    ASSERT_TRUE(main);
    HWND save = OpenSaveWindow(main);
    ASSERT_TRUE(save);
    Hold(SlotFile(1), ms);
    automation::Click(Control(save, "Button", kSaveButtons[0]));
    if (ms == 300u) {
      Answer(ExpectDialog(kInformation, kSavedInfo, {kOk}), kOk);
      EXPECT_EQ(ReadFileBytes(SlotFile(1)), "1\r\n[Dialog]\r\n1\r\nLeft\t7\r\n");
    } else {
      Answer(ExpectDialog(kError, kNotSavedError, {kOk}), kOk);
      EXPECT_EQ(ReadFileBytes(SlotFile(1)), old_file);
    }
    LetGo();
    CloseSaveWindow(main, save, kSaveWindowClose);
    CloseByButton(main);
  }
}

TEST_F(HeldFileTest, TheSettingsWaitForAFileHeldForAMomentAndStayAsTheyWereWhenItIsHeldLonger) {
  const IniValues old_values{100, 90, 220, 250, 193, 109, {"一", "二", "三", "四"}};
  for (DWORD ms : {300u, 5000u}) {
    SCOPED_TRACE(std::to_string(ms) + " ms");
    WriteFileBytes(Beside(".ini"), IniText(old_values));
    Start();
    HWND main = WaitMain();
    ASSERT_TRUE(main);
    SetWindowPos(main, nullptr, 321, 123, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    automation::Sync(main);
    Hold(Beside(".ini"), ms);
    CloseByButton(main);
    LetGo();
    IniValues moved = old_values;
    moved.f1_x = 321;
    moved.f1_y = 123;
    EXPECT_EQ(ReadFileBytes(Beside(".ini")), IniText(ms == 300u ? moved : old_values));
  }
}

}  // namespace
}  // namespace panestow::e2e
