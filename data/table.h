#pragma once

#include "data/datasetstate.h"

#include <QMap>
#include <QStringList>
#include <QSqlDatabase>
#include <functional>
#include <map>
#include <memory>

struct sqlite3;

namespace kestrova {

class SqlStatement;
class Table;

// The rows of a table that match one value, read one at a time by a
// statement of their own (Table::walk): the table's cursor does not move.
class RowWalk {
public:
    RowWalk(RowWalk&&) noexcept;
    ~RowWalk();
    // The next row's texts, in the order the fields were named; false after
    // the last. Throws the engine's reason.
    bool next(QStringList& texts);

private:
    friend class Table;
    explicit RowWalk(std::unique_ptr<SqlStatement> statement);
    std::unique_ptr<SqlStatement> m_statement;
};

// A table file of the working folder: Xsale.db holding table Xsale.
// Rows come in key order, or in order of entry for tables without a key.
// Rows are fetched one at a time, so a table of any size costs no memory.
class Table : public DataSet {
    Q_OBJECT
public:
    explicit Table(QObject* parent = nullptr);
    ~Table() override;

    void setDirectory(const QString& dir) { m_dir = dir; }
    void setTableName(const QString& name) { m_tableName = name; }
    QString tableName() const { return m_tableName; }
    void setReadOnly(bool on) { m_readOnly = on; }
    void setExclusive(bool on) { m_exclusive = on; }
    QString filePath() const;
    bool canModify() const override { return isOpen() && !m_readOnly; }
    const QStringList& keyFields() const { return m_key; }

    // Exact-match key search on the primary key. When nothing matches the
    // current row does not change.
    bool findKey(const QStringList& keyValues);
    // The same as the three steps: enter key mode, set key fields, go.
    void setKey();
    void setKeyFieldText(const QString& name, const QString& text);
    bool gotoKey();

    void emptyTable();
    // All values of one column in table order, without moving the cursor.
    QStringList columnTexts(const QString& fieldName);

    // Replaces every row with the rows next gives, in one immediate
    // transaction on the table's connection: a reader sees the old rows or
    // all the new ones. next fills the values in field order and returns
    // false after the last. An error, the engine's or next's own, rolls back,
    // keeps the old rows and travels on.
    using RowSource = std::function<bool(QVector<QVariant>& values)>;
    void replaceRows(const RowSource& next);

    // The named fields of the rows whose fields `match` hold exactly the
    // texts `values` (compared byte for byte), in table order.
    RowWalk walk(const QStringList& fields, const QStringList& match, const QStringList& values);

    // Groups many posts into one transaction (one disk flush). A partner
    // table's file is attached to this table's connection and the partner
    // reads and writes through it until the batch ends, so that both files
    // are committed as one. A commit that fails rolls everything back and
    // throws the engine's reason. After a rollback both cursors stand on
    // stored rows again.
    void beginBatch(Table* partner = nullptr);
    void commitBatch();
    void rollbackBatch();
    // False when no batch is open, or when the engine has already rolled the
    // open one back after an error (a full disk, for one).
    bool batchIsLive() const;

    // A file of its own attached to the table's connection under `schema`,
    // so that statements run there join the table's transactions: a batch
    // then commits or rolls back its rows with the table's. Attaching a
    // schema that is already attached (an earlier detach failed) does
    // nothing. Each throws the engine's reason.
    void attachFile(const QString& schema, const QString& path);
    void detachFile(const QString& schema);
    // Runs one statement that returns no rows on the table's connection.
    void execute(const QString& sql, const QVariantList& binds = {});

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
    void rowsInvalidated() override
    {
        m_anchors.clear();
        m_ahead.clear();
    }

private:
    // The connection is the data layer's own; tests reach it through a probe.
    friend class ConnectionProbe;
    QSqlDatabase database() const;

    // The statements a cursor runs again and again, prepared once per open.
    enum Statement {
        SelFirst,
        SelLast,
        SelNext,
        SelPrior,
        SelById,
        SelKey,
        SelCount,
        SelIndexOf,
        SelAhead,
        Insert,
        Update,
        Delete,
        StatementCount
    };
    SqlStatement& statement(Statement s);
    QString statementSql(Statement s) const;
    std::optional<Row> fetchOne(Statement s, const QVariantList& binds);
    QString orderBy(bool descending) const;
    QVariantList orderValues(const Row& row) const;
    QString orderTuple() const;
    QString qualifiedName() const;
    SqlStatement& updateOf(quint64 changedFields);
    // A statement of the range reads, prepared once per text.
    SqlStatement& rangeStatement(const QString& sql);
    sqlite3* handle() const;
    void exec(const QString& sql, const QVariantList& binds = {});
    void dropStatements();
    void endBatch();
    void detachPartner();

    QString m_dir;
    QString m_tableName;
    bool m_readOnly = false;
    bool m_exclusive = false;
    QString m_connection;
    QString m_selectList;
    QStringList m_key;
    QVector<int> m_keyIndexes;
    QHash<QString, QString> m_keyBuffer;
    // Positions already seen and their order values: reading rows near one
    // starts there instead of counting from either end of the table.
    QMap<int, QVariantList> m_anchors;
    // A read-only cursor walking forward reads rows in blocks.
    std::vector<Row> m_ahead;
    size_t m_aheadPos = 0;
    qint64 m_aheadPrevId = -1;
    bool m_inBatch = false;
    Table* m_partner = nullptr; // the partner of this table's batch
    Table* m_host = nullptr;    // in a partner's batch: the table whose connection this one uses
    QString m_schema;           // then this table's name on that connection
    std::map<QString, std::unique_ptr<SqlStatement>> m_ranges;
    std::unique_ptr<SqlStatement> m_statements[StatementCount];
    std::map<quint64, std::unique_ptr<SqlStatement>> m_updates; // by the fields they write
};

} // namespace kestrova
