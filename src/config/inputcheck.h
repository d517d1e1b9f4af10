#pragma once

#include <QByteArrayView>
#include <QString>

// A sentence for the user when the bytes read from the settings file at path do not look like text settings:
// NUL bytes, many control characters, or a file marked as UTF-8 that holds bytes that are not UTF-8. Empty for
// a text file, 8-bit (Windows-1252) or UTF-8. Only a warning: the file still loads, and a save still keeps
// every byte outside the sections it writes. One pass over the bytes, so it costs little even on a huge file.
QString describeUnusualContent(QByteArrayView bytes, const QString &path);
