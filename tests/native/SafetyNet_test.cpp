// The safety net around a restore, over the in-memory registry: a restore
// that fails anywhere leaves the registry as it was; the undo file gives
// back the state before the restore; writing that file never leaves half
// of one. Each is swept over every registry or file operation in turn.
#include "layout/Restore.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <set>

#include "layout/LayoutFile.h"
#include "layout/Undo.h"
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

// Faults a restore passes over by design: a failed removal is ignored, and
// a key that cannot be created is skipped, as the walk itself does.
bool PassedOver(const char* operation) {
  const std::string op = operation ? operation : "";
  return op == "RemoveValue" || op == "OpenPath";
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

 private:
  bool Fails() { return ++operations == fail_at_; }
  FileSystem& files_ = PlatformFiles();
  long fail_at_;
};

TEST_F(SafetyNetTest, AnUndoFileThatFailsAtAnyFileOperationIsTheOldOneOrTheNewOneWhole) {
  // The old undo file is one of an earlier restore; the new one is what a
  // restore that meets no fault writes.
  const std::string second = "1\r\n[Settings]\r\n1\r\nGrid\t4\r\n";
  MemoryRegistry clean;
  Seed(clean);
  ASSERT_TRUE(Restore(clean));
  const std::string old_file = ReadFileBytes(undo_);
  ASSERT_TRUE(Restore(clean, second));
  const std::string new_file = ReadFileBytes(undo_);
  const std::string restored = State(clean);
  ASSERT_NE(old_file, new_file);

  int met = 0;
  for (long k = 1;; ++k) {
    MemoryRegistry r;
    Seed(r);
    ASSERT_TRUE(Restore(r));
    ASSERT_EQ(ReadFileBytes(undo_), old_file);
    FaultyFiles files(k);
    SCOPED_TRACE("file operation " + std::to_string(k));
    // The restore goes on whatever becomes of its undo file.
    EXPECT_TRUE(Restore(r, second, files));
    EXPECT_EQ(State(r), restored);
    const std::string now = ReadFileBytes(undo_);
    EXPECT_TRUE(now == old_file || now == new_file);
    EXPECT_EQ(FilesIn(dir_.path()), (std::vector<std::string>{"panestow.rg", "panestow.undo.reg"}))
        << "a temporary file was left behind";
    if (!files.met()) break;
    ++met;
  }
  EXPECT_GE(met, 4);  // may replace, temp file, write, flush, rename
}

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

}  // namespace
}  // namespace panestow::test
