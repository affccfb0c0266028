#include "LocaleDate.h"

#include "PinletError.h"

#include <QRegularExpression>

namespace {
enum class Order { DMY, MDY, YMD };

Order orderOf(const QLocale& locale) {
    const QString f = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype d = f.indexOf(u'd'), m = f.indexOf(u'M'), y = f.indexOf(u'y');
    if (y >= 0 && (d < 0 || y < d) && (m < 0 || y < m))
        return Order::YMD;
    if (m >= 0 && d >= 0 && m < d)
        return Order::MDY;
    return Order::DMY;
}

QChar separatorOf(const QLocale& locale) {
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat))
        if (!c.isLetter() && !c.isSpace() && c != u'\'')
            return c;
    return u'/';
}

int fullYear(const QString& text, int value) {
    if (text.size() > 2)
        return value;
    return value < 50 ? 2000 + value : 1900 + value;
}

[[noreturn]] void invalid(const QString& text) {
    throw PinletError(QStringLiteral("'%1' is not a valid date and time").arg(text));
}

bool toInt(const QString& s, int& out) {
    if (s.isEmpty() || s.size() > 4)
        return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    out = s.toInt();
    return true;
}

QTime parseTime(const QString& whole, QString text, const QLocale& locale) {
    text = text.trimmed();
    int addHours = 0;
    bool twelveHour = false;
    const QString upper = text.toUpper();
    const QStringList pm{QStringLiteral("PM"), locale.pmText().toUpper()};
    const QStringList am{QStringLiteral("AM"), locale.amText().toUpper()};
    for (const QString& mark : pm)
        if (!mark.isEmpty() && upper.endsWith(mark)) {
            text = text.left(text.size() - mark.size()).trimmed();
            twelveHour = true;
            addHours = 12;
            break;
        }
    if (!twelveHour)
        for (const QString& mark : am)
            if (!mark.isEmpty() && upper.endsWith(mark)) {
                text = text.left(text.size() - mark.size()).trimmed();
                twelveHour = true;
                break;
            }
    const QStringList parts = text.split(u':');
    if (parts.size() < 1 || parts.size() > 3)
        invalid(whole);
    int h = 0, m = 0, s = 0, ms = 0;
    if (!toInt(parts[0], h))
        invalid(whole);
    if (parts.size() > 1 && !toInt(parts[1], m))
        invalid(whole);
    if (parts.size() > 2) {
        QString sec = parts[2];
        const qsizetype dot = sec.indexOf(u'.');
        if (dot >= 0) {
            const QString frac = sec.mid(dot + 1);
            sec = sec.left(dot);
            if (!toInt(frac, ms) || frac.size() > 3)
                invalid(whole);
            for (qsizetype i = frac.size(); i < 3; ++i)
                ms *= 10;
        }
        if (!toInt(sec, s))
            invalid(whole);
    }
    if (twelveHour) {
        if (h < 1 || h > 12)
            invalid(whole);
        h = h % 12 + addHours;
    }
    const QTime t(h, m, s, ms);
    if (!t.isValid())
        invalid(whole);
    return t;
}
} // namespace

QDateTime parseLocaleDateTime(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        invalid(text);
    const qsizetype blank = trimmed.indexOf(u' ');
    const QString datePart = blank < 0 ? trimmed : trimmed.left(blank);
    const QString timePart = blank < 0 ? QString() : trimmed.mid(blank + 1);

    QString unified = datePart;
    const QChar sep = separatorOf(locale);
    unified.replace(u'-', u'/');
    if (sep != u'/')
        unified.replace(sep, u'/');
    const QStringList parts = unified.split(u'/');
    if (parts.size() < 2 || parts.size() > 3)
        invalid(text);
    int v[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i)
        if (!toInt(parts[i], v[i]))
            invalid(text);

    int day = 0, month = 0, year = 0;
    Order order = orderOf(locale);
    if (parts.size() == 3 && parts[0].size() == 4)
        order = Order::YMD;
    if (parts.size() == 2) {
        // Day and month only, in the locale's order; the year is this one.
        year = QDate::currentDate().year();
        if (order == Order::MDY || order == Order::YMD) {
            month = v[0];
            day = v[1];
        } else {
            day = v[0];
            month = v[1];
        }
    } else if (order == Order::YMD) {
        year = fullYear(parts[0], v[0]);
        month = v[1];
        day = v[2];
    } else if (order == Order::MDY) {
        month = v[0];
        day = v[1];
        year = fullYear(parts[2], v[2]);
    } else {
        day = v[0];
        month = v[1];
        year = fullYear(parts[2], v[2]);
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        invalid(text);
    const QTime time = timePart.trimmed().isEmpty() ? QTime(0, 0) : parseTime(text, timePart, locale);
    return QDateTime(date, time);
}
