#include "registry/RegFile.h"

#include <array>

#include "registry/RegistryStore.h"

namespace panestow {

namespace {

const char16_t kHeader[] = u"Windows Registry Editor Version 5.00";
const char16_t kRoot[] = u"HKEY_CURRENT_USER\\";
const char16_t kEnd[] = u";*end ";
const char16_t kExtended[] = u";*";
// Long hex data goes on over lines of at most this many characters.
constexpr size_t kLineWidth = 80;

uint32_t Crc32(uint32_t crc, std::string_view bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (unsigned char b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::string Utf16Bytes(const WideString& text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// The reverse of Utf16Bytes; a lone last byte is dropped.
WideString Utf16Text(std::string_view bytes) {
  WideString text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  return text;
}

WideString Hex8(uint32_t v) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  WideString out(8, u'0');
  for (int i = 7; i >= 0; --i, v >>= 4) out[static_cast<size_t>(i)] = kDigits[v & 15];
  return out;
}

bool HasLineBreak(const WideString& s) { return s.find_first_of(u"\r\n") != WideString::npos; }

bool IsStringType(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Data of a REG_SZ that reads back exactly from the quoted form: UTF-16
// text with one NUL at its end and nothing a line cannot hold.
bool IsCleanText(const std::string& data, WideString& text) {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  text = Utf16Text(data);
  if (text.back() != 0) return false;
  text.pop_back();
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == 0 || c == u'\r' || c == u'\n') return false;
    if (c >= 0xD800 && c < 0xDC00) {
      if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000) return false;
      ++i;
    } else if (c >= 0xDC00 && c < 0xE000) {
      return false;
    }
  }
  return true;
}

void AppendQuoted(WideString& out, const WideString& s) {
  out += u'"';
  for (char16_t c : s) {
    if (c == u'\\' || c == u'"') out += u'\\';
    out += c;
  }
  out += u'"';
}

// "hex:" and the bytes, continued over lines as regedit does; `column` is
// where the data starts on its line.
WideString HexBytes(const WideString& prefix, std::string_view bytes, size_t column, bool continued) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  WideString out = prefix;
  column += prefix.size();
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(bytes[i]);
    const bool last = i + 1 == bytes.size();
    if (continued && i > 0 && column + (last ? 2 : 3) > kLineWidth - 1) {
      out += u"\\\r\n  ";
      column = 2;
    }
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
    column += 2;
    if (!last) {
      out += u',';
      ++column;
    }
  }
  return out;
}

WideString TypePrefix(uint32_t type) {
  if (type == kRegBinary) return u"hex:";
  WideString digits;
  do {
    digits.insert(digits.begin(), u"0123456789abcdef"[type & 15]);
    type >>= 4;
  } while (type);
  return u"hex(" + digits + u"):";
}

}  // namespace

RegFileWriter::RegFileWriter(std::function<bool(std::string_view)> sink) : sink_(std::move(sink)) {}

void RegFileWriter::Line(const WideString& text) {
  pending_ += text;
  pending_ += u"\r\n";
}

bool RegFileWriter::Flush() {
  if (!ok_) return false;
  if (pending_.empty()) return true;
  const std::string bytes = Utf16Bytes(pending_);
  pending_.clear();
  crc_ = Crc32(crc_, bytes);
  ok_ = sink_(bytes);
  return ok_;
}

bool RegFileWriter::Begin(const WideString& comment) {
  if (!ok_) return false;
  const std::string bom("\xFF\xFE", 2);
  crc_ = Crc32(crc_, bom);
  ok_ = sink_(bom);
  Line(kHeader);
  Line(u"");
  Line(u"; " + comment);
  Line(u"");
  return ok_;
}

bool RegFileWriter::DeleteKey(const WideString& path) {
  if (HasLineBreak(path)) {
    Line(kExtended + (u"[-" + HexBytes(u"hex:", Utf16Bytes(path), 0, false)) + u"]");
  } else {
    Line(u"[-" + (kRoot + path) + u"]");
  }
  Line(u"");
  return pending_.size() < (1u << 15) || Flush();
}

bool RegFileWriter::BeginKey(const WideString& path) {
  extended_key_ = HasLineBreak(path);
  if (extended_key_) {
    Line(kExtended + (u"[" + HexBytes(u"hex:", Utf16Bytes(path), 0, false)) + u"]");
  } else {
    Line(u"[" + (kRoot + path) + u"]");
  }
  return ok_;
}

