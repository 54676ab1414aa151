#include "widgets/dbwidgets.h"

#include "data/dataset.h"
#include "data/error.h"
#include "widgets/guard.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>

namespace kestrova {

namespace {

bool matches(const QString& changed, const QString& field)
{
    return changed.isEmpty() || changed.compare(field, Qt::CaseInsensitive) == 0;
}

} // namespace

// ---------------------------------------------------------------- DbEdit

DbEdit::DbEdit(QWidget* parent)
    : QLineEdit(parent), m_binding(
                             this,
                             [this](const QString& text) {
                                 setText(text);
                                 setCursorPosition(0);
                             },
                             [this] { return text(); })
{
    connect(this, &QLineEdit::textEdited, this, [this] { m_binding.userChanged(); });
    connect(this, &QLineEdit::editingFinished, this, [this] { guarded([this] { updateField(); }); });
}

void DbEdit::bind(DataSource* source, const QString& field)
{
    m_binding.bind(source, field);
}

void DbEdit::updateField()
{
    m_binding.updateField();
}

void DbEdit::setTextAsTyped(const QString& text)
{
    DataSet* ds = m_binding.dataSet();
    if (ds && !ds->isEditing())
        ds->edit();
    setText(text);
    m_binding.markTyped();
    updateField();
}

void DbEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && m_binding.isPending()) {
        m_binding.refresh();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- DbMemo

DbMemo::DbMemo(QWidget* parent)
    : QPlainTextEdit(parent), m_binding(
                                  this,
                                  [this](const QString& text) {
                                      if (toPlainText() != text)
                                          setPlainText(text);
                                  },
                                  [this] { return toPlainText(); })
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { m_binding.userChanged(); });
}

void DbMemo::bind(DataSource* source, const QString& field)
{
    m_binding.bind(source, field);
}

void DbMemo::updateField()
{
    m_binding.updateField();
}

void DbMemo::focusOutEvent(QFocusEvent* e)
{
    guarded([this] { updateField(); });
    QPlainTextEdit::focusOutEvent(e);
}

void DbMemo::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape && m_binding.isPending()) {
        m_binding.refresh();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

// ---------------------------------------------------------------- DbLookupCombo

DbLookupCombo::DbLookupCombo(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString text = itemText(index);
        guarded([this, text] { chooseValue(text); });
    });
}

DataSet* DbLookupCombo::dataSet() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

void DbLookupCombo::bind(DataSource* source, const QString& field, Table* list, const QString& listField)
{
    m_source = source;
    m_field = field;
    m_list = list;
    m_listField = listField;
    connect(source, &DataSource::dataChange, this, &DbLookupCombo::refresh);
    if (list) {
        connect(list, &DataSet::rowsReset, this, [this] { guarded([this] { reloadList(); }); });
        connect(list, &DataSet::afterPost, this, [this] { guarded([this] { reloadList(); }); });
    }
    reloadList();
    refresh(QString());
}

void DbLookupCombo::reloadList()
{
    QStringList items;
    if (m_list && m_list->isOpen())
        items = m_list->columnTexts(m_listField);
    m_showing = true;
    clear();
    addItems(items);
    m_listCount = int(items.size());
    m_showing = false;
    show(m_value);
}

void DbLookupCombo::refresh(const QString& field)
{
    if (!matches(field, m_field))
        return;
    DataSet* ds = dataSet();
    const QString text = ds && ds->isOpen() && ds->fieldIndex(m_field) >= 0 ? ds->fieldText(m_field) : QString();
    const bool changed = text != m_value;
    show(text);
    if (!text.isEmpty() && m_list && m_list->isOpen() && m_list->state() == DataSetState::Browse &&
        m_list->keyFields().size() == 1)
        guarded([this, text] { m_list->findKey({text}); });
    if (changed)
        Q_EMIT valueChanged(text);
}

void DbLookupCombo::show(const QString& text)
{
    m_value = text;
    m_showing = true;
    // Drop the item kept for an earlier value that is not in the list.
    while (count() > m_listCount)
        removeItem(count() - 1);
    int index = text.isEmpty() ? -1 : findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 && !text.isEmpty()) {
        addItem(text);
        index = count() - 1;
    }
    setCurrentIndex(index);
    m_showing = false;
}

void DbLookupCombo::chooseValue(const QString& text)
{
    DataSet* ds = dataSet();
    if (!ds)
        return;
    if (!ds->isEditing())
        ds->edit();
    ds->setFieldText(m_field, text);
    Q_EMIT valueChosen(text);
}

// ---------------------------------------------------------------- DbNavigator

