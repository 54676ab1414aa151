#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct sqlite3;

namespace kestrova {

class SqlConnection;
class Table;

// The record of the messages the e-mail runs took in, a small SQLite file
// of the working folder. A message's row is written in the same
// transaction as its order (the file is attached to the order table's
// connection for that), so a row exists exactly when the order was stored.
// It holds the reply made then and which of the steps after the store
// (reply, mark, move) are done, so that a run that was killed is finished
// by the next one: no order is taken in twice, no reply sent twice.
class MailRecord {
    Q_DECLARE_TR_FUNCTIONS(MailRecord)

public:
    static constexpr const char* kFileName = "mailrun.sqlite";

    struct Entry {
        QString invoiceNumber;
        std::optional<QByteArray> reply; // nothing: no reply is due
        bool replied = false;
        bool marked = false;
        bool moved = false;
    };
    enum Step { Replied, Marked, Moved };

    explicit MailRecord(const QString& workDir);
    ~MailRecord();
    MailRecord(const MailRecord&) = delete;
    MailRecord& operator=(const MailRecord&) = delete;

    // Opens the file, creating it and its table when missing; throws the
    // reason when it cannot.
    void open();
    QString filePath() const { return m_path; }

    std::optional<Entry> find(const QString& message);
    void noteStep(const QString& message, Step step);
    // The messages flagged deleted by a run that did not get to remove them.
    QStringList movedMessages();
    // Forgets the moved messages once the mailbox has removed them.
    void forgetMoved();

    // Within a transaction of the order table: attach() before it begins,
    // insert() inside it, detach() after it ended. Each throws its reason.
    void attach(Table* orders);
    void insert(Table* orders, const QString& message, const QString& invoiceNumber,
                const std::optional<QByteArray>& reply);
    void detach(Table* orders);

private:
    sqlite3* connection() const;

    QString m_path;
    std::unique_ptr<SqlConnection> m_db; // none until open()
};

} // namespace kestrova
