#pragma once

#include "LinkSources.h"

#include <QList>

class QWidget;
class TFrmFav;

// Opens a favorite editor owned by owner, modally, and destroys it when it closes. Add mode
// takes DroppedFile as it stands; droppedTitle goes with a dragged web link. DroppedFile is
// empty afterwards, whatever happened.
int OpenFavoriteEditor(TFrmFav* mainWindow, QWidget* owner, bool editMode, int recordNo = 0, qint32 favId = 0,
                       const QString& droppedTitle = QString());
// One add-mode editor per dropped item, one after the other; cancelling one goes on with the next.
void OpenEditorsForDrop(TFrmFav* mainWindow, QWidget* owner, const QList<DroppedItem>& items);
