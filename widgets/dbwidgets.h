#pragma once

#include <QAbstractTableModel>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableView>
#include <QToolButton>
#include <QWidget>

#include "data/dataset.h"
#include "widgets/fieldbinding.h"

namespace kestrova {

// Data-aware controls: each shows a field of the current record of a data
// source, and writes the user's changes back into the record being edited.

class DbEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);
    void bind(kestrova::DataSource* source, const QString& field);
    QString dataField() const { return m_binding.field(); }
    // Writes typed text into the field now (also done on leaving the box
    // and before every post).
    void updateField();
    // Puts text into the box as if typed: the record goes into editing.
    void setTextAsTyped(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    FieldBinding m_binding;
};

class DbMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit DbMemo(QWidget* parent = nullptr);
    void bind(kestrova::DataSource* source, const QString& field);
    QString dataField() const { return m_binding.field(); }
    void updateField();

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    FieldBinding m_binding;
};

// A drop-down list over one column of a value-list table. It stores the
// chosen text itself, and still shows a stored text that is no longer in the
// list. Showing a value makes that value the current row of the list table.
class DbLookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DbLookupCombo(QWidget* parent = nullptr);
    void bind(kestrova::DataSource* source, const QString& field, kestrova::Table* list, const QString& listField);
    QString dataField() const { return m_field; }
    // The shown value (the field's text, or the text chosen by the user).
    QString value() const { return m_value; }
    // Chooses a value as the user would.
    void chooseValue(const QString& text);
    void reloadList();

Q_SIGNALS:
    // The shown text changed: another record, or a choice by the user.
    void valueChanged(const QString& text);
    // The user chose a value (the record is then being edited).
    void valueChosen(const QString& text);

private:
    void refresh(const QString& field);
    void show(const QString& text);
    kestrova::DataSet* dataSet() const;

    QPointer<kestrova::DataSource> m_source;
    QString m_field;
    QPointer<kestrova::Table> m_list;
    QString m_listField;
    QString m_value;
    int m_listCount = 0; // items before the one that stands for a value not in the list
    bool m_showing = false;
};

// Record navigator: first, prior, next, last, insert, delete, edit, post,
// cancel and refresh.
class DbNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, Count };
    explicit DbNavigator(QWidget* parent = nullptr);
    void bind(kestrova::DataSource* source);
    QToolButton* button(Button b) const { return m_buttons[b]; }
    void click(Button b);

private:
    void updateButtons();
    QToolButton* m_buttons[Count];
    QPointer<kestrova::DataSource> m_source;
};

// Table model over a data set: rows by position, fetched as they are shown.
class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DataSetModel(QObject* parent = nullptr);
    void bind(kestrova::DataSource* source, const QStringList& fields, const QStringList& headings);
    kestrova::DataSource* source() const { return m_source; }
    void setAlignment(int column, Qt::Alignment alignment) { m_alignments[column] = alignment; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

Q_SIGNALS:
    void currentRecordChanged(int row);

private:
    void reset();
    void recordChanged(const QString& field);
    kestrova::DataSet* dataSet() const;
    int fieldIndex(int column) const;

    QPointer<kestrova::DataSource> m_source;
    QStringList m_fields;
    QStringList m_headings;
    QHash<int, Qt::Alignment> m_alignments;
    int m_rows = 0;
    int m_lastRow = -1;
    mutable bool m_readFailed = false; // shown once until the rows change
};

// Grid over a data source. Insert adds a row, Ctrl+Del deletes the current
// one after confirmation; the grid's current row is the data set's.
class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);
    void bind(kestrova::DataSource* source, const QStringList& fields, const QStringList& headings);
    DataSetModel* dataModel() const { return m_model; }
    // Small value lists fit their columns to the texts; off for grids whose
    // column widths are set.
    void setAutoFitColumns(bool on) { m_autoFit = on; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void followDataSet(int row);
    DataSetModel* m_model;
    bool m_syncing = false;
    bool m_autoFit = true;
};

} // namespace kestrova
