#pragma once

#include <QString>
#include <QStringList>

// Marker-based text cutting and small text transforms used by the page readers
// and the file naming.  Searches are exact and case-sensitive; positions count
// UTF-16 units.

// GetBetween mode bits.
inline constexpr int GB_CUT_TEXT = 0x01; // the caller's text continues after the start marker
inline constexpr int GB_TO_END = 0x02;   // a missing end marker yields the rest of the text

// Finds the first `marker`; the text becomes the part from it (include false,
// marker kept at the front) or after it (include true).  Returns the position
// of the marker in the text before the cut, or -1 (text unchanged).
int CutAfter(const QString &marker, bool bInclude, QString &text);

// Finds the first `marker`; the text becomes the part before it.  Returns its
// position, or -1 (text unchanged).
int CutBefore(const QString &marker, QString &text);

// Sets `strOut` to the text between the first `start` and the next `end`
// (see the mode bits) and returns it.  Without the start marker the output is
// empty.  With GB_CUT_TEXT the caller's text is cut to what follows the start
// marker, so a loop can walk successive items.
QString &GetBetween(QString &strOut, const QString &start, const QString &end, int nMode,
                    QString &text);
// Same for a text the caller does not want cut (GB_CUT_TEXT is ignored).
QString GetBetween(const QString &start, const QString &end, int nMode, const QString &text);

// Non-overlapping occurrences of `sep`, left to right.  An empty separator counts 0.
int CountOccurrences(const QString &text, const QString &sep);

// Splits at every `sep`: count + 1 elements (empty ones kept), or no element
// at all when the text holds no separator.  Returns the number of separators.
int SplitString(QStringList &out, const QString &text, const QString &sep);

// Pairwise replacement with two "|"-separated lists.  When the lists hold a
// different number of bars, the whole old list is replaced by the whole new list.
void ReplaceEach(QString &text, const QString &oldList, const QString &newList);

// Decodes &amp; first, then &quot; &lt; &gt; &nbsp; &hellip; &#39; (each
// everywhere, so "&amp;gt;" gives ">"); nothing else.
void DecodeHtmlEntities(QString &text);

// A control character (C0, DEL, C1) or a line or paragraph separator: what
// ends a line or a field for some reader, and is never part of an address.
bool IsControlCharacter(QChar c);
