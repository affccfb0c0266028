#include "EditorOpening.h"

#include "AppState.h"
#include "TFrmEdtFav.h"

#include <QPointer>
#include <QScopeGuard>

int OpenFavoriteEditor(TFrmFav* mainWindow, QWidget* owner, bool editMode, int recordNo, qint32 favId,
                       const QString& droppedTitle) {
    const auto clear = qScopeGuard([] { appState().DroppedFile.clear(); });
    QPointer<TFrmEdtFav> editor = new TFrmEdtFav(mainWindow, owner);
    editor->EditMode = editMode;
    editor->RecordNo = recordNo;
    editor->FavID = favId;
    editor->DroppedTitle = droppedTitle;
    const int result = editor->exec();
    delete editor;
    return result;
}

void OpenEditorsForDrop(TFrmFav* mainWindow, QWidget* owner, const QList<DroppedItem>& items) {
    QPointer<QWidget> guard(owner);
    for (const DroppedItem& item : items) {
        if (!guard)
            return;
        appState().DroppedFile = item.handOver();
        OpenFavoriteEditor(mainWindow, owner, false, 0, 0, item.title);
    }
}
