#pragma once

#include <QLoggingCategory>

// Debug traces of the grid; off unless QT_LOGGING_RULES turns "ostrel.grid.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcGrid)
