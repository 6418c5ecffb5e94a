#include <windows.h>

#include "app/profile.h"

namespace panestow {

uint32_t GetProfileText(const char* section, const char* key, const char* default_text, char* buffer,
                        uint32_t size, const char* file_name) {
  return GetPrivateProfileStringA(section, key, default_text, buffer, size, file_name);
}

}  // namespace panestow
