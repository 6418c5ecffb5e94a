#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

class PosixFiles : public FileSystem {
 public:
  bool MayReplace(const std::string& path) override {
    struct stat st;
    return stat(path.c_str(), &st) != 0 || (S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) != 0);
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
};

}  // namespace

FileSystem& PlatformFiles() {
  static PosixFiles files;
  return files;
}

}  // namespace panestow
