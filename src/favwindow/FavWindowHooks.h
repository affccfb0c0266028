#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>

class QMimeData;
class TFrmFav;

// What the main window asks of the windows that are built on top of it (DropZone, editor,
// options, help, video page). The program wires them at start; each is optional, so the
// main window also runs alone in tests.
struct FavWindowHooks {
    // Creates and shows the DropZone; its creation fills CategoryList.
    std::function<void(TFrmFav*)> createDropZone;
    std::function<void(int position, const QString& name)> dropZoneItemAdded;
    std::function<void(int position, const QString& name)> dropZoneItemRenamed;
    std::function<void(int position)> dropZoneItemRemoved;
    std::function<void()> showDropZone;
    std::function<QRect()> dropZoneGeometry;
    std::function<void(int top, int left)> placeDropZone;
    std::function<void()> showDropZoneImage;
    // The favorite editor, modal: add mode, or edit mode on record recordNo (from 1) with ID favId.
    std::function<void(TFrmFav*, bool editMode, int recordNo, qint32 favId)> openEditor;
    std::function<void(TFrmFav*)> openOptions;
    std::function<void(TFrmFav*, QPoint globalPos)> popupHelp;
    std::function<void(const QString& url)> openVideoPage;
    std::function<void(TFrmFav*)> updateTrigger;
    std::function<void(TFrmFav*)> registerHotKey;
    std::function<void()> releaseHotKey;
    // Windows made once after the main window, in order (about box, video page).
    QList<std::function<void(TFrmFav*)>> afterMainWindow;
    // Drops on the main window: whether the capture takes what is dragged, and taking it.
    std::function<bool(const QMimeData*)> acceptsDrop;
    std::function<void(const QMimeData*, TFrmFav*)> dataDropped;
};

FavWindowHooks& favWindowHooks();
