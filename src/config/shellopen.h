#pragma once

#include <QString>

// Hands a document path or a "mailto:" link (the scheme in any letter case) to the desktop's default handler.
// Returns false when nothing could take it (an empty target, no handler); callers may ignore that.
bool shellOpen(const QString &target);
