// Deterministic Jw_cad-like layouts for the benchmarks: the subkeys of the
// Jw_cad key with their values, as they would stand in the registry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace panestow::bench {

struct ModelValue {
  std::string name;
  uint32_t type;     // registry type code
  std::string data;  // raw bytes as stored (a REG_SZ with its NUL)
};

struct ModelKey {
  std::string name;
  std::vector<ModelValue> values;
};

struct Layout {
  // Subkeys that pass the capture filter: Dialog, FileView, LayerBar,
  // LayerGroupBar, Settings, UserBar and the ToolBar-xxx ones.
  std::vector<ModelKey> captured;
  // Subkeys and values a capture leaves alone; the key is "populated" with
  // them too, as Jw_cad's own is.
  std::vector<ModelKey> others;
  std::vector<ModelValue> own_values;  // values of the Jw_cad key itself
};

// Toolbar subkeys of the typical layout: with the six fixed subkeys this
// gives 40 subkeys and 720 values, an 11 KB layout file.
constexpr int kTypicalToolbars = 34;

// The same generator always gives the same layout; a larger one holds a
// smaller one's subkeys as they were and adds toolbars.
Layout MakeLayout(int toolbars);

// Toolbars of a layout with about `scale` times the typical number of
// values.
int ToolbarsForScale(int scale);

// The most toolbars whose layout file stays within `max_bytes`.
int ToolbarsForFileBytes(size_t max_bytes);

size_t ValueCount(const Layout& layout);

// Size of the layout file a capture writes for `layout` (independent of the
// order in which the registry lists subkeys and values).
size_t LayoutFileBytes(const Layout& layout);

// The values a restore writes back: REG_SZ and REG_DWORD, of the captured
// subkeys.
size_t WrittenValueCount(const Layout& layout);

}  // namespace panestow::bench
