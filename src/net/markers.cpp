#include "net/markers.h"

bool CutMarkers(QByteArray &bytes, const QByteArray &startMark, const QByteArray &endMark)
{
    if (!startMark.isEmpty()) {
        for (qsizetype at; (at = bytes.indexOf(startMark)) >= 0;)
            bytes.remove(0, at + startMark.size());
    }
    if (!endMark.isEmpty()) {
        const qsizetype at = bytes.indexOf(endMark);
        if (at >= 0) {
            bytes.truncate(at);
            return true;
        }
    }
    return false;
}
