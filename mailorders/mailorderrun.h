#pragma once

#include "data/shownorder.h"
#include "functions/functionlibrary.h"
#include "intake/mailbox.h"
#include "mailorders/mailrecord.h"
#include "mailorders/replybuilder.h"

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace kestrova {

class DataSet;
class OrderRules;
class Table;

// What outlives a processing run: the nineteen value areas the recognition
// functions fill, the product name of the reply and the matched origin. The
// areas are never emptied; only a recognising function and the reply
// overwrite them.
struct MailOrderState {
    NotificationAreas areas;
    QByteArray productName;
    QString matchedOrigin;
};

// The order fields the processing window shows, in the order they are put
// into a new order.
const QStringList& mailOrderFields();

// One processing run over the mailbox, without a window: open, find the
// next recognised notification, hold the reply template, store its order
// and finish the message (reply, mark, move, next). With a working folder
// in the options, every stored message is noted in the folder's record of
// e-mail orders together with its order, and a message the record knows is
// not offered again but finished (its run was killed).
class MailOrderRun {
    Q_DECLARE_TR_FUNCTIONS(MailOrderRun)

public:
    // A recognition pair: an origin and the function that reads its mail.
    struct Pair {
        QString origin;
        QString function;
    };
    // The pairs of the recognition query, in the order it delivers them.
    static QList<Pair> pairsFrom(DataSet* query);

    MailOrderRun(MailOrderState& state, const FunctionLibrary& library, QList<Pair> pairs,
                 const Mailbox::Options& options = {});
    ~MailOrderRun();
    MailOrderRun(const MailOrderRun&) = delete;
    MailOrderRun& operator=(const MailOrderRun&) = delete;

    // Opens the mailbox with the four messaging settings, and the record;
    // false with the reason in lastError().
    bool open(const QString& profile, const QString& password, const QString& messageStore, const QString& saveFolder);
    // Fetches messages until a recognition function accepts one (the areas
    // then hold its values and the matched origin is set); false when the
    // mailbox has no more messages. A message whose order is already stored
    // is finished on the way; what went wrong there waits in takeProblems().
    bool findRecognizedMessage();
    // Reads "Register.txt" of the folder, whole, as bytes; false when it
    // cannot be read or is larger than the template limit.
    bool loadTemplate(const QString& folder);
    const QByteArray& replyTemplate() const { return m_template; }

    // Stores the current message's order: the shown order's pending edit is
    // stored first (when that fails it stays and the failure is thrown),
    // then append() adds the order and the record notes the message and
    // its reply, all in one transaction of the order table that takes in
    // the settings table too (the last invoice number is stored with the
    // order or not at all). Throws when nothing was stored; returns what
    // append() returned.
    QString storeOrder(Table* orders, Table* settings, const ShownOrder& shown, const std::function<QString()>& append);

    // Finishes the current message after its order was stored: the reply
    // when the recognised fax-or-e-mail value is not empty, then mark, move
    // and next, and one more processed. Returns what went wrong, one text
    // per failure, for the user; the message is marked and moved all the
    // same so that its order is never appended twice.
    QStringList finishMessage(const ShownOrder& shown);

    // The reply made from the window's texts, which are first copied into
    // the value areas (cut to their capacity).
    QByteArray buildReply(const ShownOrder& shown);

    // Closes the mailbox; false with the reason in lastError() when the
    // moved messages could not be removed. Done by the destructor too.
    bool close();

    // The problems met while finishing messages of an earlier run.
    QStringList takeProblems() { return std::exchange(m_problems, {}); }
    // "N messages could not be read ..."; empty when all could be read.
    QString unreadableNotice() const;
    // Called after each step of a message (stored, replied, marked, moved),
    // once its record is written, and as "posted" just before the order's
    // transaction commits: tests end the process there.
    void setStepHook(std::function<void(const char*)> hook) { m_stepHook = std::move(hook); }

    void resetCount() { m_count = 0; }
    int processedCount() const { return m_count; }
    const MailMessage& message() const { return m_message; }
    MailOrderState& state() { return m_state; }
    bool isOpen() const { return m_mailbox.isOpen(); }
    QString lastError() const { return m_error; }
    Mailbox& mailbox() { return m_mailbox; }

private:
    QStringList finishSteps(const QString& message, const std::optional<QByteArray>& reply,
                            const MailRecord::Entry& done);
    void noteStep(const QString& message, MailRecord::Step step, const char* name, QStringList& problems);

    MailOrderState& m_state;
    const FunctionLibrary& m_library;
    QList<Pair> m_pairs;
    Mailbox m_mailbox;
    MailMessage m_message;
    QByteArray m_template;
    int m_count = 0;
    QString m_error;
    std::unique_ptr<MailRecord> m_record; // none without a working folder
    QStringList m_problems;
    std::function<void(const char*)> m_stepHook;
};

// The product of an origin and product identifier in the recognition
// table, or nothing when the key is not there.
std::optional<QString> productOf(Table* recognition, const QString& origin, const QString& productId);

// The order as the processing window first shows a recognised notification:
// each area's text under the field it fills (the licence owner starting as
// the person), the order dated orderDate, the matched origin, and the
// product the recognition table names for the product identifier (empty
// when it names none).
ShownOrder firstShownOrder(const MailOrderState& state, Table* recognition, const QString& orderDate);

// An order already stored with this origin and customer reference (a
// notification taken in before the program stopped): its invoice number and
// order date as stored. Nothing for an empty reference.
struct StoredOrder {
    QString invoiceNumber;
    QString orderDate;
};
std::optional<StoredOrder> findStoredOrder(Table* orders, const QString& origin, const QString& reference);

// Appends the window's texts as a new order, as the order page does: a
// pending edit of the shown order is stored first (when that fails, or the
// table is read-only, the failure is thrown and the edit stays as it is),
// then the new-order rules, each field in the window's order (the payment
// means dates the payment), and one post. When anything fails before the
// record is stored, the new record is discarded, nothing of it is stored,
// and the failure is thrown. A failure after the record was stored (the
// after-post rule could not remember the invoice number) is returned as
// its message, since the order is in the table; empty when all worked.
QString appendMailOrder(OrderRules& rules, Table* orders, const ShownOrder& shown);

} // namespace kestrova
