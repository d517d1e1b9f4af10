#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// QTA.INI is 8-bit text. Names and values cross into Unicode here and nowhere else: the ANSI code page on
// Windows, Windows-1252 elsewhere. Every byte decodes to a character of its own, so any file round-trips.
namespace AnsiText {

QString decode(QByteArrayView bytes);

// Characters the code page cannot hold become '?', as the platform's own conversion does.
QByteArray encode(QStringView text);

// Appends the encoded text to out, without a temporary array.
void appendEncoded(QStringView text, QByteArray &out);

// True when every character of text survives encode() and decode() unchanged.
bool canEncode(QStringView text);

#ifdef Q_OS_WIN
// Test hook: convert with this code page instead of the system's ANSI code page; 0 goes back to the system's.
void setCodePageForTesting(unsigned codePage);
#endif

} // namespace AnsiText
