// The safety net around every change, over the in-memory registry: a
// restore that fails anywhere leaves the registry as it was; the undo file
// gives back the state before the restore; the history keeps what each
// restore, undo, put-back and save replaced. Each change is swept over
// every registry and every file operation in turn: after a failed run the
// registry, the slot files, the undo file and the history are as before,
// but for one whole new entry of the history at most.
#include "layout/Restore.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <map>
#include <set>

#include "layout/Capture.h"
#include "layout/LayoutFile.h"
#include "layout/Undo.h"
#include "registry/RegFile.h"
#include "registry/MemoryRegistryStore.h"
#include "tests/common/LayoutFixture.h"
#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

// Jw_cad's keys before the restore: a key with values of every type, one
// with a subkey, one that may not be opened for all access; beside them a
// key the restore leaves alone.
void Seed(MemoryRegistry& r) {
  MemoryRegistry::SetValue(r.Create(JwCadKey()), "Own", kRegDword, DwordBytes(1));
  MemoryRegistry::Key* dialog = r.Create(JwCadSubkey("Dialog"));
  MemoryRegistry::SetValue(dialog, "", kRegSz, SzBytes("default"));
  MemoryRegistry::SetValue(dialog, "Left", kRegDword, DwordBytes(5));
  MemoryRegistry::SetValue(dialog, "Caption", kRegSz, SzBytes("old \"one\""));
  MemoryRegistry::SetValue(dialog, "Bin", kRegBinary, std::string("\x00\x01\x02", 3));
  MemoryRegistry::SetValue(dialog, "Temp", kRegExpandSz, SzBytes("%TEMP%"));
  MemoryRegistry::SetValue(dialog, "Multi", kRegMultiSz, std::string("a\0b\0\0", 5));
  MemoryRegistry::SetValue(dialog, "Q", kRegQword, std::string(8, '\x07'));
  MemoryRegistry::SetValue(dialog, "Big", kRegDwordBigEndian, DwordBytes(9));
  MemoryRegistry::SetValue(dialog, "None", kRegNone, "");
  MemoryRegistry::SetValue(dialog, "Short", kRegDword, "\x01\x02\x03");
  MemoryRegistry::SetValue(dialog, "表示", kRegSz, SzBytes("値"));
  MemoryRegistry::SetValue(r.Create(JwCadSubkey("UserBar")), "Top", kRegDword, DwordBytes(3));
  MemoryRegistry::SetValue(r.Create(JwCadSubkey("UserBar\\Inner")), "Kept", kRegSz, SzBytes("inner"));
  MemoryRegistry::SetValue(r.Create(JwCadSubkey("ToolBar-Locked")), "Fixed", kRegDword, DwordBytes(4));
  r.Find(JwCadSubkey("ToolBar-Locked"))->writable = false;
  MemoryRegistry::SetValue(r.Create(JwCadSubkey("Recent")), "File1", kRegSz, SzBytes("a.jww"));
  MemoryRegistry::SetValue(r.Create("\\Software\\Other"), "Keep", kRegDword, DwordBytes(6));
}

// A layout that rewrites Dialog and UserBar (which has a subkey), creates
// ToolBar-New and the nested Nest\Deep, cannot touch ToolBar-Locked, and
// comes back to Dialog a second time.
const char kLayout[] =
    "6\r\n"
    "[Dialog]\r\n3\r\nLeft\t120\r\nCaption\t\"new\"\r\n表示\t\"別\"\r\n"
    "[UserBar]\r\n2\r\nTop\t-1\r\nWidth\t300\r\n"
    "[ToolBar-New]\r\n1\r\nShown\t1\r\n"
    "[Nest\\Deep]\r\n1\r\nAt\t\"x\"\r\n"
    "[ToolBar-Locked]\r\n1\r\nFixed\t9\r\n"
    "[dialog]\r\n1\r\nLeft\t7\r\n";

