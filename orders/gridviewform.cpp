#include "orders/gridviewform.h"

#include "data/salefields.h"
#include "data/schema.h"
#include "widgets/dbwidgets.h"
#include "widgets/guard.h"
#include "ui_GridViewForm.h"

#include <QHeaderView>

namespace kestrova {

// Every field of the order table, in stored order.
const QStringList& TGridViewForm::columns()
{
    return saleFieldNames();
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
        {sale::Person, 100},      {sale::Title, 40},    {sale::Company, 100},  {sale::Address, 44},
        {sale::FaxOrEMail, 60},   {sale::Product, 140}, {sale::Licensee, 140}, {sale::Reference, 60},
        {sale::PaymentMeans, 80}, {sale::Tax, 50},
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
