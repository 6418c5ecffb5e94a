// The registry store over advapi32's ANSI functions.
#pragma once

#include <windows.h>

#include "registry/RegistryStore.h"

namespace panestow {

class WinRegistryStore : public RegistryStore {
 public:
  WinRegistryStore() = default;
  ~WinRegistryStore() override;
  WinRegistryStore(const WinRegistryStore&) = delete;
  WinRegistryStore& operator=(const WinRegistryStore&) = delete;

  void SelectRoot(RegRoot root) override;
  bool OpenPath(const std::string& path, bool create) override;
  bool OpenPathToRead(const std::string& path) override;
  void ClosePath() override;
  void ListSubkeys(std::vector<std::string>& names) override;
  void ListValues(std::vector<std::string>& names) override;
  void ListValueData(std::vector<RegValue>& values) override;
  RegDataType TypeOfValue(const std::string& name) override;
  std::string ReadText(const std::string& name) override;
  int32_t ReadNumber(const std::string& name) override;
  void WriteText(const std::string& name, const std::string& text) override;
  void WriteNumber(const std::string& name, int32_t value) override;
  bool RemoveValue(const std::string& name) override;

 private:
  bool Open(const std::string& path, bool create, REGSAM access);

  HKEY root_ = HKEY_CURRENT_USER;
  HKEY current_ = nullptr;
};

RegistryStorePtr NewWinRegistryStore();

}  // namespace panestow
