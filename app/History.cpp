#include "app/History.h"

#include <algorithm>
#include <cstdio>

namespace panestow {

namespace {

struct What {
  const char* name;
  Change change;
  int slot;
  const char* ext;
};

const What kWhats[] = {
    {"restore1", Change::Restore, 1, "reg"}, {"restore2", Change::Restore, 2, "reg"},
    {"restore3", Change::Restore, 3, "reg"}, {"restore4", Change::Restore, 4, "reg"},
    {"undo", Change::Undo, 0, "reg"},        {"history", Change::PutBack, 0, "reg"},
    {"slot1", Change::Save, 1, "rg"},        {"slot2", Change::Save, 2, "rg"},
    {"slot3", Change::Save, 3, "rg"},        {"slot4", Change::Save, 4, "rg"},
};

const What* WhatOf(Change change, int slot) {
  for (const What& w : kWhats) {
    if (w.change == change && w.slot == slot) return &w;
  }
  return nullptr;
}

// `count` decimal digits of `text` from `at`; false unless all are digits.
bool Digits(const std::string& text, size_t at, size_t count, uint64_t& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
  }
  return true;
}

}  // namespace

bool ParseHistoryName(const std::string& name, HistoryEntry& entry) {
  // The sequence has six digits or more, so that it may outgrow them.
  size_t digits = 0;
  while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') ++digits;
  if (digits < 6 || digits > 18) return false;
  uint64_t sequence, date, time;
  if (!Digits(name, 0, digits, sequence)) return false;
  size_t at = digits;
  if (name.compare(at, 1, "-") != 0 || !Digits(name, at + 1, 8, date) || name.compare(at + 9, 1, "-") != 0 ||
      !Digits(name, at + 10, 6, time) || name.compare(at + 16, 1, "-") != 0) {
    return false;
  }
  at += 17;
  for (const What& w : kWhats) {
    const std::string tail = std::string(w.name) + "." + w.ext;
    if (name.size() != at + tail.size() || name.compare(at, tail.size(), tail) != 0) continue;
    entry.sequence = sequence;
    entry.time = LocalTime{static_cast<int>(date / 10000), static_cast<int>(date / 100 % 100),
                           static_cast<int>(date % 100),  static_cast<int>(time / 10000),
                           static_cast<int>(time / 100 % 100), static_cast<int>(time % 100)};
    entry.change = w.change;
    entry.slot = w.slot;
    entry.name = name;
    return true;
  }
  return false;
}

std::string HistoryName(uint64_t sequence, const LocalTime& t, Change change, int slot) {
  const What* what = WhatOf(change, slot);
  if (!what) return std::string();
  char buf[96];
  std::snprintf(buf, sizeof buf, "%06llu-%04d%02d%02d-%02d%02d%02d-%s.%s", static_cast<unsigned long long>(sequence),
                t.year, t.month, t.day, t.hour, t.minute, t.second, what->name, what->ext);
  return buf;
}

std::string FullWidthDigit(int slot) {
  static const char* const kDigits[4] = {"１", "２", "３", "４"};
  return slot >= 1 && slot <= 4 ? kDigits[slot - 1] : "";
}

std::string HistoryLine(const HistoryEntry& e) {
  char when[64];
  std::snprintf(when, sizeof when, "%04d/%02d/%02d %02d:%02d:%02d", e.time.year, e.time.month, e.time.day,
                e.time.hour, e.time.minute, e.time.second);
  std::string line = std::string(when) + "  ";
  switch (e.change) {
    case Change::Restore: return line + "【設定" + FullWidthDigit(e.slot) + "】を戻す前のレイアウト";
    case Change::Undo: return line + "取り消す前のレイアウト";
    case Change::PutBack: return line + "履歴から戻す前のレイアウト";
    case Change::Save: return line + "上書き前の【設定" + FullWidthDigit(e.slot) + "】";
  }
  return line;
}

namespace {

std::vector<HistoryEntry> EntriesOf(const std::vector<FolderItem>& items) {
  std::vector<HistoryEntry> entries;
  for (const FolderItem& item : items) {
    HistoryEntry e;
    if (item.folder || !ParseHistoryName(item.name, e)) continue;
    e.size = item.size;
    entries.push_back(std::move(e));
  }
  std::sort(entries.begin(), entries.end(), [](const HistoryEntry& a, const HistoryEntry& b) {
    return a.sequence != b.sequence ? a.sequence > b.sequence : a.name > b.name;
  });
  return entries;
}

}  // namespace

std::vector<HistoryEntry> History::Entries() {
  std::vector<FolderItem> items;
  if (!files_.List(folder_, items)) return {};
  return EntriesOf(items);
}

bool History::NewEntry(Change change, int slot, std::string& path) {
  has_named_ = false;
  listed_.clear();
  if (!WhatOf(change, slot)) return false;
  // Made when it cannot be listed, which is once.
  std::vector<FolderItem> items;
  if (!files_.List(folder_, items) && (!files_.MakeFolder(folder_) || !files_.List(folder_, items))) return false;
  listed_ = EntriesOf(items);
  const uint64_t highest = listed_.empty() ? 0 : listed_.front().sequence;
  has_named_ = ParseHistoryName(HistoryName(highest + 1, now_(), change, slot), named_);
  path = PathOf(named_);
  return has_named_;
}

void History::Trim() {
  // The listing NewEntry made, and the entry it named, once it is there.
  std::vector<HistoryEntry> entries;
  if (has_named_ && files_.Size(PathOf(named_), named_.size)) {
    entries.push_back(named_);
    entries.insert(entries.end(), listed_.begin(), listed_.end());
  } else {
    entries = Entries();
  }
  has_named_ = false;
  listed_.clear();
  uint64_t total = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const bool kept = i == 0 || (i < kMaxEntries && total + entries[i].size <= kMaxBytes);
    if (!kept) {
      // This one and every older one go.
      for (size_t j = entries.size(); j-- > i;) files_.Remove(PathOf(entries[j]));
      return;
    }
    total += entries[i].size;
  }
}

bool ReplaceKeepingOld(FileSystem& files, History* history, int slot, const std::string& path,
                       std::string_view bytes) {
  AtomicFile file(files, path);
  if (!file.Open() || !file.Write(bytes) || !file.Finish()) return false;
  std::string kept;
  bool moved = false;
  if (history && files.IsFile(path) && history->NewEntry(Change::Save, slot, kept)) {
    if (RetryWhileBusy(files, [&] { return files.Link(path, kept); })) {
    } else if (RetryWhileBusy(files, [&] { return files.Rename(path, kept); })) {
      // Until the new file takes its place, the slot has none.
      moved = true;
    } else {
      kept.clear();
    }
  }
  if (file.Commit()) {
    if (!kept.empty()) history->Trim();
    return true;
  }
  if (moved) {
    RetryWhileBusy(files, [&] { return files.Rename(kept, path); });
  } else if (!kept.empty()) {
    files.Remove(kept);
  }
  return false;
}

}  // namespace panestow
