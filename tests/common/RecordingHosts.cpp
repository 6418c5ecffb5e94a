#include "tests/common/RecordingHosts.h"

#include <algorithm>

namespace panestow::test {

const char* const kDesignTitles[4] = {"【設定１】でレイアウトを戻す", "【設定２】でレイアウトを戻す",
                                      "【設定３】でレイアウトを戻す", "【設定４】でレイアウトを戻す"};

DialogResult Journal::Message(const std::string& text, DialogKind kind, unsigned buttons) {
  static const char* const kKinds[] = {"warning", "error", "information", "confirmation"};
  Add(std::string("dialog ") + kKinds[static_cast<int>(kind)] + " " + std::to_string(buttons) + ": " + text);
  messages.push_back(text);
  if (answers.empty()) return buttons & kButtonYes ? DialogResult::Yes : DialogResult::Ok;
  const DialogResult r = answers.front();
  answers.pop_front();
  return r;
}

RecordingSaveHost::RecordingSaveHost(Journal& journal, StoreMaker new_store)
    : journal_(journal), new_store_(std::move(new_store)) {
  for (int i = 0; i < 4; ++i) titles[i] = kDesignTitles[i];
}

void RecordingSaveHost::SetTitle(int slot, const std::string& text) {
  journal_.Add("title " + std::to_string(slot) + " " + text);
  titles[slot - 1] = text;
}

void RecordingSaveHost::SetLeft(int32_t v) {
  journal_.Add("save left " + std::to_string(v));
  left = v;
}

void RecordingSaveHost::SetTop(int32_t v) {
  journal_.Add("save top " + std::to_string(v));
  top = v;
}

void RecordingMainHost::SetLeft(int32_t v) {
  Log("left", v);
  bounds.left = v;
}

void RecordingMainHost::SetTop(int32_t v) {
  Log("top", v);
  bounds.top = v;
}

void RecordingMainHost::SetWidth(int32_t v) {
  Log("width", v);
  bounds.width = std::max(v, 112);
  if (form) form->FormResize();
}

void RecordingMainHost::SetHeight(int32_t v) {
  Log("height", v);
  bounds.height = std::max(v, 27);
}

void RecordingMainHost::SetRestoreCaption(int slot, const std::string& text) {
  journal_.Add("caption " + std::to_string(slot) + " " + text);
}

void RecordingMainHost::SetStatusText(const std::string& text) {
  journal_.Add("status " + text);
  status = text;
}

void RecordingMainHost::ShowSaveWindowModal() {
  journal_.Add("save window");
  if (during_modal) during_modal();
}

namespace {

struct HeldLock : ChangeLock {};

ChangeLockPtr Lock(bool busy) { return busy ? nullptr : std::make_unique<HeldLock>(); }

}  // namespace

ChangeLockPtr RecordingSaveHost::LockChanges() { return Lock(lock_busy); }

ChangeLockPtr RecordingMainHost::LockChanges() { return Lock(lock_busy); }

void RecordingMainHost::ShowHistoryWindowModal() {
  journal_.Add("history window");
  if (during_history) during_history();
}

void RecordingMainHost::ShellExec(const std::string& verb, const std::string& file, const std::string& parameters,
                                  const std::string& directory, int show) {
  journal_.Add("shell " + verb + "|" + file + "|" + parameters + "|" + directory + "|" + std::to_string(show));
}

RecordedWindows::RecordedWindows(const StoreMaker& new_store, const WideMaker& new_wide)
    : save_host(journal, new_store),
      main_host(journal, new_store, new_wide),
      form2(save_host, form1),
      form1(main_host, form2) {
  main_host.form = &form1;
}

}  // namespace panestow::test
