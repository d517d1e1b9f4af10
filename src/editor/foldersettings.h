#pragma once

#include <QString>

// The three folders the editor remembers between runs, in the user's settings store: application "QTAEdit",
// section "Folders", keys "QTA.INI", "Bitmaps" and "Exes".
namespace FolderSettings {

QString iniKey(); // "QTA.INI"
QString bitmapsKey(); // "Bitmaps"
QString exesKey(); // "Exes"

// The stored value, or defaultValue when the key is absent.
QString read(const QString &key, const QString &defaultValue = QString());
void write(const QString &key, const QString &value);

// Test hook: keep the settings in this folder instead of the user's own store. An empty path restores it.
void setStoreFolderForTesting(const QString &folder);

} // namespace FolderSettings