std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (const dirent* e = readdir(d)) {
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string State(MemoryRegistry& r) {
  return r.DumpByName(RegRoot::CurrentUser) + "HKCR\n" + r.DumpByName(RegRoot::ClassesRoot);
}

class SafetyNetTest : public ::testing::Test {
 protected:
  bool Restore(MemoryRegistry& r, const std::string& layout, FileSystem& files, bool fast_path = true) {
    WriteFileBytes(slot_, layout);
    MemoryRegistryStore store(r);
    MemoryWideRegistry wide(r);
    RestoreTarget target{store, wide, files, undo_, fast_path};
    LineList lines;
    return RestoreFromFile(slot_, lines, target);
  }
  bool Restore(MemoryRegistry& r, const std::string& layout = kLayout) {
    return Restore(r, layout, PlatformFiles());
  }
  // The seeded registry's state, and its state after a restore of kLayout.
  void SeededStates(std::string& before, std::string& restored) {
    MemoryRegistry clean;
    Seed(clean);
    before = State(clean);
    ASSERT_TRUE(Restore(clean));
    restored = State(clean);
  }
  bool Undo(MemoryRegistry& r) {
    MemoryWideRegistry wide(r);
    return ApplyUndoFile(undo_, wide);
  }

  ScratchDir dir_;
  std::string slot_ = dir_ / "panestow.rg";
  std::string undo_ = dir_ / "panestow.undo.reg";
};

TEST_F(SafetyNetTest, RestoreWritesTheLayoutAndTheUndoFileGivesBackEveryValueAndKey) {
  MemoryRegistry r;
  Seed(r);
  const std::string before = State(r);
  ASSERT_TRUE(Restore(r));
  const std::string after = State(r);
  // The walk's own result: the first Dialog section rewritten by the
  // second, the subkey of UserBar kept, the locked key untouched.
  EXPECT_NE(after.find("\\Software\\Jw_cad\\jw_win\\Dialog : [Left] type 4"), std::string::npos);
  EXPECT_EQ(after.find("[Caption]"), std::string::npos) << after;
  EXPECT_NE(after.find("UserBar\\Inner : [Kept]"), std::string::npos);
  EXPECT_NE(after.find("Nest\\Deep : [At]"), std::string::npos);
  EXPECT_NE(after.find("ToolBar-Locked : [Fixed] type 4 = \\x04"), std::string::npos);
  ASSERT_TRUE(PathExists(undo_));

  ASSERT_TRUE(Undo(r));
  EXPECT_EQ(State(r), before);
  // An undo writes no new undo file: once more, the same state.
  ASSERT_TRUE(Undo(r));
  EXPECT_EQ(State(r), before);
}

TEST_F(SafetyNetTest, FastPathLeavesWhatTheWalkLeavesInTheSameOrder) {
  MemoryRegistry fast, walk, plain;
  for (MemoryRegistry* r : {&fast, &walk, &plain}) Seed(*r);
  ASSERT_TRUE(Restore(fast));
  MemoryWideRegistry wide(walk);
  {
    WriteFileBytes(slot_, kLayout);
    MemoryRegistryStore store(walk);
    RestoreTarget target{store, wide, PlatformFiles(), "", false};
    LineList lines;
    ASSERT_TRUE(RestoreFromFile(slot_, lines, target));
  }
  LineList lines;
  lines.SetText(kLayout);
  MemoryRegistryStore store(plain);
  ASSERT_TRUE(ApplyLayout(lines, store));
  EXPECT_EQ(State(fast), State(plain));
  EXPECT_EQ(State(walk), State(plain));
}

TEST_F(SafetyNetTest, FastPathCostsFewerRegistryCallsThanTheWalkSnapshotIncluded) {
  MemoryRegistry fast, walk;
  Seed(fast);
  Seed(walk);
  ASSERT_TRUE(Restore(fast));
  ASSERT_TRUE(Restore(walk, kLayout, PlatformFiles(), false));
  EXPECT_LT(fast.operations, walk.operations);
}

// Faults a change passes over by design: a failed removal is ignored, a
// key that cannot be opened or created is skipped with its section, as the
// walk itself does, and a save takes a key it cannot list as empty.
bool PassedOver(const char* operation) {
  const std::string op = operation ? operation : "";
  return op == "RemoveValue" || op == "OpenPath" || op == "WideOpen" || op == "ListSubkeys";
}

TEST_F(SafetyNetTest, ARestoreThatFailsAtAnyRegistryCallLeavesTheRegistryAsItWas) {
  std::string before, restored;
  ASSERT_NO_FATAL_FAILURE(SeededStates(before, restored));
  int failed_runs = 0;
  std::set<std::string> failed_in;
  for (long k = 1;; ++k) {
    MemoryRegistry r;
    Seed(r);
    r.operations = 0;
    r.fail_at = k;
    const bool ok = Restore(r);
    if (r.operations < k) {
      // Ran through without meeting the fault: the sweep is over.
      EXPECT_TRUE(ok);
      EXPECT_EQ(State(r), restored);
      break;
    }
    SCOPED_TRACE("call " + std::to_string(k) + ", " + r.failed);
    if (!ok) {
      ++failed_runs;
      failed_in.insert(r.failed);
      EXPECT_EQ(State(r), before);
    } else if (!PassedOver(r.failed)) {
      EXPECT_EQ(State(r), restored);
    }
  }
  // The faults met the snapshot, the fast path, the walk's path and the
  // writes.
  EXPECT_GT(failed_runs, 20);
  for (const char* op : {"WideOpen", "WideKeyName", "WideCounts", "WideEnumValue", "WideEnumSubkey", "ListValues",
                         "WriteText", "WriteNumber"}) {
    EXPECT_EQ(failed_in.count(op), 1u) << op;
  }
}

TEST_F(SafetyNetTest, AnUndoThatFailsAtAnyRegistryCallLeavesTheRegistryAsItWas) {
  std::string before, restored;
  ASSERT_NO_FATAL_FAILURE(SeededStates(before, restored));
  int failed_runs = 0;
  for (long k = 1;; ++k) {
    MemoryRegistry r;
    Seed(r);
    ASSERT_TRUE(Restore(r));
    r.fail_at = r.operations + k;
    const bool ok = Undo(r);
    if (r.operations < r.fail_at) {
      EXPECT_TRUE(ok);
      EXPECT_EQ(State(r), before);
      break;
    }
    SCOPED_TRACE("call " + std::to_string(k) + ", " + r.failed);
    EXPECT_FALSE(ok);
    EXPECT_EQ(State(r), restored);
    ++failed_runs;
  }
  EXPECT_GT(failed_runs, 20);
}

// The platform's files, with the k-th operation failing.
class FaultyFiles : public FileSystem {
 public:
  explicit FaultyFiles(long fail_at) : fail_at_(fail_at) {}
  long operations = 0;
  bool met() const { return operations >= fail_at_; }
  bool MayReplace(const std::string& path) override { return !Fails() && files_.MayReplace(path); }
  bool CreateTemp(const std::string& path, std::string& temp, Handle& file) override {
    return !Fails() && files_.CreateTemp(path, temp, file);
  }
  bool Write(Handle file, std::string_view bytes) override { return !Fails() && files_.Write(file, bytes); }
  bool FlushAndClose(Handle file) override {
    if (Fails()) {
      files_.Close(file);
      return false;
    }
    return files_.FlushAndClose(file);
  }
  void Close(Handle file) override { files_.Close(file); }
  bool Rename(const std::string& temp, const std::string& path) override {
    return !Fails() && files_.Rename(temp, path);
  }
  bool Remove(const std::string& path) override { return !Fails() && files_.Remove(path); }
  bool IsFile(const std::string& path) override { return !Fails() && files_.IsFile(path); }
  bool Size(const std::string& path, uint64_t& size) override { return !Fails() && files_.Size(path, size); }
  bool Read(const std::string& path, std::string& out) override { return !Fails() && files_.Read(path, out); }
  bool MakeFolder(const std::string& path) override { return !Fails() && files_.MakeFolder(path); }
  bool List(const std::string& folder, std::vector<FolderItem>& items) override {
    return !Fails() && files_.List(folder, items);
  }
  bool Link(const std::string& existing, const std::string& path) override {
    return !Fails() && files_.Link(existing, path);
  }
  bool Busy() override { return false; }
  uint64_t Milliseconds() override { return files_.Milliseconds(); }
  void Pause(uint32_t ms) override { files_.Pause(ms); }

 private:
  bool Fails() { return ++operations == fail_at_; }
  FileSystem& files_ = PlatformFiles();
  long fail_at_;
};

TEST_F(SafetyNetTest, AReadFailureBeforeAnyWriteStopsTheRestoreAndKeepsTheOldUndoFile) {
  // The first value enumeration of the next restore's snapshot fails.
  for (long k = 1; k < 20; ++k) {
    MemoryRegistry r;
    Seed(r);
    ASSERT_TRUE(Restore(r));
    const std::string old_file = ReadFileBytes(undo_);
    const std::string state = State(r);
    r.operations = 0;
    r.fail_at = k;
    const bool ok = Restore(r, "1\r\n[Dialog]\r\n1\r\nLeft\t1\r\n");
    if (!r.failed || r.failed != std::string("WideEnumValue")) continue;
    EXPECT_FALSE(ok);
    EXPECT_EQ(State(r), state);
    EXPECT_EQ(ReadFileBytes(undo_), old_file);
    return;
  }
  ADD_FAILURE() << "the snapshot enumerated no value";
}

TEST_F(SafetyNetTest, AnUndoFileThatIsDamagedOrNamesOtherKeysIsRefusedAndChangesNothing) {
  MemoryRegistry r;
  Seed(r);
  ASSERT_TRUE(Restore(r));
  const std::string state = State(r);
  const std::string good = ReadFileBytes(undo_);
  std::string changed = good;
  changed[changed.size() / 2] ^= 0x20;
  for (const std::string& bytes : {good.substr(0, good.size() / 2), changed, std::string("not a registry file")}) {
    WriteFileBytes(undo_, bytes);
    EXPECT_THROW(Undo(r), Error);
    EXPECT_EQ(State(r), state);
  }
  // A well-made file of keys outside Jw_cad's own key.
  MemoryRegistry other;
  MemoryRegistry::SetValue(other.Create("\\Software\\Other"), "Keep", kRegDword, DwordBytes(6));
  MemoryWideRegistry wide(other);
  Snapshot snapshot;
  int entry;
  ASSERT_TRUE(snapshot.Add(wide, u"Software\\Other", entry));
  ASSERT_TRUE(WriteUndoFile(snapshot, undo_, PlatformFiles()));
  EXPECT_THROW(Undo(r), Error);
  EXPECT_EQ(State(r), state);
  RemoveFile(undo_);
  try {
    Undo(r);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + undo_ + " は開けません");
  }
}


