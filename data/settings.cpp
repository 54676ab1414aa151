#include "data/settings.h"

#include "data/dataset.h"

namespace kestrova {

bool Settings::find(const QString& name) const
{
    m_table->setKey();
    m_table->setKeyFieldText(QStringLiteral("Name"), name);
    return m_table->gotoKey();
}

std::optional<QString> Settings::read(const QString& name) const
{
    if (!find(name))
        return std::nullopt;
    return m_table->fieldText(QStringLiteral("Value"));
}

bool Settings::write(const QString& name, const QString& value) const
{
    if (!find(name))
        return false;
    m_table->edit();
    try {
        m_table->setFieldText(QStringLiteral("Value"), value);
        m_table->post();
    } catch (...) {
        // The row is left as stored; the caller shows the failure.
        m_table->cancel();
        throw;
    }
    return true;
}

void Settings::store(const QString& name, const QString& value) const
{
    if (write(name, value))
        return;
    m_table->append();
    try {
        m_table->setFieldText(QStringLiteral("Name"), name);
        m_table->setFieldText(QStringLiteral("Value"), value);
        m_table->post();
    } catch (...) {
        m_table->cancel();
        throw;
    }
}

} // namespace kestrova
