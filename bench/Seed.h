// Puts a model layout into the in-memory registry.
#pragma once

#include "bench/LayoutModel.h"
#include "layout/LayoutFile.h"
#include "registry/MemoryRegistryStore.h"

namespace panestow::bench {

inline void SeedMemory(MemoryRegistry& registry, const Layout& layout) {
  const std::string base = kJwCadKeyPath;
  MemoryRegistry::Key* own = registry.Create(base);
  for (const ModelValue& v : layout.own_values) MemoryRegistry::SetValue(own, v.name, v.type, v.data);
  for (const auto* keys : {&layout.captured, &layout.others}) {
    for (const ModelKey& key : *keys) {
      MemoryRegistry::Key* k = registry.Create(base + "\\" + key.name);
      for (const ModelValue& v : key.values) MemoryRegistry::SetValue(k, v.name, v.type, v.data);
    }
  }
}

}  // namespace panestow::bench
