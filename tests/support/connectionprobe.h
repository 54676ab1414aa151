#pragma once

// The connection a table or query runs on, for tests that look behind the
// data layer (locks, pragmas, the engine's own view of a file).

#include "data/query.h"
#include "data/table.h"

#include <QSqlDatabase>

namespace kestrova {

class ConnectionProbe {
public:
    static QSqlDatabase database(const Table& table) { return table.database(); }
    static QSqlDatabase database(const Query& query) { return query.database(); }
};

} // namespace kestrova
