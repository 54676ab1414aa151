#pragma once

#include "data/dataset.h"

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui {
class GridViewForm;
}

namespace kestrova {

// "Grid view": all fields of the orders the order page shows, in a grid that
// shares the page's data set and current row.
class TGridViewForm : public QWidget {
    Q_OBJECT
public:
    explicit TGridViewForm(DataSource* pageSource, QWidget* parent = nullptr);
    ~TGridViewForm() override;
    Ui::GridViewForm* ui() const { return m_ui.get(); }
    DataSource* Dsale() const { return m_source; }

    void FormShow();
    void FormHide();

    static const QStringList& columns();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    std::unique_ptr<Ui::GridViewForm> m_ui;
    QPointer<DataSource> m_page;
    DataSource* m_source;
};

} // namespace kestrova
