#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

// The category a favorite is saved in, from the text of the editor's category box.
struct CategoryChoice {
    QString name;      // the existing category's own spelling, or the new name as typed
    int position = -1; // position in the category list; -1 for a category still to be made
    QString problem;   // why the text cannot be used; empty when it can
};
// A name differing from an existing category only in letter case means that category: saved
// any other way, the favorite would find no page at the next start.
CategoryChoice ChooseCategory(const QString& boxText, const QStringList& categories);

// Where the editor opens: 115 pixels below the main window's top edge, centred across the
// screen, unless the main window sits low; then nothing (centred on the screen).
std::optional<QPoint> EditorPosition(int mainTop, int mainHeight, QSize screen, QSize dialog);
