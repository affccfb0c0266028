// The browser engine of the video page, kept in a module of its own: linked into the program,
// the engine would set up OpenGL and load its libraries at every start (some 300 ms and
// 80 MiB here) for a page that most runs never show. The program loads this module when the
// page is first shown.
#include "WebViewModule.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QQuickWindow>
#include <QUrl>
#include <QWebEngineView>

// Qt's global share context, which the engine expects to exist before its first view.
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace {
// What the engine sets up when it is linked into a program, done here at the moment of use.
void prepareEngine() {
    if (qt_gl_global_share_context())
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}
} // namespace

extern "C" Q_DECL_EXPORT QWidget* pinlet_create_web_view(QWidget* parent) {
    prepareEngine();
    return new QWebEngineView(parent);
}

extern "C" Q_DECL_EXPORT void pinlet_web_view_load(QWidget* view, const char* encodedUrl) {
    if (auto* v = qobject_cast<QWebEngineView*>(view))
        v->load(QUrl::fromEncoded(QByteArray(encodedUrl)));
}
