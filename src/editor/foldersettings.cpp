#include "foldersettings.h"

#include <QSettings>
#include <memory>

namespace {

QString g_testFolder;

const QString kGroup = QStringLiteral("Folders");

std::unique_ptr<QSettings> openStore()
{
    if (!g_testFolder.isEmpty())
        return std::make_unique<QSettings>(g_testFolder + QStringLiteral("/QTAEdit.conf"), QSettings::IniFormat);
#ifdef Q_OS_WIN
    // The key earlier versions of the editor kept their folders under, so they carry over.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\QTAEdit"), QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("QTAEdit"),
                                       QStringLiteral("QTAEdit"));
#endif
}

} // namespace

namespace FolderSettings {

QString iniKey()
{
    return QStringLiteral("QTA.INI");
}

QString bitmapsKey()
{
    return QStringLiteral("Bitmaps");
}

QString exesKey()
{
    return QStringLiteral("Exes");
}

QString read(const QString &key, const QString &defaultValue)
{
    auto store = openStore();
    store->beginGroup(kGroup);
    return store->value(key, defaultValue).toString();
}

void write(const QString &key, const QString &value)
{
    auto store = openStore();
    store->beginGroup(kGroup);
    store->setValue(key, value);
}

void setStoreFolderForTesting(const QString &folder)
{
    g_testFolder = folder;
}

} // namespace FolderSettings
