#include "TitleDash.h"

int LastTitleDash(const QString& title) {
    for (qsizetype i = title.size() - 2; i >= 1; --i) {
        const QChar c = title.at(i);
        const bool dash = c == u'-' || c == QChar(0x2013) || c == QChar(0x2014);
        if (dash && title.at(i - 1) == u' ' && title.at(i + 1) == u' ')
            return int(i);
    }
    return -1;
}
