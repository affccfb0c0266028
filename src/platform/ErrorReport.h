#pragma once

#include <QString>
#include <exception>

// The standard error report: the error's text with a full stop, the program's caption, an
// error icon and OK. Every event handler ends its errors here; none crosses a Qt frame.
void setErrorReportCaption(const QString& caption);
QString errorReportCaption();
void showErrorReport(const QString& text);
void showErrorReport(const std::exception& error);

// Runs f and reports what it throws. Returns false when it threw.
template <class F>
bool runGuarded(F&& f) {
    try {
        f();
        return true;
    } catch (const std::exception& e) {
        showErrorReport(e);
    }
    return false;
}
