#include "setup/firststartwizard.h"

#include "data/error.h"
#include "setup/companysettings.h"
#include "ui_FirstStartWizard.h"
#include "widgets/guard.h"

#include <QLineEdit>

namespace kestrova {

namespace {

// A common standard rate for a few sellers' countries; anything else starts
// at zero for the user to fill in.
double usualTaxRate(const QString& country)
{
    static const QHash<QString, double> rates{{QStringLiteral("DE"), 19},  {QStringLiteral("AT"), 20},
                                              {QStringLiteral("CH"), 8.1}, {QStringLiteral("GB"), 20},
                                              {QStringLiteral("FR"), 20},  {QStringLiteral("NL"), 21},
                                              {QStringLiteral("IT"), 22},  {QStringLiteral("ES"), 21}};
    return rates.value(country, 0);
}

void check(const QString& name, const QString& typed)
{
    const QString problem = companySettingProblem(name, normalisedCompanySetting(name, typed));
    if (!problem.isEmpty())
        throw Error(problem);
}

} // namespace

FirstStartWizard::FirstStartWizard(const QString& workDir, const QString& templates, const QLocale& locale,
                                   QWidget* parent)
    : QWizard(parent), m_ui(std::make_unique<Ui::FirstStartWizard>()), m_workDir(workDir), m_templates(templates)
{
    m_ui->setupUi(this);
    const QString home = QLocale::territoryToCode(locale.territory());
    for (const Country& c : countries())
        m_ui->CompanyCountry->addItem(c.label(), c.code);
    const int own = m_ui->CompanyCountry->findData(home);
    m_ui->CompanyCountry->setCurrentIndex(own >= 0 ? own : m_ui->CompanyCountry->findData(QStringLiteral("DE")));

    const bool german = locale.language() == QLocale::German;
    m_ui->PaymentDays->setRange(0, 3650);
    m_ui->PaymentDays->setValue(14);
    m_ui->PaymentTerms->setText(german ? QStringLiteral("Zahlbar innerhalb von 14 Tagen ohne Abzug.")
                                       : QStringLiteral("Payable within 14 days without deduction."));

    m_ui->LanguageEN->setChecked(!german);
    m_ui->LanguageDE->setChecked(german);
    m_ui->Currency->setEditable(true);
    m_ui->Currency->addItems(
        {QStringLiteral("EUR"), QStringLiteral("USD"), QStringLiteral("GBP"), QStringLiteral("CHF")});
    const QString currency = locale.currencySymbol(QLocale::CurrencyIsoCode);
    m_ui->Currency->setCurrentText(currency.size() == 3 ? currency : QStringLiteral("EUR"));
    m_ui->NetPrice->setRange(0, 1e9);
    m_ui->NetPrice->setDecimals(2);
    m_ui->TaxRate->setRange(0, 99.99);
    m_ui->TaxRate->setDecimals(2);
    m_ui->TaxRate->setValue(usualTaxRate(m_ui->CompanyCountry->currentData().toString()));
    connect(m_ui->CompanyCountry, &QComboBox::currentIndexChanged, this,
            [this] { m_ui->TaxRate->setValue(usualTaxRate(m_ui->CompanyCountry->currentData().toString())); });
}

FirstStartWizard::~FirstStartWizard() = default;

FirstStartAnswers FirstStartWizard::answers() const
{
    FirstStartAnswers a;
    // Each box is named after its setting.
    for (const QLineEdit* box :
         {m_ui->CompanyName, m_ui->CompanyStreet, m_ui->CompanyPostcode, m_ui->CompanyCity, m_ui->CompanyVatId,
          m_ui->CompanyTaxNumber, m_ui->CompanyContact, m_ui->CompanyPhone, m_ui->CompanyEMail, m_ui->CompanyIban,
          m_ui->CompanyBic, m_ui->CompanyBank, m_ui->PaymentTerms, m_ui->VatExemptionNote}) {
        Q_ASSERT(companySettingNames().contains(box->objectName()));
        a.company.insert(box->objectName(), box->text());
    }
    a.company.insert(company::Country, m_ui->CompanyCountry->currentData().toString());
    a.company.insert(company::PaymentDays, QString::number(m_ui->PaymentDays->value()));
    a.product = m_ui->Product->text().trimmed();
    if (m_ui->LanguageEN->isChecked())
        a.languages << QStringLiteral("EN");
    if (m_ui->LanguageDE->isChecked())
        a.languages << QStringLiteral("DE");
    a.currency = m_ui->Currency->currentText().trimmed().toUpper();
    a.netPrice = m_ui->NetPrice->value();
    a.taxRate = m_ui->TaxRate->value();
    return a;
}

void FirstStartWizard::checkCompanyPage() const
{
    if (m_ui->CompanyName->text().trimmed().isEmpty())
        throw Error(tr("Enter the name of your company"));
    for (QLineEdit* box : {m_ui->CompanyVatId, m_ui->CompanyEMail})
        check(box->objectName(), box->text());
}

void FirstStartWizard::checkPaymentPage() const
{
    for (QLineEdit* box : {m_ui->CompanyIban, m_ui->CompanyBic, m_ui->PaymentTerms, m_ui->VatExemptionNote})
        check(box->objectName(), box->text());
}

bool FirstStartWizard::validateCurrentPage()
{
    QWizardPage* page = currentPage();
    if (page == m_ui->CompanyPage)
        return guarded([this] { checkCompanyPage(); });
    if (page == m_ui->PaymentPage)
        return guarded([this] { checkPaymentPage(); });
    return guarded([this] { applyFirstStart(m_workDir, answers(), m_templates); });
}

} // namespace kestrova
