#pragma once

#include "functionlibrary.h"
#include "mailbox.h"
#include "replybuilder.h"

#include <QHash>
#include <QList>
#include <QStringList>
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

// The window's texts by order field name.
using ShownOrder = QHash<QString, QString>;

// One processing run over the mailbox, without a window: open, find the
// next recognised notification, hold the reply template, and finish a
// message once its order is stored (reply, mark, move, next).
class MailOrderRun {
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

    // Opens the mailbox with the four messaging settings; false with the
    // mailbox layer's reason in lastError().
    bool open(const QString& profile, const QString& password, const QString& messageStore, const QString& saveFolder);
    // Fetches messages until a recognition function accepts one (the areas
    // then hold its values and the matched origin is set); false when the
    // mailbox has no more messages.
    bool findRecognizedMessage();
    // Reads "Register.txt" of the folder, whole, as bytes; false when it
    // cannot be read or is larger than the template limit.
    bool loadTemplate(const QString& folder);
    const QByteArray& replyTemplate() const { return m_template; }

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

    void resetCount() { m_count = 0; }
    int processedCount() const { return m_count; }
    const MailMessage& message() const { return m_message; }
    MailOrderState& state() { return m_state; }
    bool isOpen() const { return m_mailbox.isOpen(); }
    QString lastError() const { return m_error; }
    Mailbox& mailbox() { return m_mailbox; }

private:
    MailOrderState& m_state;
    const FunctionLibrary& m_library;
    QList<Pair> m_pairs;
    Mailbox m_mailbox;
    MailMessage m_message;
    QByteArray m_template;
    int m_count = 0;
    QString m_error;
};

// The product of an origin and product identifier in the recognition
// table, or nothing when the key is not there.
std::optional<QString> productOf(Table* recognition, const QString& origin, const QString& productId);

// An order already stored with this origin and customer reference (a
// notification taken in before the program stopped): its invoice number and
// order date as stored. Nothing for an empty reference.
struct StoredOrder {
    QString invoiceNumber;
    QString orderDate;
};
std::optional<StoredOrder> findStoredOrder(Table* orders, const QString& origin, const QString& reference);

// Appends the window's texts as a new order, as the order page does: the
// new-order rules first, then each field in the window's order (the payment
// means dates the payment), then one post. When anything fails before the
// record is stored, the new record is discarded, nothing of it is stored,
// and the failure is thrown. A failure after the record was stored (the
// after-post rule could not remember the invoice number) is returned as
// its message, since the order is in the table; empty when all worked.
QString appendMailOrder(OrderRules& rules, Table* orders, const ShownOrder& shown);

} // namespace kestrova
