#include "tests/e2e/E2e.h"

#include "layout/LayoutFile.h"
#include "tests/common/RawRegistry_win.h"
#include "tests/common/Sandbox_win.h"

namespace panestow::e2e {

const char kSlotLayout[] =
    "2\r\n"
    "[Dialog]\r\n2\r\nCaption\t\"restored\"\r\nLeft\t120\r\n"
    "[UserBar]\r\n1\r\nTop\t-1\r\n";
const KeyValues kDialogBefore = {{"Bin", "type 3"}, {"Extra", "REG_SZ x"}, {"Left", "REG_DWORD 5"}};
const KeyValues kDialogRestored = {{"Caption", "REG_SZ restored"}, {"Left", "REG_DWORD 120"}};
const KeyValues kUserBarRestored = {{"Top", "REG_DWORD -1"}};
const KeyValues kNoKey = {{"(no key)", ""}};

namespace {

std::string JwCadSubkeyPath(const std::string& subkey) { return std::string(kJwCadKeyPath) + "\\" + subkey; }

std::string Shown(DWORD type, const std::string& data) {
  if (type == REG_SZ) return "REG_SZ " + data.substr(0, data.find('\0'));
  if (type == REG_DWORD && data.size() == 4) {
    return "REG_DWORD " + std::to_string(static_cast<int32_t>(DecodeDword(data)));
  }
  return "type " + std::to_string(type);
}

}  // namespace

KeyValues JwCadValues(const std::string& subkey) {
  return test::ReadRawValues(HKEY_CURRENT_USER, JwCadSubkeyPath(subkey), Shown);
}

void SetJwCadValue(const std::string& subkey, const std::string& name, DWORD type, const std::string& data) {
  test::SetRawValue(HKEY_CURRENT_USER, JwCadSubkeyPath(subkey), name, type, data);
}

void SetJwCadDword(const std::string& subkey, const std::string& name, DWORD value) {
  SetJwCadValue(subkey, name, REG_DWORD, EncodeDword(value));
}

void SetJwCadString(const std::string& subkey, const std::string& name, const std::string& text) {
  SetJwCadValue(subkey, name, REG_SZ, text + '\0');
}

void SetOpenCommand(const std::string& command) {
  test::SetRawValue(HKEY_CLASSES_ROOT, kOpenCommandKeyPath, "", REG_SZ, command + '\0');
}

void PutKeysBeforeRestore() {
  SetJwCadDword("Dialog", "Left", 5);
  SetJwCadString("Dialog", "Extra", "x");
  SetJwCadValue("Dialog", "Bin", REG_BINARY, "\x01\x02\x03");
}

std::string IniText(const IniValues& v) {
  std::string text = "[Form]\r\n";
  text += "F1_X=" + std::to_string(v.f1_x) + "\r\n";
  text += "F1_Y=" + std::to_string(v.f1_y) + "\r\n";
  text += "F1_W=" + std::to_string(v.f1_w) + "\r\n";
  text += "F1_H=" + std::to_string(v.f1_h) + "\r\n";
  text += "F2_X=" + std::to_string(v.f2_x) + "\r\n";
  text += "F2_Y=" + std::to_string(v.f2_y) + "\r\n";
  text += "[Sets]\r\n";
  for (int i = 0; i < 4; ++i) text += "Tit" + std::to_string(i + 1) + "=\"" + v.titles[i] + "\"\r\n";
  return text;
}

void E2eTest::SetUp() {
  if (!test::InTestSandbox()) GTEST_FAIL() << test::NotInSandboxMessage();
  test::DeleteJwCadKeys();
  test::DeleteJwCadClassesKey();
  ASSERT_TRUE(CopyFileA((BuildFolder() + "\\panestow.exe").c_str(), Exe().c_str(), FALSE))
      << "panestow.exe beside e2e_tests.exe";
}

void E2eTest::TearDown() {
  if (app_.Running() && !HasFailure()) ADD_FAILURE() << "panestow.exe still runs at the end of the test";
  if (!test::InTestSandbox()) return;
  test::DeleteJwCadKeys();
  test::DeleteJwCadClassesKey();
}

std::string E2eTest::BuildFolder() {
  char path[MAX_PATH];
  const DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, len);
  return folder.substr(0, folder.find_last_of('\\'));
}

