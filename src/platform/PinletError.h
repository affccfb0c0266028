#pragma once

#include <QString>
#include <stdexcept>

// The one error type of store and logic code. Its text is what the standard error report shows.
class PinletError : public std::runtime_error {
public:
    explicit PinletError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

private:
    QString m_text;
};
