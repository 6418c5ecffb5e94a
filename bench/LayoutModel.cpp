#include "bench/LayoutModel.h"

#include <cstdio>

#include "registry/RegistryStore.h"

namespace panestow::bench {

namespace {

constexpr uint32_t kSz = kRegSz, kExpandSz = kRegExpandSz, kBinary = kRegBinary, kDword = kRegDword,
                   kMultiSz = kRegMultiSz, kQword = kRegQword;

// A small fixed generator (xorshift32), seeded per subkey from its name, so
// that a subkey's values do not depend on what else the layout holds.
class Rng {
 public:
  explicit Rng(const std::string& seed) {
    state_ = 2166136261u;
    for (unsigned char c : seed) state_ = (state_ ^ c) * 16777619u;
    if (state_ == 0) state_ = 1;
  }
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t state_;
};

class KeyBuilder {
 public:
  explicit KeyBuilder(const std::string& name) : rng_(name) { key_.name = name; }

  void Number(const std::string& name, uint32_t v) { key_.values.push_back({name, kDword, EncodeDword(v)}); }
  // A screen coordinate or size; now and then -1, as "not set".
  void Coord(const std::string& name) {
    Number(name, rng_.Below(16) == 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(rng_.Below(1600)));
  }
  void Flag(const std::string& name) { Number(name, static_cast<uint32_t>(rng_.Below(2))); }
  void Small(const std::string& name) { Number(name, static_cast<uint32_t>(rng_.Below(32))); }
  void Command(const std::string& name) { Number(name, static_cast<uint32_t>(1000 + rng_.Below(9000))); }
  void Colour(const std::string& name) { Number(name, rng_.Next() & 0xFFFFFF); }
  void Text(const std::string& name, const std::string& text) {
    key_.values.push_back({name, kSz, text + std::string(1, '\0')});
  }
  void Raw(const std::string& name, uint32_t type, const std::string& data) {
    key_.values.push_back({name, type, data});
  }
  Rng& rng() { return rng_; }
  ModelKey Take() { return std::move(key_); }

