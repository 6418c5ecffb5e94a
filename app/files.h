// The few file operations the program needs, and writing a file whole or
// not at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace panestow {

// True only for an existing file; a folder of that name does not count.
bool FileExists(const std::string& path);

// Reads the whole file into `out`. The file is opened for reading, shared
// with other readers but not with writers; false when it cannot be opened.
// A read error part-way ends the text where it happened.
bool ReadWholeFile(const std::string& path, std::string& out);

// Deletes the file; true when no file of that name is left.
bool RemoveFile(const std::string& path);

// The platform's file operations that writing a file whole rests on.
class FileSystem {
 public:
  using Handle = intptr_t;
  virtual ~FileSystem() = default;
  // False for a read-only file or a folder of that name, which are not
  // replaced.
  virtual bool MayReplace(const std::string& path) = 0;
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
};

FileSystem& PlatformFiles();

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
  bool Commit();

 private:
  void Abandon();

  FileSystem& files_;
  std::string path_;
  std::string temp_;
  FileSystem::Handle file_ = -1;
  bool open_ = false;
};

// Replaces the file at `path` with `data` through an AtomicFile on the
// platform's files. False, with `path` as it was, when it could not.
bool ReplaceFileContents(const std::string& path, const std::string& data);

}  // namespace panestow
