#include "ui/Unit2.h"

#include "layout/Capture.h"
#include "ui/Unit1.h"

namespace panestow {

namespace {

const char kSaved[] = "Jw_cad画面レイアウトファイルを保存しました。";
const char kNotSaved[] = "Jw_cad画面レイアウトファイルが保存出来ませんでした。";

}  // namespace

void TForm2::SaveSlot(int slot) {
  SavePath = form1_.SlotPath(slot);
  SaveLayout();
}

void TForm2::SaveLayout() {
  bool saved = false;
  if (ChangeLockPtr lock = host_.LockChanges()) {
    RegistryStorePtr store = host_.NewRegistryStore();
    History history(PlatformFiles(), form1_.HistoryPath);
    saved = CaptureToFile(*store, lines_, SavePath, PlatformFiles(), form1_.HistoryPath.empty() ? nullptr : &history,
                          form1_.SlotOf(SavePath));
  }
  if (saved) {
    host_.ShowMessage(kSaved, DialogKind::Information, kButtonOk);
  } else {
    host_.ShowMessage(kNotSaved, DialogKind::Error, kButtonOk);
  }
}

}  // namespace panestow
