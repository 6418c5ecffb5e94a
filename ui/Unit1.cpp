#include "ui/Unit1.h"

#include "app/Func_.h"
#include "app/Settings.h"
#include "app/UnitIni.h"
#include "app/cmdline.h"
#include "app/codepage.h"
#include "app/files.h"
#include "app/paths.h"
#include "layout/LayoutFile.h"
#include "layout/Restore.h"
#include "layout/Undo.h"
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
const char kConfirmUndo[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\n直前の復元の前のレイアウトに戻しますか？";
const char kConfirmPutBack[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\n履歴のこのレイアウトに戻しますか？";
const char kJwCadRunning[] =
    "Jw_cadが起動中です。\r\n\r\nJw_cadは終了する時に画面レイアウトを書き込みます。このまま続けますか？";
constexpr uint32_t kBeepSimple = 0xFFFF;
constexpr int kShowNormal = 5;  // SW_SHOW

}  // namespace

const char kUndoCommandCaption[] = "直前の復元を取り消す(&U)";
const char kHistoryCommandCaption[] = "履歴から戻す(&H)...";

namespace {

std::string TForm1::* const kSlotPaths[4] = {&TForm1::SlotPath1, &TForm1::SlotPath2, &TForm1::SlotPath3,
                                             &TForm1::SlotPath4};

}  // namespace

const std::string& TForm1::SlotPath(int slot) const { return this->*kSlotPaths[slot - 1]; }

int TForm1::SlotOf(const std::string& path) const {
  for (int slot = 1; slot <= 4; ++slot) {
    if (!path.empty() && path == SlotPath(slot)) return slot;
  }
  return 0;
}

void TForm1::FormShow() {
  const FilePaths paths = DerivePaths(host_.ModuleFileName());
  IniPath = paths.ini;
  for (int slot = 1; slot <= 4; ++slot) this->*kSlotPaths[slot - 1] = paths.slots[slot - 1];
  UndoPath = paths.undo;
  HistoryPath = paths.history;
  ApplySettings();
  CopyTitlesToButtons();
  host_.SetStatusText("");
  RefreshMenu();
  RunCommandLine();
}

void TForm1::ApplySettings() {
  std::string value;
  if (ReadIniValue("Form", "F1_X", value, IniPath, 22)) host_.SetLeft(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F1_Y", value, IniPath, 22)) host_.SetTop(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F1_W", value, IniPath, 22)) host_.SetWidth(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F1_H", value, IniPath, 22)) host_.SetHeight(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F2_X", value, IniPath, 22)) form2_.SetLeft(StrToIntOrZero(value));
  if (ReadIniValue("Form", "F2_Y", value, IniPath, 22)) form2_.SetTop(StrToIntOrZero(value));
  static const char* const kTitleKeys[4] = {"Tit1", "Tit2", "Tit3", "Tit4"};
  for (int slot = 1; slot <= 4; ++slot) {
    if (ReadIniValue("Sets", kTitleKeys[slot - 1], value, IniPath, 128)) form2_.SetTitle(slot, value);
  }
}

void TForm1::CopyTitlesToButtons() {
  for (int slot = 1; slot <= 4; ++slot) host_.SetRestoreCaption(slot, form2_.Title(slot));
}

void TForm1::FormClose() {
  SettingsValues values;
  const WindowBounds main = host_.Bounds();
  values.main_left = main.left;
  values.main_top = main.top;
  values.main_width = main.width;
  values.main_height = main.height;
  values.save_left = form2_.Left();
  values.save_top = form2_.Top();
  for (int slot = 1; slot <= 4; ++slot) values.titles[slot - 1] = form2_.Title(slot);
  // A settings file that cannot be written keeps its old content; the
  // program ends as usual without a word.
  WriteSettings(IniPath, values);
}

void TForm1::FormResize() { host_.SetRestoreButtonWidth(RestoreButtonWidth(host_.ClientWidth())); }

void TForm1::Button1Click() {
  if (!GoOnIfJwCadRuns()) return;
  if (host_.ShowMessage(kConfirmSave, DialogKind::Confirmation, kButtonYes | kButtonNo) != DialogResult::Yes) return;
  host_.ShowSaveWindowModal();
  CopyTitlesToButtons();
  RefreshMenu();
}

void TForm1::RestoreSlot(int slot) {
  LayoutPath = SlotPath(slot);
  if (!FileExists(LayoutPath)) {
    host_.Beep(kBeepSimple);
    host_.ShowMessage(kNotSavedWarning[slot - 1], DialogKind::Warning, kButtonOk);
    return;
  }
  if (!GoOnIfJwCadRuns()) return;
  if (host_.ShowMessage(kConfirmRestore, DialogKind::Confirmation, kButtonYes | kButtonNo) != DialogResult::Yes) {
    return;
  }
  if (RestoreLayout()) host_.ShowMessage(kRestoredInfo, DialogKind::Information, kButtonOk);
}

