#include "tools/demodata.h"

#include "data/error.h"
#include "data/tableset.h"

#include <QFile>

namespace kestrova {

void fillDemoData(const QString& dir)
{
    QFile file(QStringLiteral(":/kestrova/demo.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("The demo set is missing from the program: %1").arg(file.errorString()));
    fillTableSet(dir, file.readAll(), QStringLiteral("demo.sql"));
}

} // namespace kestrova