 private:
  Rng rng_;
  ModelKey key_;
};

std::string Numbered(const char* stem, int i) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s%02d", stem, i);
  return buf;
}

void Bounds(KeyBuilder& k) {
  k.Coord("Left");
  k.Coord("Top");
  k.Coord("Width");
  k.Coord("Height");
}

ModelKey Dialog() {
  static const char* const kDialogs[] = {"Print", "Layer", "Text",  "Dim",   "Circle", "Arc",   "Hatch",
                                         "Attr",  "Env",   "File",  "Copy",  "Move",   "Symbol", "Block",
                                         "Image", "Grid",  "Scale", "Snap",  "Find",   "Sort"};
  KeyBuilder k("Dialog");
  for (const char* d : kDialogs) {
    k.Coord(std::string(d) + "DialogX");
    k.Coord(std::string(d) + "DialogY");
  }
  return k.Take();
}

ModelKey FileView() {
  static const char* const kDirs[] = {"C:\\JWW\\Data", "C:\\JWW\\Data\\図面", "D:\\案件\\2026\\集合住宅",
                                      "D:\\案件\\2026\\戸建", "C:\\JWW\\Sample", "\\\\server\\share\\jww"};
  KeyBuilder k("FileView");
  Bounds(k);
  k.Small("Cols");
  k.Small("Sort");
  k.Flag("ShowExt");
  k.Flag("Preview");
  k.Small("ThumbSize");
  k.Flag("Tree");
  k.Text("Filter", "*.jww;*.jwc");
  k.Text("LastDir", kDirs[k.rng().Below(6)]);
  for (int i = 0; i < 10; ++i) k.Text(Numbered("Dir", i), kDirs[k.rng().Below(6)]);
  k.Raw("ColumnWidths", kBinary, std::string(24, '\x30'));
  k.Coord("Split");
  return k.Take();
}

ModelKey LayerKey(const char* key_name, const char* stem) {
  static const char* const kLayerNames[] = {"壁", "建具", "寸法", "文字", "通り芯", "設備", "外構", "補助線",
                                            "家具", "仕上", "構造", "下書き", "", "Layer-A", "Layer-B", "ｶﾞｲﾄﾞ"};
  KeyBuilder k(key_name);
  Bounds(k);
  k.Flag("Docked");
  k.Small("Row");
  k.Flag("Visible");
  k.Flag("Float");
  for (int i = 0; i < 16; ++i) k.Text(Numbered(stem, i), kLayerNames[k.rng().Below(16)]);
  for (int i = 0; i < 8; ++i) k.Small(Numbered("State", i));
  return k.Take();
}

ModelKey Settings() {
  KeyBuilder k("Settings");
  k.Text("Font", "ＭＳ ゴシック");
  k.Text("FontDim", "ＭＳ 明朝");
  k.Text("FontUI", "MS UI Gothic");
  k.Text("Paper", "A3");
  k.Text("Scale", "1/100");
  k.Raw("TempDir", kExpandSz, std::string("%TEMP%\\jww") + '\0');
  k.Raw("Placement", kBinary, std::string("\x2c\0\0\0\x02\0\0\0\x03\0\0\0", 12) + std::string(32, '\x10'));
  k.Raw("Recent", kMultiSz, std::string("a.jww\0b.jww\0\0", 13));
  k.Raw("Stamp", kQword, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
  for (int i = 0; i < 16; ++i) k.Colour(Numbered("Color", i));
  for (int i = 0; i < 10; ++i) k.Small(Numbered("PenWidth", i));
  for (int i = 0; i < 10; ++i) k.Flag(Numbered("Option", i));
  for (int i = 0; i < 10; ++i) k.Coord(Numbered("Margin", i));
  for (int i = 0; i < 7; ++i) k.Small(Numbered("Grid", i));
  return k.Take();
}

ModelKey UserBar() {
  KeyBuilder k("UserBar");
  Bounds(k);
  k.Flag("Docked");
  k.Small("Row");
  k.Flag("Visible");
  k.Text("Caption", "ユーザー");
  for (int i = 0; i < 12; ++i) k.Command(Numbered("Cmd", i));
  return k.Take();
}

std::string ToolbarName(int i) {
  static const char* const kNamed[] = {
      "Main",   "Draw",    "Edit",    "Layer",   "Attr",    "Snap",   "View",    "File",    "Dim",
      "Text",   "Hatch",   "Symbol",  "Block",   "Image",   "Circle", "Arc",     "Curve",   "Solid",
      "Offset", "Trim",    "Fillet",  "Measure", "Info",    "Print",  "Grid",    "Zoom",    "Undo",
      "Copy",   "Move",    "Mirror",  "Rotate",  "Scale",   "Array",  "Extra"};
  constexpr int kNamedCount = sizeof kNamed / sizeof kNamed[0];
  if (i < kNamedCount) return std::string("ToolBar-") + kNamed[i];
  char buf[32];
  std::snprintf(buf, sizeof buf, "ToolBar-Ext%05d", i - kNamedCount);
  return buf;
}

ModelKey Toolbar(int i) {
  KeyBuilder k(ToolbarName(i));
  Bounds(k);
  k.Flag("DockState");
  k.Small("DockRow");
  k.Small("DockIndex");
  k.Flag("Visible");
  k.Flag("Floating");
  k.Text("Caption", ToolbarName(i).substr(8) + "ツールバー");
  for (int b = 0; b < 5; ++b) k.Command("Button" + std::to_string(b));
  return k.Take();
}

std::vector<ModelKey> Others() {
  std::vector<ModelKey> keys;
  KeyBuilder recent("Recent");
  for (int i = 0; i < 8; ++i) recent.Text(Numbered("File", i), "D:\\案件\\2026\\plan" + std::to_string(i) + ".jww");
  keys.push_back(recent.Take());
  KeyBuilder printer("Printer");
  printer.Text("Name", "Microsoft Print to PDF");
  printer.Small("Orientation");
  printer.Raw("DevMode", kBinary, std::string(64, '\x01'));
  keys.push_back(printer.Take());
  KeyBuilder plain("ToolBar");  // no dash: not captured
  plain.Flag("Visible");
  keys.push_back(plain.Take());
  return keys;
}

size_t DataFieldBytes(const ModelValue& v) {
  if (v.type == kSz) return v.data.find('\0') + 2;
  if (v.type == kDword) {
    return std::to_string(static_cast<int32_t>(DecodeDword(v.data))).size();
  }
  return 2;  // the placeholder
}

size_t KeyFileBytes(const ModelKey& key) {
  size_t bytes = key.name.size() + 2 + 2 + std::to_string(key.values.size()).size() + 2;
  for (const ModelValue& v : key.values) bytes += v.name.size() + 1 + DataFieldBytes(v) + 2;
  return bytes;
}

}  // namespace

Layout MakeLayout(int toolbars) {
  Layout layout;
  layout.captured.push_back(Dialog());
  layout.captured.push_back(FileView());
  layout.captured.push_back(LayerKey("LayerBar", "Layer"));
  layout.captured.push_back(LayerKey("LayerGroupBar", "Group"));
  layout.captured.push_back(Settings());
  layout.captured.push_back(UserBar());
  for (int i = 0; i < toolbars; ++i) layout.captured.push_back(Toolbar(i));
  layout.others = Others();
  layout.own_values.push_back({"Version", kSz, std::string("8.25a") + '\0'});
  layout.own_values.push_back({"Started", kDword, EncodeDword(3)});
  return layout;
}

int ToolbarsForScale(int scale) {
  const Layout typical = MakeLayout(0);
  const size_t fixed = ValueCount(typical);
  const size_t per_toolbar = Toolbar(0).values.size();
  const size_t want = static_cast<size_t>(scale) * ValueCount(MakeLayout(kTypicalToolbars));
  return static_cast<int>((want - fixed + per_toolbar / 2) / per_toolbar);
}

int ToolbarsForFileBytes(size_t max_bytes) {
  const Layout fixed = MakeLayout(0);
  size_t bytes = LayoutFileBytes(fixed);
  int toolbars = 0;
  for (;;) {
    const size_t next = KeyFileBytes(Toolbar(toolbars));
    // The section count line grows a digit now and then; keep room for it.
    if (bytes + next + 8 > max_bytes) return toolbars;
    bytes += next;
    ++toolbars;
  }
}

size_t ValueCount(const Layout& layout) {
  size_t n = 0;
  for (const ModelKey& key : layout.captured) n += key.values.size();
  return n;
}

size_t WrittenValueCount(const Layout& layout) {
  size_t n = 0;
  for (const ModelKey& key : layout.captured) {
    for (const ModelValue& v : key.values) n += (v.type == kSz || v.type == kDword) && !v.name.empty();
  }
  return n;
}

size_t LayoutFileBytes(const Layout& layout) {
  size_t bytes = std::to_string(layout.captured.size()).size() + 2;
  for (const ModelKey& key : layout.captured) bytes += KeyFileBytes(key);
  return bytes;
}

}  // namespace panestow::bench