// A registry file's text, in UTF-8.
std::string Text(const std::string& file) {
  WideString text;
  for (size_t i = 2; i + 1 < file.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(file[i]) | static_cast<unsigned char>(file[i + 1]) << 8);
  }
  return ToUtf8(text);
}

// A file that the registry-file reader takes whole.
bool WholeRegFile(const std::string& bytes) {
  struct Any : RegFileVisitor {
    bool DeleteKey(const WideString&) override { return true; }
    bool Key(const WideString&) override { return true; }
    bool Value(const WideValue&) override { return true; }
  } any;
  return ReadRegFile(bytes, any);
}

// Everything a change may touch.
struct World {
  std::string registry;
  std::map<std::string, std::string> files;    // beside the exe: slot files, the undo file
  std::map<std::string, std::string> history;  // the history's files
};

std::map<std::string, std::string> FilesOf(const std::string& folder) {
  std::map<std::string, std::string> out;
  for (const std::string& name : FilesIn(folder)) {
    const std::string path = folder + "/" + name;
    if (name != "panestow.history") out[name] = ReadFileBytes(path);
  }
  return out;
}

// The change kinds swept, each from the same prepared state.
enum class Op { Restore, Undo, PutBackKeys, PutBackSlot, Save };
const char* NameOf(Op op) {
  static const char* const kNames[] = {"restore", "undo", "put-back of keys", "put-back of a slot", "save"};
  return kNames[static_cast<int>(op)];
}

