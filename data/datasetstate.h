#pragma once

#include "data/record.h"
#include "data/textformat.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <optional>
#include <vector>

namespace kestrova {

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
    virtual QString readOnlyMessage() const { return tr("Cannot modify a read-only dataset"); }

    const QVector<FieldInfo>& fields() const { return m_fields; }
    int fieldIndex(const QString& name) const;         // -1 when absent
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
    // Rows changed their positions: notes of where rows stand are stale.
    virtual void rowsInvalidated() {}

    void setFields(const QVector<FieldInfo>& fields);
    void checkActive() const;
    // Makes a row current; index is its position when known (-1: unknown).
    void setCurrent(const std::optional<Row>& row, int index = -1);
    // Forgets what was read of the rows: the rows kept for grids and the
    // count, and (unless the rows kept their positions) the backend's notes
    // of where rows stand.
    void invalidate(bool positionsKept = false);
    void setCursorFlags(bool bof, bool eof)
    {
        m_bof = bof;
        m_eof = eof;
    }
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
    Row m_current;                     // the current row as stored (id -1: none)
    QVector<QVariant> m_buffer;        // the current record, with unposted changes
    bool m_modified = false;
    bool m_eof = true;
    bool m_bof = true;
    std::optional<Row> m_beforeInsert; // row current before append(), for cancel()
    QHash<int, QVector<QVariant>> m_rowCache;
    int m_countCache = -1;
    int m_index = -1; // position of the current row, -1 until known
};

} // namespace kestrova