DbNavigator::DbNavigator(QWidget* parent) : QWidget(parent)
{
    struct ButtonSetup {
        const char* name;
        const char* hint;
        const char* theme;
        QStyle::StandardPixmap fallback;
        const char* glyph;
    };
    static const ButtonSetup setups[Count] = {
        {"NavFirst", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "First record"), "go-first",
         QStyle::SP_MediaSkipBackward, "|<"},
        {"NavPrior", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Prior record"), "go-previous",
         QStyle::SP_MediaSeekBackward, "<"},
        {"NavNext", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Next record"), "go-next", QStyle::SP_MediaSeekForward,
         ">"},
        {"NavLast", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Last record"), "go-last", QStyle::SP_MediaSkipForward,
         ">|"},
        {"NavInsert", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Insert record"), "list-add",
         QStyle::SP_FileDialogNewFolder, "+"},
        {"NavDelete", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Delete record"), "list-remove", QStyle::SP_TrashIcon,
         "-"},
        {"NavEdit", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Edit record"), "document-edit",
         QStyle::SP_FileDialogContentsView, "^"},
        //: Tooltip of the navigator button that stores the record being edited.
        {"NavPost", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Post edit"), "dialog-ok-apply",
         QStyle::SP_DialogApplyButton, "OK"},
        {"NavCancel", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Cancel edit"), "dialog-cancel",
         QStyle::SP_DialogCancelButton, "X"},
        {"NavRefresh", QT_TRANSLATE_NOOP("kestrova::DbNavigator", "Refresh data"), "view-refresh",
         QStyle::SP_BrowserReload, "R"},
    };
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < Count; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(setups[i].name));
        b->setToolTip(QCoreApplication::translate("kestrova::DbNavigator", setups[i].hint));
        b->setText(QString::fromLatin1(setups[i].glyph));
        const QIcon icon =
            QIcon::fromTheme(QString::fromLatin1(setups[i].theme), style()->standardIcon(setups[i].fallback));
        b->setIcon(icon);
        b->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        m_buttons[i] = b;
        connect(b, &QToolButton::clicked, this, [this, i] { click(Button(i)); });
    }
    layout->addStretch(1);
    updateButtons();
}

void DbNavigator::bind(DataSource* source)
{
    m_source = source;
    connect(source, &DataSource::stateChange, this, &DbNavigator::updateButtons);
    connect(source, &DataSource::dataChange, this, [this](const QString& f) {
        if (f.isEmpty())
            updateButtons();
    });
    updateButtons();
}

void DbNavigator::click(Button b)
{
    DataSet* ds = m_source ? m_source->dataSet() : nullptr;
    if (!ds)
        return;
    guarded([&] {
        switch (b) {
        case First: ds->first(); break;
        case Prior: ds->prior(); break;
        case Next: ds->next(); break;
        case Last: ds->last(); break;
        case Insert: ds->append(); break;
        case Delete:
            if (prompter().ask(tr("Delete record?")))
                ds->deleteRecord();
            break;
        case Edit: ds->edit(); break;
        case Post: ds->post(); break;
        case Cancel: ds->cancel(); break;
        case Refresh: ds->refresh(); break;
        case Count: break;
        }
    });
    updateButtons();
}

void DbNavigator::updateButtons()
{
    DataSet* ds = m_source ? m_source->dataSet() : nullptr;
    const bool open = ds && ds->isOpen();
    const bool editing = open && ds->isEditing();
    const bool modifiable = open && ds->canModify();
    const bool empty = !open || ds->isEmpty();
    m_buttons[First]->setEnabled(open && !ds->bof());
    m_buttons[Prior]->setEnabled(open && !ds->bof());
    m_buttons[Next]->setEnabled(open && !ds->eof());
    m_buttons[Last]->setEnabled(open && !ds->eof());
    m_buttons[Insert]->setEnabled(modifiable);
    m_buttons[Delete]->setEnabled(modifiable && !empty);
    m_buttons[Edit]->setEnabled(modifiable && !editing);
    m_buttons[Post]->setEnabled(editing);
    m_buttons[Cancel]->setEnabled(editing);
    m_buttons[Refresh]->setEnabled(open);
}

// ---------------------------------------------------------------- DataSetModel

DataSetModel::DataSetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DataSetModel::bind(DataSource* source, const QStringList& fields, const QStringList& headings)
{
    beginResetModel();
    m_source = source;
    m_fields = fields;
    m_headings = headings;
    connect(source, &DataSource::rowsReset, this, &DataSetModel::reset);
    connect(source, &DataSource::dataSetChanged, this, &DataSetModel::reset);
    // A state change only alters the row count when an appended row comes
    // or goes; otherwise the current row is just repainted.
    connect(source, &DataSource::stateChange, this, [this] {
        DataSet* ds = dataSet();
        int rows = 0;
        if (ds && ds->isOpen())
            guarded([&] { rows = ds->recordCount() + (ds->state() == DataSetState::Insert ? 1 : 0); });
        if (rows != m_rows)
            reset();
        else
            recordChanged(QString());
    });
    connect(source, &DataSource::dataChange, this, &DataSetModel::recordChanged);
    endResetModel();
    reset();
}

DataSet* DataSetModel::dataSet() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

void DataSetModel::reset()
{
    m_readFailed = false;
    DataSet* ds = dataSet();
    int rows = 0;
    if (ds && ds->isOpen()) {
        guarded([&] { rows = ds->recordCount() + (ds->state() == DataSetState::Insert ? 1 : 0); });
    }
    beginResetModel();
    m_rows = rows;
    m_lastRow = -1;
    endResetModel();
    recordChanged(QString());
}

