// Twips (1440 per inch) to pixels and back at a given DPI.
#pragma once

constexpr int kTwipsPerInch = 1440;

// Rounds to the nearest pixel, halves away from zero.
constexpr int TwipsToPixels(int twips, int dpi) {
    long long v = static_cast<long long>(twips) * dpi;
    return static_cast<int>((v >= 0 ? v + kTwipsPerInch / 2 : v - kTwipsPerInch / 2) / kTwipsPerInch);
}

constexpr int PixelsToTwips(int pixels, int dpi) {
    long long v = static_cast<long long>(pixels) * kTwipsPerInch;
    return static_cast<int>((v >= 0 ? v + dpi / 2 : v - dpi / 2) / dpi);
}

// Points (1/72 inch) to pixels, for font heights.
constexpr int PointsToPixels(double points, int dpi) {
    double v = points * dpi / 72.0;
    return static_cast<int>(v >= 0 ? v + 0.5 : v - 0.5);
}