bool RegFileWriter::Value(const WideValue& value) {
  const bool odd_string = IsStringType(value.type) && value.data.size() % 2 != 0;
  const bool extended = extended_key_ || odd_string || HasLineBreak(value.name);
  const size_t start = pending_.size();
  if (extended) pending_ += kExtended;
  if (value.name.empty()) {
    pending_ += u'@';
  } else if (HasLineBreak(value.name)) {
    pending_ += HexBytes(u"hex:", Utf16Bytes(value.name), 0, false);
  } else {
    AppendQuoted(pending_, value.name);
  }
  pending_ += u'=';
  if (value.type == kRegSz && IsCleanText(value.data, text_)) {
    AppendQuoted(pending_, text_);
  } else if (value.type == kRegDword && value.data.size() == 4) {
    pending_ += u"dword:";
    pending_ += Hex8(DecodeDword(value.data));
  } else {
    pending_ += HexBytes(TypePrefix(value.type), value.data, pending_.size() - start, !extended);
  }
  pending_ += u"\r\n";
  return pending_.size() < (1u << 15) || Flush();
}

bool RegFileWriter::EndKey() {
  Line(u"");
  extended_key_ = false;
  return pending_.size() < (1u << 15) || Flush();
}

bool RegFileWriter::Finish() {
  if (!Flush()) return false;
  Line(kEnd + Hex8(crc_));
  return Flush();
}

namespace {

// The file's text as UTF-16 code units, read line by line.
class Lines {
 public:
  explicit Lines(const WideString& text) : text_(text) {}
  // The next line without its CR LF; false at the end or when a line ends
  // any other way.
  bool Next(WideString& line) {
    if (at_ >= text_.size()) return false;
    const size_t end = text_.find(u"\r\n", at_);
    if (end == WideString::npos) return false;
    line.assign(text_, at_, end - at_);
    at_ = end + 2;
    return line.find_first_of(u"\r\n") == WideString::npos;
  }
  bool AtEnd() const { return at_ >= text_.size(); }

 private:
  const WideString& text_;
  size_t at_ = 0;
};

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// A quoted string from `at`, its escapes undone; `at` is left after it.
bool ParseQuoted(const WideString& line, size_t& at, WideString& out) {
  if (at >= line.size() || line[at] != u'"') return false;
  out.clear();
  for (++at; at < line.size(); ++at) {
    char16_t c = line[at];
    if (c == u'"') {
      ++at;
      return true;
    }
    if (c == u'\\') {
      if (++at >= line.size() || (line[at] != u'\\' && line[at] != u'"')) return false;
      c = line[at];
    }
    out += c;
  }
  return false;
}

// Hex bytes "xx,xx,..." from `at` to the end of the data, following
// continuation lines (",\" then a line that begins with two blanks).
bool ParseHexBytes(const WideString& first, size_t at, Lines& lines, bool extended, std::string& out) {
  out.clear();
  WideString line = first;
  for (;;) {
    if (at == line.size()) return true;  // no bytes, or the end
    const int hi = at + 1 < line.size() ? HexDigit(line[at]) : -1;
    const int lo = at + 1 < line.size() ? HexDigit(line[at + 1]) : -1;
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi << 4 | lo);
    at += 2;
    if (at == line.size()) return true;
    if (line[at] != u',') return false;
    ++at;
    if (at + 1 == line.size() && line[at] == u'\\' && !extended) {
      if (!lines.Next(line) || line.compare(0, 2, u"  ") != 0) return false;
      at = 2;
    } else if (at == line.size()) {
      return false;  // a comma at the end
    }
  }
}

bool ParseHexName(const WideString& line, size_t& at, WideString& out) {
  if (line.compare(at, 4, u"hex:") != 0) return false;
  size_t end = line.find(u'=', at);
  if (end == WideString::npos) end = line.find(u']', at);
  if (end == WideString::npos) return false;
  Lines none(WideString{});
  std::string bytes;
  if (!ParseHexBytes(line.substr(0, end), at + 4, none, true, bytes) || bytes.size() % 2 != 0) return false;
  out = Utf16Text(bytes);
  at = end;
  return true;
}

