#pragma once

#include "data/datasetstate.h"

#include <QList>
#include <QObject>

namespace kestrova {

// Connects bound controls to a table or a query, and passes its events on.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(QObject* parent = nullptr);
    DataSet* dataSet() const { return m_dataSet; }
    void setDataSet(DataSet* ds);

    // Bound controls write their pending text here before the shown data
    // set posts; see DataSet::onUpdateRecord.
    void onUpdateRecord(QObject* owner, std::function<void()> callback);

Q_SIGNALS:
    void dataChange(const QString& fieldName);
    void stateChange();
    void rowsReset();
    void dataSetChanged();

private:
    DataSet* m_dataSet = nullptr;
    CallbackList m_updateRecord;
    QList<QMetaObject::Connection> m_links;
};

} // namespace kestrova
