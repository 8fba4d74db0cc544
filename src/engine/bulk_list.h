#pragma once

#include <QStringList>

class CEngineState;
class IJobHost;

// At most this many product pages of a list load at the same time.
inline constexpr int kListPagesAtOnce = 4;

// List job for several addresses: loads their product pages a few at a time
// and adds one album per product, in the order of `addresses`, keeping each
// page for the download job (CEngineState::keptPages).  Pages that give no
// album are named in one notice at the end.  Stops at the list job's stop.
void AddProductAlbums(CEngineState &state, IJobHost &host, const QStringList &addresses);