void DataSetModel::recordChanged(const QString& field)
{
    DataSet* ds = dataSet();
    if (!ds || !ds->isOpen() || m_rows == 0)
        return;
    int row = -1;
    guarded([&] { row = ds->recNo(); });
    if (row < 0 || row >= m_rows)
        return;
    if (field.isEmpty()) {
        if (m_lastRow >= 0 && m_lastRow < m_rows && m_lastRow != row)
            Q_EMIT dataChanged(index(m_lastRow, 0), index(m_lastRow, columnCount() - 1));
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
        m_lastRow = row;
        Q_EMIT currentRecordChanged(row);
    } else {
        const int col = int(m_fields.indexOf(field));
        for (int c = 0; c < m_fields.size(); ++c)
            if (m_fields.at(c).compare(field, Qt::CaseInsensitive) == 0 || col < 0)
                Q_EMIT dataChanged(index(row, c), index(row, c));
    }
}

int DataSetModel::fieldIndex(int column) const
{
    DataSet* ds = dataSet();
    return ds && column >= 0 && column < m_fields.size() ? ds->fieldIndex(m_fields.at(column)) : -1;
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_fields.size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole && m_alignments.contains(index.column()))
        return QVariant::fromValue(m_alignments.value(index.column()) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    DataSet* ds = dataSet();
    if (!ds || !ds->isOpen() || index.row() >= m_rows)
        return {};
    QString text;
    try {
        text = ds->textAt(index.row(), fieldIndex(index.column()));
    } catch (const Error& e) {
        // A row that cannot be read paints empty, and the failure is shown
        // once, after painting, instead of leaving blank cells unexplained.
        if (!m_readFailed) {
            m_readFailed = true;
            const QString message = e.message();
            QMetaObject::invokeMethod(
                const_cast<DataSetModel*>(this), [message] { guarded([&] { throw Error(message); }); },
                Qt::QueuedConnection);
        }
    }
    return text;
}

bool DataSetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    DataSet* ds = dataSet();
    if (!ds)
        return false;
    const QString field = m_fields.value(index.column());
    return guarded([&] {
        ds->moveTo(index.row());
        if (!ds->isEditing())
            ds->edit();
        ds->setFieldText(field, value.toString());
    });
}

QVariant DataSetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return m_headings.value(section, m_fields.value(section));
    return {};
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    DataSet* ds = dataSet();
    if (ds && ds->canModify())
        f |= Qt::ItemIsEditable;
    return f;
}

// ---------------------------------------------------------------- DbGrid

DbGrid::DbGrid(QWidget* parent) : QTableView(parent), m_model(new DataSetModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(12);
    horizontalHeader()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    connect(m_model, &DataSetModel::currentRecordChanged, this, &DbGrid::followDataSet);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        // Small value lists show their texts whole; large tables keep the
        // widths they have, so that nothing is read beyond the visible rows.
        if (m_autoFit && m_model->rowCount() > 0 && m_model->rowCount() < 500)
            resizeColumnsToContents();
        if (DataSet* ds = m_model->source() ? m_model->source()->dataSet() : nullptr) {
            int row = -1;
            if (ds->isOpen())
                guarded([&] { row = ds->recNo(); });
            followDataSet(row);
        }
    });
}

void DbGrid::bind(DataSource* source, const QStringList& fields, const QStringList& headings)
{
    m_model->bind(source, fields, headings);
}

void DbGrid::followDataSet(int row)
{
    if (m_syncing || row < 0 || row >= m_model->rowCount())
        return;
    m_syncing = true;
    const int col = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex idx = m_model->index(row, col);
    if (currentIndex() != idx)
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (m_syncing || !current.isValid())
        return;
    DataSet* ds = m_model->source() ? m_model->source()->dataSet() : nullptr;
    if (!ds || !ds->isOpen())
        return;
    if (current.row() == previous.row() && previous.isValid())
        return;
    m_syncing = true;
    const bool ok = guarded([&] {
        if (ds->state() == DataSetState::Insert && current.row() == ds->recNo())
            return;
        ds->moveTo(current.row());
    });
    m_syncing = false;
    if (!ok) {
        // The row could not be left (its post failed): stay on it.
        int row = -1;
        guarded([&] { row = ds->recNo(); });
        followDataSet(row);
    }
}

void DbGrid::keyPressEvent(QKeyEvent* e)
{
    DataSet* ds = m_model->source() ? m_model->source()->dataSet() : nullptr;
    if (ds && e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        guarded([ds] { ds->append(); });
        return;
    }
    if (ds && e->key() == Qt::Key_Delete && (e->modifiers() & Qt::ControlModifier)) {
        guarded([ds] {
            if (prompter().ask(tr("Delete record?")))
                ds->deleteRecord();
        });
        return;
    }
    if (ds && e->key() == Qt::Key_Escape && ds->isEditing() && state() != EditingState) {
        guarded([ds] { ds->cancel(); });
        return;
    }
    QTableView::keyPressEvent(e);
}

} // namespace kestrova
