// The private-profile (INI) reading service, and the portable reader that
// stands in for it away from Windows.
#pragma once

#include <cstdint>
#include <string>

namespace panestow {

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
