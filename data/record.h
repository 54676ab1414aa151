#pragma once

#include "data/schema.h"

#include <QString>
#include <QVariant>
#include <QVector>

namespace kestrova {

// A field of a data set: its name, kind, and for text its length.
struct FieldInfo {
    QString name;
    FieldKind kind = FieldKind::Text;
    int length = 0; // characters; 0 = no limit
};

// One row as stored: an identifier (SQLite rowid, or the position in a
// result read by page) and the values in field order.
struct Row {
    qint64 id = -1;
    QVector<QVariant> values;
};

} // namespace kestrova
