// The bench of the end-to-end tests: each test gets a fresh folder with its
// own copy of panestow.exe, an empty Jw_cad key and no open command; the
// helpers report a failure at the line of the test that called them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/common/RawRegistry_win.h"
#include "tests/common/TestFiles.h"
#include "tools/automation/Automation_win.h"
#include "tools/automation/ProgramTexts.h"

namespace panestow::e2e {

using automation::DialogInfo;
using namespace texts;
using test::RegImport;

// Where a helper was called from.
struct Where {
  const char* file;
  int line;
  Where(const char* f = __builtin_FILE(), int l = __builtin_LINE()) : file(f), line(l) {}
};

// Control id of the status label, as the main window numbers it.
constexpr int kLabelStatId = 120;

// Registry values of one subkey of the Jw_cad key as "name" ->
// "REG_SZ text" / "REG_DWORD 120" (signed) / "type N"; a missing key gives
// the single entry "(no key)".
using KeyValues = std::map<std::string, std::string>;
KeyValues JwCadValues(const std::string& subkey);
void SetJwCadValue(const std::string& subkey, const std::string& name, DWORD type, const std::string& data);
void SetJwCadDword(const std::string& subkey, const std::string& name, DWORD value);
void SetJwCadString(const std::string& subkey, const std::string& name, const std::string& text);

// Jw_cad's open command, the default value of its classes key's
// shell\open\command.
void SetOpenCommand(const std::string& command);

// A slot's layout file of two sections; Jw_cad's keys as they stand before
// it is restored (PutKeysBeforeRestore) and after.
extern const char kSlotLayout[];
void PutKeysBeforeRestore();
extern const KeyValues kDialogBefore;
extern const KeyValues kDialogRestored;
extern const KeyValues kUserBarRestored;
extern const KeyValues kNoKey;

// The twelve lines the program writes at exit.
struct IniValues {
  int f1_x, f1_y, f1_w, f1_h, f2_x, f2_y;
  std::string titles[4];
};
std::string IniText(const IniValues& v);

class E2eTest : public ::testing::Test {
 private:
  // First made, last gone: the program (ended if need be) leaves its
  // folder before the folder goes.
  test::ScratchDir dir_;

 protected:
  // Long enough for a slow machine; a program that ends early cuts every
  // wait short.
  static constexpr DWORD kTimeoutMs = 15000;

  void SetUp() override;
  void TearDown() override;

  // The folder of the test and the copy of panestow.exe in it.
  const std::string& Folder() const { return dir_.path(); }
  std::string Exe() const { return dir_ / "panestow.exe"; }
  // The copy's own files: its path with another extension (".ini", ".rg").
  std::string Beside(const std::string& ext) const { return dir_ / ("panestow" + ext); }
  std::string SlotFile(int slot) const { return Beside(slot == 1 ? ".rg" : ".rg" + std::to_string(slot)); }
  // The folder of e2e_tests.exe, where the other test programs lie.
  static std::string BuildFolder();

  // Starts the copy with these arguments, in `folder` (the test's folder
  // when empty).
  void Start(const std::string& args = "", const std::string& folder = "", Where where = {});
  // The main window once it is shown, that is once its show handler (and
  // with it the command line) is done.
  HWND WaitMain(Where where = {});
  // A control of `parent` of that class and caption; a failure when none.
  HWND Control(HWND parent, const char* cls, const std::string& caption, Where where = {});
  HWND StatusLabel(HWND main, Where where = {});
  HWND RestoreButton(HWND main, int slot, Where where = {});
  std::string RestoreCaption(HWND main, int slot, Where where = {});

  // Waits for a dialog of the program and checks caption, text and
  // buttons.
  DialogInfo ExpectDialog(const std::string& caption, const std::string& text,
                          const std::vector<std::string>& buttons, Where where = {});
  // The same for a dialog that comes over the program's dialog `under`.
  DialogInfo ExpectDialogOver(HWND under, const std::string& caption, const std::string& text,
                              const std::vector<std::string>& buttons, Where where = {});
  // Ways to answer a dialog; each waits until the dialog has gone.
  void Answer(const DialogInfo& dialog, const std::string& button, Where where = {});
  void AnswerByKey(const DialogInfo& dialog, UINT vk, Where where = {});
  void AnswerByCloseBox(const DialogInfo& dialog, Where where = {});
  // After `window`'s thread is back to waiting for input, the program has
  // no dialog, shown or about to be shown.
  void ExpectNoDialog(HWND window, Where where = {});

  // Presses the restore button of `slot` and answers the confirmation
  // with Yes.
  void RestoreWithYes(HWND main, int slot, Where where = {});

  // The same, then the information that the restore went through, with OK.
  void RestoreWithInfo(HWND main, int slot, Where where = {});

  // The save window, opened from the main window's save button after Yes.
  HWND OpenSaveWindow(HWND main, Where where = {});
  // Closes the save window with `button` (its close box when null) and
  // waits until the main window's handler is done with it.
  void CloseSaveWindow(HWND main, HWND save, const char* button, Where where = {});

  // Waits for the program to end and checks its exit code 0.
  void ExpectExit(Where where = {});
  // Closes the main window with its "×" button and expects the end.
  void CloseByButton(HWND main, Where where = {});

  // Jw_cad's keys hold kSlotLayout, or are as PutKeysBeforeRestore left
  // them.
  void ExpectRestored(Where where = {});
  void ExpectUnchanged(Where where = {});

  automation::Process app_;

 private:
  void WaitGone(HWND window, Where where);
};

}  // namespace panestow::e2e
