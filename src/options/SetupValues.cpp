#include "SetupValues.h"

#include "IniFile.h"
#include "PinletError.h"

namespace {
int toInteger(const QString& text) {
    const std::optional<int> v = parseIniInteger(text);
    if (!v)
        throw PinletError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return *v;
}
} // namespace

SetupValues ParseSetupValues(const QStringList& boxTexts) {
    SetupValues v;
    v.quantityPerLine = toInteger(boxTexts.value(0));
    v.captionLength = toInteger(boxTexts.value(1));
    v.b2bHeight = toInteger(boxTexts.value(2));
    v.b2bWidth = toInteger(boxTexts.value(3));
    return v;
}

std::optional<SetupRangeProblem> SetupRangeCheck(const SetupValues& v) {
    if (v.quantityPerLine < 1)
        return SetupRangeProblem{0, QStringLiteral("QtyPerLine must be at least 1.")};
    if (v.captionLength < 1 || v.captionLength > 255)
        return SetupRangeProblem{1, QStringLiteral("CaptionLength must be from 1 to 255.")};
    if (v.b2bHeight < 0)
        return SetupRangeProblem{2, QStringLiteral("X distance must not be negative.")};
    if (v.b2bWidth < 0)
        return SetupRangeProblem{3, QStringLiteral("Y distance must not be negative.")};
    return std::nullopt;
}

int AdjustedMainWidth(int width, int pitch, const SetupValues& before, const SetupValues& after) {
    return width + pitch * (after.quantityPerLine - before.quantityPerLine) +
           (after.captionLength - before.captionLength) * 7 * before.quantityPerLine;
}
