#pragma once

// Registers the pictures compiled into this library. A static library's resources are only linked in when
// something calls their initialiser; ImageList does so on first use, and callers that read ":/" paths
// before making an ImageList call this themselves. Safe to call more than once.
void initComponentResources();
