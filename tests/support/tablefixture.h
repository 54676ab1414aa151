#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

// A fresh, empty table set in a temporary folder, with helpers that read and
// write the files directly (not through the code under test).
class TableFixture {
public:
    TableFixture();
    ~TableFixture();
    QString dir() const { return m_dir.path(); }
    QString path(const QString& table) const;

    // Runs one statement on a table file; throws on failure.
    void exec(const QString& table, const QString& sql, const QVariantList& binds = {});
    // All rows of a query as lists of values.
    QList<QVariantList> rows(const QString& table, const QString& sql, const QVariantList& binds = {});
    QVariant value(const QString& table, const QString& sql, const QVariantList& binds = {});
    // A file's bytes, to prove that something did not change it.
    QByteArray fileBytes(const QString& table) const;

    // Adds orders with the given persons (other fields empty or simple).
    void addOrders(const QStringList& persons);

private:
    QTemporaryDir m_dir;
    QString m_connection;
};
