#pragma once

#include <QByteArray>

// A Fav.Dat record built byte by byte, independent of the program's own record code.
inline QByteArray recordBytes(qint32 id, const QByteArray& category, const QByteArray& name, const QByteArray& url,
                              const QByteArray& comment, char filler = '\0') {
    QByteArray r;
    const auto u = static_cast<quint32>(id);
    for (int i = 0; i < 4; ++i)
        r.append(static_cast<char>((u >> (8 * i)) & 0xFF));
    auto field = [&](const QByteArray& text, int max) {
        r.append(static_cast<char>(text.size()));
        r.append(text);
        r.append(QByteArray(max - text.size(), filler));
    };
    field(category, 10);
    field(name, 255);
    field(url, 255);
    field(comment, 100);
    return r;
}
