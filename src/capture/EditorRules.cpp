#include "EditorRules.h"

#include "CategoryName.h"

CategoryChoice ChooseCategory(const QString& boxText, const QStringList& categories) {
    CategoryChoice choice;
    for (int i = 0; i < categories.size(); ++i)
        if (categories[i].compare(boxText, Qt::CaseInsensitive) == 0 && !boxText.isEmpty()) {
            choice.name = categories[i];
            choice.position = i;
            return choice;
        }
    choice.name = boxText;
    if (boxText.isEmpty())
        choice.problem = QStringLiteral("Choose a category for the favorite, or type the name of a new one.");
    else
        choice.problem = CategoryNameProblem(boxText);
    return choice;
}

std::optional<QPoint> EditorPosition(int mainTop, int mainHeight, QSize screen, QSize dialog) {
    // C-style division: truncates toward zero also for a main window taller than the screen.
    if (mainTop < (screen.height() - mainHeight) / 2 + 100)
        return QPoint((screen.width() - dialog.width()) / 2, mainTop + 115);
    return std::nullopt;
}
