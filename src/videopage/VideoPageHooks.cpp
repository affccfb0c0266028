#include "VideoPageHooks.h"

#include "AppState.h"
#include "FavWindowHooks.h"
#include "TFrmFav.h"
#include "TYoutb.h"

#include <QPointer>

namespace {
QPointer<TYoutb> g_page;
}

TYoutb* videoPage() { return g_page; }

void OpenVideoPage(const QString& url) {
    appState().VideoUrl = url;
    if (!g_page)
        g_page = new TYoutb;
    g_page->showPage();
}

void installVideoPageHooks() {
    FavWindowHooks& hooks = favWindowHooks();
    hooks.openVideoPage = [](const QString& url) { OpenVideoPage(url); };
    hooks.afterMainWindow.append([](TFrmFav* main) {
        if (!g_page)
            g_page = new TYoutb;
        TYoutb* page = g_page;
        QObject::connect(main, &QObject::destroyed, page, [page] { delete page; });
    });
}
