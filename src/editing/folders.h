#pragma once

#include <QString>

// The folders the user chose, remembered between runs: where QTA.INI is, where toolbar bitmaps and add-on
// programs are looked for. The window keeps them; the pages read them where a browse starts.
struct Folders
{
    QString ini;
    QString bitmaps;
    QString addOns;
};
