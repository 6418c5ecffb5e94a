#include "app/profile.h"

#include <cstring>
#include <string_view>

namespace panestow {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

uint32_t CopyOut(std::string_view value, char* buffer, uint32_t size) {
  if (size == 0) return 0;
  const size_t n = value.size() < size - 1 ? value.size() : size - 1;
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

}  // namespace

uint32_t ParseProfileString(const std::string& file_text, const char* section, const char* key,
                            const char* default_text, char* buffer, uint32_t size) {
  bool in_section = false;
  size_t start = 0;
  while (start < file_text.size()) {
    size_t end = file_text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = file_text.size();
    const std::string_view line = Trimmed(std::string_view(file_text).substr(start, end - start));
    start = end + 1;

    if (!line.empty() && line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string_view::npos) continue;
      // Only the first section of the name is searched.
      if (in_section) break;
      in_section = SameName(line.substr(1, close - 1), section);
      continue;
    }
    if (!in_section) continue;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || !SameName(Trimmed(line.substr(0, eq)), key)) continue;
    std::string_view value = Trimmed(line.substr(eq + 1));
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return CopyOut(value, buffer, size);
  }
  return CopyOut(default_text ? default_text : "", buffer, size);
}

}  // namespace panestow
