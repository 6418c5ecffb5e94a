// Settings file reading through the platform's private-profile service.
#pragma once

#include <cstdint>
#include <string>

namespace panestow {

// A new zero-terminated copy of `text`, text.size() + 1 bytes; the caller
// releases it with delete[].
char* NewCString(const std::string& text);

// Reads Key of Section from FileName with an empty default into a buffer of
// Size bytes, so at most Size - 1 bytes come back into Value. True when at
// least one character came back.
bool ReadIniValue(const std::string& Section, const std::string& Key, std::string& Value,
                  const std::string& FileName, int Size);

}  // namespace panestow