void E2eTest::Start(const std::string& args, const std::string& folder, Where where) {
  if (!app_.Start(Exe(), args, folder.empty() ? Folder() : folder)) {
    ADD_FAILURE_AT(where.file, where.line) << "cannot start " << Exe() << ": error " << GetLastError();
  }
}

HWND E2eTest::WaitMain(Where where) {
  HWND main = automation::WaitTopWindow(app_.Id(), kMainCaption, kTimeoutMs, app_.Handle());
  if (!main) ADD_FAILURE_AT(where.file, where.line) << "the main window did not show";
  return main;
}

HWND E2eTest::Control(HWND parent, const char* cls, const std::string& caption, Where where) {
  HWND control = automation::FindChild(parent, cls, caption.c_str());
  if (!control) ADD_FAILURE_AT(where.file, where.line) << "no " << cls << " \"" << caption << "\"";
  return control;
}

HWND E2eTest::StatusLabel(HWND main, Where where) {
  HWND label = automation::FindChildById(main, kLabelStatId);
  if (!label) ADD_FAILURE_AT(where.file, where.line) << "no status label";
  return label;
}

HWND E2eTest::RestoreButton(HWND main, int slot, Where where) {
  // The restore buttons are the main window's buttons after "保存", in
  // slot order.
  HWND button = automation::ButtonAfter(main, kMainSave, static_cast<size_t>(slot));
  if (!button) ADD_FAILURE_AT(where.file, where.line) << "no restore button for slot " << slot;
  return button;
}

std::string E2eTest::RestoreCaption(HWND main, int slot, Where where) {
  HWND button = RestoreButton(main, slot, where);
  return button ? automation::TextOf(button) : "";
}

DialogInfo E2eTest::ExpectDialog(const std::string& caption, const std::string& text,
                                 const std::vector<std::string>& buttons, Where where) {
  return ExpectDialogOver(nullptr, caption, text, buttons, where);
}

DialogInfo E2eTest::ExpectDialogOver(HWND under, const std::string& caption, const std::string& text,
                                     const std::vector<std::string>& buttons, Where where) {
  HWND dialog = nullptr;
  automation::WaitUntil(
      [&] {
        for (HWND d : automation::Dialogs(app_.Id(), true)) {
          if (d != under) {
            dialog = d;
            return true;
          }
        }
        return false;
      },
      kTimeoutMs, app_.Handle());
  if (!dialog) {
    ADD_FAILURE_AT(where.file, where.line) << "no dialog \"" << caption << "\" came";
    return DialogInfo{};
  }
  // The dialog is shown before it has its text: read it once its thread
  // waits for input again.
  automation::Sync(dialog);
  DialogInfo info = automation::ReadDialog(dialog);
  if (info.caption != caption || info.text != text || info.buttons != buttons) {
    std::string shown;
    for (const std::string& b : info.buttons) shown += " [" + b + "]";
    ADD_FAILURE_AT(where.file, where.line) << "dialog \"" << info.caption << "\": \"" << info.text << "\"" << shown
                                           << "\nexpected \"" << caption << "\": \"" << text << "\"";
  }
  return info;
}

void E2eTest::WaitGone(HWND window, Where where) {
  if (!automation::WaitUntil([&] { return !IsWindow(window); }, kTimeoutMs, app_.Handle())) {
    ADD_FAILURE_AT(where.file, where.line) << "the dialog did not close";
  }
}

