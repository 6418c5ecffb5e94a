#include "layout/Undo.h"

#include <vector>

#include "app/Error.h"
#include "layout/LayoutFile.h"
#include "registry/RegFile.h"

namespace panestow {

const char kUndone[] = "直前の復元を取り消しました。";
const char kUndoFailed[] = "直前の復元を取り消せませんでした。";

bool WriteUndoFile(const Snapshot& snapshot, const std::string& path, FileSystem& files) {
  AtomicFile file(files, path);
  if (!file.Open()) return false;
  RegFileWriter writer([&file](std::string_view bytes) { return file.Write(bytes); });
  return writer.Begin() && snapshot.Write(writer) && writer.Finish() && file.Commit();
}

namespace {

// The keys a file names, checked to lie within Jw_cad's own key.
class KeyCollector : public RegFileVisitor {
 public:
  explicit KeyCollector(const WideString& vendor) : vendor_(FoldedPath(vendor)) {}
  bool DeleteKey(const WideString& path) override { return Take(path); }
  bool Key(const WideString& path) override { return Take(path); }
  bool Value(const WideValue&) override { return true; }
  std::vector<WideString> paths;

 private:
  bool Take(const WideString& path) {
    const std::string folded = FoldedPath(NormalPath(path));
    if (folded != vendor_ && folded.compare(0, vendor_.size() + 1, vendor_ + "\\") != 0) return false;
    paths.push_back(path);
    return true;
  }
  std::string vendor_;
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

bool ApplyUndoFile(const std::string& path, WideRegistry& wide) {
  const std::string refused = "ファイル " + path + " は開けません";
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) throw Error(refused);
  const WideString vendor = wide.FromAnsi(JwCadVendorKey());
  KeyCollector keys(vendor);
  if (!ReadRegFile(bytes, keys)) throw Error(refused);

  Snapshot before(vendor);
  for (const WideString& key : keys.paths) {
    int entry;
    if (!before.Add(wide, key, entry) || entry == Snapshot::kNotTouched) return false;
  }
  // The file deletes whole subtrees: they must be known whole to come back.
  if (!before.Whole()) return false;
  Applier applier(wide);
  if (ReadRegFile(bytes, applier)) return true;
  before.RollBack(wide, nullptr, true);
  return false;
}

}  // namespace panestow
