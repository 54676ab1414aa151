#include "mailorders/checkemailform.h"

#include "data/schema.h"

#include "data/dataobjects.h"
#include "data/salefields.h"
#include "widgets/guard.h"
#include "ui_CheckEmailForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace kestrova {

namespace {

// A control of the form by its object name, which for the order boxes is
// their order field's name. The form defines every control the code names.
template <typename T> T* control(const QWidget* form, const QString& name)
{
    T* found = form->findChild<T*>(name);
    Q_ASSERT_X(found, "TCheckEmailForm", qPrintable(QStringLiteral("no control ") + name));
    return found;
}

} // namespace

TCheckEmailForm::TCheckEmailForm(MailOrderRun& run, DataObjects& data, AppendOrder appendOrder, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CheckEmailForm>()), m_run(run), m_data(data),
      m_appendOrder(std::move(appendOrder))
{
    m_ui->setupUi(this);
    m_ui->DuplicateNotice->hide();
    m_ui->OrderAddressTab->setCurrentIndex(0);
    fillList(m_ui->Title, data.Ttitle, QStringLiteral("Title"));
    fillList(m_ui->DeliveryTitle, data.Ttitle, QStringLiteral("Title"));
    fillList(m_ui->Origin, data.Torigin, QStringLiteral("Origin"));
    fillList(m_ui->Currency, data.Tcurrency, QStringLiteral("Currency"));
    fillList(m_ui->PaymentMeans, data.Tpayment, QStringLiteral("PaymentMeans"));
    fillList(m_ui->Product, data.Tproduct, QStringLiteral("Product"));
    fillList(m_ui->Language, data.Tlanguage, QStringLiteral("Language"));
    connect(m_ui->NextMessage, &QPushButton::clicked, this, guard([this] { NextMessageClick(); }));
    connect(m_ui->Stop, &QPushButton::clicked, this, guard([this] { StopClick(); }));
    FormCreate();
}

TCheckEmailForm::~TCheckEmailForm() = default;

void TCheckEmailForm::fillList(QComboBox* list, Table* table, const QString& column)
{
    if (!table || !table->isOpen())
        return;
    list->addItems(table->columnTexts(column));
    list->setCurrentIndex(-1);
}

void TCheckEmailForm::setText(const QString& field, const QString& text)
{
    QWidget* w = control<QWidget>(this, field);
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
        m->setPlainText(text);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        c->setEditText(text); // any text, also one the list does not hold
}

ShownOrder TCheckEmailForm::shownOrder() const
{
    ShownOrder shown;
    shown.addressTab = m_ui->OrderAddressTab->currentWidget() == m_ui->DeliveryPage ? ShownOrder::AddressTab::Delivery
                                                                                    : ShownOrder::AddressTab::Billing;
    for (const QString& field : mailOrderFields()) {
        QWidget* w = control<QWidget>(this, field);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            shown.insert(field, e->text());
        else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
            shown.insert(field, m->toPlainText());
        else if (auto* c = qobject_cast<QComboBox*>(w))
            shown.insert(field, c->currentText());
    }
    return shown;
}

QString TCheckEmailForm::duplicateNotice() const
{
    return m_ui->DuplicateNotice->isHidden() ? QString() : m_ui->DuplicateNotice->text();
}

void TCheckEmailForm::FormCreate()
{
    m_run.resetCount();
    ShowNotification();
}

void TCheckEmailForm::ShowNotification()
{
    MailOrderState& state = m_run.state();
    const ShownOrder shown = firstShownOrder(state, m_data.Temail, formatDate(currentDate(), m_data.localeFormat()));
    // In the order of the table's fields, the product last as before.
    for (const QString& field : saleFieldNames())
        if (field != sale::Product && shown.boxes.contains(field))
            setText(field, shown.value(field));
    showDuplicate();

    const QString product = shown.value(sale::Product);
    setText(sale::Product, product);
    state.productName.clear();
    if (!product.isEmpty())
        state.productName = reply::fitToArea(product, reply::kProductNameCapacity);
    if (product.isEmpty())
        prompter().message(tr("Product Id \"%1\" unknown !").arg(state.areas.text(NotificationAreas::ProductId)),
                           QMessageBox::NoIcon);
}

void TCheckEmailForm::showDuplicate()
{
    const QString origin = m_run.state().matchedOrigin;
    const QString reference = m_run.state().areas.text(NotificationAreas::Reference);
    const auto stored = findStoredOrder(m_data.Tsale, origin, reference);
    if (!stored) {
        m_ui->DuplicateNotice->hide();
        m_ui->DuplicateNotice->clear();
        return;
    }
    QString which;
    if (stored->invoiceNumber.isEmpty())
        which = stored->orderDate.isEmpty() ? tr("without invoice number")
                                            : tr("without invoice number, dated %1").arg(stored->orderDate);
    else
        which = stored->orderDate.isEmpty()
                    ? tr("with invoice number %1").arg(stored->invoiceNumber)
                    : tr("with invoice number %1, dated %2").arg(stored->invoiceNumber, stored->orderDate);
    m_ui->DuplicateNotice->setText(
        //: %1 is the origin, %2 the customer reference, %3 the stored order's invoice number and date.
        //: "Stop" and "Process and next" are the buttons of this window.
        tr("Already taken in? An order from %1 with the customer reference %2 is stored (%3). "
           "\"Stop\" leaves this message in the mailbox; \"Process and next\" appends it again.")
            .arg(origin, reference, which));
    m_ui->DuplicateNotice->show();
}

void TCheckEmailForm::NextMessageClick()
{
    const ShownOrder shown = shownOrder();
    // A failure here stops the rest: nothing was stored, no reply goes out,
    // the message stays where it is and the window keeps the notification.
    const QString afterStore =
        m_run.storeOrder(m_data.Tsale, m_data.Ttable, shown, [&] { return m_appendOrder(shown); });
    QStringList problems = m_run.finishMessage(shown);
    if (!afterStore.isEmpty())
        problems.prepend(afterStore);
    const bool found = m_run.findRecognizedMessage();
    problems += m_run.takeProblems();
    for (const QString& problem : problems)
        prompter().error(problem + QLatin1Char('.'));
    if (found) {
        ShowNotification();
        return;
    }
    prompter().message(tr("End of processing. Number of messages processed : %1").arg(m_run.processedCount()),
                       QMessageBox::Information);
    accept();
}

void TCheckEmailForm::StopClick()
{
    reject();
}

} // namespace kestrova
