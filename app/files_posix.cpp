#include "app/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

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

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0)) {
    return false;
  }
  std::string tmp = path + ".XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return false;
  tmp.assign(name.data());
  bool ok = true;
  for (size_t done = 0; ok && done < data.size();) {
    const ssize_t put = write(fd, data.data() + done, data.size() - done);
    if (put <= 0) ok = false; else done += static_cast<size_t>(put);
  }
  ok = ok && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  ok = ok && rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) unlink(tmp.c_str());
  return ok;
}

}  // namespace panestow
