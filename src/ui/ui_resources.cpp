#include "ui/ui_resources.h"

#include <QtCore/qglobal.h>

void InitUiResources()
{
    Q_INIT_RESOURCE(ui);
}
