#include "util/app_data_folder.h"

#include <QStandardPaths>

QString AppDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Lumbrack/Ostrel/");
}