bool TForm1::RestoreLayout() {
  bool ok = false;
  // Another Panestow's change that keeps the lock too long fails this one,
  // with nothing changed.
  if (ChangeLockPtr lock = host_.LockChanges()) {
    RegistryStorePtr store = host_.NewRegistryStore();
    WideRegistryPtr wide = host_.NewWideRegistry();
    History history(PlatformFiles(), HistoryPath);
    RestoreTarget target{*store, *wide, PlatformFiles(), UndoPath};
    if (!HistoryPath.empty()) target.history = &history;
    target.slot = SlotOf(LayoutPath);
    ok = RestoreFromFile(LayoutPath, lines_, target);
    NoteUndo(target.undo);
  }
  RefreshMenu();
  host_.SetStatusText(ok ? kRestoreSucceeded : kRestoreFailed);
  return ok;
}

void TForm1::NoteUndo(UndoFile undo) {
  if (undo == UndoFile::Stale) undo_stale_ = true;
  if (undo == UndoFile::Written || undo == UndoFile::None) undo_stale_ = false;
}

void TForm1::RefreshMenu() {
  host_.SetUndoAvailable(UndoAvailable());
  host_.SetHistoryAvailable(HistoryAvailable());
}

bool TForm1::UndoAvailable() const { return !undo_stale_ && !UndoPath.empty() && FileExists(UndoPath); }

void TForm1::MenuUndoClick() {
  if (!UndoAvailable() || !GoOnIfJwCadRuns()) return;
  if (host_.ShowMessage(kConfirmUndo, DialogKind::Confirmation, kButtonYes | kButtonNo) != DialogResult::Yes) return;
  bool ok = false;
  if (ChangeLockPtr lock = host_.LockChanges()) {
    WideRegistryPtr wide = host_.NewWideRegistry();
    History history(PlatformFiles(), HistoryPath);
    // An undo writes no undo file: undoing twice gives the same state.
    Keeping keeping{PlatformFiles(), HistoryPath.empty() ? nullptr : &history, ""};
    ok = ApplyRegFile(UndoPath, *wide, keeping, Change::Undo);
  }
  RefreshMenu();
  host_.SetStatusText(ok ? kUndone : kUndoFailed);
}

bool TForm1::HistoryAvailable() const { return !HistoryEntries().empty(); }

std::vector<HistoryEntry> TForm1::HistoryEntries() const {
  if (HistoryPath.empty()) return {};
  return History(PlatformFiles(), HistoryPath).Entries();
}

void TForm1::MenuHistoryClick() {
  if (!HistoryAvailable()) return;
  host_.ShowHistoryWindowModal();
  RefreshMenu();
}

bool TForm1::PutBackFromHistory(const HistoryEntry& entry) {
  History history(PlatformFiles(), HistoryPath);
  const std::string path = history.PathOf(entry);
  bool ok = false;
  if (entry.HoldsKeys()) {
    if (!GoOnIfJwCadRuns()) return false;
    if (host_.ShowMessage(kConfirmPutBack, DialogKind::Confirmation, kButtonYes | kButtonNo) != DialogResult::Yes) {
      return false;
    }
    if (ChangeLockPtr lock = host_.LockChanges()) {
      WideRegistryPtr wide = host_.NewWideRegistry();
      Keeping keeping{PlatformFiles(), &history, UndoPath};
      UndoFile undo = UndoFile::Unchanged;
      ok = ApplyRegFile(path, *wide, keeping, Change::PutBack, &undo);
      NoteUndo(undo);
    }
    RefreshMenu();
    host_.SetStatusText(ok ? kPutBack : kPutBackFailed);
    return true;
  }
  const int slot = entry.slot;
  const std::string name = "【設定" + FullWidthDigit(slot) + "】";
  if (host_.ShowMessage(name + "を履歴のこの内容に戻しますか？", DialogKind::Confirmation, kButtonYes | kButtonNo) !=
      DialogResult::Yes) {
    return false;
  }
  if (ChangeLockPtr lock = host_.LockChanges()) {
    std::string bytes;
    if (!PlatformFiles().Read(path, bytes)) throw Error("ファイル " + path + " は開けません");
    ok = ReplaceKeepingOld(PlatformFiles(), &history, slot, SlotPath(slot), bytes);
  }
  RefreshMenu();
  host_.SetStatusText(name + (ok ? "を履歴から戻しました。" : "を履歴から戻せませんでした。"));
  return true;
}

bool TForm1::GoOnIfJwCadRuns() {
  std::string image = JwCadImageName(ReadOpenCommand());
  UpperAnsi(image);
  for (std::string name : host_.RunningPrograms()) {
    UpperAnsi(name);
    if (name == image) {
      return host_.ShowMessage(kJwCadRunning, DialogKind::Warning, kButtonYes | kButtonNo | kDefaultNo) ==
             DialogResult::Yes;
    }
  }
  return true;
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
    // Read rights are enough: a Jw_cad installed for all users registers
    // its file type under HKEY_LOCAL_MACHINE, which a user may only read.
    if (store->OpenPathToRead(kOpenCommandKeyPath)) command = store->ReadText("");
    store->ClosePath();
  } catch (...) {
    command.clear();
  }
  return command;
}

}  // namespace panestow
