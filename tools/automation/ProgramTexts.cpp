#include "tools/automation/ProgramTexts.h"

namespace panestow::texts {

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
const char kNotSavedError[] = "Jw_cad画面レイアウトファイルが保存出来ませんでした。";
const char kHistoryCaption[] = "Panestow - 履歴";
const char kHistoryPutBack[] = "戻す(&R)";
const char kHistoryClose[] = "閉じる(&C)";
const char kConfirmPutBack[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\n履歴のこのレイアウトに戻しますか？";
const char kPutBackDone[] = "履歴から戻しました。";
const char kPutBackFailed[] = "履歴から戻せませんでした。";
const char kConfirmUndo[] = "Jw_cadは全て終了しておいて下さい。\r\n\r\n直前の復元の前のレイアウトに戻しますか？";
const char kUndone[] = "直前の復元を取り消しました。";

namespace {
const char* const kFullWidth[4] = {"１", "２", "３", "４"};
}  // namespace

std::string ConfirmSlotPutBack(int slot) {
  return std::string("【設定") + kFullWidth[slot - 1] + "】を履歴のこの内容に戻しますか？";
}

std::string SlotPutBackDone(int slot) { return std::string("【設定") + kFullWidth[slot - 1] + "】を履歴から戻しました。"; }

std::string NotSavedWarning(int slot) {
  static const char* const kDigits[4] = {"１", "２", "３", "４"};
  return std::string("Jw_cad画面レイアウトは［設定") + kDigits[slot - 1] + "］で保存されていません。";
}

}  // namespace panestow::texts
