// The texts of panestow.exe that a program driving it looks for and
// checks, Shift-JIS like the program's own.
#pragma once

#include <string>

namespace panestow::texts {

extern const char kMainCaption[];
extern const char kSaveCaption[];
extern const char kYes[];
extern const char kNo[];
extern const char kOk[];
extern const char kWarning[];
extern const char kError[];
extern const char kInformation[];
extern const char kConfirmation[];
extern const char kConfirmSave[];
extern const char kConfirmRestore[];
extern const char kRestoredInfo[];
extern const char kSavedInfo[];
extern const char kRestoreSucceeded[];
extern const char kRestoreFailed[];
extern const char* const kDefaultTitles[4];
extern const char* const kSaveButtons[4];
extern const char kSaveWindowClose[];
extern const char kMainSave[];
extern const char kMainClose[];
extern const char kNotSavedError[];
extern const char kHistoryCaption[];
extern const char kHistoryPutBack[];
extern const char kHistoryClose[];
extern const char kConfirmPutBack[];
extern const char kPutBackDone[];
extern const char kPutBackFailed[];
extern const char kConfirmUndo[];
extern const char kUndone[];
// The system commands of the main window's system menu.
constexpr unsigned kUndoCommand = 0x0110;
constexpr unsigned kHistoryCommand = 0x0120;
// "【設定n】を履歴のこの内容に戻しますか？" and "【設定n】を履歴から戻しました。"
std::string ConfirmSlotPutBack(int slot);
std::string SlotPutBackDone(int slot);
// "Jw_cad画面レイアウトは［設定n］で保存されていません。"
std::string NotSavedWarning(int slot);

}  // namespace panestow::texts
