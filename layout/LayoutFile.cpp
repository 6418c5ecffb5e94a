#include "layout/LayoutFile.h"

#include <algorithm>

#include "app/Func_.h"
#include "app/codepage.h"

namespace panestow {

// U+3000 in code page 932, spelled as bytes: the file format fixes them
// whatever the compiler's execution character set.
const char kPlaceholder[] = "\x81\x40";

namespace {

int32_t Length(const std::string& s) { return static_cast<int32_t>(s.size()); }

}  // namespace

std::string JwCadKey() { return std::string("\\") + kJwCadKeyPath; }

std::string JwCadSubkey(std::string_view name) {
  std::string path = JwCadKey();
  path += '\\';
  path += name;
  return path;
}

std::string JwCadVendorKey() {
  const std::string key = kJwCadKeyPath;
  return key.substr(0, key.rfind('\\'));
}

std::string DataField(const RegValue& value) {
  if (value.type == kRegSz) {
    const std::string text = value.data.substr(0, value.data.find('\0'));
    return "\"" + text + "\"";
  }
  if (value.type == kRegDword) {
    if (value.data.size() > 4) throw GetFailed(value.name);
    return std::to_string(static_cast<int32_t>(DecodeDword(value.data)));
  }
  return kPlaceholder;
}

SectionReader::SectionReader(const LineList& lines) : lines_(lines), sections_(StrToIntOrZero(lines.LineView(0))) {}

bool SectionReader::Next(LayoutSection& section) {
  const int64_t end = lines_.Count();
  if (read_ >= sections_ || line_ >= end) return false;
  ++read_;
  const std::string header(lines_.LineView(line_));
  section.key_name = SubStr(header, 2, Length(header) - 2);
  ++line_;
  const int32_t count = StrToIntOrZero(lines_.LineView(line_));
  ++line_;
  section.first_line = line_;
  // Value lines never reach past the file's end.
  section.value_lines = count > 0 ? std::min<int64_t>(count, end > line_ ? end - line_ : 0) : 0;
  section.names_jw_cad_key = section.key_name.find_first_not_of('\\') == std::string::npos;
  line_ += section.value_lines;
  return true;
}

bool ReadValueLine(std::string_view line_text, ValueWrite& write) {
  const std::string line(line_text);
  const int32_t p = static_cast<int32_t>(AnsiPos(line, '\t'));
  write.name = SubStr(line, 1, p - 1);
  const std::string data = SubStr(line, p + 1, Length(line) + 4);
  if (write.name.empty() || write.name == kPlaceholder || data.empty() || data == kPlaceholder) return false;
  write.is_text = data[0] == '"';
  if (write.is_text) {
    write.text = SubStr(data, 2, Length(data) - 2);
  } else {
    write.number = StrToIntOrZero(data);
  }
  return true;
}

}  // namespace panestow
