#include "data/datasource.h"

namespace kestrova {

DataSource::DataSource(QObject* parent) : QObject(parent) {}

void DataSource::onUpdateRecord(QObject* owner, std::function<void()> callback)
{
    m_updateRecord.add(owner, std::move(callback));
}

void DataSource::setDataSet(DataSet* ds)
{
    if (ds == m_dataSet)
        return;
    for (const auto& c : m_links)
        disconnect(c);
    m_links.clear();
    if (m_dataSet)
        m_dataSet->removeCallbacks(this);
    m_dataSet = ds;
    if (ds) {
        m_links << connect(ds, &DataSet::dataChanged, this, &DataSource::dataChange);
        m_links << connect(ds, &DataSet::stateChanged, this, &DataSource::stateChange);
        m_links << connect(ds, &DataSet::rowsReset, this, &DataSource::rowsReset);
        ds->onUpdateRecord(this, [this] { m_updateRecord.run(); });
        m_links << connect(ds, &QObject::destroyed, this, [this] { m_dataSet = nullptr; });
    }
    Q_EMIT dataSetChanged();
    Q_EMIT stateChange();
    Q_EMIT rowsReset();
    Q_EMIT dataChange(QString());
}

} // namespace kestrova
