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

class WinFiles : public FileSystem {
 public:
  bool MayReplace(const std::string& path) override {
    // Wine's MoveFileEx replaces a read-only file, which Windows refuses:
    // refused here on both.
    const DWORD attr = GetFileAttributesA(path.c_str());
    return attr == INVALID_FILE_ATTRIBUTES || (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
  }

  bool CreateTemp(const std::string& path, std::string& temp, Handle& file) override {
    std::string folder = FolderOf(path);
    if (folder.empty()) folder = ".";
    char name[MAX_PATH + 16];
    if (GetTempFileNameA(folder.c_str(), "pst", 0, name) == 0) return false;
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      DeleteFileA(name);
      return false;
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
    return MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != 0; }
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

FileSystem& PlatformFiles() {
  static WinFiles files;
  return files;
}

}  // namespace panestow