class ChangeSweep : public SafetyNetTest {
 protected:
  std::string history_dir_ = dir_ / "panestow.history";
  std::string slot2_ = dir_ / "panestow.rg2";
  std::string slot3_ = dir_ / "panestow.rg3";

  World Look(MemoryRegistry& r) { return World{State(r), FilesOf(dir_.path()), FilesOf(history_dir_)}; }

  void Clear() {
    for (const std::string& name : FilesIn(history_dir_)) RemoveFile(history_dir_ + "/" + name);
    for (const std::string& name : FilesIn(dir_.path())) RemoveFile(dir_ / name);
  }

  // Jw_cad's keys seeded; slot 2 restored (an undo file and its history
  // entry) and slot 1's file saved over (its old file in the history).
  void Prepare(MemoryRegistry& r) {
    Clear();
    Seed(r);
    WriteFileBytes(slot2_, "2\r\n[Dialog]\r\n1\r\nLeft\t2\r\n[Settings]\r\n1\r\nGrid\t\"2\"\r\n");
    History history(PlatformFiles(), history_dir_);
    {
      MemoryRegistryStore store(r);
      MemoryWideRegistry wide(r);
      RestoreTarget target{store, wide, PlatformFiles(), undo_, true, &history, 2};
      LineList lines;
      ASSERT_TRUE(RestoreFromFile(slot2_, lines, target));
    }
    WriteFileBytes(slot_, "1\r\n[Dialog]\r\n1\r\nLeft\t1\r\n");
    MemoryRegistryStore store(r);
    LineList lines;
    ASSERT_TRUE(CaptureToFile(store, lines, slot_, PlatformFiles(), &history, 1));
    WriteFileBytes(slot3_, kLayout);  // what the restore puts back
  }

