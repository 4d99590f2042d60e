// Layout values are designed in twips; the screen here has 96 dots per inch, so 15 twips
// make one pixel. Every layer converts through these two functions, so that a position
// set in twips and read back agrees everywhere (a design value that is not a whole number
// of pixels rounds to the nearest pixel, halves away from zero).
#pragma once

#include <cmath>

namespace twips {

inline constexpr int PerPixel = 15;

inline int ToPixels(int twips) { return int(std::lround(double(twips) / PerPixel)); }
inline constexpr int FromPixels(int pixels) { return pixels * PerPixel; }

} // namespace twips
