#include "app/UnitIni.h"

#include <cstring>

#include "app/profile.h"

namespace panestow {

char* NewCString(const std::string& text) {
  char* copy = new char[text.size() + 1];
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

bool ReadIniValue(const std::string& Section, const std::string& Key, std::string& Value,
                  const std::string& FileName, int Size) {
  char* section = NewCString(Section);
  char* key = NewCString(Key);
  char* file_name = NewCString(FileName);
  const uint32_t size = Size > 0 ? static_cast<uint32_t>(Size) : 1;
  char* buffer = new char[size];
  buffer[0] = '\0';
  const uint32_t got = GetProfileText(section, key, "", buffer, size, file_name);
  Value.assign(buffer, got < size ? got : size - 1);
  delete[] buffer;
  delete[] file_name;
  delete[] key;
  delete[] section;
  return got > 0;
}

}  // namespace panestow
