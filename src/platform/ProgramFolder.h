#pragma once

#include <QString>

// The program folder: the running executable's folder, ending in "/". Programs, help and the
// sample files live there.
QString programFolder();

// Where the data files (Config.INI, Fav.Dat, update/) live: the program folder when it can
// be written (a portable install), else $XDG_DATA_HOME/Pinlet/. Ends in "/".
QString dataFolder();

// Tests run the windows on a folder of their own.
void setProgramFolderForTesting(const QString& folder);
