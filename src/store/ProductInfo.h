#pragma once

#include <QString>

namespace product {
inline const QString Name = QStringLiteral("Pinlet");
inline const QString Version = QStringLiteral("20080513");
inline const QString ConfigFileName = QStringLiteral("Config.INI");
inline const QString FavDataFileName = QStringLiteral("Fav.Dat");
// Names the single-instance guard shared by every copy on the user's desktop.
inline const QString InstanceId = QStringLiteral("{5E1D0A37-9C42-4B8F-A6D3-0F27C9B1E48D}");
} // namespace product
