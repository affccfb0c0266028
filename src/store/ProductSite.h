#pragma once

#include <QString>

// The product's web site without a trailing "/", such as "http://www.pinlet.example". The
// build fixes it; $PINLET_SITE points it elsewhere at run time (tests use a loopback server).
QString productSite();
// The support mailbox of the build.
QString supportMail();
// Where the newest version number is published.
QString versionFileUrl();
// The download page of the site for a video link. The link is percent-encoded whole, so that
// its own "&" and "#" reach the site as part of it.
QString videoPageAddress(const QString& videoUrl);