void E2eTest::Answer(const DialogInfo& dialog, const std::string& button, Where where) {
  if (!dialog.hwnd) return;
  if (!automation::ClickDialogButton(dialog.hwnd, button)) {
    ADD_FAILURE_AT(where.file, where.line) << "no button " << button;
    return;
  }
  WaitGone(dialog.hwnd, where);
}

void E2eTest::AnswerByKey(const DialogInfo& dialog, UINT vk, Where where) {
  if (!dialog.hwnd) return;
  automation::PressKey(dialog.hwnd, vk);
  WaitGone(dialog.hwnd, where);
}

void E2eTest::AnswerByCloseBox(const DialogInfo& dialog, Where where) {
  if (!dialog.hwnd) return;
  automation::PressCloseBox(dialog.hwnd);
  WaitGone(dialog.hwnd, where);
}

void E2eTest::ExpectNoDialog(HWND window, Where where) {
  if (!automation::Sync(window)) {
    ADD_FAILURE_AT(where.file, where.line) << "the program does not answer";
    return;
  }
  // Hidden ones count too: a dialog on its way is made before it shows.
  const std::vector<HWND> dialogs = automation::Dialogs(app_.Id(), false);
  for (HWND d : dialogs) {
    const DialogInfo info = automation::ReadDialog(d);
    ADD_FAILURE_AT(where.file, where.line) << "unexpected dialog \"" << info.caption << "\": \"" << info.text << "\"";
  }
}

void E2eTest::RestoreWithYes(HWND main, int slot, Where where) {
  automation::Click(RestoreButton(main, slot, where));
  Answer(ExpectDialog(kConfirmation, kConfirmRestore, {kYes, kNo}, where), kYes, where);
}

void E2eTest::RestoreWithInfo(HWND main, int slot, Where where) {
  RestoreWithYes(main, slot, where);
  Answer(ExpectDialog(kInformation, kRestoredInfo, {kOk}, where), kOk, where);
}

void E2eTest::CloseSaveWindow(HWND main, HWND save, const char* button, Where where) {
  if (button) {
    automation::Click(Control(save, "Button", button, where));
  } else {
    automation::PressCloseBox(save);
  }
  if (!automation::WaitUntil([&] { return !IsWindowVisible(save); }, kTimeoutMs, app_.Handle())) {
    ADD_FAILURE_AT(where.file, where.line) << "the save window stays open";
  }
  automation::Sync(main);
}

HWND E2eTest::OpenSaveWindow(HWND main, Where where) {
  automation::Click(Control(main, "Button", kMainSave, where));
  Answer(ExpectDialog(kConfirmation, kConfirmSave, {kYes, kNo}, where), kYes, where);
  HWND save = automation::WaitTopWindow(app_.Id(), kSaveCaption, kTimeoutMs, app_.Handle());
  if (!save) ADD_FAILURE_AT(where.file, where.line) << "the save window did not open";
  return save;
}

void E2eTest::ExpectExit(Where where) {
  DWORD code = 0;
  if (!app_.WaitExit(kTimeoutMs, &code)) {
    ADD_FAILURE_AT(where.file, where.line) << "panestow.exe did not end";
    return;
  }
  if (code != 0) ADD_FAILURE_AT(where.file, where.line) << "exit code " << code;
}

void E2eTest::CloseByButton(HWND main, Where where) {
  automation::Click(Control(main, "Button", kMainClose, where));
  ExpectExit(where);
}

void E2eTest::ExpectRestored(Where where) {
  if (JwCadValues("Dialog") != kDialogRestored || JwCadValues("UserBar") != kUserBarRestored) {
    ADD_FAILURE_AT(where.file, where.line) << "the slot was not restored";
  }
}

void E2eTest::ExpectUnchanged(Where where) {
  if (JwCadValues("Dialog") != kDialogBefore || JwCadValues("UserBar") != kNoKey) {
    ADD_FAILURE_AT(where.file, where.line) << "the keys changed";
  }
}

}  // namespace panestow::e2e