bool ParseValue(const WideString& line, size_t at, Lines& lines, bool extended, WideValue& value) {
  if (at < line.size() && line[at] == u'@') {
    value.name.clear();
    ++at;
  } else if (extended && line.compare(at, 4, u"hex:") == 0) {
    if (!ParseHexName(line, at, value.name)) return false;
  } else if (!ParseQuoted(line, at, value.name)) {
    return false;
  }
  if (at >= line.size() || line[at] != u'=') return false;
  ++at;
  if (at < line.size() && line[at] == u'"') {
    WideString text;
    if (!ParseQuoted(line, at, text) || at != line.size()) return false;
    value.type = kRegSz;
    value.data = Utf16Bytes(text) + std::string(2, '\0');
    return true;
  }
  if (line.compare(at, 6, u"dword:") == 0) {
    if (line.size() != at + 6 + 8) return false;
    uint32_t v = 0;
    for (size_t i = at + 6; i < line.size(); ++i) {
      const int d = HexDigit(line[i]);
      if (d < 0) return false;
      v = v << 4 | static_cast<uint32_t>(d);
    }
    value.type = kRegDword;
    value.data = EncodeDword(v);
    return true;
  }
  if (line.compare(at, 4, u"hex:") == 0) {
    value.type = kRegBinary;
    at += 4;
  } else if (line.compare(at, 4, u"hex(") == 0) {
    at += 4;
    uint64_t type = 0;
    size_t digits = 0;
    for (; at < line.size() && HexDigit(line[at]) >= 0; ++at, ++digits) type = type << 4 | HexDigit(line[at]);
    if (digits == 0 || digits > 8 || line.compare(at, 2, u"):") != 0) return false;
    value.type = static_cast<uint32_t>(type);
    at += 2;
  } else {
    return false;
  }
  if (!ParseHexBytes(line, at, lines, extended, value.data)) return false;
  // Only Panestow's own lines carry what other readers cannot take.
  return extended || !IsStringType(value.type) || value.data.size() % 2 == 0;
}

bool ParseKeyPath(const WideString& line, size_t at, bool extended, WideString& path) {
  if (line.empty() || line.back() != u']') return false;
  const WideString inner = line.substr(at, line.size() - 1 - at);
  if (extended) {
    size_t pos = 0;
    WideString in = inner + u"]";
    return ParseHexName(in, pos, path) && pos + 1 == in.size();
  }
  const size_t root = sizeof kRoot / sizeof kRoot[0] - 1;
  if (inner.compare(0, root, kRoot) != 0) return false;
  path = inner.substr(root);
  return !path.empty();
}

}  // namespace

bool ReadRegFile(std::string_view bytes, RegFileVisitor& visitor) {
  // The closing line, and the checksum of everything before it.
  const std::string_view bom("\xFF\xFE", 2);
  if (bytes.size() < 2 || bytes.substr(0, 2) != bom || bytes.size() % 2 != 0) return false;
  WideString text = Utf16Text(bytes.substr(2));
  const size_t end_size = sizeof kEnd / sizeof kEnd[0] - 1 + 8 + 2;
  if (text.size() < end_size) return false;
  const size_t end_at = text.size() - end_size;
  if (text.compare(end_at, end_size - 10, kEnd) != 0 || text.compare(text.size() - 2, 2, u"\r\n") != 0) return false;
  if (end_at < 2 || text.compare(end_at - 2, 2, u"\r\n") != 0) return false;
  uint32_t stored = 0;
  for (size_t i = text.size() - 10; i < text.size() - 2; ++i) {
    const int d = HexDigit(text[i]);
    if (d < 0) return false;
    stored = stored << 4 | static_cast<uint32_t>(d);
  }
  if (Crc32(0, bytes.substr(0, 2 + end_at * 2)) != stored) return false;
  text.resize(end_at);

  Lines lines(text);
  WideString line;
  if (!lines.Next(line) || line != kHeader) return false;
  bool in_key = false;
  WideValue value;
  WideString path;
  while (!lines.AtEnd()) {
    if (!lines.Next(line)) return false;
    if (line.empty()) {
      in_key = false;
      continue;
    }
    const bool extended = line.compare(0, 2, kExtended) == 0;
    const size_t at = extended ? 2 : 0;
    if (!extended && line[0] == u';') continue;  // a comment
    if (line.compare(at, 2, u"[-") == 0) {
      if (!ParseKeyPath(line, at + 2, extended, path) || !visitor.DeleteKey(path)) return false;
      in_key = false;
    } else if (at < line.size() && line[at] == u'[') {
      if (!ParseKeyPath(line, at + 1, extended, path) || !visitor.Key(path)) return false;
      in_key = true;
    } else {
      if (!in_key || !ParseValue(line, at, lines, extended, value) || !visitor.Value(value)) return false;
    }
  }
  return true;
}

}  // namespace panestow
