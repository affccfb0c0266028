#include "CaptureHooks.h"

#include "AppState.h"
#include "EditorOpening.h"
#include "ErrorReport.h"
#include "FavWindowHooks.h"
#include "GlobalHotkey.h"
#include "LinkSources.h"
#include "TFrmFav.h"
#include "TFrmMain.h"

#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

namespace {

QPointer<TFrmMain>& dropZone() {
    static QPointer<TFrmMain> window;
    return window;
}

QPointer<GlobalHotkey>& hotkey() {
    static QPointer<GlobalHotkey> key;
    return key;
}

} // namespace

void installCaptureHooks() {
    FavWindowHooks& h = favWindowHooks();
    h.createDropZone = [](TFrmFav* main) {
        delete dropZone();
        auto* zone = new TFrmMain(main);
        dropZone() = zone;
        // The DropZone lives as long as the main window.
        QObject::connect(main, &QObject::destroyed, zone, [zone] { delete zone; });
        zone->show();
    };
    h.dropZoneItemAdded = [](int position, const QString& name) {
        if (dropZone())
            dropZone()->itemAdded(position, name);
    };
    h.dropZoneItemRenamed = [](int position, const QString& name) {
        if (dropZone())
            dropZone()->itemRenamed(position, name);
    };
    h.dropZoneItemRemoved = [](int position) {
        if (dropZone())
            dropZone()->itemRemoved(position);
    };
    h.showDropZone = [] {
        if (dropZone()) {
            dropZone()->show();
            dropZone()->raise();
        }
    };
    h.dropZoneGeometry = [] { return dropZone() ? dropZone()->frameGeometry() : QRect(); };
    h.placeDropZone = [](int top, int left) {
        if (dropZone())
            dropZone()->move(left, top);
    };
    h.showDropZoneImage = [] {
        if (dropZone())
            dropZone()->image()->show();
    };
    h.openEditor = [](TFrmFav* main, bool editMode, int recordNo, qint32 favId) {
        OpenFavoriteEditor(main, main, editMode, recordNo, favId);
    };
    h.registerHotKey = [](TFrmFav* main) {
        if (!hotkey()) {
            hotkey() = new GlobalHotkey(main);
            QObject::connect(hotkey(), &GlobalHotkey::activated, main,
                             [main] { runGuarded([main] { main->hotykey(); }); });
        }
        // A key that another program holds is not reported: Ctrl+D then simply stays theirs.
        hotkey()->registerKey();
    };
    h.releaseHotKey = [] {
        if (hotkey())
            hotkey()->unregisterKey();
    };
    h.acceptsDrop = [](const QMimeData* data) { return !DroppedItems(data).isEmpty(); };
    h.dataDropped = [](const QMimeData* data, TFrmFav* main) {
        const QList<DroppedItem> items = DroppedItems(data);
        // The drag ends first; the editors then open one after the other.
        QTimer::singleShot(0, main, [main, items] { runGuarded([&] { OpenEditorsForDrop(main, main, items); }); });
    };
}
