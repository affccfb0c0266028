#include "ShortcutFile.h"

#include <QFile>

#include <liblnk.h>

namespace {

using SizeGetter = int (*)(liblnk_file_t*, size_t*, liblnk_error_t**);
using TextGetter = int (*)(liblnk_file_t*, uint8_t*, size_t, liblnk_error_t**);

std::optional<QString> readText(liblnk_file_t* file, SizeGetter getSize, TextGetter getText) {
    liblnk_error_t* error = nullptr;
    size_t size = 0;
    std::optional<QString> result;
    if (getSize(file, &size, &error) == 1 && size > 1) {
        QByteArray buffer(static_cast<qsizetype>(size), '\0');
        if (getText(file, reinterpret_cast<uint8_t*>(buffer.data()), size, &error) == 1) {
            const QString text = QString::fromUtf8(buffer.constData());
            if (!text.isEmpty())
                result = text;
        }
    }
    if (error)
        liblnk_error_free(&error);
    return result;
}

} // namespace

std::optional<QString> ShortcutTarget(const QString& path) {
    liblnk_file_t* file = nullptr;
    liblnk_error_t* error = nullptr;
    if (liblnk_file_initialize(&file, &error) != 1) {
        if (error)
            liblnk_error_free(&error);
        return std::nullopt;
    }
    std::optional<QString> result;
    const QByteArray name = QFile::encodeName(path);
    if (liblnk_file_open(file, name.constData(), LIBLNK_OPEN_READ, &error) == 1) {
        result = readText(file, liblnk_file_get_utf8_local_path_size, liblnk_file_get_utf8_local_path);
        if (!result)
            result = readText(file, liblnk_file_get_utf8_network_path_size, liblnk_file_get_utf8_network_path);
        if (!result)
            result = readText(file, liblnk_file_get_utf8_relative_path_size, liblnk_file_get_utf8_relative_path);
        liblnk_file_close(file, &error);
    }
    if (error)
        liblnk_error_free(&error);
    liblnk_file_free(&file, nullptr);
    return result;
}
