#include "engine/option_vocabulary.h"

#include "platform/translate.h"

#include <array>

namespace mirufo {
namespace {

using TResizeRow = TVocabularyEntry<TResizeMode>;
constexpr std::array kResizeModes = {
    TResizeRow{rzAuto, "auto", "actAlignAuto", N_("自動"),
               N_("オリジナル画像の短い辺を待受画像に合わせます"), N_("サイズ変更：自動")},
    TResizeRow{rzFitWidth, "width", "actAlignWidth", N_("幅に合わせる"),
               N_("オリジナル画像の幅を待受画像に合わせます"), N_("サイズ変更：幅に合わせる")},
    TResizeRow{rzFitHeight, "height", "actAlignHeight", N_("高さに合わせる"),
               N_("オリジナル画像の高さを待受画像に合わせます"), N_("サイズ変更：高さに合わせる")},
    TResizeRow{rzNone, "none", nullptr, nullptr, nullptr, N_("サイズ変更：なし")},
    TResizeRow{rzCustom, nullptr, nullptr, nullptr, nullptr, N_("サイズ変更：任意")},
};

using THorzRow = TVocabularyEntry<THorzAlign>;
constexpr std::array kHorzAligns = {
    THorzRow{haLeft, "left", "actAlignmentLeft", N_("左揃え"),
             N_("サイズ変更した画像を待受画像の左に揃えます。"), N_("水平位置：左揃え")},
    THorzRow{haCenter, "center", "actAlignmentCenter", N_("水平方向中央揃え"),
             N_("サイズ変更した画像を待受画像の中央に揃えます。"), N_("水平位置：中央揃え")},
    THorzRow{haRight, "right", "actAlignmentRight", N_("右揃え"),
             N_("サイズ変更した画像を待受画像の右に揃えます。"), N_("水平位置：右揃え")},
    THorzRow{haLookAt, "lookat", "actAlignmentLookAt", N_("注視点を中央に"),
             N_("設定した注視点を待受画像の中央に合わせます"), N_("水平位置：注視点を中央に")},
    THorzRow{haNone, nullptr, nullptr, nullptr, nullptr, N_("水平位置：なし")},
};

using TVertRow = TVocabularyEntry<TVertAlign>;
constexpr std::array kVertAligns = {
    TVertRow{vaTop, "top", "actLayoutTop", N_("上揃え"),
             N_("サイズ変更した画像を待受画像の上に揃えます。"), N_("垂直位置：上揃え")},
    TVertRow{vaMiddle, "middle", "actLayoutMiddle", N_("垂直方向中央揃え"),
             N_("サイズ変更した画像を待受画像の縦方向中央に揃えます。"), N_("垂直位置：中央揃え")},
    TVertRow{vaBottom, "bottom", "actLayoutBottom", N_("下揃え"),
             N_("サイズ変更した画像を待受画像の下に揃えます。"), N_("垂直位置：下揃え")},
    TVertRow{vaLookAt, "lookat", "actLayoutLookAt", N_("注視点を中央に"),
             N_("設定した注視点を待受画像の中央に合わせます"), N_("垂直位置：注視点を中央に")},
    TVertRow{vaNone, nullptr, nullptr, nullptr, nullptr, N_("垂直位置：なし")},
};

// The chosen colour has no name: the command line takes it as #RRGGBB.
using TBackgroundRow = TVocabularyEntry<TBackgroundMode>;
constexpr std::array kBackgroundModes = {
    TBackgroundRow{bgColor, nullptr, "actBGOptionalColor", N_("任意の色..."), nullptr,
                   N_("背景色：任意の色")},
    TBackgroundRow{bgTopLeft, "topleft", "actBGTopLeftColor", N_("左上の色"),
                   N_("オリジナル画像の左上の色で塗りつぶします。"), N_("背景色：左上の色")},
    TBackgroundRow{bgTopRight, "topright", "actBGTopRightColor", N_("右上の色"),
                   N_("オリジナル画像の右上の色で塗りつぶします。"), N_("背景色：右上の色")},
    TBackgroundRow{bgBottomLeft, "bottomleft", "actBGBottomLeftColor", N_("左下の色"),
                   N_("オリジナル画像の左下の色で塗りつぶします。"), N_("背景色：左下の色")},
    TBackgroundRow{bgBottomRight, "bottomright", "actBGBottomRightColor", N_("右下の色"),
                   N_("オリジナル画像の右下の色で塗りつぶします。"), N_("背景色：右下の色")},
};

using TSharpRow = TVocabularyEntry<TSharpness>;
constexpr std::array kSharpnesses = {
    TSharpRow{shNone, "none", "actSharp0", N_("なし"), nullptr, N_("シャープ：なし")},
    TSharpRow{shLow, "low", "actSharpLow", N_("シャープ（弱）"), nullptr,
              N_("シャープ：シャープ（弱）")},
    TSharpRow{shMiddle, "middle", "actSharpMiddle", N_("シャープ（中）"), nullptr,
              N_("シャープ：シャープ（中）")},
    TSharpRow{shHigh, "high", "actSharpHigh", N_("シャープ（強）"), nullptr,
              N_("シャープ：シャープ（強）")},
};

// The captions are the format dialog's list items; the ditherers' own names
// are not translated.
using TDitherRow = TVocabularyEntry<TDitherKind>;
constexpr std::array kDitherKinds = {
    TDitherRow{dkNone, "none", nullptr, N_("なし"), nullptr, nullptr},
    TDitherRow{dkFloydSteinberg, "floydsteinberg", nullptr, "FloydSteinberg", nullptr, nullptr},
    TDitherRow{dkStucki, "stucki", nullptr, "Stucki", nullptr, nullptr},
    TDitherRow{dkSierra, "sierra", nullptr, "Sierra", nullptr, nullptr},
    TDitherRow{dkJaJuNi, "jajuni", nullptr, "JaJuNi", nullptr, nullptr},
    TDitherRow{dkSteveArche, "stevearche", nullptr, "SteveArche", nullptr, nullptr},
    TDitherRow{dkBurkes, "burkes", nullptr, "Burkes", nullptr, nullptr},
};
static_assert(kDitherKinds.size() == kDitherKindCount);

} // namespace

TVocabulary<TResizeMode> ResizeModes() {
  return kResizeModes;
}
TVocabulary<THorzAlign> HorzAligns() {
  return kHorzAligns;
}
TVocabulary<TVertAlign> VertAligns() {
  return kVertAligns;
}
TVocabulary<TBackgroundMode> BackgroundModes() {
  return kBackgroundModes;
}
TVocabulary<TSharpness> Sharpnesses() {
  return kSharpnesses;
}
TVocabulary<TDitherKind> DitherKinds() {
  return kDitherKinds;
}

} // namespace mirufo
