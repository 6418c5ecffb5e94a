// The history folder: its entries' names, their order, its limits, and
// what it leaves alone.
#include "app/History.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

using ::testing::ElementsAre;

TEST(HistoryNames, OnlyTheNameFormIsAnEntry) {
  struct Case {
    const char* name;
    bool entry;
    Change change;
    int slot;
  };
  const Case cases[] = {
      {"000001-20261211-140512-restore1.reg", true, Change::Restore, 1},
      {"000002-20261211-140512-restore4.reg", true, Change::Restore, 4},
      {"000003-20261211-140512-undo.reg", true, Change::Undo, 0},
      {"000004-20261211-140512-history.reg", true, Change::PutBack, 0},
      {"000005-20261211-140512-slot3.rg", true, Change::Save, 3},
      {"1234567-20261211-140512-slot1.rg", true, Change::Save, 1},  // a sequence past six digits
      {"000006-20261211-140512-restore5.reg", false},
      {"000006-20261211-140512-restore0.reg", false},
      {"000006-20261211-140512-slot1.reg", false},  // a slot's file is .rg
      {"000006-20261211-140512-restore1.rg", false},
      {"000006-20261211-140512-undo.rg", false},
      {"000006-20261211-140512-RESTORE1.REG", false},
      {"000006-20261211-140512-restore1.reg.tmp", false},
      {"000006-20261211-140512-restore1", false},
      {"00006-20261211-140512-restore1.reg", false},
      {"000006-2026121-140512-restore1.reg", false},
      {"000006-20261211-14051-restore1.reg", false},
      {"000006_20261211_140512_restore1.reg", false},
      {"x00006-20261211-140512-restore1.reg", false},
      {"000006-20261211-140512-", false},
      {"000006-20261211", false},
      {"readme.txt", false},
      {"pst1A2B.tmp", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HistoryEntry e;
    ASSERT_EQ(ParseHistoryName(c.name, e), c.entry);
    if (!c.entry) continue;
    EXPECT_EQ(e.change, c.change);
    EXPECT_EQ(e.slot, c.slot);
    EXPECT_EQ(e.name, c.name);
    // What is written parses back to the same name.
    EXPECT_EQ(HistoryName(e.sequence, e.time, e.change, e.slot), c.name);
  }
}

TEST(HistoryNames, TheListShowsTheDateTimeAndWhatTheEntryKeeps) {
  const LocalTime t{2026, 12, 1, 4, 5, 9};
  struct Case {
    Change change;
    int slot;
    const char* line;
  };
  const Case cases[] = {
      {Change::Restore, 2, "2026/12/01 04:05:09  【設定２】を戻す前のレイアウト"},
      {Change::Undo, 0, "2026/12/01 04:05:09  取り消す前のレイアウト"},
      {Change::PutBack, 0, "2026/12/01 04:05:09  履歴から戻す前のレイアウト"},
      {Change::Save, 3, "2026/12/01 04:05:09  上書き前の【設定３】"},
  };
  for (const Case& c : cases) {
    HistoryEntry e;
    ASSERT_TRUE(ParseHistoryName(HistoryName(7, t, c.change, c.slot), e));
    EXPECT_EQ(HistoryLine(e), c.line);
  }
  EXPECT_EQ(HistoryName(1, t, Change::Restore, 5), "");
  // What the start-up check counts on.
  EXPECT_EQ(HistoryName(9999999, t, Change::Restore, 1).size(), kLongestHistoryName);
}

class HistoryTest : public ::testing::Test {
 protected:
  // An entry file of `size` bytes, made sparse so that size costs nothing.
  void Put(const std::string& name, uint64_t size = 10) {
    WriteFileBytes(dir_ / name, std::string(size < 10 ? size : 10, 'x'));
    if (size > 10) ASSERT_EQ(truncate((dir_ / name).c_str(), static_cast<off_t>(size)), 0);
  }
  // Adds an entry as a change would: a name, then a file of that size.
  std::string Add(History& history, Change change, int slot, uint64_t size = 10) {
    std::string path;
    EXPECT_TRUE(history.NewEntry(change, slot, path));
    const std::string name = path.substr(path.rfind('/') + 1);
    Put(name, size);
    return name;
  }
  std::vector<std::string> Names(History& history) {
    std::vector<std::string> names;
    for (const HistoryEntry& e : history.Entries()) names.push_back(e.name);
    return names;
  }

  ScratchDir dir_;
  LocalTime now_{2026, 12, 11, 14, 5, 12};
  History history_{PlatformFiles(), dir_.path(), [this] { return now_; }};
};

TEST_F(HistoryTest, EntriesGoBySequenceNewestFirstWithTheClockSetBack) {
  EXPECT_TRUE(history_.Entries().empty());
  const std::string first = Add(history_, Change::Restore, 1);
  now_ = LocalTime{2025, 1, 2, 3, 4, 5};  // set back a year
  const std::string second = Add(history_, Change::Save, 2);
  now_ = LocalTime{2024, 6, 7, 8, 9, 10};
  const std::string third = Add(history_, Change::Undo, 0);
  EXPECT_EQ(first, "000001-20261211-140512-restore1.reg");
  EXPECT_EQ(second, "000002-20250102-030405-slot2.rg");
  EXPECT_EQ(third, "000003-20240607-080910-undo.reg");
  EXPECT_THAT(Names(history_), ElementsAre(third, second, first));

  // One above the highest present, gaps and all.
  Put("000041-20200101-000000-history.reg");
  EXPECT_EQ(Add(history_, Change::Restore, 3), "000042-20240607-080910-restore3.reg");
  EXPECT_EQ(history_.Entries().front().size, 10u);
}

TEST_F(HistoryTest, TrimKeepsTheNewestThirtyAndLeavesOtherFilesAlone) {
  // Files that are not entries: never listed, never counted, never removed.
  const std::vector<std::string> junk = {"readme.txt", "000001-20261211-140512-restore9.reg",
                                         "999999-20261211-140512-slot1.reg", "pst12.tmp"};
  for (const std::string& name : junk) Put(name);
  ASSERT_EQ(mkdir((dir_ / "000500-20261211-140512-slot1.rg").c_str(), 0755), 0);  // a folder
  std::vector<std::string> added;
  for (int i = 0; i < 33; ++i) {
    added.push_back(Add(history_, Change::Restore, i % 4 + 1));
    history_.Trim();
  }
  const std::vector<std::string> names = Names(history_);
  ASSERT_EQ(names.size(), History::kMaxEntries);
  EXPECT_EQ(names.front(), added.back());
  EXPECT_EQ(names.back(), added[3]);
  EXPECT_FALSE(PathExists(dir_ / added[2]));
  for (const std::string& name : junk) EXPECT_TRUE(PathExists(dir_ / name)) << name;
  EXPECT_TRUE(PathExists(dir_ / "000500-20261211-140512-slot1.rg"));
  // The folder named like an entry did not raise the sequence either.
  EXPECT_EQ(added.front().substr(0, 6), "000001");
}

TEST_F(HistoryTest, TrimKeepsAtMost64MegabytesButAlwaysTheNewest) {
  constexpr uint64_t kMB = 1 << 20;
  const std::string a = Add(history_, Change::Restore, 1, 20 * kMB);
  const std::string b = Add(history_, Change::Restore, 2, 20 * kMB);
  const std::string c = Add(history_, Change::Restore, 3, 20 * kMB);
  history_.Trim();
  EXPECT_THAT(Names(history_), ElementsAre(c, b, a));  // 60 MB
  const std::string d = Add(history_, Change::Save, 1, 4 * kMB + 1);
  history_.Trim();
  // 64 MB and a byte: the oldest goes, however small the newer ones.
  EXPECT_THAT(Names(history_), ElementsAre(d, c, b));
  const std::string e = Add(history_, Change::Restore, 4, 1);
  history_.Trim();
  EXPECT_THAT(Names(history_), ElementsAre(e, d, c, b));
  // An entry bigger than the limit on its own is kept as the newest, alone.
  const std::string huge = Add(history_, Change::Restore, 1, 65 * kMB);
  history_.Trim();
  EXPECT_THAT(Names(history_), ElementsAre(huge));
}

TEST_F(HistoryTest, AFolderThatCannotBeMadeGivesNoEntryAndNoList) {
  // A file where the folder would be, and a folder below a missing one.
  WriteFileBytes(dir_ / "panestow.history", "not a folder");
  for (const std::string& folder : {dir_ / "panestow.history", dir_ / "missing/panestow.history"}) {
    History history(PlatformFiles(), folder);
    std::string path;
    EXPECT_FALSE(history.NewEntry(Change::Restore, 1, path));
    EXPECT_TRUE(history.Entries().empty());
    history.Trim();
  }
  EXPECT_EQ(ReadFileBytes(dir_ / "panestow.history"), "not a folder");
}

// A file system whose every CreateTemp, Rename and Link meets a busy file
// for the first `busy` tries, with a clock that only the pauses move.
class BusyFiles : public FileSystem {
 public:
  explicit BusyFiles(int busy) : busy_left_(busy) {}
  int tries = 0;
  uint64_t waited = 0;
  bool MayReplace(const std::string& path) override { return files_.MayReplace(path); }
  bool IsFile(const std::string& path) override { return files_.IsFile(path); }
  bool Size(const std::string& path, uint64_t& size) override { return files_.Size(path, size); }
  bool CreateTemp(const std::string& path, std::string& temp, Handle& file) override {
    return Held() && files_.CreateTemp(path, temp, file);
  }
  bool Write(Handle file, std::string_view bytes) override { return files_.Write(file, bytes); }
  bool FlushAndClose(Handle file) override { return files_.FlushAndClose(file); }
  void Close(Handle file) override { files_.Close(file); }
  bool Rename(const std::string& temp, const std::string& path) override {
    return Held() && files_.Rename(temp, path);
  }
  bool Remove(const std::string& path) override { return files_.Remove(path); }
  bool Read(const std::string& path, std::string& out) override { return files_.Read(path, out); }
  bool MakeFolder(const std::string& path) override { return files_.MakeFolder(path); }
  bool List(const std::string& folder, std::vector<FolderItem>& items) override { return files_.List(folder, items); }
  bool Link(const std::string& existing, const std::string& path) override {
    return Held() && files_.Link(existing, path);
  }
  bool Busy() override { return busy_; }
  uint64_t Milliseconds() override { return waited; }
  void Pause(uint32_t ms) override { waited += ms; }

 private:
  // False, busy, while the other program still holds the file.
  bool Held() {
    ++tries;
    busy_ = busy_left_ > 0;
    if (busy_) --busy_left_;
    return !busy_;
  }
  FileSystem& files_ = PlatformFiles();
  int busy_left_;
  bool busy_ = false;
};

TEST(FileRetry, AFileHeldForAMomentIsWaitedForAndOneHeldLongerFailsAsBefore) {
  ScratchDir dir;
  const std::string path = dir / "panestow.rg";
  WriteFileBytes(path, "old");
  {
    // Held for the first few tries: waited for.
    BusyFiles files(3);
    AtomicFile file(files, path);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("new"));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_GT(files.waited, 0u);
  }
  {
    // Held for good: given up after about a second, the old file whole.
    BusyFiles files(1 << 20);
    AtomicFile file(files, path);
    EXPECT_FALSE(file.Open());
    EXPECT_LE(files.waited, kBusyWaitMs);
    EXPECT_GE(files.waited, kBusyWaitMs - 100);
    EXPECT_EQ(ReadFileBytes(path), "new");
  }
  {
    // A file held only at the rename.
    struct HeldAtRename : BusyFiles {
      HeldAtRename() : BusyFiles(0) {}
      bool Rename(const std::string&, const std::string&) override {
        ++renames;
        return false;
      }
      bool Busy() override { return true; }
      int renames = 0;
    } files;
    AtomicFile file(files, path);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("newer"));
    EXPECT_FALSE(file.Commit());
    EXPECT_GT(files.renames, 3);
    EXPECT_LE(files.waited, kBusyWaitMs);
    EXPECT_EQ(ReadFileBytes(path), "new");
  }
  // Nothing was left behind.
  std::vector<FolderItem> items;
  ASSERT_TRUE(PlatformFiles().List(dir.path(), items));
  EXPECT_EQ(items.size(), 1u);
}

TEST(FileRetry, AFailureThatIsNotABusyFileFailsAtOnce) {
  ScratchDir dir;
  struct Refused : BusyFiles {
    Refused() : BusyFiles(0) {}
    bool Rename(const std::string&, const std::string&) override {
      ++renames;
      return false;
    }
    bool Busy() override { return false; }  // say, a read-only file
    int renames = 0;
  } files;
  AtomicFile file(files, dir / "panestow.rg");
  ASSERT_TRUE(file.Open());
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(files.renames, 1);
  EXPECT_EQ(files.waited, 0u);
}

}  // namespace
}  // namespace panestow::test
