#include "layout/Undo.h"

#include <vector>

#include "app/Error.h"
#include "layout/LayoutFile.h"
#include "registry/RegFile.h"

namespace panestow {

const char kUndone[] = "直前の復元を取り消しました。";
const char kUndoFailed[] = "直前の復元を取り消せませんでした。";
const char kPutBack[] = "履歴から戻しました。";
const char kPutBackFailed[] = "履歴から戻せませんでした。";

WideString RegFileComment(Change change, int slot) {
  const WideString start = u"Panestow: Jw_cad's keys as they were before ";
  switch (change) {
    case Change::Restore:
      if (slot >= 1 && slot <= 4) return start + u"slot " + static_cast<char16_t>(u'0' + slot) + u" was restored.";
      return start + u"a restore.";
    case Change::Undo: return start + u"an undo.";
    case Change::PutBack: return start + u"a put-back from the history.";
    case Change::Save: break;
  }
  return start + u"a change.";
}

bool ChangeOfRegFile(std::string_view bytes, Change& change, int& slot) {
  // The comment is the third line: after the byte-order mark, the header
  // and a blank line.
  WideString text;
  for (size_t i = 2; i + 1 < bytes.size() && i < 512; i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  const size_t start = text.find(u"\r\n\r\n; ");
  if (bytes.substr(0, 2) != std::string_view("\xFF\xFE", 2) || start == WideString::npos) return false;
  const size_t end = text.find(u"\r\n", start + 4);
  if (end == WideString::npos) return false;
  const WideString comment = text.substr(start + 6, end - start - 6);
  const struct {
    Change change;
    int slot;
  } kinds[] = {{Change::Restore, 1}, {Change::Restore, 2}, {Change::Restore, 3}, {Change::Restore, 4},
               {Change::Undo, 0},    {Change::PutBack, 0}};
  for (const auto& k : kinds) {
    if (comment == RegFileComment(k.change, k.slot)) {
      change = k.change;
      slot = k.slot;
      return true;
    }
  }
  return false;
}

bool WriteRegFile(const Snapshot& snapshot, Change change, int slot, AtomicFile& file) {
  if (!file.Open()) return false;
  RegFileWriter writer([&file](std::string_view bytes) { return file.Write(bytes); });
  return writer.Begin(RegFileComment(change, slot)) && snapshot.Write(writer) && writer.Finish() && file.Commit();
}

bool WriteUndoFile(const Snapshot& snapshot, const std::string& path, FileSystem& files) {
  AtomicFile file(files, path);
  return WriteRegFile(snapshot, Change::Restore, 0, file);
}


namespace {

// The undo file that could not be replaced: it must not stay for the
// latest change.
UndoFile RetireUndoFile(Keeping& keeping) {
  FileSystem& files = keeping.files;
  const std::string& undo = keeping.undo_path;
  if (!files.IsFile(undo)) return UndoFile::None;
  std::string bytes;
  if (keeping.history && files.Read(undo, bytes)) {
    // Written as an entry of the history, it is normally there still.
    bool kept = false;
    for (const HistoryEntry& e : keeping.history->Entries()) {
      std::string other;
      if (e.HoldsKeys() && e.size == bytes.size() && files.Read(keeping.history->PathOf(e), other) &&
          other == bytes) {
        kept = true;
        break;
      }
    }
    Change change;
    int slot = 0;
    std::string path;
    if (!kept && ChangeOfRegFile(bytes, change, slot) && keeping.history->NewEntry(change, slot, path) &&
        RetryWhileBusy(files, [&] { return files.Rename(undo, path); })) {
      return UndoFile::None;
    }
  }
  return files.Remove(undo) ? UndoFile::None : UndoFile::Stale;
}

}  // namespace

KeptKeys::KeptKeys(const Snapshot& snapshot, Change change, int slot, Keeping& keeping)
    : snapshot_(snapshot), change_(change), slot_(slot), keeping_(keeping), undo_(keeping.files, keeping.undo_path) {
  FileSystem& files = keeping.files;
  if (!keeping.undo_path.empty() && undo_.Open()) {
    RegFileWriter writer([this](std::string_view bytes) { return undo_.Write(bytes); });
    undo_ready_ = writer.Begin(RegFileComment(change, slot)) && snapshot.Write(writer) && writer.Finish() &&
                  undo_.Finish();
  }
  std::string path;
  if (!keeping.history || !keeping.history->NewEntry(change, slot, path)) return;
  if (undo_ready_ && RetryWhileBusy(files, [&] { return files.Link(undo_.temp(), path); })) {
    entry_ = path;
    return;
  }
  // Written on its own where there is no second name to give.
  AtomicFile file(files, path);
  if (WriteRegFile(snapshot, change, slot, file)) entry_ = path;
}

UndoFile KeptKeys::Stand() {
  if (keeping_.undo_path.empty()) return UndoFile::Unchanged;
  if (undo_ready_ && undo_.Commit()) return UndoFile::Written;
  // Tried once more from the start, before the older one is retired.
  AtomicFile again(keeping_.files, keeping_.undo_path);
  if (WriteRegFile(snapshot_, change_, slot_, again)) return UndoFile::Written;
  return RetireUndoFile(keeping_);
}

void KeptKeys::Drop() {
  if (!entry_.empty()) keeping_.files.Remove(entry_);
}

namespace {

// The keys a file names, checked to lie below Jw_cad's key.
class KeyCollector : public RegFileVisitor {
 public:
  explicit KeyCollector(const WideString& jw_cad_key) : below_(FoldedPath(NormalPath(jw_cad_key)) + "\\") {}
  bool DeleteKey(const WideString& path) override { return Take(path); }
  bool Key(const WideString& path) override { return Take(path); }
  bool Value(const WideValue&) override { return true; }
  std::vector<WideString> paths;

 private:
  bool Take(const WideString& path) {
    const std::string folded = FoldedPath(NormalPath(path));
    if (folded.size() <= below_.size() || folded.compare(0, below_.size(), below_) != 0) return false;
    paths.push_back(path);
    return true;
  }
  std::string below_;
};

// Makes the registry what the file says, line by line.
class Applier : public RegFileVisitor {
 public:
  explicit Applier(WideRegistry& wide) : wide_(wide) {}
  bool DeleteKey(const WideString& path) override {
    key_.reset();
    return wide_.DeleteTree(path);
  }
  bool Key(const WideString& path) override {
    key_.reset();
    return wide_.Create(path, key_);
  }
  bool Value(const WideValue& value) override { return key_ && wide_.SetValue(*key_, value); }

 private:
  WideRegistry& wide_;
  WideKeyPtr key_;
};

}  // namespace

bool ApplyRegFile(const std::string& path, WideRegistry& wide, Keeping& keeping, Change change, UndoFile* undo) {
  if (undo) *undo = UndoFile::Unchanged;
  const std::string refused = "ファイル " + path + " は開けません";
  std::string bytes;
  if (!keeping.files.Read(path, bytes)) throw Error(refused);
  const WideString jw_cad_key = wide.FromAnsi(kJwCadKeyPath);
  KeyCollector keys(jw_cad_key);
  if (!ReadRegFile(bytes, keys)) throw Error(refused);

  Snapshot before(wide.FromAnsi(JwCadVendorKey()));
  before.KeepInFile(jw_cad_key);
  for (const WideString& key : keys.paths) {
    int entry;
    if (!before.Add(wide, key, entry) || entry == Snapshot::kNotTouched) return false;
  }
  // The file deletes whole subtrees: they must be known whole to come back.
  if (!before.Whole()) return false;
  KeptKeys kept(before, change, 0, keeping);
  Applier applier(wide);
  const bool ok = ReadRegFile(bytes, applier);
  if (!ok && before.RollBack(wide, nullptr, true)) {
    // As if it had not been tried.
    kept.Drop();
    return false;
  }
  // A put-back that stands, even part-way, is what the undo takes back.
  const UndoFile result = kept.Stand();
  if (undo) *undo = result;
  if (keeping.history) keeping.history->Trim();
  return ok;
}

bool ApplyUndoFile(const std::string& path, WideRegistry& wide) {
  Keeping keeping{PlatformFiles(), nullptr, ""};
  return ApplyRegFile(path, wide, keeping, Change::Undo);
}

}  // namespace panestow
