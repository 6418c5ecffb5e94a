#include "registry/RegistryStore.h"

namespace panestow {

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
