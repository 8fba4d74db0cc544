#include "ui/window_growth.h"

QRect GrownRect(const QRect &base, GrowRule rule, QSize extra)
{
    // Never smaller than the first size: the layout was made for it.
    const int dw = std::max(0, extra.width());
    const int dh = std::max(0, extra.height());
    switch (rule) {
    case GrowRule::Grow:
        return base.adjusted(0, 0, dw, dh);
    case GrowRule::FollowBottom:
        return base.translated(0, dh);
    case GrowRule::Stay:
        break;
    }
    return base;
}
