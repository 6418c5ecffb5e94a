// What a layout file records and where it comes from: Jw_cad's keys, the
// data field of each value type, and how a restore reads the file's
// sections and value lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "layout/LineList.h"
#include "registry/RegistryStore.h"

namespace panestow {

// The key whose subkeys hold Jw_cad's screen layout, under HKEY_CURRENT_USER,
// as a path from the root.
inline constexpr char kJwCadKeyPath[] = "Software\\Jw_cad\\jw_win";

// Jw_cad's open command: the default value of this key under
// HKEY_CLASSES_ROOT.
inline constexpr char kOpenCommandKeyPath[] = "Jwwin.Document\\shell\\open\\command";

// Registry store paths (a leading backslash starts at the root) of the
// Jw_cad key and of one of its subkeys.
std::string JwCadKey();
std::string JwCadSubkey(std::string_view name);

// The key above the Jw_cad key, Jw_cad's own, as a path from the root:
// nothing of Panestow's reaches above it.
std::string JwCadVendorKey();

// Stands in a layout file for data that is not recorded: the full-width
// space, 0x81 0x40.
extern const char kPlaceholder[];

// The data field of a value line for a value of this type and data: a
// REG_SZ between double quotes, a REG_DWORD in signed decimal, anything
// else the placeholder. Throws GetFailed for a REG_DWORD longer than 4
// bytes.
std::string DataField(const RegValue& value);

// One section as a restore walks it.
struct LayoutSection {
  std::string key_name;    // the header line without its first and last byte
  int64_t first_line = 0;  // its first value line
  int64_t value_lines = 0; // how many value lines follow, never past the end
  // The name would make the key path the Jw_cad key itself (empty, or only
  // backslashes, which the registry skips): the section is passed over.
  bool names_jw_cad_key = false;
};

// The sections of a layout file in file order, read strictly in sequence
// by the counts: line 0 gives the section count, each section is a header
// line, a count line and that many value lines. Reading stops at the
// file's last line whatever the counts promise.
class SectionReader {
 public:
  explicit SectionReader(const LineList& lines);
  // The next section; false when there is none.
  bool Next(LayoutSection& section);

 private:
  const LineList& lines_;
  int32_t sections_;
  int32_t read_ = 0;
  int64_t line_ = 1;
};

// What one value line asks a restore to write.
struct ValueWrite {
  std::string name;
  bool is_text = false;
  std::string text;    // for a REG_SZ
  int32_t number = 0;  // for a REG_DWORD
};

// Reads a value line: the name before the first TAB, the data after it. A
// line with no name or no data, or either one the placeholder, writes
// nothing (false). Data that begins with a double quote is text without its
// first and last byte; anything else is a number, 0 when it is not one.
bool ReadValueLine(std::string_view line, ValueWrite& write);

}  // namespace panestow
