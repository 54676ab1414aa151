#pragma once

#include "data/datasetstate.h"
#include "data/querytext.h"

#include <map>

#include <QSqlDatabase>
#include <QStringList>
#include <memory>

struct sqlite3;

namespace kestrova {

class QueryProgress;
class ResultPages;
class SqlStatement;

// An SQL text with named parameters. A single-table "Select *" over one of
// the tables gives an editable result whose posts write the table's rows;
// any other result is read-only, and is read a page at a time rather than
// held whole. The table files the text names are attached while it is open.
class Query : public DataSet {
    Q_OBJECT
public:
    explicit Query(QObject* parent = nullptr);
    ~Query() override;

    void setDirectory(const QString& dir) { m_dir = dir; }
    void setSql(const QStringList& lines);
    void setSql(const QString& text);
    QString sql() const { return m_sql; }
    void setParamText(const QString& name, const QString& value);
    void setParamValue(const QString& name, const QVariant& value);
    bool canModify() const override { return isOpen() && m_editable; }
    QString readOnlyMessage() const override;
    bool isEditableResult() const { return m_editable; }
    // Accept only one statement, a SELECT (or WITH ... SELECT) that reads
    // and nothing else: for texts typed by the user.
    void setSelectOnly(bool on) { m_selectOnly = on; }
    // Watches each run of the text and may stop it (none: runs to its end).
    void setProgress(QueryProgress* progress) { m_progress = progress; }
    QueryProgress* progress() const { return m_progress; }

    // The text the engine runs (see QueryText::parse). Exposed for tests.
    static QueryText prepare(const QString& text) { return QueryText::parse(text); }

protected:
    void doOpen() override;
    void doClose() override;
    std::optional<Row> fetchFirst() override;
    std::optional<Row> fetchLast() override;
    std::optional<Row> fetchNext(const Row& from) override;
    std::optional<Row> fetchPrior(const Row& from) override;
    std::optional<Row> fetchById(qint64 id) override;
    int doCount() override;
    int doIndexOf(const Row& row) override;
    std::vector<Row> fetchRange(int from, int count) override;
    qint64 doInsert(const QVector<QVariant>& values) override;
    bool doUpdate(const Row& original, const QVector<QVariant>& values) override;
    void doDelete(const Row& row) override;

private:
    // The query's own connection: the table files it names are attached
    // while it is open, and detached when it closes. Tests reach it through
    // a probe.
    friend class ConnectionProbe;
    QSqlDatabase database() const;

    std::optional<Row> rowAtPosition(qsizetype pos);
    QSqlDatabase connection();
    void checkSingleSelect(QSqlDatabase db, const QString& sql) const;
    void openEditable(QSqlDatabase db, const QString& sql, const QVariantList& binds);
    void openReadOnly(QSqlDatabase db, const QueryText& p, const QVariantList& binds);
    sqlite3* handle();
    static QSqlDatabase database(const QString& connection);
    void dropStatements();
    // The editable result's statements, prepared once per open.
    SqlStatement& statement(std::unique_ptr<SqlStatement>& slot, const QString& sql);
    void attach(const QString& table);
    void detachAllBut(const QStringList& keep);
    QString qualified() const;
    qsizetype positionOf(qint64 id) const;

    QString m_dir;
    QString m_sql;
    QHash<QString, QVariant> m_params; // lower-case names
    QString m_connection;
    QStringList m_attached;
    bool m_editable = false;
    bool m_selectOnly = false;
    QueryProgress* m_progress = nullptr;
    QString m_baseTable;
    QString m_selectList;
    std::vector<qint64> m_ids;            // editable results: the rowids, in order
    std::unique_ptr<ResultPages> m_pages; // read-only results
    bool m_idsSorted = true;
    std::unique_ptr<SqlStatement> m_byId, m_insert, m_update, m_delete;
    std::map<int, std::unique_ptr<SqlStatement>> m_ranges; // by the number of rows read
};

} // namespace kestrova
