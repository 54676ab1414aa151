#include "mailorders/mailorderrun.h"

#include "data/dataset.h"
#include "data/error.h"
#include "data/salefields.h"
#include "orders/orderrules.h"

#include <QDir>
#include <QFile>
#include <utility>

namespace kestrova {

const QStringList& mailOrderFields()
{
    // The order date after the licensee, as the window lists them; the payment
    // date and the invoice number are not taken from a message.
    static const QStringList fields = {
        sale::Person,
        sale::Title,
        sale::Company,
        sale::Address,
        sale::FaxOrEMail,
        sale::Product,
        sale::Language,
        sale::Licensee,
        sale::OrderDate,
        sale::Origin,
        sale::Reference,
        sale::NumberOfLicenses,
        sale::Currency,
        sale::PaymentMeans,
        sale::NetAmount,
        sale::Tax,
        sale::DeliveryCompany,
        sale::DeliveryTitle,
        sale::DeliveryPerson,
        sale::DeliveryAddress,
        sale::DeliveryFaxOrEMail,
    };
    return fields;
}

QList<MailOrderRun::Pair> MailOrderRun::pairsFrom(DataSet* query)
{
    QList<Pair> pairs;
    if (!query || !query->isOpen())
        return pairs;
    query->first();
    while (!query->eof()) {
        pairs.append({query->fieldText(QStringLiteral("Origin")), query->fieldText(QStringLiteral("EmailFunction"))});
        query->next();
    }
    return pairs;
}

MailOrderRun::MailOrderRun(MailOrderState& state, const FunctionLibrary& library, QList<Pair> pairs,
                           const Mailbox::Options& options)
    : m_state(state), m_library(library), m_pairs(std::move(pairs)), m_mailbox(options)
{
    if (!options.workDir.isEmpty())
        m_record = std::make_unique<MailRecord>(options.workDir);
}

MailOrderRun::~MailOrderRun()
{
    close();
}

bool MailOrderRun::open(const QString& profile, const QString& password, const QString& messageStore,
                        const QString& saveFolder)
{
    m_count = 0;
    m_problems.clear();
    if (const MailResult opened = m_mailbox.MailOpen({profile, password, messageStore, saveFolder}); !opened) {
        m_error = opened.reason;
        return false;
    }
    if (!m_record)
        return true;
    try {
        m_record->open();
        // Moved by a run that was killed before it could remove them.
        m_mailbox.removeAtClose(m_record->movedMessages());
        return true;
    } catch (const Error& e) {
        m_error = e.message();
        m_mailbox.MailClose();
        return false;
    }
}

bool MailOrderRun::findRecognizedMessage()
{
    while (m_mailbox.MailGet(m_message)) {
        const QString identity = m_mailbox.currentIdentity();
        std::optional<MailRecord::Entry> stored;
        try {
            if (m_record)
                stored = m_record->find(identity);
        } catch (const Error& e) {
            // Unknown whether its order is stored: the message stays for the next run.
            m_problems << e.message();
            m_mailbox.MailNext();
            continue;
        }
        if (stored) {
            // Its order was stored by a run that did not finish it.
            m_problems += finishSteps(identity, stored->reply, *stored);
            continue;
        }
        for (const Pair& pair : m_pairs) {
            // A function the library does not export is passed over silently.
            if (m_library.recognise(pair.function, m_message.body, m_state.areas)) {
                m_state.matchedOrigin = pair.origin;
                return true;
            }
        }
        m_mailbox.MailNext();
    }
    return false;
}

bool MailOrderRun::loadTemplate(const QString& folder)
{
    m_template.clear();
    QFile file(QDir(folder).filePath(QStringLiteral("Register.txt")));
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    // Read one byte more than allowed to tell a file at the limit from a larger one.
    QByteArray text = file.read(reply::kTemplateLimit + 1);
    if (file.error() != QFileDevice::NoError) {
        m_error = file.errorString();
        return false;
    }
    if (text.size() > reply::kTemplateLimit) {
        m_error = tr("the file is larger than %1 KB").arg(reply::kTemplateLimit / 1024);
        return false;
    }
    m_template = std::move(text);
    return true;
}

QByteArray MailOrderRun::buildReply(const ShownOrder& shown)
{
    reply::Values values;
    const auto& markers = reply::markers();
    for (int m = 0; m < reply::kMarkerCount; ++m) {
        const QString field = QString::fromLatin1(markers[size_t(m)] + 1);
        const QString text = shown.value(field);
        if (m == reply::kProductMarker) {
            m_state.productName = reply::fitToArea(text, reply::kProductNameCapacity);
            values[size_t(m)] = m_state.productName;
        } else {
            // The marker order is the areas' order, with the product in place
            // of the product identifier.
            const auto area = NotificationAreas::Field(m);
            m_state.areas.setText(area, text);
            values[size_t(m)] = m_state.areas.text(area).toUtf8();
        }
    }
    return reply::build(m_template, values);
}

QString MailOrderRun::storeOrder(Table* orders, Table* settings, const ShownOrder& shown,
                                 const std::function<QString()>& append)
{
    // Stored on its own first, so that a failure of the rest never takes the user's edit with it.
    orders->checkBrowseMode();
    if (!orders->canModify())
        throw Error(orders->readOnlyMessage());
    // The value as the function recognised it decides, not the window's box.
    // Building the reply copies the window's texts into the value areas:
    // undone when nothing is stored, so that the next try decides alike.
    const MailOrderState recognised = m_state;
    std::optional<QByteArray> reply;
    if (!m_state.areas.text(NotificationAreas::FaxOrEMail).isEmpty())
        reply = buildReply(shown);
    QString afterStore;
    if (!m_record) {
        try {
            return append();
        } catch (const Error&) {
            m_state = recognised;
            throw;
        }
    }
    const QString identity = m_mailbox.currentIdentity();
    try {
        m_record->attach(orders);
    } catch (const Error&) {
        m_state = recognised;
        throw;
    }
    try {
        orders->beginBatch(settings);
        afterStore = append();
        m_record->insert(orders, identity, orders->fieldText(sale::InvoiceNumber), reply);
        if (m_stepHook)
            m_stepHook("posted");
        orders->commitBatch();
    } catch (const Error&) {
        orders->rollbackBatch();
        m_state = recognised;
        try {
            m_record->detach(orders);
        } catch (const Error&) {
            // Detached when the table's connection closes.
        }
        throw;
    }
    try {
        m_record->detach(orders);
    } catch (const Error&) {
        // Detached when the table's connection closes; the order is stored.
    }
    if (m_stepHook)
        m_stepHook("stored");
    return afterStore;
}

QStringList MailOrderRun::finishMessage(const ShownOrder& shown)
{
    const QString identity = m_mailbox.currentIdentity();
    std::optional<MailRecord::Entry> stored;
    if (m_record && !identity.isEmpty()) {
        try {
            stored = m_record->find(identity);
        } catch (const Error&) {
            // Finished from what the run holds.
        }
    }
    if (stored)
        return finishSteps(identity, stored->reply, *stored);
    // An order stored without the record (no working folder).
    std::optional<QByteArray> reply;
    if (!m_state.areas.text(NotificationAreas::FaxOrEMail).isEmpty())
        reply = buildReply(shown);
    return finishSteps({}, reply, MailRecord::Entry{});
}

void MailOrderRun::noteStep(const QString& message, MailRecord::Step step, const char* name, QStringList& problems)
{
    if (m_record && !message.isEmpty()) {
        try {
            m_record->noteStep(message, step);
        } catch (const Error& e) {
            problems << e.message();
        }
    }
    if (m_stepHook)
        m_stepHook(name);
}

QStringList MailOrderRun::finishSteps(const QString& message, const std::optional<QByteArray>& reply,
                                      const MailRecord::Entry& done)
{
    QStringList problems;
    if (reply && !done.replied) {
        if (m_mailbox.MailSend(m_message.sender1, m_message.sender2,
                               m_message.sender2 + QLatin1Char(':') + m_message.sender3,
                               QStringLiteral("R: ") + m_message.subject, QString::fromUtf8(*reply)))
            noteStep(message, MailRecord::Replied, "replied", problems);
        else
            problems << tr("The reply to %1 could not be sent: %2").arg(m_message.sender3, m_mailbox.lastError());
    }
    // The message is marked and moved all the same, so that its order is
    // never appended twice.
    if (!m_mailbox.MailMark())
        problems << tr("The message from %1 could not be marked: %2").arg(m_message.sender3, m_mailbox.lastError());
    else
        noteStep(message, MailRecord::Marked, "marked", problems);
    if (!m_mailbox.MailMove())
        problems << tr("The message from %1 could not be moved: %2").arg(m_message.sender3, m_mailbox.lastError());
    else
        noteStep(message, MailRecord::Moved, "moved", problems);
    m_mailbox.MailNext();
    ++m_count;
    return problems;
}

QString MailOrderRun::unreadableNotice() const
{
    const int n = m_mailbox.unreadableCount();
    if (n == 0)
        return {};
    return n == 1 ? tr("1 message could not be read and was left in the mailbox")
                  : tr("%1 messages could not be read and were left in the mailbox").arg(n);
}

bool MailOrderRun::close()
{
    if (!m_mailbox.isOpen())
        return true;
    m_template.clear();
    if (m_mailbox.MailClose()) {
        if (m_record) {
            try {
                m_record->forgetMoved();
            } catch (const Error&) {
                // Kept: the next run removes them again, finding nothing left.
            }
        }
        return true;
    }
    m_error = m_mailbox.lastError();
    return false;
}

std::optional<QString> productOf(Table* recognition, const QString& origin, const QString& productId)
{
    recognition->setKey();
    recognition->setKeyFieldText(QStringLiteral("Origin"), origin);
    recognition->setKeyFieldText(QStringLiteral("ProductId"), productId);
    if (!recognition->gotoKey())
        return std::nullopt;
    return recognition->fieldText(QStringLiteral("Product"));
}

ShownOrder firstShownOrder(const MailOrderState& state, Table* recognition, const QString& orderDate)
{
    using F = NotificationAreas;
    ShownOrder shown;
    for (int f = 0; f < F::Count; ++f)
        if (f != F::ProductId)
            shown.insert(F::fieldName(F::Field(f)), state.areas.text(F::Field(f)));
    shown.insert(sale::Licensee, state.areas.text(F::Person));
    shown.insert(sale::OrderDate, orderDate);
    shown.insert(sale::Origin, state.matchedOrigin);
    shown.insert(sale::Product,
                 productOf(recognition, state.matchedOrigin, state.areas.text(F::ProductId)).value_or(QString()));
    return shown;
}

std::optional<StoredOrder> findStoredOrder(Table* orders, const QString& origin, const QString& reference)
{
    if (reference.isEmpty())
        return std::nullopt;
    RowWalk walk =
        orders->walk({sale::InvoiceNumber, sale::OrderDate}, {sale::Origin, sale::Reference}, {origin, reference});
    QStringList found;
    if (!walk.next(found))
        return std::nullopt;
    const FieldInfo dateField{sale::OrderDate, FieldKind::Date, 0};
    return StoredOrder{found.at(0), orders->textOf(dateField, found.at(1))};
}

QString appendMailOrder(OrderRules& rules, Table* orders, const ShownOrder& shown)
{
    // A failure here leaves the pending edit as it is: nothing is cancelled.
    orders->checkBrowseMode();
    if (!orders->canModify())
        throw Error(orders->readOnlyMessage());
    bool posting = false;
    try {
        rules.appendNewOrder();
        for (const QString& field : mailOrderFields()) {
            orders->setFieldText(field, shown.value(field));
            if (field == sale::PaymentMeans)
                rules.paymentMeansChanged(shown.value(field));
        }
        posting = true;
        orders->post();
        return {};
    } catch (const Error& e) {
        // Only the new record can be in editing here: discarded.
        if (orders->isEditing()) {
            orders->cancel();
            throw;
        }
        if (posting)
            return e.message(); // stored; only what followed the post failed
        throw;
    }
}

} // namespace kestrova
