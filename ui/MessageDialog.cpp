#include "ui/MessageDialog.h"

#include "app/codepage.h"

namespace panestow {

const char kApplicationTitle[] = "Panestow";

const char* DialogCaption(DialogKind kind) {
  switch (kind) {
    case DialogKind::Warning: return "警告";
    case DialogKind::Error: return "エラー";
    case DialogKind::Information: return "情報";
    case DialogKind::Confirmation: return "確認";
  }
  return "";
}

std::string ErrorBoxText(const std::string& message) {
  if (message.empty()) return message;
  size_t last = 0;
  for (size_t i = 0; i < message.size(); i = AnsiCharNext(message, i)) last = i;
  // A character sorts by its first byte, taken unsigned: every double-byte
  // character sorts after ".".
  if (static_cast<unsigned char>(message[last]) > '.') return message + ".";
  return message;
}

}  // namespace panestow
