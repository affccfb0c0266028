#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The four layout values of the options dialog, in the order of its boxes.
struct SetupValues {
    int quantityPerLine = 5;
    int captionLength = 12;
    int b2bHeight = 6;
    int b2bWidth = 12;

    bool operator==(const SetupValues&) const = default;
};

// Converts the texts of the four boxes. Throws PinletError("'<text>' is not a valid integer
// value") for the first one that is not an integer.
SetupValues ParseSetupValues(const QStringList& boxTexts);

struct SetupRangeProblem {
    int box; // 0..3, in the order of the boxes
    QString message;
};
// The first value that would break the button grid, with a message for the user.
std::optional<SetupRangeProblem> SetupRangeCheck(const SetupValues& v);

// The main window's width after a layout change: each added button per row takes one pitch
// (the width plus gap of the buttons just laid out), and each caption character 7 pixels in
// each of the old number of columns.
int AdjustedMainWidth(int width, int pitch, const SetupValues& before, const SetupValues& after);
