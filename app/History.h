// The history beside the executable: a folder that keeps, for each change
// Panestow made, what that change replaced, one file an entry.
//
// An entry's name is NNNNNN-YYYYMMDD-HHMMSS-WHAT.EXT: a sequence number one
// above the highest present (so that a clock set back never reorders the
// entries), the local date and time, what the change was (restore1 to
// restore4, undo, history, slot1 to slot4) and reg for Jw_cad's keys in a
// registry file or rg for a slot's layout file. Anything else in the
// folder is never listed and never removed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/files.h"

namespace panestow {

enum class Change {
  Restore,  // a slot's layout restored: the keys before it
  Undo,     // the latest restore taken back: the keys before it
  PutBack,  // registry keys put back from the history: the keys before it
  Save,     // a slot's file replaced by a save or a put-back: the old file
};

struct HistoryEntry {
  uint64_t sequence = 0;
  LocalTime time;
  Change change = Change::Restore;
  int slot = 0;  // Restore and Save: 1 to 4
  std::string name;
  uint64_t size = 0;
  // A registry file, rather than a slot's layout file.
  bool HoldsKeys() const { return change != Change::Save; }
};

// The entry a file name stands for; false for any name not of the form.
bool ParseHistoryName(const std::string& name, HistoryEntry& entry);
// The longest name HistoryName gives for sequences below 10,000,000:
// "0000001-20261211-140512-restore1.reg".
constexpr size_t kLongestHistoryName = 36;
std::string HistoryName(uint64_t sequence, const LocalTime& time, Change change, int slot);

// The full-width digit of a slot, as the titles spell it: "１" to "４".
std::string FullWidthDigit(int slot);

// An entry as the history window lists it: its date and time, two blanks
// and what it is ("2026/12/11 14:05:12  【設定２】を戻す前のレイアウト").
std::string HistoryLine(const HistoryEntry& entry);

class History {
 public:
  // The newest entries kept, and the most bytes they may hold in all; the
  // newest entry stays whatever its size.
  static constexpr size_t kMaxEntries = 30;
  static constexpr uint64_t kMaxBytes = 64ull << 20;

  using Clock = std::function<LocalTime()>;
  History(FileSystem& files, std::string folder, Clock now = LocalNow)
      : files_(files), folder_(std::move(folder)), now_(std::move(now)) {}

  FileSystem& files() { return files_; }
  std::string PathOf(const HistoryEntry& entry) const { return InFolder(folder_, entry.name); }

  // The entries, newest first; none when the folder cannot be listed.
  std::vector<HistoryEntry> Entries();

  // Where the entry of a change made now goes, the folder made if need
  // be; nothing is there yet. False when the folder cannot be made or
  // listed.
  bool NewEntry(Change change, int slot, std::string& path);

  // Removes the oldest entries past either limit. After a NewEntry whose
  // file is there now, the folder is not listed again.
  void Trim();

 private:
  FileSystem& files_;
  std::string folder_;
  Clock now_;
  // The entries as NewEntry listed them, newest first, and the entry it
  // named then.
  std::vector<HistoryEntry> listed_;
  HistoryEntry named_;
  bool has_named_ = false;
};

// Replaces the file at `path` with `bytes`, whole or not at all. A file it
// replaces goes into the history first, as the entry of a save into
// `slot`: by a second name for it, or else moved there, never copied.
// False, with `path` and the history as they were, when it could not be
// replaced; without the history (none, or it cannot be written) it is
// replaced all the same.
bool ReplaceKeepingOld(FileSystem& files, History* history, int slot, const std::string& path,
                       std::string_view bytes);

}  // namespace panestow
