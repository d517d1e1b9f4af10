#pragma once

#include "configformat.h"

#include <QList>
#include <QString>
#include <QStringList>

// The keys the two sections are written under, and the entries whose keys the file cannot keep apart: a key
// that repeats an earlier one (IniRules::sameKey) is one line of the file, so of two such entries only one
// survives a save.

// The key each toolbar entry is saved under: a button's tooltip as it stands; a separator's own name unless
// another entry has that key already, else a free "space" + number (from its 1-based position on). Separator
// names mean nothing to QTA, so renaming them loses nothing, and buttons never give way to a separator.
QStringList savedToolbarKeys(const QList<ToolbarButtonEntry> &buttons);

// Groups of 0-based positions of entries that are one key of the file, each group in list order; entries
// with a key of their own, and nameless ones (each keeps a line), are in no group. Keys are compared with
// IniRules::sameKey.
QList<QList<int>> sharedKeys(const QStringList &keys);

// For each toolbar button (empty for separators and for buttons that keep their line): why a save loses it or
// its name. The text names the other buttons.
QStringList toolbarKeyWarnings(const QList<ToolbarButtonEntry> &buttons);

// The same for each add-on, in the add-on list's words.
QStringList addOnKeyWarnings(const QList<AddOnEntry> &addOns);

// Sentences, one per group of entries that a save would write as one line, naming the entries and the one
// whose value the file keeps (the line stands at the first entry's place, under its name, with the last
// entry's value), and for a section whose first entry has an empty name, that QTA reads none of its entries.
// Empty when a save keeps every entry apart.
QStringList savedEntryLosses(const QList<ToolbarButtonEntry> &buttons, const QList<AddOnEntry> &addOns);
