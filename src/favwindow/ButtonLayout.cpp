#include "ButtonLayout.h"

QRect ButtonLayout::slotRect(int n) const {
    const int q = effectiveQuantity();
    const int width = buttonWidth();
    const int top = (n / q - (n % q == 0 ? 1 : 0)) * (b2bHeight + 30) + b2bHeight;
    const int left = ((n - 1) % q) * (width + b2bWidth) + b2bWidth;
    return QRect(left, top, width, buttonHeight);
}
