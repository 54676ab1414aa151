#pragma once

#include "documents/distributordocuments.h"

#include <QWidget>
#include <memory>

namespace Ui {
class DistributorsPage;
}

namespace kestrova {

class DataObjects;

// The "Distributors" page: the distributor shown through Ddistributor. Its
// document buttons show the main window's dialogs.
class DistributorsPage : public QWidget {
    Q_OBJECT
public:
    explicit DistributorsPage(QWidget* parent = nullptr);
    ~DistributorsPage() override;

    void setUp(DataObjects* data);
    Ui::DistributorsPage* ui() const { return m_ui.get(); }

    // The distributor as the boxes show it, unsaved changes included.
    DistributorView shownDistributor() const;

    void DistributorAppendSpeedClick();

private:
    std::unique_ptr<Ui::DistributorsPage> m_ui;
    DataObjects* m_data = nullptr;
};

} // namespace kestrova
