#pragma once

#include "data/dataset.h"

#include <QObject>

namespace kestrova {

// The table, data-source and query objects of the main window, opened in
// their fixed order. The pages of the main window and its dialogs receive
// this one owner instead of reaching into the window.
class DataObjects : public QObject {
    Q_OBJECT
public:
    // Opens the tables of workDir; throws Error with the database layer's
    // message when one cannot be opened. With readOnly, every table refuses
    // changes.
    DataObjects(const QString& workDir, const LocaleFormat& fmt, bool readOnly, QObject* parent = nullptr);

    const QString& workDir() const { return m_workDir; }
    const LocaleFormat& localeFormat() const { return m_fmt; }
    bool isReadOnly() const { return m_readOnly; }

    // In the order they are opened.
    Table* Tproduct = nullptr;
    DataSource* Dproduct = nullptr;
    Table* Tlanguage = nullptr;
    DataSource* Dlanguage = nullptr;
    Table* Tprice = nullptr;
    DataSource* Dprice = nullptr;
    Table* Ttitle = nullptr;
    DataSource* Dtitle = nullptr;
    Table* Tcurrency = nullptr;
    DataSource* Dcurrency = nullptr;
    Table* Tpayment = nullptr;
    DataSource* Dpayment = nullptr;
    Query* FindPersonSQL = nullptr;
    Query* SQLSQL = nullptr;
    Table* Texport = nullptr;
    Table* Tfactory = nullptr;
    DataSource* Dfactory = nullptr;
    Table* Ttable = nullptr;
    DataSource* Dtable = nullptr;
    Table* Tdistributor = nullptr;
    DataSource* Ddistributor = nullptr;
    DataSource* Dsale = nullptr;
    Table* Tsale = nullptr;
    Query* FindUnpayedSQL = nullptr;
    Table* Torigin = nullptr;
    DataSource* Dorigin = nullptr;
    Table* Temail = nullptr;
    DataSource* Demail = nullptr;
    Query* Qemail = nullptr;
    Table* TsaleIn = nullptr;

private:
    Table* makeTable(const QString& name);
    DataSource* makeSource(const char* name, DataSet* dataSet);
    Query* makeQuery(const char* name, const QStringList& lines);

    QString m_workDir;
    LocaleFormat m_fmt;
    bool m_readOnly;
};

// True when workDir takes new files (SQLite writes its journal beside a
// table) and every table file in it is writable.
bool folderIsWritable(const QString& workDir);

} // namespace kestrova
