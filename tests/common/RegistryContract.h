// The registry store's contract, as one suite run against every store: the
// in-memory one natively, the advapi32 one under Wine.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "registry/RegistryStore.h"
#include "registry/WideRegistry.h"

namespace panestow::test {

// What the suite needs around a store: fresh store objects, a scratch key,
// and ways to set up values and keys behind the store's back.
class RegistryFixture {
 public:
  virtual ~RegistryFixture() = default;
  virtual RegistryStorePtr NewStore() = 0;
  // The wide view of the same registry.
  virtual WideRegistryPtr NewWide() = 0;
  // A scratch key under HKEY_CURRENT_USER, with a leading backslash; it
  // exists and is empty when the test starts.
  virtual std::string Base() = 0;
  // A path under HKEY_CLASSES_ROOT, without a leading backslash, free for
  // the test.
  virtual std::string ClassesBase() = 0;
  // Sets a value of any type and raw data; `key` is a path under
  // HKEY_CURRENT_USER with a leading backslash, or under HKEY_CLASSES_ROOT
  // when `classes_root` is set; missing keys are created.
  virtual void SetRaw(const std::string& key, const std::string& name, uint32_t type, const std::string& data,
                      bool classes_root = false) = 0;
  // The key stays readable but can no longer be opened for all access.
  virtual void MakeReadOnly(const std::string& key) = 0;
};

struct FixtureMaker {
  std::string name;
  std::function<std::unique_ptr<RegistryFixture>()> make;
};

class RegistryContract : public ::testing::TestWithParam<FixtureMaker> {
 protected:
  void SetUp() override { fixture_ = GetParam().make(); }
  void TearDown() override { fixture_.reset(); }
  RegistryFixture& fixture() { return *fixture_; }

 private:
  std::unique_ptr<RegistryFixture> fixture_;
};

inline void PrintTo(const FixtureMaker& maker, std::ostream* os) { *os << maker.name; }

inline std::string FixtureName(const ::testing::TestParamInfo<FixtureMaker>& info) { return info.param.name; }

}  // namespace panestow::test
