#pragma once

#include <cmath>

// Window geometry and column widths are kept in twips (1/1440 inch) and shown
// through the screen's logical resolution. Every conversion goes through here.

inline constexpr int kTwipsPerInch = 1440;

inline int TwipsToPixels(int twips, double dotsPerInch)
{
    return int(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

inline int PixelsToTwips(int pixels, double dotsPerInch)
{
    if (dotsPerInch <= 0)
        return 0;
    return int(std::lround(pixels * kTwipsPerInch / dotsPerInch));
}
