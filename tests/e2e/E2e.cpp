#include "tests/e2e/E2e.h"

namespace panestow::e2e {

const char kMainCaption[] = "Panestow Ver.1.2";
const char kSaveCaption[] = "Panestow - 保存";
const char kYes[] = "はい(&Y)";
const char kNo[] = "いいえ(&N)";
const char kOk[] = "OK";
const char kWarning[] = "警告";
const char kError[] = "エラー";
const char kInformation[] = "情報";
const char kConfirmation[] = "確認";
const char kConfirmSave[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\nよろしいですか？";
const char kConfirmRestore[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\n以前保存したJw_cad画面レイアウトに戻しますか？";
const char kRestoredInfo[] = "Jw_cad画面レイアウトファイルを読み込みました。\r\n\r\nJw_cadを起動してみてください。";
const char kSavedInfo[] = "Jw_cad画面レイアウトファイルを保存しました。";
const char kRestoreSucceeded[] = "Jw_cad画面レイアウトファイルを読み込みました。";
const char kRestoreFailed[] = "Jw_cad画面レイアウトファイルが読み込めませんでした。";
const char* const kDefaultTitles[4] = {"【設定１】でレイアウトを戻す", "【設定２】でレイアウトを戻す",
                                       "【設定３】でレイアウトを戻す", "【設定４】でレイアウトを戻す"};
const char* const kSaveButtons[4] = {"保存(&1)", "保存(&2)", "保存(&3)", "保存(&4)"};
const char kSaveWindowClose[] = "閉じる(&C)";
const char kMainSave[] = "保存";
const char kMainClose[] = "×";
const char kJwCadKey[] = "Software\\Jw_cad\\jw_win";

namespace {

const char kOpenCommandKey[] = "Jwwin.Document\\shell\\open\\command";
const char kDocumentKey[] = "Jwwin.Document";

}  // namespace

std::string NotSavedWarning(int slot) {
  static const char* const kDigits[4] = {"１", "２", "３", "４"};
  return std::string("Jw_cad画面レイアウトは［設定") + kDigits[slot - 1] + "］で保存されていません。";
}

KeyValues ReadValues(HKEY root, const std::string& key) {
  KeyValues values;
  HKEY k;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return {{"(no key)", ""}};
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD name_len = sizeof name;
    DWORD type = 0;
    BYTE data[65536];
    DWORD data_len = sizeof data;
    if (RegEnumValueA(k, i, name, &name_len, nullptr, &type, data, &data_len) != ERROR_SUCCESS) break;
    std::string shown;
    if (type == REG_SZ) {
      std::string text(reinterpret_cast<const char*>(data), data_len);
      text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
      shown = "REG_SZ " + text;
    } else if (type == REG_DWORD && data_len == 4) {
      int32_t number;
      memcpy(&number, data, 4);
      shown = "REG_DWORD " + std::to_string(number);
    } else {
      shown = "type " + std::to_string(type);
    }
    values[std::string(name, name_len)] = shown;
  }
  RegCloseKey(k);
  return values;
}

void SetJwCadValue(const std::string& subkey, const std::string& name, DWORD type, const std::string& data) {
  const std::string path = std::string(kJwCadKey) + "\\" + subkey;
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(k);
}

void SetJwCadDword(const std::string& subkey, const std::string& name, DWORD value) {
  SetJwCadValue(subkey, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

void SetJwCadString(const std::string& subkey, const std::string& name, const std::string& text) {
  SetJwCadValue(subkey, name, REG_SZ, text + '\0');
}

void DeleteJwCadKey() { RegDeleteTreeA(HKEY_CURRENT_USER, kJwCadKey); }

void SetOpenCommand(const std::string& command) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kOpenCommandKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(k);
}

void DeleteOpenCommand() {
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kDocumentKey);
  RegDeleteKeyA(HKEY_CLASSES_ROOT, kDocumentKey);
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
  DeleteJwCadKey();
  DeleteOpenCommand();
  ASSERT_TRUE(CopyFileA((BuildFolder() + "\\panestow.exe").c_str(), Exe().c_str(), FALSE))
      << "panestow.exe beside e2e_tests.exe";
}

void E2eTest::TearDown() {
  if (app_.Running() && !HasFailure()) ADD_FAILURE() << "panestow.exe still runs at the end of the test";
  DeleteJwCadKey();
  DeleteOpenCommand();
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
  std::vector<HWND> buttons = automation::Children(main, "Button");
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (automation::TextOf(buttons[i]) == kMainSave && i + slot < buttons.size()) return buttons[i + slot];
  }
  ADD_FAILURE_AT(where.file, where.line) << "no restore button for slot " << slot;
  return nullptr;
}

std::string E2eTest::RestoreCaption(HWND main, int slot, Where where) {
  HWND button = RestoreButton(main, slot, where);
  return button ? automation::TextOf(button) : "";
}

DialogInfo E2eTest::ExpectDialog(const std::string& caption, const std::string& text,
                                 const std::vector<std::string>& buttons, Where where) {
  HWND dialog = automation::WaitDialog(app_.Id(), kTimeoutMs, app_.Handle());
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

}  // namespace panestow::e2e
