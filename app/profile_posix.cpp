#include "app/profile.h"

#include "app/files.h"

namespace panestow {

uint32_t GetProfileText(const char* section, const char* key, const char* default_text, char* buffer,
                        uint32_t size, const char* file_name) {
  std::string text;
  ReadWholeFile(file_name, text);
  return ParseProfileString(text, section, key, default_text, buffer, size);
}

}  // namespace panestow
