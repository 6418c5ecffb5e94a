#include "app/files.h"

#include <windows.h>

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

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  const DWORD attr = GetFileAttributesA(path.c_str());
  if (attr != INVALID_FILE_ATTRIBUTES &&
      (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  std::string folder = FolderOf(path);
  if (folder.empty()) folder = ".";
  char tmp[MAX_PATH + 16];
  if (GetTempFileNameA(folder.c_str(), "pst", 0, tmp) == 0) return false;

  bool ok = false;
  HANDLE h = CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    ok = true;
    for (size_t done = 0; ok && done < data.size();) {
      const DWORD chunk = static_cast<DWORD>(data.size() - done > 1u << 20 ? 1u << 20 : data.size() - done);
      DWORD put = 0;
      if (!WriteFile(h, data.data() + done, chunk, &put, nullptr) || put == 0) ok = false;
      done += put;
    }
    ok = ok && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
  }
  ok = ok && MoveFileExA(tmp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(tmp);
  return ok;
}

}  // namespace panestow
