#pragma once

#include <QRect>

// The grid of favorite buttons. Slot n (from 1) stands in row (n-1) div Q and column
// (n-1) mod Q; rows are H+30 apart below a top margin of H, columns width+W apart after a
// left margin of W, and a button is (L+2)*7 wide and 25 high.
struct ButtonLayout {
    int quantityPerLine = 5; // Q
    int captionLength = 12;  // L
    int b2bHeight = 6;       // H
    int b2bWidth = 12;       // W

    // Values that would divide by zero or give negative widths are laid out as the nearest sane ones.
    int effectiveQuantity() const { return quantityPerLine < 1 ? 1 : quantityPerLine; }
    int effectiveCaptionLength() const { return captionLength < 0 ? 0 : captionLength; }

    int buttonWidth() const { return (effectiveCaptionLength() + 2) * 7; }
    static constexpr int buttonHeight = 25;
    QRect slotRect(int n) const;
};
