#include "registry/RegistryStore.h"

namespace panestow {

std::string EncodeDword(uint32_t value) {
  return std::string{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                     static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
}

uint32_t DecodeDword(std::string_view data) {
  uint32_t bits = 0;
  for (size_t i = 0; i < data.size() && i < 4; ++i) {
    bits |= static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }
  return bits;
}

RegDataType DataTypeOf(uint32_t type) {
  switch (type) {
    case kRegSz: return RegDataType::Text;
    case kRegExpandSz: return RegDataType::ExpandText;
    case kRegDword: return RegDataType::Integer;
    case kRegBinary: return RegDataType::Binary;
    default: return RegDataType::Other;
  }
}

RegistryError GetFailed(const std::string& name) {
  return RegistryError("'" + name + "' の取得に失敗しました");
}

RegistryError BadType(const std::string& name) {
  return RegistryError("'" + name + "' のデータ型が不正です");
}

RegistryError SetFailed(const std::string& name) {
  return RegistryError("'" + name + "' の設定に失敗しました");
}

}  // namespace panestow
