// The windows' handlers over a registry in memory and hosts that record
// what the window system was asked to do.
#include "ui/Unit1.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "layout/LayoutFile.h"
#include "registry/MemoryRegistryStore.h"
#include "tests/common/LayoutFixture.h"
#include "tests/common/RecordingHosts.h"
#include "tests/common/TestFiles.h"

namespace panestow::test {
namespace {

using ::testing::ElementsAre;

const char kConfirmRestore[] =
    "Jw_cadは全て終了しておいて下さい。\r\n\r\n以前保存したJw_cad画面レイアウトに戻しますか？";
const char kRestoredInfo[] = "Jw_cad画面レイアウトファイルを読み込みました。\r\n\r\nJw_cadを起動してみてください。";
const char kStatusOk[] = "Jw_cad画面レイアウトファイルを読み込みました。";
const char kStatusFailed[] = "Jw_cad画面レイアウトファイルが読み込めませんでした。";

class WindowsTest : public ::testing::Test {
 protected:
  WindowsTest() {
    main_host_.exe = dir_ / "Panestow.exe";
    main_host_.command_line = "\"" + main_host_.exe + "\"";
  }
  std::string File(const char* ext) { return dir_ / (std::string("Panestow") + ext); }
  // A layout file for the slot that writes Dialog\Left = value.
  void SaveSlotFile(const char* ext, int value) {
    WriteFileBytes(File(ext), "1\r\n[Dialog]\r\n1\r\nLeft\t" + std::to_string(value) + "\r\n");
  }
  std::string Left() {
    MemoryRegistry::Key* key = registry_.Find(JwCadSubkey("Dialog"));
    const RegValue* v = key ? MemoryRegistry::FindValue(key, "Left") : nullptr;
    return v ? std::to_string(static_cast<unsigned char>(v->data[0])) : "none";
  }
  void Show(const std::string& args) {
    main_host_.command_line += args;
    form1_.FormShow();
  }
  // The journal from the command-line step on (after the status is cleared).
  std::vector<std::string> AfterStartUp() {
    auto& l = journal_.lines;
    auto it = std::find(l.begin(), l.end(), "status ");
    return std::vector<std::string>(it == l.end() ? l.begin() : it + 1, l.end());
  }

  StoreMaker MemoryStores() {
    return [this] { return std::make_unique<MemoryRegistryStore>(registry_); };
  }
  WideMaker MemoryWide() {
    return [this] { return std::make_unique<MemoryWideRegistry>(registry_); };
  }

