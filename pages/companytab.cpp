#include "pages/companytab.h"

#include "data/settings.h"
#include "setup/companysettings.h"
#include "ui_CompanyTab.h"
#include "widgets/guard.h"

namespace kestrova {

CompanyTab::CompanyTab(QWidget* parent) : QWidget(parent), m_ui(std::make_unique<Ui::CompanyTab>())
{
    m_ui->setupUi(this);
    for (const Country& c : countries())
        m_ui->CompanyCountry->addItem(c.label(), c.code);
    m_ui->CompanyCountry->insertItem(0, QString(), QString());
    for (const QString& name : companySettingNames()) {
        if (name == company::Country)
            continue;
        QLineEdit* edit = box(name);
        connect(edit, &QLineEdit::editingFinished, this, [this, name, edit] { store(name, edit->text()); });
    }
    connect(m_ui->CompanyCountry, &QComboBox::activated, this,
            [this] { store(company::Country, m_ui->CompanyCountry->currentData().toString()); });
}

CompanyTab::~CompanyTab() = default;

QLineEdit* CompanyTab::box(const QString& setting) const
{
    auto* edit = findChild<QLineEdit*>(setting);
    Q_ASSERT_X(edit, "CompanyTab", qPrintable(setting));
    return edit;
}

void CompanyTab::load(Table* settings, bool readOnly)
{
    m_settings = settings;
    const Settings rows(settings);
    for (const QString& name : companySettingNames()) {
        const QString value = rows.read(name).value_or(QString());
        m_stored.insert(name, value);
        if (name == company::Country) {
            const int index = m_ui->CompanyCountry->findData(value);
            m_ui->CompanyCountry->setCurrentIndex(index < 0 ? 0 : index);
            m_ui->CompanyCountry->setEnabled(!readOnly);
        } else {
            box(name)->setText(value);
            box(name)->setReadOnly(readOnly);
        }
    }
}

void CompanyTab::store(const QString& setting, const QString& text)
{
    // The error box takes the focus and would leave the box again.
    if (m_storing || !m_settings)
        return;
    const QString value = normalisedCompanySetting(setting, text);
    if (value == m_stored.value(setting))
        return;
    m_storing = true;
    const bool stored = guarded([&] { storeCompanySetting(m_settings, setting, value); });
    m_storing = false;
    if (!stored)
        return;
    m_stored.insert(setting, value);
    if (setting != company::Country && box(setting)->text() != value)
        box(setting)->setText(value);
}

} // namespace kestrova
