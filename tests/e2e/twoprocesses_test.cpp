// Two Panestow processes of one executable at the same moment: their
// changes run one after the other, never interleaved, and the history
// keeps each one's "before" whole.
#include <windows.h>

#include <algorithm>

#include "app/History.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/e2e/E2e.h"

namespace panestow::e2e {
namespace {

using test::WriteFileBytes;

const char kSecondLayout[] = "2\r\n[Dialog]\r\n1\r\nLeft\t2\r\n[UserBar]\r\n1\r\nTop\t5\r\n";
const KeyValues kDialogSecond = {{"Left", "REG_DWORD 2"}};
const KeyValues kUserBarSecond = {{"Top", "REG_DWORD 5"}};

class TwoProcessesTest : public E2eTest {
 protected:
  // The history's entries, oldest first.
  std::vector<HistoryEntry> Entries() {
    std::vector<HistoryEntry> entries;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((Beside(".history") + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return entries;
    do {
      HistoryEntry e;
      if (ParseHistoryName(fd.cFileName, e)) entries.push_back(e);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(entries.begin(), entries.end(),
              [](const HistoryEntry& a, const HistoryEntry& b) { return a.sequence < b.sequence; });
    return entries;
  }
  std::string PathOf(const HistoryEntry& e) { return Beside(".history") + "\\" + e.name; }
  void Reset() {
    test::DeleteJwCadKeys();
    PutKeysBeforeRestore();
    for (const HistoryEntry& e : Entries()) DeleteFileA(PathOf(e).c_str());
    DeleteFileA(Beside(".undo.reg").c_str());
  }
  bool First() { return JwCadValues("Dialog") == kDialogRestored && JwCadValues("UserBar") == kUserBarRestored; }
  bool Second() { return JwCadValues("Dialog") == kDialogSecond && JwCadValues("UserBar") == kUserBarSecond; }
};

TEST_F(TwoProcessesTest, TwoRestoresStartedTogetherLeaveOneLayoutAndBothBeforeStates) {
  WriteFileBytes(SlotFile(1), kSlotLayout);
  WriteFileBytes(SlotFile(2), kSecondLayout);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Reset();
    automation::Process one, two;
    ASSERT_TRUE(one.Start(Exe(), "S1", Folder()));
    ASSERT_TRUE(two.Start(Exe(), "S2", Folder()));
    DWORD code = 1;
    ASSERT_TRUE(one.WaitExit(kTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(two.WaitExit(kTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
    const bool second_last = Second();
    ASSERT_TRUE(second_last || First()) << "the keys hold neither layout whole";
    // The newer entry holds the layout the first restore left, the older
    // one the keys before both.
    const std::vector<HistoryEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].slot, second_last ? 2 : 1);
    ASSERT_TRUE(RegImport(PathOf(entries[1])));
    EXPECT_TRUE(second_last ? First() : Second());
    ASSERT_TRUE(RegImport(PathOf(entries[0])));
    ExpectUnchanged();
  }
}

TEST_F(TwoProcessesTest, ARestoreRacingASaveSavesOneStateWhole) {
  WriteFileBytes(SlotFile(2), kSecondLayout);
  for (DWORD delay : {0u, 20u, 60u}) {
    SCOPED_TRACE("delay " + std::to_string(delay));
    Reset();
    WriteFileBytes(SlotFile(1), "0\r\n");
    Start();
    HWND main = WaitMain();
    ASSERT_TRUE(main);
    HWND save = OpenSaveWindow(main);
    ASSERT_TRUE(save);
    automation::Process restore;
    ASSERT_TRUE(restore.Start(Exe(), "S2", Folder()));
    Sleep(delay);
    automation::Click(Control(save, "Button", kSaveButtons[0]));
    Answer(ExpectDialog(kInformation, kSavedInfo, {kOk}), kOk);
    ASSERT_TRUE(restore.WaitExit(kTimeoutMs));
    EXPECT_TRUE(Second());
    // The save caught the keys before the restore or after it, not between.
    const std::string saved = test::ReadFileBytes(SlotFile(1));
    const bool before = saved.find("Left\t5\r\n") != std::string::npos &&
                        saved.find("Extra\t\"x\"\r\n") != std::string::npos &&
                        saved.find("[UserBar]") == std::string::npos;
    const bool after = saved.find("Left\t2\r\n") != std::string::npos && saved.find("Extra") == std::string::npos &&
                       saved.find("[UserBar]\r\n1\r\nTop\t5\r\n") != std::string::npos;
    EXPECT_TRUE(before || after) << saved;
    // The history: the slot's old file and the keys before the restore.
    std::vector<HistoryEntry> entries = Entries();
    ASSERT_EQ(entries.size(), 2u);
    const HistoryEntry keys = entries[0].HoldsKeys() ? entries[0] : entries[1];
    const HistoryEntry slot = entries[0].HoldsKeys() ? entries[1] : entries[0];
    EXPECT_EQ(test::ReadFileBytes(PathOf(slot)), "0\r\n");
    ASSERT_TRUE(RegImport(PathOf(keys)));
    ExpectUnchanged();
    CloseSaveWindow(main, save, kSaveWindowClose);
    CloseByButton(main);
  }
}

}  // namespace
}  // namespace panestow::e2e
