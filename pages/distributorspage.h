#pragma once

#include "documents/distributordocuments.h"
#include "pages/framepage.h"

#include <memory>

namespace Ui {
class DistributorsPage;
}

namespace kestrova {

class DataObjects;

// The "Distributors" page: the distributor shown through Ddistributor. Its
// document buttons are announced by signals: they show the main window's
// dialogs.
class DistributorsPage : public FramePage {
    Q_OBJECT
public:
    explicit DistributorsPage(QWidget* parent = nullptr);
    ~DistributorsPage() override;

    void setUp(DataObjects* data);
    Ui::DistributorsPage* ui() const { return m_ui.get(); }

    // The distributor as the boxes show it, unsaved changes included.
    DistributorView shownDistributor() const;

    void DistributorAppendSpeedClick();

Q_SIGNALS:
    void envelopeRequested();
    void letterRequested();
    void mailingRequested();

private:
    std::unique_ptr<Ui::DistributorsPage> m_ui;
    DataObjects* m_data = nullptr;
};

} // namespace kestrova
