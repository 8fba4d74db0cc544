#pragma once

#include <QByteArray>

// What the first bytes of a body say: a picture was asked for, and a shop's
// error page must not be stored as one.

// Leading bytes of a saved body looked at.
inline constexpr qsizetype kSniffBytes = 256;

// Begins like an HTML page (after blanks and a byte-order mark).  Other
// unknown content may still be a picture in a format fix-format knows by its
// name only, so it is kept.
bool LooksLikePage(QByteArray head);

// Begins with the signature of a picture format.
bool LooksLikePicture(const QByteArray &head);
