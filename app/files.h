// The few file operations the program needs.
#pragma once

#include <string>

namespace panestow {

// True only for an existing file; a folder of that name does not count.
bool FileExists(const std::string& path);

// Reads the whole file into `out`. The file is opened for reading, shared
// with other readers but not with writers; false when it cannot be opened.
// A read error part-way ends the text where it happened.
bool ReadWholeFile(const std::string& path, std::string& out);

// Replaces the file at `path` with `data` so that it is always either the
// old file or the new one, whole: the data goes to a temporary file beside
// it, is flushed, and only then takes the file's place. A read-only file is
// not replaced. On failure the temporary file is removed, `path` is left as
// it was and the result is false.
bool ReplaceFileContents(const std::string& path, const std::string& data);

}  // namespace panestow
