#include "ProductSite.h"

#include <QUrl>

QString productSite() {
    QString site = qEnvironmentVariable("PINLET_SITE");
    if (site.trimmed().isEmpty())
        site = QStringLiteral(PINLET_SITE_URL);
    site = site.trimmed();
    while (site.endsWith(u'/'))
        site.chop(1);
    if (!site.contains(QLatin1String("://")))
        site.prepend(QStringLiteral("http://"));
    return site;
}

QString supportMail() { return QStringLiteral(PINLET_SUPPORT_MAIL); }

QString versionFileUrl() { return productSite() + QStringLiteral("/pinletupdate/v.ini"); }

QString videoPageAddress(const QString& videoUrl) {
    return productSite() + QStringLiteral("/ytdownloader/?u=") + QString::fromLatin1(QUrl::toPercentEncoding(videoUrl));
}