  // The newest entry of the history of that kind.
  HistoryEntry Newest(bool keys) {
    for (const HistoryEntry& e : History(PlatformFiles(), history_dir_).Entries()) {
      if (e.HoldsKeys() == keys) return e;
    }
    ADD_FAILURE() << "no entry";
    return HistoryEntry{};
  }

  bool Run(Op op, MemoryRegistry& r, FileSystem& files) {
    History history(files, history_dir_);
    MemoryRegistryStore store(r);
    MemoryWideRegistry wide(r);
    LineList lines;
    try {
      switch (op) {
        case Op::Restore: {
          RestoreTarget target{store, wide, files, undo_, true, &history, 3};
          return RestoreFromFile(slot3_, lines, target);
        }
        case Op::Undo: {
          Keeping keeping{files, &history, ""};
          return ApplyRegFile(undo_, wide, keeping, Change::Undo);
        }
        case Op::PutBackKeys: {
          Keeping keeping{files, &history, undo_};
          return ApplyRegFile(history.PathOf(keys_entry_), wide, keeping, Change::PutBack);
        }
        case Op::PutBackSlot: {
          std::string bytes;
          if (!files.Read(history.PathOf(slot_entry_), bytes)) return false;
          return ReplaceKeepingOld(files, &history, 1, slot_, bytes);
        }
        case Op::Save:
          return CaptureToFile(store, lines, slot_, files, &history, 1);
      }
    } catch (const Error&) {
      // An entry that cannot be read is refused before anything changes.
    }
    return false;
  }

  // The operation's result without faults, from the prepared state.
  World Clean(Op op) {
    MemoryRegistry r;
    Prepare(r);
    Pick();
    EXPECT_TRUE(Run(op, r, PlatformFiles())) << NameOf(op);
    return Look(r);
  }
  void Pick() {
    keys_entry_ = Newest(true);
    slot_entry_ = Newest(false);
  }

  // After a failed run: as before, but for one whole new history entry.
  void ExpectAsBefore(const World& before, const World& now) {
    EXPECT_EQ(now.registry, before.registry);
    EXPECT_EQ(now.files, before.files);
    ExpectAtMostOneEntryMore(before, now);
  }
  void ExpectAtMostOneEntryMore(const World& before, const World& now) {
    size_t more = 0;
    for (const auto& [name, bytes] : now.history) {
      const auto was = before.history.find(name);
      if (was != before.history.end()) {
        EXPECT_EQ(bytes, was->second) << name;
        continue;
      }
      ++more;
      HistoryEntry e;
      ASSERT_TRUE(ParseHistoryName(name, e)) << "not an entry: " << name;
      if (e.HoldsKeys()) {
        EXPECT_TRUE(WholeRegFile(bytes)) << name;
      } else {
        EXPECT_EQ(bytes, before.files.at("panestow.rg")) << name;
      }
    }
    EXPECT_LE(more, 1u);
    for (const auto& [name, bytes] : before.history) EXPECT_EQ(now.history.count(name), 1u) << "lost " << name;
  }

  HistoryEntry keys_entry_, slot_entry_;
};

