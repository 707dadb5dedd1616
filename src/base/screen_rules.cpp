#include "base/screen_rules.h"

#include "base/runtime.h"

namespace mero::base {

int CharsToPixels(int chars) { return chars * 6 + 7; }

int PixelsToChars(int pixels) { return (pixels - 7) / 6; }

ScreenPoint FitPopupPos(ScreenPoint p, int w, int h) {
  const Runtime& rt = Rt();
  if (p.x + w > rt.screenWidth) p.x = rt.screenWidth - w - 2;
  p.y = p.y + h + 16 > rt.screenHeight ? p.y - h - 2 : p.y + 16;
  return p;
}

}  // namespace mero::base
