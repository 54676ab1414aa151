#pragma once

#include <QObject>
#include <QString>

class QLineEdit;

namespace kestrova {

class Table;

// The eight settings boxes of the "Parameters" page. Each shows one row of
// Xtable; every change of a box's text stores the box's whole text in its row.
class SettingsEditors : public QObject {
    Q_OBJECT
public:
    struct Boxes {
        QLineEdit* commandLine;
        QLineEdit* ddeService;
        QLineEdit* ddeTopic;
        QLineEdit* lastDdeMacro;
        QLineEdit* profile;
        QLineEdit* password;
        QLineEdit* messageStore;
        QLineEdit* saveFolder;
    };
    SettingsEditors(const Boxes& boxes, Table* settingsTable, QObject* parent = nullptr);

    // Fills the boxes from their rows, in their fixed order; a box whose row
    // is missing stays empty. Loading writes nothing back; from then on each
    // change is stored. With readOnly the boxes cannot be typed into.
    void load(bool readOnly);

    void TablesCommandLineChange();
    void TablesDdeServiceChange();
    void TablesDdeTopicChange();
    void TablesLastDdeMacroChange();
    void ProfileChange();
    void PasswordChange();
    void MessageStoreChange();
    void SaveFolderChange();

private:
    void save(QLineEdit* box, const QString& name);
    Boxes m_boxes;
    Table* m_table;
};

} // namespace kestrova