TEST_F(ChangeSweep, EveryChangeThatFailsAtAnyRegistryCallLeavesEverythingAsItWas) {
  for (Op op : {Op::Restore, Op::Undo, Op::PutBackKeys, Op::Save}) {
    SCOPED_TRACE(NameOf(op));
    const World clean = Clean(op);
    int failed_runs = 0;
    for (long k = 1;; ++k) {
      MemoryRegistry r;
      Prepare(r);
      Pick();
      const World before = Look(r);
      r.operations = 0;
      r.fail_at = k;
      const bool ok = Run(op, r, PlatformFiles());
      const World now = Look(r);
      if (r.operations < k) {
        EXPECT_TRUE(ok);
        EXPECT_EQ(now.registry, clean.registry);
        EXPECT_EQ(now.files, clean.files);
        break;
      }
      SCOPED_TRACE("call " + std::to_string(k) + ", " + r.failed);
      if (!ok) {
        ++failed_runs;
        ExpectAsBefore(before, now);
      } else if (!PassedOver(r.failed)) {
        EXPECT_EQ(now.registry, clean.registry);
        EXPECT_EQ(now.files, clean.files);
        ExpectAtMostOneEntryMore(before, now);
      }
      if (HasFailure()) return;
    }
    EXPECT_GT(failed_runs, 0);
  }
}

TEST_F(ChangeSweep, EveryChangeThatMeetsAFailedFileOperationIsWholeOrNotDone) {
  for (Op op : {Op::Restore, Op::Undo, Op::PutBackKeys, Op::PutBackSlot, Op::Save}) {
    SCOPED_TRACE(NameOf(op));
    const World clean = Clean(op);
    int met = 0;
    for (long k = 1;; ++k) {
      MemoryRegistry r;
      Prepare(r);
      Pick();
      const World before = Look(r);
      FaultyFiles files(k);
      const bool ok = Run(op, r, files);
      const World now = Look(r);
      SCOPED_TRACE("file operation " + std::to_string(k));
      if (!files.met()) {
        EXPECT_TRUE(ok);
        break;
      }
      ++met;
      if (ok) {
        // Done whole: only the history may lack this change's entry.
        EXPECT_EQ(now.registry, clean.registry);
        EXPECT_EQ(now.files, clean.files);
        ExpectAtMostOneEntryMore(before, now);
      } else {
        ExpectAsBefore(before, now);
      }
      EXPECT_LE(now.history.size(), clean.history.size());
      if (HasFailure()) return;
    }
    EXPECT_GE(met, 4);
  }
}

TEST_F(ChangeSweep, WithoutFaultsEachChangeKeepsWhatItReplacedAndTheUndoTakesBackOnlyRestoresAndPutBacks) {
  MemoryRegistry r;
  Prepare(r);
  Pick();
  const World prepared = Look(r);
  // Slot 2's restore and slot 1's save each left an entry.
  ASSERT_EQ(prepared.history.size(), 2u);
  EXPECT_EQ(prepared.history.at(keys_entry_.name), prepared.files.at("panestow.undo.reg"));

  struct Case {
    Op op;
    bool undo_changes;
    Change entry;
  };
  for (const Case& c : {Case{Op::Restore, true, Change::Restore}, Case{Op::Undo, false, Change::Undo},
                        Case{Op::PutBackKeys, true, Change::PutBack}, Case{Op::PutBackSlot, false, Change::Save},
                        Case{Op::Save, false, Change::Save}}) {
    SCOPED_TRACE(NameOf(c.op));
    MemoryRegistry run;
    Prepare(run);
    Pick();
    const World before = Look(run);
    ASSERT_TRUE(Run(c.op, run, PlatformFiles()));
    const World after = Look(run);
    ASSERT_EQ(after.history.size(), before.history.size() + 1);
    const HistoryEntry newest = History(PlatformFiles(), history_dir_).Entries().front();
    EXPECT_EQ(newest.change, c.entry);
    const std::string& kept = after.history.at(newest.name);
    if (c.entry == Change::Save) {
      // The slot's file as it was, byte for byte.
      EXPECT_EQ(kept, before.files.at("panestow.rg"));
    } else {
      // The keys before the change: applied, they give the registry back.
      WriteFileBytes(dir_ / "entry.reg", kept);
      EXPECT_NE(State(run), before.registry);
      MemoryWideRegistry wide(run);
      Keeping none{PlatformFiles(), nullptr, ""};
      EXPECT_TRUE(ApplyRegFile(dir_ / "entry.reg", wide, none, Change::PutBack));
      EXPECT_EQ(State(run), before.registry);
    }
    EXPECT_EQ(after.files.at("panestow.undo.reg") != before.files.at("panestow.undo.reg"), c.undo_changes);
    if (c.undo_changes) EXPECT_EQ(after.files.at("panestow.undo.reg"), kept);
  }
}


