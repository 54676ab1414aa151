#pragma once

#include "schema.h"
#include "textformat.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <vector>
#include <optional>

namespace kestrova {

class SqlStatement;
class QueryProgress;
class ResultPages;

// Callbacks with owners: each goes when its owner is destroyed. run() calls
// every one in the order added, then throws the first failure, if any.
class CallbackList {
public:
    void add(QObject* owner, std::function<void()> call);
    void remove(QObject* owner);
    void run();

private:
    struct Entry {
        QPointer<QObject> owner;
        std::function<void()> call;
    };
    std::vector<Entry> m_entries;
};

enum class DataSetState { Inactive, Browse, Edit, Insert };

struct FieldInfo {
    QString name;
    FieldKind kind = FieldKind::Text;
    int length = 0; // characters; 0 = no limit
};

// One row as stored: an identifier (SQLite rowid, or the position in a
// materialised result) and the values in field order.
struct Row {
    qint64 id = -1;
    QVector<QVariant> values;
};

// A cursor over rows with the states browse, edit and insert, fields read and
// written as text, and the events bound controls and rules listen to. Table
// and Query supply the rows; everything else lives here.
class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(QObject* parent = nullptr);
    ~DataSet() override;

    void setLocaleFormat(const LocaleFormat& fmt) { m_fmt = fmt; }
    const LocaleFormat& localeFormat() const { return m_fmt; }

    void open();
    void close();
    bool isOpen() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }
    bool isEditing() const { return m_state == DataSetState::Edit || m_state == DataSetState::Insert; }
    virtual bool canModify() const = 0;
    virtual QString readOnlyMessage() const { return QStringLiteral("Cannot modify a read-only dataset"); }

    const QVector<FieldInfo>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const; // -1 when absent
    const FieldInfo& field(const QString& name) const; // throws when absent
    QString fieldText(const QString& name) const;
    QVariant fieldValue(const QString& name) const;
    void setFieldText(const QString& name, const QString& text);
    bool isModified() const { return m_modified; }

    // Cursor. next() on the last row stays there and sets eof(); prior() on
    // the first row stays there and sets bof().
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const;
    int recordCount();

    // Positions, for grids: the index of the current row and rows by index.
    int recNo();
    void moveTo(int index);
    QVector<QVariant> rowValuesAt(int index);
    QString textAt(int index, int fieldIndex);

    void append();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void refresh();
    // Posts a pending edit or insert (when changed; cancels it otherwise).
    void checkBrowseMode();

    QString textOf(const FieldInfo& f, const QVariant& v) const;
    QVariant valueFromText(const FieldInfo& f, const QString& text) const;

    // Calls the data set makes itself, outside any signal, so a failure
    // travels to whoever called post() and on to the handler's guard. Each
    // callback belongs to an owner and goes when the owner is destroyed.
    // Every callback of a kind runs, in the order added; when some fail,
    // the first failure is thrown once all have run.
    //  - updateRecord: before a post (and in checkBrowseMode), bound
    //    controls write their pending text; a failure stops the post and
    //    the record stays in editing.
    //  - afterPost: after a row was stored (it stays stored when one fails).
    void onUpdateRecord(QObject* owner, std::function<void()> callback);
    void onAfterPost(QObject* owner, std::function<void()> callback);
    void removeCallbacks(QObject* owner);

    // The order of events, callbacks first where both happen:
    //  - open:   stateChanged, rowsReset, dataChanged("")
    //  - close:  (a pending change is posted as below) stateChanged,
    //            rowsReset, dataChanged("")
    //  - append: (pending change posted) stateChanged, rowsReset, dataChanged("")
    //  - edit:   stateChanged
    //  - setFieldText: dataChanged(field)
    //  - post:   updateRecord callbacks, [row stored], stateChanged,
    //            rowsReset (when the row moved or was inserted),
    //            dataChanged(""), afterPost callbacks, afterPost signal
    //            (sent also when a callback failed: the row is stored)
    //  - cancel: stateChanged, then rowsReset for an insert, dataChanged("")
    //  - delete: rowsReset, dataChanged(""), afterDelete
    //  - moves (first, next, prior, last, moveTo, findKey): dataChanged("")
    //    when another row became current

Q_SIGNALS:
    // A field of the current record changed; an empty name means the whole
    // record (another row became current, the data set opened or closed).
    void dataChanged(const QString& fieldName);
    void stateChanged();
    // Notifications only: a row was stored or deleted.
    void afterPost();
    void afterDelete();
    // The rows themselves changed (opened, closed, appended, deleted, refreshed).
    void rowsReset();

