#pragma once

#include <QRect>
#include <QSize>

// How a control of the main window follows the window's size: the album list
// and its group box take the extra room, the lines below them move down with
// the list's bottom, the controls above keep their place.
enum class GrowRule
{
    Stay,
    Grow,        // wider and taller by the extra room
    FollowBottom // moved down by the extra height
};

// The control's place when the window is `extra` larger than its first size.
QRect GrownRect(const QRect &base, GrowRule rule, QSize extra);