TEST_F(SafetyNetTest, OnAnAccountWithoutJwCadTheUndoTakesBackOnlyWhatTheRestoreCreated) {
  const std::string layout = "2\r\n[Dialog]\r\n1\r\nLeft\t1\r\n[Nest\\Deep]\r\n1\r\nAt\t2\r\n";
  MemoryRegistry r;
  MemoryRegistry::SetValue(r.Create("\\Software\\Other"), "Keep", kRegDword, DwordBytes(6));
  ASSERT_TRUE(Restore(r, layout));
  const std::string file = Text(ReadFileBytes(undo_));
  // The deletions start below the Jw_cad key, at what the restore created.
  EXPECT_EQ(file.find("[-HKEY_CURRENT_USER\\Software\\Jw_cad]"), std::string::npos) << file;
  EXPECT_EQ(file.find("[-HKEY_CURRENT_USER\\Software\\Jw_cad\\jw_win]"), std::string::npos) << file;
  EXPECT_NE(file.find("[-HKEY_CURRENT_USER\\Software\\Jw_cad\\jw_win\\Dialog]"), std::string::npos) << file;
  EXPECT_NE(file.find("[-HKEY_CURRENT_USER\\Software\\Jw_cad\\jw_win\\Nest]"), std::string::npos) << file;

  // Jw_cad fills its keys for weeks.
  MemoryRegistry::SetValue(r.Find(JwCadKey()), "Own", kRegDword, DwordBytes(1));
  MemoryRegistry::SetValue(r.Create(JwCadSubkey("Recent")), "File1", kRegSz, SzBytes("a.jww"));
  MemoryRegistry::SetValue(r.Create("\\Software\\Jw_cad\\Beside"), "B", kRegDword, DwordBytes(2));
  ASSERT_TRUE(Undo(r));
  EXPECT_EQ(State(r),
            "\\Software\n"
            "\\Software\\Jw_cad\n"
            "\\Software\\Jw_cad\\Beside\n"
            "\\Software\\Jw_cad\\Beside : [B] type 4 = \\x02\\x00\\x00\\x00\n"
            "\\Software\\Jw_cad\\jw_win\n"
            "\\Software\\Jw_cad\\jw_win : [Own] type 4 = \\x01\\x00\\x00\\x00\n"
            "\\Software\\Jw_cad\\jw_win\\Recent\n"
            "\\Software\\Jw_cad\\jw_win\\Recent : [File1] type 1 = a.jww\\x00\n"
            "\\Software\\Other\n"
            "\\Software\\Other : [Keep] type 4 = \\x06\\x00\\x00\\x00\n"
            "HKCR\n");

  // A rollback follows its restore at once: it leaves no key behind.
  MemoryRegistry fresh;
  MemoryRegistry::SetValue(fresh.Create("\\Software\\Other"), "Keep", kRegDword, DwordBytes(6));
  const std::string empty = State(fresh);
  for (long k = 1; k < 100; ++k) {
    MemoryRegistry failing;
    MemoryRegistry::SetValue(failing.Create("\\Software\\Other"), "Keep", kRegDword, DwordBytes(6));
    failing.operations = 0;
    failing.fail_at = k;
    if (Restore(failing, layout) || failing.failed != std::string("WriteNumber")) continue;
    EXPECT_EQ(State(failing), empty);
    return;
  }
  ADD_FAILURE() << "no write failed";
}

TEST_F(SafetyNetTest, AnUndoFileThatDeletesJwCadsKeyOrAboveIsRefused) {
  MemoryRegistry r;
  Seed(r);
  const std::string state = State(r);
  // As an earlier version wrote them, for a restore that created the keys.
  for (const WideString& key : {WideString(u"Software\\Jw_cad"), WideString(u"Software\\Jw_cad\\jw_win")}) {
    std::string file;
    RegFileWriter writer([&file](std::string_view bytes) {
      file.append(bytes);
      return true;
    });
    ASSERT_TRUE(writer.Begin(u"Panestow") && writer.DeleteKey(key) && writer.Finish());
    WriteFileBytes(undo_, file);
    EXPECT_THROW(Undo(r), Error);
    EXPECT_EQ(State(r), state);
  }
}