  ScratchDir dir_;
  MemoryRegistry registry_;
  RecordedWindows windows_{MemoryStores(), MemoryWide()};
  Journal& journal_ = windows_.journal;
  RecordingSaveHost& save_host_ = windows_.save_host;
  RecordingMainHost& main_host_ = windows_.main_host;
  TForm2& form2_ = windows_.form2;
  TForm1& form1_ = windows_.form1;
};

TEST_F(WindowsTest, FirstShowDerivesPathsAppliesSettingsThenCaptionsThenStatus) {
  WriteFileBytes(File(".ini"),
                 "[Form]\r\nF1_X=0x20\r\nF1_Y=-8\r\nF1_W=abc\r\nF1_H=\r\nF2_X=$10\r\n"
                 "[Sets]\r\nTit1=\"新しい\"\r\nTit3=\"\"\r\n");
  Show("");
  EXPECT_EQ(form1_.IniPath, File(".ini"));
  EXPECT_EQ(form1_.SlotPath1, File(".rg"));
  EXPECT_EQ(form1_.SlotPath2, File(".rg2"));
  EXPECT_EQ(form1_.SlotPath4, File(".rg4"));
  EXPECT_THAT(journal_.lines,
              ElementsAre("left 32", "top -8", "width 0", "save left 16", "title 1 新しい",
                          "caption 1 新しい", std::string("caption 2 ") + kDesignTitles[1],
                          std::string("caption 3 ") + kDesignTitles[2], std::string("caption 4 ") + kDesignTitles[3],
                          "status "));
  EXPECT_EQ(main_host_.restore_width, 72);  // the narrowest window, 112 wide: 96 - 24
}

TEST_F(WindowsTest, CloseWritesWhatTheWindowsHoldAndTheNextStartReadsItBack) {
  Show("");
  main_host_.bounds = WindowBounds{612, 80, 260, 250};
  save_host_.left = 300;
  save_host_.top = 200;
  save_host_.titles[2] = "";
  save_host_.titles[1] = "\"quoted\" title";
  form1_.FormClose();
  EXPECT_EQ(ReadFileBytes(File(".ini")),
            "[Form]\r\nF1_X=612\r\nF1_Y=80\r\nF1_W=260\r\nF1_H=250\r\nF2_X=300\r\nF2_Y=200\r\n[Sets]\r\n"
            "Tit1=\"【設定１】でレイアウトを戻す\"\r\nTit2=\"\"quoted\" title\"\r\nTit3=\"\"\r\n"
            "Tit4=\"【設定４】でレイアウトを戻す\"\r\n");

  RecordedWindows again(MemoryStores(), MemoryWide());
  RecordingMainHost& main = again.main_host;
  RecordingSaveHost& save = again.save_host;
  main.exe = main_host_.exe;
  again.form1.FormShow();
  EXPECT_EQ(main.bounds.left, 612);
  EXPECT_EQ(main.bounds.width, 260);
  EXPECT_EQ(save.top, 200);
  EXPECT_EQ(save.titles[1], "\"quoted\" title");
  EXPECT_EQ(save.titles[2], kDesignTitles[2]) << "a cleared title reads as absent";
}

TEST_F(WindowsTest, ResizeKeepsRestoreButtonsAtLeast64Wide) {
  for (auto [client, button] : {std::pair{204, 180}, {88, 64}, {89, 65}, {60, 64}, {400, 376}}) {
    main_host_.bounds.width = client + 16;
    form1_.FormResize();
    EXPECT_EQ(main_host_.restore_width, button) << client;
  }
}

TEST_F(WindowsTest, RestoreButtonsCheckTheFileConfirmRestoreAndReport) {
  Show("");
  main_host_.status = "previous";
  journal_.lines.clear();
  // No file: a beep, the slot's warning, and the status label as it was.
  form1_.Button3Click();
  EXPECT_THAT(journal_.lines, ElementsAre("beep 65535", std::string("dialog warning 4: ") +
                                                             "Jw_cad画面レイアウトは［設定２］で保存されていません。"));
  EXPECT_EQ(form1_.LayoutPath, File(".rg2"));
  EXPECT_EQ(main_host_.status, "previous");

  // Declined: nothing happens.
  SaveSlotFile(".rg", 7);
  journal_.lines.clear();
  journal_.answers = {DialogResult::No};
  form1_.Button2Click();
  EXPECT_THAT(journal_.lines, ElementsAre(std::string("dialog confirmation 3: ") + kConfirmRestore));
  EXPECT_EQ(Left(), "none");
  journal_.answers = {DialogResult::Cancel};
  form1_.Button2Click();
  EXPECT_EQ(Left(), "none");

  // Confirmed: the status text, then the information.
  journal_.lines.clear();
  form1_.Button2Click();
  EXPECT_THAT(journal_.lines, ElementsAre(std::string("dialog confirmation 3: ") + kConfirmRestore,
                                          std::string("status ") + kStatusOk,
                                          std::string("dialog information 4: ") + kRestoredInfo));
  EXPECT_EQ(Left(), "7");

  // A restore that fails reports on the status label only.
  WriteFileBytes(File(".rg4"), "1\r\n[Dialog]\r\n1\r\n" + std::string(16384, 'n') + "\t1\r\n");
  journal_.lines.clear();
  form1_.Button5Click();
  EXPECT_THAT(journal_.lines, ElementsAre(std::string("dialog confirmation 3: ") + kConfirmRestore,
                                          std::string("status ") + kStatusFailed));
}

TEST_F(WindowsTest, SaveButtonOpensTheSaveWindowOnlyAfterYesAndRefreshesCaptions) {
  Show("");
  journal_.lines.clear();
  journal_.answers = {DialogResult::No};
  form1_.Button1Click();
  EXPECT_THAT(journal_.lines,
              ElementsAre("dialog confirmation 3: Jw_cadは全て終了しておいて下さい。\r\n\r\nよろしいですか？"));

  journal_.lines.clear();
  main_host_.during_modal = [&] { save_host_.titles[1] = "edited, not saved"; };
  form1_.Button1Click();
  EXPECT_THAT(journal_.lines, ::testing::Contains("save window"));
  EXPECT_THAT(journal_.lines, ::testing::Contains("caption 2 edited, not saved"));
}

TEST_F(WindowsTest, SaveButtonsCaptureIntoTheirSlotAndAFailedSaveKeepsTheOldFile) {
  Show("");
  MemoryRegistry::SetValue(registry_.Create(JwCadSubkey("Dialog")), "Left", kRegDword, DwordBytes(9));
  journal_.lines.clear();
  form2_.Button3Click();
  EXPECT_EQ(form2_.SavePath, File(".rg3"));
  EXPECT_EQ(ReadFileBytes(File(".rg3")), "1\r\n[Dialog]\r\n1\r\nLeft\t9\r\n");
  EXPECT_THAT(journal_.lines,
              ElementsAre("dialog information 4: Jw_cad画面レイアウトファイルを保存しました。"));

  // A value that cannot be read fails the capture: the error, and slot 3's
  // file stays as it was.
  MemoryRegistry::SetValue(registry_.Create(JwCadSubkey("UserBar")), "Wide", kRegDword,
                           std::string(8, '\x01'));
  journal_.lines.clear();
  form2_.Button3Click();
  EXPECT_THAT(journal_.lines,
              ElementsAre("dialog error 4: Jw_cad画面レイアウトファイルが保存出来ませんでした。"));
  EXPECT_EQ(ReadFileBytes(File(".rg3")), "1\r\n[Dialog]\r\n1\r\nLeft\t9\r\n");

  form2_.Button5Click();
  EXPECT_EQ(journal_.lines.back(), "save close");
}

// What each first argument does, with slot 2's file present and slot 3's not.
TEST_F(WindowsTest, CommandLineModes) {
  struct Case {
    const char* args;
    std::vector<std::string> then;  // the journal after start-up
  };
  const std::string confirm = std::string("dialog confirmation 3: ") + kConfirmRestore;
  const std::string ok = std::string("status ") + kStatusOk;
  const std::string info = std::string("dialog information 4: ") + kRestoredInfo;
  const std::string warn3 = "dialog warning 4: Jw_cad画面レイアウトは［設定３］で保存されていません。";
  const Case cases[] = {
      {"", {}},
      {" 2", {confirm, ok, info, "close"}},
      {" 02", {confirm, ok, info, "close"}},
      {" 3", {"beep 65535", warn3, "close"}},
      {" S2", {ok, "close"}},
      {" s2", {ok, "close"}},
      {" S02", {ok, "close"}},
      {" S3", {}},
      {" J3", {}},
      {" 0", {}}, {" 5", {}}, {" -1", {}}, {" X", {}}, {" S", {}}, {" S0", {}}, {" S5", {}},
      {" S2x", {}}, {" J", {}}, {" J0", {}}, {" J5", {}},
      {" \"\" S2", {ok, "close"}},
  };
  for (const Case& c : cases) {
    journal_.lines.clear();
    registry_ = MemoryRegistry();
    SaveSlotFile(".rg2", 2);
    main_host_.command_line = "\"" + main_host_.exe + "\"";
    Show(c.args);
    EXPECT_EQ(AfterStartUp(), c.then) << c.args;
    EXPECT_EQ(Left(), c.then.empty() || c.then[0] == "beep 65535" ? "none" : "2") << c.args;
  }
}

TEST_F(WindowsTest, ConfirmedModeClosesAlsoWhenDeclined) {
  SaveSlotFile(".rg2", 2);
  journal_.answers = {DialogResult::No};
  Show(" 2");
  EXPECT_THAT(AfterStartUp(), ElementsAre(std::string("dialog confirmation 3: ") + kConfirmRestore, "close"));
  EXPECT_EQ(Left(), "none");
}

TEST_F(WindowsTest, SilentModeSetsLayoutPathOnlyForASlotInRange) {
  Show(" S3");
  EXPECT_EQ(form1_.LayoutPath, File(".rg3"));
  TForm1 other(main_host_, form2_);
  main_host_.command_line = "p.exe S7";
  other.FormShow();
  EXPECT_EQ(other.LayoutPath, "");
}

TEST_F(WindowsTest, LaunchModeRestoresThenStartsTheRegisteredProgram) {
  SaveSlotFile(".rg", 1);
  MemoryRegistry::SetValue(registry_.Create(registry_.Root(RegRoot::ClassesRoot), kOpenCommandKeyPath),
                           "", kRegSz, SzBytes("C:\\JWW\\Jw_win.exe \"%1\""));
  Show(" J1 a.jww \"b c.jww\"");
  EXPECT_THAT(AfterStartUp(),
              ElementsAre(std::string("status ") + kStatusOk,
                          "shell OPEN|\"C:\\JWW\\Jw_win.exe\"|\"a.jww\" \"b c.jww\"|\"C:\\JWW\\Jw_win.exe\"|5", "close"));
  EXPECT_EQ(Left(), "1");
}

TEST_F(WindowsTest, LaunchModeFallsBackWhenNoTextCommandIsRegistered) {
  SaveSlotFile(".rg", 1);
  // A default value that is not text reads as no command at all.
  MemoryRegistry::SetValue(registry_.Create(registry_.Root(RegRoot::ClassesRoot), kOpenCommandKeyPath),
                           "", kRegDword, DwordBytes(1));
  Show(" j1");
  EXPECT_THAT(AfterStartUp(), ElementsAre(std::string("status ") + kStatusOk,
                                          "shell OPEN|\"C:\\JWW\\Jw_win.exe\"||\"C:\\JWW\\Jw_win.exe\"|5", "close"));
  EXPECT_EQ(form1_.ReadOpenCommand(), "");
}

const char kRunningWarning[] =
    "dialog warning 11: Jw_cadが起動中です。\r\n\r\nJw_cadは終了する時に画面レイアウトを書き込みます。このまま続けますか？";

TEST_F(WindowsTest, JwCadStillRunningIsWarnedAboutBeforeEachConfirmation) {
  Show("");
  SaveSlotFile(".rg", 7);
  const std::string confirm_save = "dialog confirmation 3: Jw_cadは全て終了しておいて下さい。\r\n\r\nよろしいですか？";
  const std::string confirm_restore = std::string("dialog confirmation 3: ") + kConfirmRestore;
  const struct {
    const char* what;
    std::vector<std::string> running;
    std::deque<DialogResult> answers;
    bool restore;  // the restore button of slot 1, else the save button
    std::vector<std::string> journal;
  } cases[] = {
      {"save, not running", {"explorer.exe"}, {DialogResult::No}, false, {confirm_save}},
      {"save, running, No", {"explorer.exe", "JW_WIN.EXE"}, {DialogResult::No}, false,
       {kRunningWarning}},
      {"save, running, Yes", {"jw_win.exe"}, {DialogResult::Yes, DialogResult::No}, false,
       {kRunningWarning, confirm_save}},
      {"restore, running, closed", {"Jw_win.exe"}, {DialogResult::Cancel}, true, {kRunningWarning}},
      {"restore, running, Yes", {"Jw_win.exe"}, {DialogResult::Yes, DialogResult::No}, true,
       {kRunningWarning, confirm_restore}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    journal_.lines.clear();
    main_host_.running = c.running;
    journal_.answers = c.answers;
    if (c.restore) {
      form1_.Button2Click();
    } else {
      form1_.Button1Click();
    }
    EXPECT_EQ(journal_.lines, c.journal);
  }
  EXPECT_EQ(Left(), "none") << "nothing was restored";

  // Jw_cad is the program its open command names.
  MemoryRegistry::SetValue(registry_.Create(registry_.Root(RegRoot::ClassesRoot), kOpenCommandKeyPath), "", kRegSz,
                           SzBytes("\"C:\\Program Files\\Jw\\jw_cad.exe\" \"%1\""));
  for (const auto& [running, warned] : {std::pair{"Jw_win.exe", false}, {"JW_CAD.EXE", true}}) {
    journal_.lines.clear();
    main_host_.running = {running};
    journal_.answers = {DialogResult::No, DialogResult::No};
    form1_.Button2Click();
    EXPECT_EQ(journal_.lines.front() == kRunningWarning, warned) << running;
  }
}

TEST_F(WindowsTest, OpenCommandThatMayOnlyBeReadNamesTheProgramToLaunchAndToWarnAbout) {
  // A Jw_cad installed for all users: its classes key cannot be opened
  // for all access.
  SaveSlotFile(".rg", 1);
  MemoryRegistry::Key* command = registry_.Create(registry_.Root(RegRoot::ClassesRoot), kOpenCommandKeyPath);
  MemoryRegistry::SetValue(command, "", kRegSz, SzBytes("D:\\CAD\\Jw_cad.exe \"%1\""));
  command->writable = false;
  Show(" J1 a.jww");
  EXPECT_THAT(AfterStartUp(), ElementsAre(std::string("status ") + kStatusOk,
                                          "shell OPEN|\"D:\\CAD\\Jw_cad.exe\"|\"a.jww\"|\"D:\\CAD\\Jw_cad.exe\"|5",
                                          "close"));

  journal_.lines.clear();
  main_host_.running = {"jw_cad.exe"};
  journal_.answers = {DialogResult::No};
  form1_.Button2Click();
  EXPECT_THAT(journal_.lines, ElementsAre(kRunningWarning));
}

TEST_F(WindowsTest, SilentAndLaunchModesShowNoWarningThoughJwCadRuns) {
  SaveSlotFile(".rg2", 2);
  main_host_.running = {"Jw_win.exe"};
  Show(" S2");
  EXPECT_EQ(AfterStartUp(), (std::vector<std::string>{std::string("status ") + kStatusOk, "close"}));
  // The confirmed mode asks as a button does.
  journal_.lines.clear();
  registry_ = MemoryRegistry();
  main_host_.command_line = "\"" + main_host_.exe + "\"";
  journal_.answers = {DialogResult::No};
  Show(" 2");
  EXPECT_EQ(AfterStartUp(), (std::vector<std::string>{kRunningWarning, "close"}));
  EXPECT_EQ(Left(), "none");
}

TEST_F(WindowsTest, UndoCommandTakesTheLatestRestoreBackAfterItsConfirmation) {
  const char kConfirmUndo[] =
      "dialog confirmation 3: Jw_cadは全て終了しておいて下さい。\r\n\r\n直前の復元の前のレイアウトに戻しますか？";
  MemoryRegistry::SetValue(registry_.Create(JwCadSubkey("Dialog")), "Left", kRegDword, DwordBytes(3));
  SaveSlotFile(".rg", 9);
  Show("");
  EXPECT_EQ(form1_.UndoPath, File(".undo.reg"));
  EXPECT_FALSE(main_host_.undo_available);
  // Without an undo file the command does nothing.
  journal_.lines.clear();
  form1_.MenuUndoClick();
  EXPECT_TRUE(journal_.lines.empty());

  form1_.Button2Click();
  EXPECT_EQ(Left(), "9");
  EXPECT_TRUE(main_host_.undo_available);
  journal_.lines.clear();
  journal_.answers = {DialogResult::No};
  form1_.MenuUndoClick();
  EXPECT_EQ(journal_.lines, (std::vector<std::string>{kConfirmUndo}));
  EXPECT_EQ(Left(), "9");

  journal_.lines.clear();
  form1_.MenuUndoClick();
  EXPECT_EQ(journal_.lines, (std::vector<std::string>{kConfirmUndo, "status 直前の復元を取り消しました。"}));
  EXPECT_EQ(Left(), "3");
  // It stays offered: a second undo gives the same state.
  form1_.MenuUndoClick();
  EXPECT_EQ(Left(), "3");

  // A file that is not the undo file Panestow wrote changes nothing.
  WriteFileBytes(File(".undo.reg"), "Windows Registry Editor Version 5.00\r\n");
  MemoryRegistry::SetValue(registry_.Find(JwCadSubkey("Dialog")), "Left", kRegDword, DwordBytes(4));
  try {
    form1_.MenuUndoClick();
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + File(".undo.reg") + " は開けません");
  }
  EXPECT_EQ(Left(), "4");
}


const char kConfirmPutBack[] =
    "dialog confirmation 3: Jw_cadは全て終了しておいて下さい。\r\n\r\n履歴のこのレイアウトに戻しますか？";

// The history's entries as the window lists them.
std::vector<std::string> Lines(const std::vector<HistoryEntry>& entries) {
  std::vector<std::string> lines;
  for (const HistoryEntry& e : entries) lines.push_back(HistoryLine(e).substr(21));
  return lines;
}

TEST_F(WindowsTest, TryingSlotsKeepsTheOriginalLayoutInTheHistory) {
  MemoryRegistry::SetValue(registry_.Create(JwCadSubkey("Dialog")), "Left", kRegDword, DwordBytes(3));
  SaveSlotFile(".rg", 1);
  SaveSlotFile(".rg2", 2);
  Show("");
  EXPECT_EQ(form1_.HistoryPath, File(".history"));
  EXPECT_FALSE(main_host_.history_available);
  // Without a history the command does nothing.
  journal_.lines.clear();
  form1_.MenuHistoryClick();
  EXPECT_TRUE(journal_.lines.empty());

  form1_.Button2Click();
  form1_.Button3Click();
  form1_.Button3Click();
  EXPECT_EQ(Left(), "2");
  EXPECT_TRUE(main_host_.history_available);
  const std::vector<HistoryEntry> entries = form1_.HistoryEntries();
  EXPECT_THAT(Lines(entries), ElementsAre("【設定２】を戻す前のレイアウト", "【設定２】を戻す前のレイアウト",
                                          "【設定１】を戻す前のレイアウト"));

  // The window puts back the layout from before slot 1's restore: after a
  // No nothing happens and the window stays; after Yes it closes.
  bool closes = true;
  main_host_.during_history = [&] {
    journal_.answers = {DialogResult::No};
    closes = form1_.PutBackFromHistory(entries[2]);
    EXPECT_FALSE(closes);
    EXPECT_EQ(Left(), "2");
    closes = form1_.PutBackFromHistory(entries[2]);
  };
  journal_.lines.clear();
  form1_.MenuHistoryClick();
  EXPECT_TRUE(closes);
  EXPECT_THAT(journal_.lines, ElementsAre("history window", kConfirmPutBack, kConfirmPutBack,
                                          "status 履歴から戻しました。"));
  EXPECT_EQ(Left(), "3");
  // The put-back is what the undo takes back now, and it is kept too.
  EXPECT_EQ(Lines(form1_.HistoryEntries()).front(), "履歴から戻す前のレイアウト");
  form1_.MenuUndoClick();
  EXPECT_EQ(Left(), "2");
  EXPECT_EQ(Lines(form1_.HistoryEntries()).front(), "取り消す前のレイアウト");
  // Undoing again gives the same state: the undo writes no undo file.
  form1_.MenuUndoClick();
  EXPECT_EQ(Left(), "2");
}

TEST_F(WindowsTest, ASaveOverASlotKeepsTheOldFileAndItsPutBackGivesItBackByteForByte) {
  Show("");
  MemoryRegistry::SetValue(registry_.Create(JwCadSubkey("Dialog")), "Left", kRegDword, DwordBytes(9));
  const std::string old_file = "1\r\n[Dialog]\r\n1\r\nLeft\t4\r\n\xE3";  // not even what a save writes
  WriteFileBytes(File(".rg3"), old_file);
  form2_.Button3Click();
  ASSERT_EQ(ReadFileBytes(File(".rg3")), "1\r\n[Dialog]\r\n1\r\nLeft\t9\r\n");
  const std::vector<HistoryEntry> entries = form1_.HistoryEntries();
  ASSERT_THAT(Lines(entries), ElementsAre("上書き前の【設定３】"));
  // A save into an empty slot replaces nothing and keeps nothing.
  form2_.Button4Click();
  EXPECT_EQ(form1_.HistoryEntries().size(), 1u);

  journal_.lines.clear();
  journal_.answers = {DialogResult::No};
  EXPECT_FALSE(form1_.PutBackFromHistory(entries[0]));
  EXPECT_EQ(ReadFileBytes(File(".rg3")), "1\r\n[Dialog]\r\n1\r\nLeft\t9\r\n");
  EXPECT_TRUE(form1_.PutBackFromHistory(entries[0]));
  EXPECT_THAT(journal_.lines, ElementsAre("dialog confirmation 3: 【設定３】を履歴のこの内容に戻しますか？",
                                          "dialog confirmation 3: 【設定３】を履歴のこの内容に戻しますか？",
                                          "status 【設定３】を履歴から戻しました。"));
  EXPECT_EQ(ReadFileBytes(File(".rg3")), old_file);
  // The file it replaced went into the history in its turn; titles and the
  // undo file are left alone.
  EXPECT_THAT(Lines(form1_.HistoryEntries()), ElementsAre("上書き前の【設定３】", "上書き前の【設定３】"));
  EXPECT_EQ(save_host_.titles[2], kDesignTitles[2]);
  EXPECT_FALSE(PathExists(File(".undo.reg")));
}

TEST_F(WindowsTest, ADamagedEntryIsRefusedAfterItsConfirmationAndChangesNothing) {
  SaveSlotFile(".rg", 1);
  Show("");
  form1_.Button2Click();
  const std::vector<HistoryEntry> entries = form1_.HistoryEntries();
  ASSERT_EQ(entries.size(), 1u);
  const std::string path = File(".history") + "/" + entries[0].name;
  std::string bytes = ReadFileBytes(path);
  bytes[bytes.size() / 2] ^= 0x01;
  WriteFileBytes(path, bytes);
  const std::string undo = ReadFileBytes(File(".undo.reg"));
  journal_.lines.clear();
  try {
    form1_.PutBackFromHistory(entries[0]);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "ファイル " + path + " は開けません");
  }
  EXPECT_THAT(journal_.lines, ElementsAre(kConfirmPutBack));
  EXPECT_EQ(Left(), "1");
  EXPECT_EQ(ReadFileBytes(File(".undo.reg")), undo);
  EXPECT_EQ(form1_.HistoryEntries().size(), 1u);
}

TEST_F(WindowsTest, PuttingKeysBackWarnsFirstWhenJwCadRuns) {
  SaveSlotFile(".rg", 1);
  Show("");
  form1_.Button2Click();
  main_host_.running = {"JW_WIN.EXE"};
  journal_.lines.clear();
  journal_.answers = {DialogResult::No};
  EXPECT_FALSE(form1_.PutBackFromHistory(form1_.HistoryEntries()[0]));
  ASSERT_EQ(journal_.lines.size(), 1u);
  EXPECT_THAT(journal_.lines[0], ::testing::StartsWith("dialog warning 11: Jw_cadが起動中です。"));
  EXPECT_EQ(Left(), "1");
}

TEST_F(WindowsTest, WhileAnotherPanestowKeepsTheLockEachChangeFailsAsItReportsWithNothingChanged) {
  SaveSlotFile(".rg", 1);
  SaveSlotFile(".rg2", 2);
  Show("");
  form1_.Button2Click();
  const std::string undo = ReadFileBytes(File(".undo.reg"));
  const size_t entries = form1_.HistoryEntries().size();
  main_host_.lock_busy = save_host_.lock_busy = true;
  journal_.lines.clear();
  form1_.Button3Click();
  form1_.MenuUndoClick();
  form2_.Button1Click();
  form1_.PutBackFromHistory(form1_.HistoryEntries()[0]);
  EXPECT_THAT(journal_.lines,
              ElementsAre(std::string("dialog confirmation 3: ") + kConfirmRestore, std::string("status ") + kStatusFailed,
                          "dialog confirmation 3: Jw_cadは全て終了しておいて下さい。\r\n\r\n直前の復元の前のレイアウトに戻しますか？",
                          "status 直前の復元を取り消せませんでした。",
                          "dialog error 4: Jw_cad画面レイアウトファイルが保存出来ませんでした。", kConfirmPutBack,
                          "status 履歴から戻せませんでした。"));
  EXPECT_EQ(Left(), "1");
  EXPECT_EQ(ReadFileBytes(File(".rg")), "1\r\n[Dialog]\r\n1\r\nLeft\t1\r\n");
  EXPECT_EQ(ReadFileBytes(File(".undo.reg")), undo);
  EXPECT_EQ(form1_.HistoryEntries().size(), entries);
}

TEST_F(WindowsTest, SilentModeEndsAsAfterAFailedRestoreWhileTheLockIsKept) {
  SaveSlotFile(".rg", 1);
  main_host_.lock_busy = true;
  Show(" S1");
  EXPECT_EQ(AfterStartUp(), (std::vector<std::string>{std::string("status ") + kStatusFailed, "close"}));
  EXPECT_EQ(Left(), "none");
}

}  // namespace
}  // namespace panestow::test
