#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "app/files.h"

namespace panestow {

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t got = read(fd, buf, sizeof buf);
    if (got <= 0) break;
    out.append(buf, static_cast<size_t>(got));
  }
  close(fd);
  return true;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0 || !FileExists(path); }

std::string InFolder(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

LocalTime LocalNow() {
  const time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  return LocalTime{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

namespace {

class PosixFiles : public FileSystem {
 public:
  bool MayReplace(const std::string& path) override {
    struct stat st;
    return stat(path.c_str(), &st) != 0 || (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) != 0);
  }

  bool IsFile(const std::string& path) override { return FileExists(path); }

  bool Size(const std::string& path, uint64_t& size) override {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    size = static_cast<uint64_t>(st.st_size);
    return true;
  }

  bool CreateTemp(const std::string& path, std::string& temp, Handle& file) override {
    std::string name = path + ".XXXXXX";
    std::vector<char> buf(name.begin(), name.end());
    buf.push_back('\0');
    const int fd = mkstemp(buf.data());
    if (fd < 0) return false;
    temp.assign(buf.data());
    file = fd;
    return true;
  }

  bool Write(Handle file, std::string_view bytes) override {
    for (size_t done = 0; done < bytes.size();) {
      const ssize_t put = write(static_cast<int>(file), bytes.data() + done, bytes.size() - done);
      if (put <= 0) return false;
      done += static_cast<size_t>(put);
    }
    return true;
  }

  bool FlushAndClose(Handle file) override {
    const int fd = static_cast<int>(file);
    const bool ok = fchmod(fd, 0644) == 0 && fsync(fd) == 0;
    return close(fd) == 0 && ok;
  }

  void Close(Handle file) override { close(static_cast<int>(file)); }

  bool Rename(const std::string& temp, const std::string& path) override {
    return rename(temp.c_str(), path.c_str()) == 0;
  }

  bool Remove(const std::string& path) override { return unlink(path.c_str()) == 0; }

  bool Read(const std::string& path, std::string& out) override { return ReadWholeFile(path, out); }

  bool MakeFolder(const std::string& path) override {
    struct stat st;
    return mkdir(path.c_str(), 0755) == 0 || (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
  }

  bool List(const std::string& folder, std::vector<FolderItem>& items) override {
    items.clear();
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    while (const dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      struct stat st;
      if (stat(InFolder(folder, name).c_str(), &st) != 0) continue;
      FolderItem item;
      item.name = name;
      item.size = static_cast<uint64_t>(st.st_size);
      item.folder = S_ISDIR(st.st_mode);
      items.push_back(std::move(item));
    }
    closedir(dir);
    return true;
  }

  bool Link(const std::string& existing, const std::string& path) override {
    return link(existing.c_str(), path.c_str()) == 0;
  }

  // Nothing holds a file against a rename here.
  bool Busy() override { return false; }

  uint64_t Milliseconds() override {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint64_t>(t.tv_sec) * 1000 + static_cast<uint64_t>(t.tv_nsec) / 1000000;
  }

  void Pause(uint32_t ms) override { usleep(ms * 1000); }
};

}  // namespace

FileSystem& PlatformFiles() {
  static PosixFiles files;
  return files;
}

}  // namespace panestow
