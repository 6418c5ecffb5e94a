// The program's one way to the registry: a root key and at most one current
// key, on which the value operations act. Names and texts are ANSI text; an
// empty value name stands for the key's unnamed default value.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Error.h"

namespace panestow {

enum class RegRoot { CurrentUser, ClassesRoot };

// What TypeOfValue tells apart.
enum class RegDataType { Text, ExpandText, Integer, Binary, Other };

// Registry type codes as stored.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegDwordBigEndian = 5;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kRegQword = 11;

// A REG_DWORD as the registry stores it: four bytes, least significant
// first.
std::string EncodeDword(uint32_t value);
// The number in `data` (at most 4 bytes; a shorter one is zero-extended).
uint32_t DecodeDword(std::string_view data);

// What TypeOfValue answers for a value of this type code.
RegDataType DataTypeOf(uint32_t type);

// A value as one enumeration step returns it: name, type and raw data.
struct RegValue {
  std::string name;
  uint32_t type = kRegNone;
  std::string data;
};

// A failed read or write; the text names the value.
class RegistryError : public Error {
 public:
  using Error::Error;
};

// "'%s' の取得に失敗しました", "'%s' のデータ型が不正です",
// "'%s' の設定に失敗しました" with `name` in place of %s.
RegistryError GetFailed(const std::string& name);
RegistryError BadType(const std::string& name);
RegistryError SetFailed(const std::string& name);

class RegistryStore {
 public:
  // Release closes the current key.
  virtual ~RegistryStore() = default;

  // Changing the root closes the current key.
  virtual void SelectRoot(RegRoot root) = 0;

  // A path that begins with a backslash starts at the root, without that
  // backslash; any other path starts at the current key, or at the root
  // when there is none. With `create` and a non-empty path the key and every
  // missing key above it are created; otherwise the key must exist. The key
  // is opened for all access and becomes the current key. False, with the
  // current key unchanged, when it cannot be opened.
  virtual bool OpenPath(const std::string& path, bool create) = 0;

  // As OpenPath of an existing key, but with the right to query its values
  // only, so that a key the user may read but not write opens too. The
  // values of a key so opened are read; writes and removals fail.
  virtual bool OpenPathToRead(const std::string& path) = 0;

  virtual void ClosePath() = 0;

  // Clear `names` and fill it in the registry's enumeration order; it stays
  // empty when there is no current key or its information cannot be had.
  virtual void ListSubkeys(std::vector<std::string>& names) = 0;
  virtual void ListValues(std::vector<std::string>& names) = 0;

  // The values of the current key with their types and data, one
  // enumeration step each, in enumeration order. Empty without a current
  // key; throws RegistryError (GetFailed) when a step fails part-way.
  virtual void ListValueData(std::vector<RegValue>& values) = 0;

  virtual RegDataType TypeOfValue(const std::string& name) = 0;

  // Text up to its first NUL; a missing or empty value gives empty text.
  // Throws GetFailed or BadType (neither REG_SZ nor REG_EXPAND_SZ).
  virtual std::string ReadText(const std::string& name) = 0;

  // Throws GetFailed when the value is missing or longer than 4 bytes,
  // BadType when it is not a REG_DWORD.
  virtual int32_t ReadNumber(const std::string& name) = 0;

  // A REG_SZ of the text and one NUL; throws SetFailed.
  virtual void WriteText(const std::string& name, const std::string& text) = 0;

  // A REG_DWORD of the 4 bytes of `value`; throws SetFailed.
  virtual void WriteNumber(const std::string& name, int32_t value) = 0;

  virtual bool RemoveValue(const std::string& name) = 0;
};

using RegistryStorePtr = std::unique_ptr<RegistryStore>;

}  // namespace panestow
