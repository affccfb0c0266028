#pragma once

#include "IniFile.h"

#include <QString>
#include <QStringList>
#include <functional>

// Operations on Config.INI and Fav.Dat. Every record read or written passes through
// appState().CurrentFavorite. Files are opened and closed inside each operation.
QString ConfigPath();
QString FavDataPath();
IniFile configFile();

// Creates an empty Fav.Dat when there is none.
void CreateFavDataWhenMissing();
// Writes CurrentFavorite as a new last record (a trailing part-record is overwritten).
void AppendFavorite();
// Reads every whole record in order into CurrentFavorite and calls visit after each.
void ForEachFavorite(const std::function<void()>& visit);
// Finds the first record with this ID; leaves it in CurrentFavorite and returns its 1-based
// count, or 0 when no record has it.
int FindFavoriteById(qint32 id);
// Writes CurrentFavorite over the record at 1-based count.
void OverwriteFavorite(int count);
// Gives every record whose Category is exactly oldName (removed ones too) the category
// newName, in place. Returns how many records were rewritten.
int RenameCategoryInRecords(const QString& oldName, const QString& newName);

// The [Categories] key names in file order (a name repeated in another letter case counts once).
void ReadCategories(QStringList& list);
// Writes 1 under every name of CategoryList, in one write of the file.
void WriteCategories();
// [FavID] NewID, counted on; never an ID that a record of Fav.Dat already has.
int NextFavoriteID();
// Renames a key in place, keeping its value and its position. valueKind: 0 Boolean, 1 integer,
// 2 text, 3 date, 4 time, 5 date and time, other floating point. The section is rebuilt in
// memory and the file written once, so a failure leaves the file as it was.
bool RenameIniKey(const QString& path, const QString& section, const QString& oldKey, int valueKind,
                  const QString& newKey);
