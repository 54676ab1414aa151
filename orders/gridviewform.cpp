#include "orders/gridviewform.h"

#include "widgets/dbwidgets.h"
#include "widgets/guard.h"
#include "ui_GridViewForm.h"

#include <QHeaderView>

namespace kestrova {

const QStringList& TGridViewForm::columns()
{
    static const QStringList list = {
        QStringLiteral("OrderDate"),
        QStringLiteral("Person"),
        QStringLiteral("Title"),
        QStringLiteral("Company"),
        QStringLiteral("Address"),
        QStringLiteral("FaxOrEMail"),
        QStringLiteral("Product"),
        QStringLiteral("Language"),
        QStringLiteral("Licensee"),
        QStringLiteral("Origin"),
        QStringLiteral("Reference"),
        QStringLiteral("NumberOfLicenses"),
        QStringLiteral("Currency"),
        QStringLiteral("PaymentMeans"),
        QStringLiteral("PaymentDate"),
        QStringLiteral("InvoiceNumber"),
        QStringLiteral("NetAmount"),
        QStringLiteral("Tax"),
        QStringLiteral("DeliveryCompany"),
        QStringLiteral("DeliveryTitle"),
        QStringLiteral("DeliveryPerson"),
        QStringLiteral("DeliveryAddress"),
        QStringLiteral("DeliveryFaxOrEMail"),
    };
    return list;
}

TGridViewForm::TGridViewForm(DataSource* pageSource, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::GridViewForm>()), m_page(pageSource),
      m_source(new DataSource(this))
{
    m_ui->setupUi(this);
    m_source->setObjectName(QStringLiteral("Dsale"));
    resize(640, 452);
    DbGrid* grid = m_ui->Gsale;
    grid->setAutoFitColumns(false);
    grid->bind(m_source, columns(), columns());
    grid->horizontalHeader()->setStretchLastSection(false);
    const QHash<QString, int> widths = {
        {QStringLiteral("Person"), 100},   {QStringLiteral("Title"), 40},      {QStringLiteral("Company"), 100},
        {QStringLiteral("Address"), 44},   {QStringLiteral("FaxOrEMail"), 60}, {QStringLiteral("Product"), 140},
        {QStringLiteral("Licensee"), 140}, {QStringLiteral("Reference"), 60},  {QStringLiteral("PaymentMeans"), 80},
        {QStringLiteral("Tax"), 50},
    };
    for (int c = 0; c < columns().size(); ++c)
        if (widths.contains(columns().at(c)))
            grid->setColumnWidth(c, widths.value(columns().at(c)));
    // A search started or ended while the grid is open: follow the page.
    connect(pageSource, &DataSource::dataSetChanged, this, [this] {
        if (isVisible())
            FormShow();
    });
}

TGridViewForm::~TGridViewForm() {}

void TGridViewForm::showEvent(QShowEvent* e)
{
    guarded([this] { FormShow(); });
    QWidget::showEvent(e);
}

void TGridViewForm::hideEvent(QHideEvent* e)
{
    guarded([this] { FormHide(); });
    QWidget::hideEvent(e);
}

void TGridViewForm::FormShow()
{
    m_source->setDataSet(m_page ? m_page->dataSet() : nullptr);
}

void TGridViewForm::FormHide()
{
    m_source->setDataSet(nullptr);
}

} // namespace kestrova
