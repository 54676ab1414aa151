#include "data/tablefile.h"

#include "data/sqlstatement.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QUrl>

namespace kestrova {

QString engineMessage(const QSqlError& e)
{
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.driverText().trimmed();
    if (text.isEmpty())
        text = e.text().trimmed();
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString fileUri(const QString& path, bool readOnly)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) +
           (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

QString openConnection(const QString& connection, const QString& databaseName, const QString& options)
{
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databaseName);
        db.setConnectOptions(options);
        if (!db.open()) {
            failure = engineMessage(db.lastError());
        } else {
            try {
                sqliteHandle(db);
            } catch (const std::exception& e) {
                failure = QString::fromUtf8(e.what());
                db.close();
            }
        }
    }
    if (!failure.isEmpty())
        QSqlDatabase::removeDatabase(connection);
    return failure;
}

void closeConnection(const QString& connection)
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

FieldKind kindOfDeclaredType(const QString& declared, int* length)
{
    const QString t = declared.toUpper();
    *length = 0;
    static const QRegularExpression len(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    if (t.contains(QLatin1String("DATE")))
        return FieldKind::Date;
    if (t.contains(QLatin1String("INT")))
        return FieldKind::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB")) ||
        t.isEmpty()) {
        const auto m = len.match(t);
        if (m.hasMatch())
            *length = m.captured(1).toInt();
        return FieldKind::Text;
    }
    return FieldKind::Number;
}

QVector<FieldInfo> readFields(sqlite3* db, const QString& schema, const QString& table, QStringList* key)
{
    SqlStatement q(db, QStringLiteral("PRAGMA %1.table_info(%2)").arg(quoted(schema), quoted(table)));
    QVector<FieldInfo> fields;
    QMap<int, QString> pk;
    while (q.step()) {
        FieldInfo f;
        f.name = q.value(1).toString();
        f.kind = kindOfDeclaredType(q.value(2).toString(), &f.length);
        fields << f;
        if (q.value(5).toInt() > 0)
            pk.insert(q.value(5).toInt(), f.name);
    }
    if (key)
        *key = pk.values();
    return fields;
}

namespace {

QString kindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text:
        //: The kind of a table field, used in "the field %1 is a %2 field, where a %3 field is expected".
        return QCoreApplication::translate("data::TableFile", "text", "kind of field");
    case FieldKind::Number:
        //: The kind of a table field, used in "the field %1 is a %2 field, where a %3 field is expected".
        return QCoreApplication::translate("data::TableFile", "number", "kind of field");
    case FieldKind::Integer:
        //: The kind of a table field, used in "the field %1 is a %2 field, where a %3 field is expected".
        return QCoreApplication::translate("data::TableFile", "whole number", "kind of field");
    case FieldKind::Date:
        //: The kind of a table field, used in "the field %1 is a %2 field, where a %3 field is expected".
        return QCoreApplication::translate("data::TableFile", "date", "kind of field");
    }
    return {};
}

} // namespace

QString fieldMismatch(const QString& table, const QVector<FieldInfo>& fields)
{
    const TableDef* def = schemaTable(table);
    if (!def)
        return {};
    for (const FieldDef& want : def->fields) {
        const FieldInfo* have = nullptr;
        for (const FieldInfo& f : fields)
            if (f.name.compare(want.name, Qt::CaseInsensitive) == 0)
                have = &f;
        if (!have)
            //: %1 is the name of a field (e.g. NetAmount); shown after "Cannot open table ...:".
            return QCoreApplication::translate("data::TableFile", "the field %1 is missing").arg(want.name);
        // A whole number column may stand where a number is expected.
        const bool numeric = want.kind == FieldKind::Number && have->kind == FieldKind::Integer;
        if (have->kind != want.kind && !numeric)
            //: %1 is the name of a field (e.g. NetAmount); %2 and %3 are kinds of field (text, number,
            //: whole number, date).
            return QCoreApplication::translate("data::TableFile",
                                               "the field %1 is a %2 field, where a %3 field is expected")
                .arg(want.name, kindName(have->kind), kindName(want.kind));
    }
    return {};
}

} // namespace kestrova
