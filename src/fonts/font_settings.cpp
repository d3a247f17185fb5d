#include "fonts/font_settings.h"

#include "app/messages.h"
#include "app/text.h"
#include "fonts/makefont.h"
#include "store/hash_table.h"

namespace panelcraft {

namespace {

std::string Unset() { return Gbk("未设置(需要设置才能生成点阵)"); }

std::string FaceOrDefault(const THashTable& store, const std::string& key) {
  std::string face = store.Value(key);
  return face.empty() ? Gbk("宋体") : face;
}

}  // namespace

std::string FontKey(std::string_view kind, int32_t dotSize, std::string_view field) {
  return std::string(kind) + std::to_string(dotSize) + std::string(field);
}

FontSummary RefreshSummary(const THashTable& store) {
  FontSummary summary;
  for (size_t i = 0; i < kSmallFontSizes.size(); ++i) {
    const int32_t n = kSmallFontSizes[i];
    const std::string hzFace = store.Value(FontKey("hz", n, "zt"));
    if (hzFace.empty()) {
      summary.Chinese[i] = Unset();
      summary.AnyFaceUnset = true;
    } else {
      const int32_t choice = store.IntValue(FontKey("hz", n, "bf"));
      summary.Chinese[i] = Gbk("字体:") + hzFace + "  " +
                           (choice == 0   ? Gbk("部分汉字(小字库)")
                            : choice == 1 ? Gbk("GB2312汉字(简体全字库)")
                                          : Gbk("GBK汉字(简繁体全字库)"));
    }
  }
  for (size_t i = 0; i < kSmallFontSizes.size(); ++i) {
    const int32_t n = kSmallFontSizes[i];
    const std::string ascFace = store.Value(FontKey("asc", n, "zt"));
    if (ascFace.empty()) {
      summary.Ascii[i] = Unset();
      summary.AnyFaceUnset = true;
      continue;
    }
    summary.Ascii[i] = Gbk("字体:") + ascFace + "  " +
                       (store.IntValue(FontKey("asc", n, "bf")) != 0 ? Gbk("部分ASC字符") : Gbk("全部96个ASC字符"));
    if (store.IntValue(FontKey("asc", n, "dk")) == 1) summary.Ascii[i] += Gbk(" 强制等宽");
  }
  summary.GenerateEnabled = !summary.AnyFaceUnset;
  summary.Gbk16Checked = store.IntValue("hz16bf") == 4;
  return summary;
}

void SetGbk16(THashTable& store, bool checked) { store.PutInt("hz16bf", checked ? 4 : 0); }

void ChineseFontDialog::Load(const THashTable& store, int32_t dotSize) {
  DotSize = dotSize;
  Face = FaceOrDefault(store, FontKey("hz", dotSize, "zt"));
  Choice = store.IntValue(FontKey("hz", dotSize, "bf"));
  List = store.Value(FontKey("hz", dotSize, "memo"));
}

std::string ChineseFontDialog::Heading() const { return Gbk("当前设置") + std::to_string(DotSize) + Gbk("点阵汉字"); }

std::string ChineseFontDialog::Refusal(int32_t dotSize, int32_t choice) {
  if (choice <= 0) return {};
  // The dialog's GBK choice is any value above 1.
  return Tmakefont::FullFontRefusal(dotSize, choice == 1 ? 3 : 4).value_or(std::string());
}

bool ChineseFontDialog::Confirm(THashTable& store, UserMessages& messages) const {
  if (const std::string refusal = Refusal(DotSize, Choice); !refusal.empty()) {
    messages.Show(refusal);
    return false;
  }
  store.Put(FontKey("hz", DotSize, "zt"), Face);
  store.PutInt(FontKey("hz", DotSize, "bf"), Choice);
  store.Put(FontKey("hz", DotSize, "memo"), List);
  return true;
}

void AsciiFontDialog::Load(const THashTable& store, int32_t dotSize) {
  DotSize = dotSize;
  Face = FaceOrDefault(store, FontKey("asc", dotSize, "zt"));
  FixedWidth = store.IntValue(FontKey("asc", dotSize, "dk"));
  Set = store.IntValue(FontKey("asc", dotSize, "bf"));
  List = store.Value(FontKey("asc", dotSize, "memo"));
}

std::string AsciiFontDialog::Heading() const {
  return Gbk("当前设置") + std::to_string(DotSize) + Gbk("点阵英文字符");
}

void AsciiFontDialog::Confirm(THashTable& store) const {
  store.Put(FontKey("asc", DotSize, "zt"), Face);
  store.PutInt(FontKey("asc", DotSize, "dk"), FixedWidth);
  store.PutInt(FontKey("asc", DotSize, "bf"), Set);
  store.Put(FontKey("asc", DotSize, "memo"), List);
}

}  // namespace panelcraft
