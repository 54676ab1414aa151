#include "tests/support/tablefixture.h"

#include "data/error.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

TableFixture::TableFixture()
{
    kestrova::createEmptyTableSet(m_dir.path());
}

TableFixture::~TableFixture() = default;

QString TableFixture::path(const QString& table) const
{
    return QDir(m_dir.path()).filePath(table + QStringLiteral(".db"));
}

QList<QVariantList> TableFixture::rows(const QString& table, const QString& sql, const QVariantList& binds)
{
    const QString name = QStringLiteral("fixture-") + QUuid::createUuid().toString();
    QList<QVariantList> out;
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path(table));
        db.open();
        QSqlQuery q(db);
        q.prepare(sql);
        for (const QVariant& v : binds)
            q.addBindValue(v);
        if (!q.exec()) {
            failure = q.lastError().text();
        } else {
            while (q.next()) {
                QVariantList row;
                for (int i = 0; i < q.record().count(); ++i)
                    row << q.value(i);
                out << row;
            }
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw kestrova::Error(failure + QStringLiteral(" in ") + sql);
    return out;
}

void TableFixture::exec(const QString& table, const QString& sql, const QVariantList& binds)
{
    rows(table, sql, binds);
}

QVariant TableFixture::value(const QString& table, const QString& sql, const QVariantList& binds)
{
    const auto r = rows(table, sql, binds);
    return r.isEmpty() || r.first().isEmpty() ? QVariant() : r.first().first();
}

QByteArray TableFixture::fileBytes(const QString& table) const
{
    QFile f(path(table));
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void TableFixture::addOrders(const QStringList& persons)
{
    for (const QString& p : persons)
        exec(QStringLiteral("Xsale"), QStringLiteral("INSERT INTO Xsale (Person) VALUES (?)"), {p});
}
