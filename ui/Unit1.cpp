#include "ui/Unit1.h"

#include "app/Func_.h"
#include "app/Settings.h"
#include "app/UnitIni.h"
#include "app/cmdline.h"
#include "app/files.h"
#include "app/paths.h"
#include "layout/Restore.h"
#include "ui/Unit2.h"

namespace panestow {

namespace {

const char kConfirmSave[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\nよろしいですか？";
const char kConfirmRestore[] =
    "Jw_cadは全て終了しておいて下さい。\r\n\r\n以前保存したJw_cad画面レイアウトに戻しますか？";
const char kRestoredInfo[] = "Jw_cad画面レイアウトファイルを読み込みました。\r\n\r\nJw_cadを起動してみてください。";
const char* const kNotSavedWarning[4] = {
    "Jw_cad画面レイアウトは［設定１］で保存されていません。",
    "Jw_cad画面レイアウトは［設定２］で保存されていません。",
    "Jw_cad画面レイアウトは［設定３］で保存されていません。",
    "Jw_cad画面レイアウトは［設定４］で保存されていません。",
};
const char kOpenCommandKey[] = "Jwwin.Document\\shell\\open\\command";
constexpr uint32_t kBeepSimple = 0xFFFF;
constexpr int kShowNormal = 5;  // SW_SHOW

}  // namespace

const std::string& TForm1::SlotPath(int slot) const {
  switch (slot) {
    case 1: return SlotPath1;
    case 2: return SlotPath2;
    case 3: return SlotPath3;
    default: return SlotPath4;
  }
}

void TForm1::FormShow() {
  const FilePaths paths = DerivePaths(host_.ModuleFileName());
  IniPath = paths.ini;
  SlotPath1 = paths.slots[0];
  SlotPath2 = paths.slots[1];
  SlotPath3 = paths.slots[2];
  SlotPath4 = paths.slots[3];
  ApplySettings();
  CopyTitlesToButtons();
  host_.SetStatusText("");
  RunCommandLine();
}

void TForm1::ApplySettings() {
  std::string value;
  if (ReadIniValue("Form", "F1_X", value, IniPath, 22)) host_.SetLeft(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F1_Y", value, IniPath, 22)) host_.SetTop(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F1_W", value, IniPath, 22)) host_.SetWidth(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F1_H", value, IniPath, 22)) host_.SetHeight(StrToIntOrZero(value));
  Form2Host& save = form2_.Host();
  if (ReadIniValue("Form", "F2_X", value, IniPath, 22)) save.SetLeft(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F2_Y", value, IniPath, 22)) save.SetTop(StrToIntOrZero(value));
  static const char* const kTitleKeys[4] = {"Tit1", "Tit2", "Tit3", "Tit4"};
  for (int slot = 1; slot <= 4; ++slot) {
    if (ReadIniValue("Sets", kTitleKeys[slot - 1], value, IniPath, 128)) save.SetTitle(slot, value);
  }
}

void TForm1::CopyTitlesToButtons() {
  for (int slot = 1; slot <= 4; ++slot) host_.SetRestoreCaption(slot, form2_.Host().Title(slot));
}

void TForm1::FormClose() {
  SettingsValues values;
  const WindowBounds main = host_.Bounds();
  values.main_left = main.left;
  values.main_top = main.top;
  values.main_width = main.width;
  values.main_height = main.height;
  Form2Host& save = form2_.Host();
  values.save_left = save.Left();
  values.save_top = save.Top();
  for (int slot = 1; slot <= 4; ++slot) values.titles[slot - 1] = save.Title(slot);
  // A settings file that cannot be written keeps its old content; the
  // program ends as usual without a word.
  WriteSettings(IniPath, values);
}

void TForm1::FormResize() {
  int32_t width = host_.ClientWidth() - 16 - 8;
  if (width < 64) width = 64;
  host_.SetRestoreButtonWidth(width);
}

void TForm1::Button1Click() {
  if (host_.ShowMessage(kConfirmSave, DialogKind::Confirmation, kButtonYes | kButtonNo) != DialogResult::Yes) return;
  host_.ShowSaveWindowModal();
  CopyTitlesToButtons();
}

void TForm1::RestoreSlot(int slot) {
  LayoutPath = SlotPath(slot);
  if (!FileExists(LayoutPath)) {
    host_.Beep(kBeepSimple);
    host_.ShowMessage(kNotSavedWarning[slot - 1], DialogKind::Warning, kButtonOk);
    return;
  }
  if (host_.ShowMessage(kConfirmRestore, DialogKind::Confirmation, kButtonYes | kButtonNo) != DialogResult::Yes) {
    return;
  }
  if (RestoreLayout()) host_.ShowMessage(kRestoredInfo, DialogKind::Information, kButtonOk);
}

bool TForm1::RestoreLayout() {
  lines_.ClearLines();
  lines_.LoadLines(LayoutPath);
  bool ok;
  {
    RegistryStorePtr store = host_.NewRegistryStore();
    ok = ApplyLayout(lines_, *store);
  }
  host_.SetStatusText(ok ? kRestoreSucceeded : kRestoreFailed);
  return ok;
}

void TForm1::RunCommandLine() {
  const std::vector<std::string> args = SplitCommandLine(host_.CommandLine());
  if (args.empty()) return;
  const ModeChoice choice = ChooseMode(args);
  const bool slot_in_range = choice.slot >= 1 && choice.slot <= 4;
  if (choice.mode == RunMode::Confirmed) {
    if (!slot_in_range) return;
    RestoreSlot(choice.slot);
    host_.Close();
    return;
  }
  if (slot_in_range) LayoutPath = SlotPath(choice.slot);
  if (!slot_in_range || !FileExists(LayoutPath)) return;
  RestoreLayout();
  if (choice.mode == RunMode::Launch) LaunchJwCad(args);
  host_.Close();
}

void TForm1::LaunchJwCad(const std::vector<std::string>& args) {
  const std::string exe = LaunchExecutable(ReadOpenCommand());
  const std::string parameters = LaunchParameters(args);
  try {
    host_.ShellExec("OPEN", exe, parameters, exe, kShowNormal);
  } catch (...) {
    // The launch reports nothing of its own.
  }
}

std::string TForm1::ReadOpenCommand() {
  std::string command;
  RegistryStorePtr store = host_.NewRegistryStore();
  try {
    store->SelectRoot(RegRoot::ClassesRoot);
    if (store->OpenPath(kOpenCommandKey, false)) command = store->ReadText("");
    store->ClosePath();
  } catch (...) {
    command.clear();
  }
  return command;
}

}  // namespace panestow
