// The few file operations the program needs, and writing a file whole or
// not at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace panestow {

// True only for an existing file; a folder of that name does not count.
bool FileExists(const std::string& path);

// Reads the whole file into `out`. The file is opened for reading, shared
// with other readers but not with writers; false when it cannot be opened.
// A read error part-way ends the text where it happened.
bool ReadWholeFile(const std::string& path, std::string& out);

// Deletes the file; true when no file of that name is left.
bool RemoveFile(const std::string& path);

// The local date and time, to the second.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime LocalNow();

// `name` in `folder`, with the platform's separator between them.
std::string InFolder(const std::string& folder, const std::string& name);

// One name in a folder.
struct FolderItem {
  std::string name;
  uint64_t size = 0;
  bool folder = false;
};

// The platform's file operations that writing a file whole rests on.
//
// CreateTemp, Rename and Link can fail for a moment only, while another
// program (a sync client, an indexer, a virus scanner) holds the file they
// replace or link; Busy() then says so, and the caller tries again.
class FileSystem {
 public:
  using Handle = intptr_t;
  virtual ~FileSystem() = default;
  // False for a read-only file or a folder of that name, which are not
  // replaced.
  virtual bool MayReplace(const std::string& path) = 0;
  // True only for an existing file, not a folder; its size to `size`.
  virtual bool IsFile(const std::string& path) = 0;
  virtual bool Size(const std::string& path, uint64_t& size) = 0;
  // Creates a new empty file in the folder of `path`; its name goes to
  // `temp`.
  virtual bool CreateTemp(const std::string& path, std::string& temp, Handle& file) = 0;
  virtual bool Write(Handle file, std::string_view bytes) = 0;
  // Flushes the file's data to the disk, then closes it (also when the
  // flush failed).
  virtual bool FlushAndClose(Handle file) = 0;
  virtual void Close(Handle file) = 0;
  // Puts `temp` in the place of `path`, replacing the file there.
  virtual bool Rename(const std::string& temp, const std::string& path) = 0;
  virtual bool Remove(const std::string& path) = 0;
  // As ReadWholeFile.
  virtual bool Read(const std::string& path, std::string& out) = 0;
  // Makes the folder; true when it is there afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
  // What lies directly in `folder`; false when it cannot be listed.
  virtual bool List(const std::string& folder, std::vector<FolderItem>& items) = 0;
  // A second name `path` for the existing file `existing`, which copies
  // nothing; false where the file system has none (FAT), or `path` exists.
  virtual bool Link(const std::string& existing, const std::string& path) = 0;
  // After a failed CreateTemp, Rename or Link: true when another program
  // holds the file for now (access denied to a file that is not read-only,
  // a sharing or lock violation), so that trying again may succeed.
  virtual bool Busy() = 0;
  // A clock in milliseconds, and a pause, for trying again.
  virtual uint64_t Milliseconds() = 0;
  virtual void Pause(uint32_t ms) = 0;
};

FileSystem& PlatformFiles();

// How long a file held by another program is waited for, in all.
constexpr uint32_t kBusyWaitMs = 1000;

// Runs `op` until it succeeds, tries again with short pauses while it
// fails because the file is busy, and gives up once about kBusyWaitMs
// have passed.
template <typename Op>
bool RetryWhileBusy(FileSystem& files, Op op) {
  const uint64_t start = files.Milliseconds();
  for (uint32_t pause = 10;; pause = pause < 80 ? pause * 2 : 100) {
    if (op()) return true;
    if (!files.Busy() || files.Milliseconds() - start + pause > kBusyWaitMs) return false;
    files.Pause(pause);
  }
}

// A file that is either the old one or the new one, whole: its data go to
// a temporary file beside it, flushed, which takes its place only at
// Commit. A file not committed leaves nothing behind, and `path` as it
// was.
class AtomicFile {
 public:
  AtomicFile(FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool Open();
  bool Write(std::string_view bytes);
  // The data flushed to the disk, the temporary file closed; Commit then
  // only puts it in place.
  bool Finish();
  bool Commit();
  // The temporary file, while there is one.
  const std::string& temp() const { return temp_; }

 private:
  void Abandon();

  FileSystem& files_;
  std::string path_;
  std::string temp_;
  FileSystem::Handle file_ = -1;
  bool open_ = false;      // the temporary file exists
  bool finished_ = false;  // and is closed
};

// Replaces the file at `path` with `data` through an AtomicFile on the
// platform's files. False, with `path` as it was, when it could not.
bool ReplaceFileContents(const std::string& path, const std::string& data);

}  // namespace panestow
