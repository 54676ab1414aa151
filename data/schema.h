#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kestrova {

enum class FieldKind { Text, Number, Integer, Date };

struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Text;
    int length = 0; // characters, text fields only
};

struct TableDef {
    QString name; // Xsale
    std::vector<FieldDef> fields;
    QStringList key;     // primary key fields, empty for rowid order
    QStringList indexes; // single-field secondary indexes

    QString fileName() const { return name + QStringLiteral(".db"); }
    const FieldDef* field(const QString& fieldName) const;
};

// The thirteen tables of a working folder.
const std::vector<TableDef>& schemaTables();
const TableDef* schemaTable(const QString& name);

// The order table's definition and its field names in stored order.
const TableDef& saleTable();
const QStringList& saleFieldNames();

// The settings rows of Xtable, in the order the settings editors load them,
// followed by the two invoice-numbering rows.
const QStringList& settingNames();

// SQL that creates one table file's table and its indexes.
QStringList createStatements(const TableDef& table);

// Creates the table file in dir. Throws when the file exists or cannot be
// written: an existing table is never overwritten.
void createTableFile(const QString& dir, const TableDef& table);

// Creates all thirteen files and the settings rows with empty values.
void createEmptyTableSet(const QString& dir);

// True when dir holds none of the thirteen table files.
bool folderHasNoTables(const QString& dir);

} // namespace kestrova
