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

// The reading service: GetPrivateProfileStringA on Windows, ParseProfileString
// over the file's text elsewhere. Returns the bytes copied, without the NUL.
uint32_t GetProfileText(const char* section, const char* key, const char* default_text, char* buffer,
                        uint32_t size, const char* file_name);

// The portable reader over the text of a file: section and key names match
// without regard to case, blanks around names and values are dropped, one
// pair of enclosing double or single quotes is removed, and the result is
// cut to size - 1 bytes. The first section and key of a name count.
uint32_t ParseProfileString(const std::string& file_text, const char* section, const char* key,
                            const char* default_text, char* buffer, uint32_t size);

}  // namespace panestow
