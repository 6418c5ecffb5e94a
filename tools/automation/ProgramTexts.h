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
// "Jw_cad画面レイアウトは［設定n］で保存されていません。"
std::string NotSavedWarning(int slot);

}  // namespace panestow::texts
