#include "widgets/fieldbinding.h"

#include "widgets/guard.h"

namespace kestrova {

FieldBinding::FieldBinding(QObject* control, Show show, Read read)
    : m_control(control), m_show(std::move(show)), m_read(std::move(read))
{
}

DataSet* FieldBinding::dataSet() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

void FieldBinding::bind(DataSource* source, const QString& field)
{
    m_source = source;
    m_field = field;
    QObject::connect(source, &DataSource::dataChange, m_control, [this](const QString& f) { refresh(f); });
    source->onUpdateRecord(m_control, [this] { updateField(); });
    refresh();
}

void FieldBinding::userChanged()
{
    if (m_showing || m_pending)
        return;
    DataSet* ds = dataSet();
    const bool editing = ds && (ds->isEditing() || guarded([ds] { ds->edit(); }));
    if (!editing) {
        refresh();
        return;
    }
    m_pending = true;
}

void FieldBinding::refresh(const QString& changedField)
{
    if (!changedField.isEmpty() && changedField.compare(m_field, Qt::CaseInsensitive) != 0)
        return;
    DataSet* ds = dataSet();
    m_showing = true;
    m_show(ds && ds->isOpen() && ds->fieldIndex(m_field) >= 0 ? ds->fieldText(m_field) : QString());
    m_showing = false;
    m_pending = false;
}

void FieldBinding::updateField()
{
    if (!m_pending)
        return;
    DataSet* ds = dataSet();
    if (!ds || !ds->isEditing()) {
        m_pending = false;
        return;
    }
    ds->setFieldText(m_field, m_read()); // may throw; the typed text stays
    m_pending = false;
}

} // namespace kestrova
