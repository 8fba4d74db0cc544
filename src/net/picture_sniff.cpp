#include "net/picture_sniff.h"

bool LooksLikePage(QByteArray head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    head = head.trimmed().left(16).toLower();
    static const char *const kStarts[] = {"<!doctype html", "<html", "<head", "<body", "<!--", "<title", "<script", "<meta"};
    for (const char *start : kStarts)
        if (head.startsWith(start))
            return true;
    return false;
}

bool LooksLikePicture(const QByteArray &head)
{
    static const char *const kSignatures[] = {"\xFF\xD8", "\x89PNG", "GIF8", "BM", "RIFF", "II*", "MM"};
    for (const char *signature : kSignatures)
        if (head.startsWith(signature))
            return true;
    return false;
}
