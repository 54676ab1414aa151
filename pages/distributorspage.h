#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class DistributorsPage;
}

namespace kestrova {

class DataObjects;

// The "Distributors" page: the distributor shown through Ddistributor.
class DistributorsPage : public QWidget {
    Q_OBJECT
public:
    explicit DistributorsPage(QWidget* parent = nullptr);
    ~DistributorsPage() override;

    void setUp(DataObjects* data);
    Ui::DistributorsPage* ui() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::DistributorsPage> m_ui;
    DataObjects* m_data = nullptr;
};

} // namespace kestrova
