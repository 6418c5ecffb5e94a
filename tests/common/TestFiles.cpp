#include "tests/common/TestFiles.h"

#include <cstdio>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>
#endif

namespace panestow::test {

#ifdef _WIN32
namespace {
constexpr char kSep = '\\';
// Through the wide functions and a \\?\ path, so that names the ANSI code
// page cannot carry, and paths too long for it, go as well.
void RemoveTreeW(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = dir + L"\\" + name;
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTreeW(full); else DeleteFileW(full.c_str());
    } while (FindNextFileW(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryW(dir.c_str());
}

void RemoveTree(const std::string& dir) {
  std::wstring wide(dir.size() + 1, L'\0');
  const int len = MultiByteToWideChar(CP_ACP, 0, dir.data(), static_cast<int>(dir.size()), &wide[0],
                                      static_cast<int>(wide.size()));
  wide.resize(len > 0 ? static_cast<size_t>(len) : 0);
  if (!wide.empty()) RemoveTreeW(L"\\\\?\\" + wide);
}
}  // namespace

ScratchDir::ScratchDir() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static int counter = 0;
  for (;;) {
    path_ = std::string(base) + "pstest" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make " + path_);
  }
}

ScratchDir::~ScratchDir() { RemoveTree(path_); }

bool PathExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
#else
namespace {
constexpr char kSep = '/';
}

ScratchDir::ScratchDir() {
  const char* tmp = std::getenv("TMPDIR");
  std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/pstest.XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("cannot make a scratch folder");
  path_ = buf.data();
}

ScratchDir::~ScratchDir() {
  const std::string cmd = "rm -rf '" + path_ + "'";
  if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "could not remove %s\n", path_.c_str());
}

bool PathExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}
#endif

std::string ScratchDir::operator/(const std::string& name) const { return path_ + kSep + name; }

std::string ReadFileBytes(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot read " + path);
  std::string out;
  char buf[65536];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, got);
  std::fclose(f);
  return out;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace panestow::test