TEST_F(SafetyNetTest, ASectionWhoseKeyTheRegistryRefusesIsPassedOverWithItsValues) {
  MemoryRegistry r;
  Seed(r);
  const std::string too_long(300, 'k');
  const std::string layout = "3\r\n[Settings]\r\n1\r\nGrid\t4\r\n[" + too_long + "]\r\n2\r\nA\t1\r\nB\t2\r\n[UserBar]\r\n1\r\nTop\t8\r\n";
  ASSERT_TRUE(Restore(r, layout));
  LineList lines;
  lines.SetText(layout);
  MemoryRegistry plain;
  Seed(plain);
  MemoryRegistryStore store(plain);
  ASSERT_TRUE(ApplyLayout(lines, store));
  EXPECT_EQ(State(r), State(plain));
  EXPECT_NE(State(r).find("Settings : [Grid] type 4 = \\x04"), std::string::npos);
  EXPECT_NE(State(r).find("UserBar : [Top] type 4 = \\x08"), std::string::npos);
}

// The undo file cannot be written where it is, while the history can.
class UndoFileRefused : public FaultyFiles {
 public:
  explicit UndoFileRefused(bool removal_too) : FaultyFiles(0), removal_too_(removal_too) {}
  bool CreateTemp(const std::string& path, std::string& temp, Handle& file) override {
    return !Undo(path) && FaultyFiles::CreateTemp(path, temp, file);
  }
  bool Link(const std::string& existing, const std::string& path) override {
    return !Undo(path) && FaultyFiles::Link(existing, path);
  }
  bool Remove(const std::string& path) override { return !(removal_too_ && Undo(path)) && FaultyFiles::Remove(path); }
  bool Rename(const std::string& temp, const std::string& path) override {
    return !(removal_too_ && Undo(temp)) && FaultyFiles::Rename(temp, path);
  }

 private:
  static bool Undo(const std::string& path) { return path.find(".undo.reg") != std::string::npos; }
  bool removal_too_;
};

TEST_F(SafetyNetTest, ARestoreThatCannotWriteItsUndoFileLeavesNoOlderOneStanding) {
  const std::string history_dir = dir_ / "panestow.history";
  struct Case {
    const char* what;
    bool old_in_history;  // the older undo file's entry is in the history
    bool removal_fails;
    UndoFile result;
    size_t entries;  // afterwards
  };
  for (const Case& c : {Case{"kept already", true, false, UndoFile::None, 2},
                        Case{"moved into the history", false, false, UndoFile::None, 2},
                        Case{"cannot be taken away", true, true, UndoFile::Stale, 2}}) {
    SCOPED_TRACE(c.what);
    for (const std::string& name : FilesIn(history_dir)) RemoveFile(history_dir + "/" + name);
    MemoryRegistry r;
    Seed(r);
    History history(PlatformFiles(), history_dir);
    {
      MemoryRegistryStore store(r);
      MemoryWideRegistry wide(r);
      WriteFileBytes(slot_, "1\r\n[Settings]\r\n1\r\nGrid\t1\r\n");
      RestoreTarget target{store, wide, PlatformFiles(), undo_, true, c.old_in_history ? &history : nullptr, 2};
      LineList lines;
      ASSERT_TRUE(RestoreFromFile(slot_, lines, target));
    }
    const std::string old_undo = ReadFileBytes(undo_);
    UndoFileRefused files(c.removal_fails);
    MemoryRegistryStore store(r);
    MemoryWideRegistry wide(r);
    WriteFileBytes(slot_, kLayout);
    RestoreTarget target{store, wide, files, undo_, true, &history, 1};
    LineList lines;
    ASSERT_TRUE(RestoreFromFile(slot_, lines, target));
    EXPECT_EQ(target.undo, c.result);
    EXPECT_EQ(PathExists(undo_), c.removal_fails);
    // This restore's entry, and the older undo file, named for what it was.
    std::map<int, std::string> by_slot;
    for (const HistoryEntry& e : history.Entries()) {
      EXPECT_EQ(e.change, Change::Restore);
      by_slot[e.slot] = ReadFileBytes(history.PathOf(e));
    }
    ASSERT_EQ(by_slot.size(), c.entries);
    EXPECT_EQ(by_slot[2], old_undo);
    EXPECT_TRUE(WholeRegFile(by_slot[1]));
    RemoveFile(undo_);
  }
}

}  // namespace
}  // namespace panestow::test
