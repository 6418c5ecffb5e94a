#include <windows.h>

#include "app/files.h"

namespace panestow {

namespace {

// The folder part of `path`, with its trailing backslash, stepping over
// double-byte characters whose second byte is a backslash.
std::string FolderOf(const std::string& path) {
  size_t cut = 0;
  for (const char* p = path.c_str(); *p; p = CharNextA(p)) {
    if (*p == '\\' || *p == ':') cut = static_cast<size_t>(p - path.c_str()) + 1;
  }
  return path.substr(0, cut);
}

HANDLE H(FileSystem::Handle file) { return reinterpret_cast<HANDLE>(file); }

bool IsReadOnlyOrFolder(const std::string& path) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

class WinFiles : public FileSystem {
 public:
  bool MayReplace(const std::string& path) override {
    // Wine's MoveFileEx replaces a read-only file, which Windows refuses:
    // refused here on both.
    return !IsReadOnlyOrFolder(path);
  }

  bool IsFile(const std::string& path) override { return FileExists(path); }

  bool Size(const std::string& path, uint64_t& size) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return false;
    }
    size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return true;
  }

  bool CreateTemp(const std::string& path, std::string& temp, Handle& file) override {
    busy_ = false;
    std::string folder = FolderOf(path);
    if (folder.empty()) folder = ".";
    char name[MAX_PATH + 16];
    // Access denied here is the folder's own answer: a new name is held by
    // nobody else.
    if (GetTempFileNameA(folder.c_str(), "pst", 0, name) == 0) return Failed(false);
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      DeleteFileA(name);
      SetLastError(error);
      return Failed(false);
    }
    temp = name;
    file = reinterpret_cast<Handle>(h);
    return true;
  }

  bool Write(Handle file, std::string_view bytes) override {
    for (size_t done = 0; done < bytes.size();) {
      const DWORD chunk = static_cast<DWORD>(bytes.size() - done > 1u << 20 ? 1u << 20 : bytes.size() - done);
      DWORD put = 0;
      if (!WriteFile(H(file), bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
      done += put;
    }
    return true;
  }

  bool FlushAndClose(Handle file) override {
    const bool flushed = FlushFileBuffers(H(file)) != 0;
    return CloseHandle(H(file)) && flushed;
  }

  void Close(Handle file) override { CloseHandle(H(file)); }

  bool Rename(const std::string& temp, const std::string& path) override {
    busy_ = false;
    if (MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    // A file held open without FILE_SHARE_DELETE answers access denied or
    // a sharing violation; so does a read-only one, for good.
    return Failed(!IsReadOnlyOrFolder(path));
  }

  bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }

  bool Read(const std::string& path, std::string& out) override { return ReadWholeFile(path, out); }

  bool MakeFolder(const std::string& path) override {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  bool List(const std::string& folder, std::vector<FolderItem>& items) override {
    items.clear();
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(InFolder(folder, "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      FolderItem item;
      item.name = name;
      item.size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
      item.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      items.push_back(std::move(item));
    } while (FindNextFileA(find, &data));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    return complete;
  }

  bool Link(const std::string& existing, const std::string& path) override {
    busy_ = false;
    if (CreateHardLinkA(path.c_str(), existing.c_str(), nullptr)) return true;
    return Failed(!IsReadOnlyOrFolder(existing));
  }

  bool Busy() override { return busy_; }

  uint64_t Milliseconds() override { return GetTickCount64(); }

  void Pause(uint32_t ms) override { Sleep(ms); }

 private:
  // Records whether the call that just failed may succeed when tried again:
  // another program holds the file for now. Access denied counts only where
  // `denied_may_pass`: the file is neither read-only nor a folder.
  bool Failed(bool denied_may_pass) {
    const DWORD error = GetLastError();
    busy_ = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
            (denied_may_pass && error == ERROR_ACCESS_DENIED);
    return false;
  }

  bool busy_ = false;
};

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size;
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0) out.reserve(static_cast<size_t>(size.QuadPart));
  char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h, buf, sizeof buf, &got, nullptr) || got == 0) break;
    out.append(buf, got);
  }
  CloseHandle(h);
  return true;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) || !FileExists(path); }

std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  // A trailing byte 0x5C may be the second byte of a double-byte character.
  const std::string cut = FolderOf(folder);
  return cut.size() == folder.size() && (last == '\\' || last == ':') ? folder + name : folder + "\\" + name;
}

LocalTime LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

FileSystem& PlatformFiles() {
  static WinFiles files;
  return files;
}

}  // namespace panestow
