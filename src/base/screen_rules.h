#pragma once

namespace mero::base {

struct ScreenPoint {
  int x = 0;
  int y = 0;
};

// Column width rule of every grid: n characters are n·6 + 7 pixels.
int CharsToPixels(int chars);
int PixelsToChars(int pixels);
// Places a pop-up of w × h at a point so that it stays on the screen: left of
// the right edge, and above the point when there is no room below it.
ScreenPoint FitPopupPos(ScreenPoint p, int w, int h);

}  // namespace mero::base
