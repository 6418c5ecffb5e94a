#include "app/files.h"

namespace panestow {

AtomicFile::~AtomicFile() { Abandon(); }

void AtomicFile::Abandon() {
  if (!open_) return;
  if (!finished_) files_.Close(file_);
  files_.Remove(temp_);
  open_ = false;
  finished_ = false;
}

bool AtomicFile::Open() {
  if (open_ || !files_.MayReplace(path_)) return false;
  if (!RetryWhileBusy(files_, [&] { return files_.CreateTemp(path_, temp_, file_); })) return false;
  open_ = true;
  return true;
}

bool AtomicFile::Write(std::string_view bytes) {
  if (!open_ || finished_) return false;
  if (bytes.empty() || files_.Write(file_, bytes)) return true;
  Abandon();
  return false;
}

bool AtomicFile::Finish() {
  if (!open_) return false;
  if (finished_) return true;
  finished_ = true;
  if (files_.FlushAndClose(file_)) return true;
  Abandon();
  return false;
}

bool AtomicFile::Commit() {
  if (!Finish()) return false;
  // Another program may hold the file it replaces for a moment, without
  // letting it be deleted: it is waited for.
  if (!RetryWhileBusy(files_, [&] { return files_.Rename(temp_, path_); })) {
    Abandon();
    return false;
  }
  open_ = false;
  finished_ = false;
  return true;
}

bool ReplaceFileContents(const std::string& path, const std::string& data) {
  AtomicFile file(PlatformFiles(), path);
  return file.Open() && file.Write(data) && file.Commit();
}

}  // namespace panestow