protected:
    // Backend: supply rows and store changes.
    virtual void doOpen() = 0;
    virtual void doClose() = 0;
    virtual std::optional<Row> fetchFirst() = 0;
    virtual std::optional<Row> fetchLast() = 0;
    virtual std::optional<Row> fetchNext(const Row& from) = 0;
    virtual std::optional<Row> fetchPrior(const Row& from) = 0;
    virtual std::optional<Row> fetchById(qint64 id) = 0;
    virtual int doCount() = 0;
    virtual int doIndexOf(const Row& row) = 0;
    virtual std::vector<Row> fetchRange(int from, int count) = 0;
    virtual qint64 doInsert(const QVector<QVariant>& values) = 0;
    // Returns true when the change moved the row to another position.
    virtual bool doUpdate(const Row& original, const QVector<QVariant>& values) = 0;
    virtual void doDelete(const Row& row) = 0;
    virtual void rowsInvalidated() {}

    void setFields(const QVector<FieldInfo>& fields);
    void checkActive() const;
    // Makes a row current; index is its position when known (-1: unknown).
    void setCurrent(const std::optional<Row>& row, int index = -1);
    void clearRowCache();
    void setCursorFlags(bool bof, bool eof) { m_bof = bof; m_eof = eof; }
    [[noreturn]] void fail(const QString& message) const;

private:
    void setState(DataSetState s);
    QVector<QVariant> emptyValues() const;

    CallbackList m_updateRecord;
    CallbackList m_afterPost;

    LocaleFormat m_fmt;
    DataSetState m_state = DataSetState::Inactive;
    QVector<FieldInfo> m_fields;
    QHash<QString, int> m_fieldByName; // exact names; other cases are searched
    Row m_current;        // the current row as stored (id -1: none)
    QVector<QVariant> m_buffer; // the current record, with unposted changes
    bool m_modified = false;
    bool m_eof = true;
    bool m_bof = true;
    std::optional<Row> m_beforeInsert; // row current before append(), for cancel()
    QHash<int, QVector<QVariant>> m_rowCache;
    int m_countCache = -1;
    int m_index = -1; // position of the current row, -1 until known
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

    QSqlDatabase database() const;
    QSqlQuery& cachedQuery(const QString& sql);

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
    // The statements a cursor runs again and again, prepared once per open.
    enum Statement { SelFirst, SelLast, SelNext, SelPrior, SelById, SelKey, SelCount, SelIndexOf, SelAhead,
                     Insert, Update, Delete, StatementCount };
    SqlStatement& statement(Statement s);
    QString statementSql(Statement s) const;
    std::optional<Row> fetchOne(Statement s, const QVariantList& binds);
    QString orderBy(bool descending) const;
    QVariantList orderValues(const Row& row) const;
    QString orderTuple() const;
    QString qualifiedName() const;
    SqlStatement& updateOf(quint64 changedFields);
    void dropStatements();
    void endBatch();

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
    QHash<QString, QSqlQuery*> m_queries;
    std::unique_ptr<SqlStatement> m_statements[StatementCount];
    std::map<quint64, std::unique_ptr<SqlStatement>> m_updates; // by the fields they write
};

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
    // The query's own connection: the table files it names are attached
    // while it is open, and detached when it closes.
    QSqlDatabase database() const;

    // The text the engine runs: table file names "Xsale.db" become "Xsale"
    // and ":name" parameters become positional. Exposed for tests.
    struct Prepared {
        QString sql;
        QStringList params;    // parameter names in order of appearance
        QStringList tables;    // known tables the text names
    };
    static Prepared prepare(const QString& text);

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
    std::optional<Row> rowAtPosition(qsizetype pos);
    QSqlDatabase connection();
    void checkSingleSelect(QSqlDatabase db, const QString& sql) const;
    void openEditable(QSqlDatabase db, const QString& sql, const QVariantList& binds);
    void openReadOnly(QSqlDatabase db, const Prepared& p, const QVariantList& binds);
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
    std::vector<qint64> m_ids;             // editable results: the rowids, in order
    std::unique_ptr<ResultPages> m_pages;  // read-only results
    bool m_idsSorted = true;
};

// Connects bound controls to a table or a query, and passes its events on.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    DataSet* dataSet() const { return m_dataSet; }
    void setDataSet(DataSet* ds);

    // Bound controls write their pending text here before the shown data
    // set posts; see DataSet::onUpdateRecord.
    void onUpdateRecord(QObject* owner, std::function<void()> callback);

Q_SIGNALS:
    void dataChange(const QString& fieldName);
    void stateChange();
    void rowsReset();
    void dataSetChanged();

private:
    DataSet* m_dataSet = nullptr;
    CallbackList m_updateRecord;
    QList<QMetaObject::Connection> m_links;
};

} // namespace kestrova
