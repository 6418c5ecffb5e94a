#include "app/files.h"

namespace panestow {

AtomicFile::~AtomicFile() { Abandon(); }

void AtomicFile::Abandon() {
  if (!open_) return;
  files_.Close(file_);
  files_.Remove(temp_);
  open_ = false;
}

bool AtomicFile::Open() {
  if (open_ || !files_.MayReplace(path_)) return false;
  if (!files_.CreateTemp(path_, temp_, file_)) return false;
  open_ = true;
  return true;
}

bool AtomicFile::Write(std::string_view bytes) {
  if (!open_) return false;
  if (bytes.empty() || files_.Write(file_, bytes)) return true;
  Abandon();
  return false;
}

bool AtomicFile::Commit() {
  if (!open_) return false;
  open_ = false;
  if (files_.FlushAndClose(file_) && files_.Rename(temp_, path_)) return true;
  files_.Remove(temp_);
  return false;
}

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  AtomicFile file(PlatformFiles(), path);
  return file.Open() && file.Write(data) && file.Commit();
}

}  // namespace panestow
