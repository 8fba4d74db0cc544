#pragma once

#include <QByteArray>

// The cut markers of a page load: while the start marker occurs, everything
// up to and including its first occurrence goes (so the bytes after its last
// occurrence remain); then the bytes are cut at the first end marker.
// True when the end marker was found.
bool CutMarkers(QByteArray &bytes, const QByteArray &startMark, const QByteArray &endMark);
