#pragma once

#include <QtGlobal>

class QWidget;

// The entry points of the web view module (PinletWebView, in the program's folder).
extern "C" {
using CreateWebViewFn = QWidget* (*)(QWidget* parent);
using LoadWebViewFn = void (*)(QWidget* view, const char* encodedUrl);
}
