// Hosts for the windows' handlers that record what the window system was
// asked to do, one line each, and answer dialogs from a queue; and both
// forms over them, wired as the program wires them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "registry/RegistryStore.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

namespace panestow::test {

extern const char* const kDesignTitles[4];

// Everything the hosts were asked, in order, one line each.
struct Journal {
  std::vector<std::string> lines;
  std::vector<std::string> messages;  // the texts of the dialogs shown
  std::deque<DialogResult> answers;   // Yes (or OK) when empty
  void Add(const std::string& line) { lines.push_back(line); }
  DialogResult Message(const std::string& text, DialogKind kind, unsigned buttons);
};

using StoreMaker = std::function<RegistryStorePtr()>;
using WideMaker = std::function<WideRegistryPtr()>;

class RecordingSaveHost : public Form2Host {
 public:
  RecordingSaveHost(Journal& journal, StoreMaker new_store);
  std::string Title(int slot) override { return titles[slot - 1]; }
  void SetTitle(int slot, const std::string& text) override;
  int32_t Left() override { return left; }
  int32_t Top() override { return top; }
  void SetLeft(int32_t v) override;
  void SetTop(int32_t v) override;
  void Close() override { journal_.Add("save close"); }
  DialogResult ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) override {
    return journal_.Message(text, kind, buttons);
  }
  RegistryStorePtr NewRegistryStore() override { return new_store_(); }
  ChangeLockPtr LockChanges() override;

  std::string titles[4];
  bool lock_busy = false;  // another process holds the change lock too long
  int32_t left = 193, top = 109;

 private:
  Journal& journal_;
  StoreMaker new_store_;
};

class RecordingMainHost : public Form1Host {
 public:
  RecordingMainHost(Journal& journal, StoreMaker new_store, WideMaker new_wide)
      : journal_(journal), new_store_(std::move(new_store)), new_wide_(std::move(new_wide)) {}
  std::string ModuleFileName() override { return exe; }
  std::string CommandLine() override { return command_line; }
  WindowBounds Bounds() override { return bounds; }
  void SetLeft(int32_t v) override;
  void SetTop(int32_t v) override;
  // The window system keeps the window at least 112 wide and 27 high.
  void SetWidth(int32_t v) override;
  void SetHeight(int32_t v) override;
  int32_t ClientWidth() override { return bounds.width - 16; }
  void SetRestoreButtonWidth(int32_t v) override { restore_width = v; }
  void SetRestoreCaption(int slot, const std::string& text) override;
  void SetStatusText(const std::string& text) override;
  void Close() override { journal_.Add("close"); }
  void ShowSaveWindowModal() override;
  DialogResult ShowMessage(const std::string& text, DialogKind kind, unsigned buttons) override {
    return journal_.Message(text, kind, buttons);
  }
  void Beep(uint32_t type) override { journal_.Add("beep " + std::to_string(type)); }
  RegistryStorePtr NewRegistryStore() override { return new_store_(); }
  WideRegistryPtr NewWideRegistry() override { return new_wide_(); }
  std::vector<std::string> RunningPrograms() override { return running; }
  void SetUndoAvailable(bool available) override { undo_available = available; }
  void SetHistoryAvailable(bool available) override { history_available = available; }
  void ShowHistoryWindowModal() override;
  ChangeLockPtr LockChanges() override;
  void ShellExec(const std::string& verb, const std::string& file, const std::string& parameters,
                 const std::string& directory, int show) override;

  std::string exe, command_line;
  WindowBounds bounds{194, 109, 220, 250};
  int32_t restore_width = 0;
  std::string status;
  std::function<void()> during_modal;
  TForm1* form = nullptr;  // resized when the width changes
  std::vector<std::string> running;  // image names of running programs
  bool undo_available = false;      // the undo command as last offered
  bool history_available = false;   // the history command likewise
  std::function<void()> during_history;  // what the user does in the history window
  bool lock_busy = false;           // another process holds the change lock too long

 private:
  void Log(const char* what, int32_t v) { journal_.Add(std::string(what) + " " + std::to_string(v)); }
  Journal& journal_;
  StoreMaker new_store_;
  WideMaker new_wide_;
};

// Both windows' forms over recording hosts; the stores and wide views come
// from `new_store` and `new_wide`.
struct RecordedWindows {
  RecordedWindows(const StoreMaker& new_store, const WideMaker& new_wide);
  RecordedWindows(const RecordedWindows&) = delete;
  RecordedWindows& operator=(const RecordedWindows&) = delete;

  Journal journal;
  RecordingSaveHost save_host;
  RecordingMainHost main_host;
  TForm2 form2;
  TForm1 form1;
};

}  // namespace panestow::test
