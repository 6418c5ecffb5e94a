// Helpers for building Jw_cad keys in a registry and reading them back.
#pragma once

#include <cstdint>
#include <string>

#include "registry/RegistryStore.h"

namespace panestow::test {

inline std::string DwordBytes(uint32_t v) { return EncodeDword(v); }

// REG_SZ data as the registry holds it: the text and one NUL.
inline std::string SzBytes(const std::string& text) { return text + std::string(1, '\0'); }

}  // namespace panestow::test
