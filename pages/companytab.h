#pragma once

#include <QWidget>
#include <memory>

class QLineEdit;

namespace Ui {
class CompanyTab;
}

namespace kestrova {

class Table;

// The "Company" tab of the "Parameters" page: the company's settings rows of
// Xtable, one box each. A box is stored when it is left (or Enter pressed),
// after its value is checked: a refused value stays in the box and the error
// box says why, the stored one is kept. A set without a row gets it on the
// first store; loading writes nothing.
class CompanyTab : public QWidget {
    Q_OBJECT
public:
    explicit CompanyTab(QWidget* parent = nullptr);
    ~CompanyTab() override;

    // Fills the boxes from the settings; with readOnly they cannot be changed.
    void load(Table* settings, bool readOnly);

    // The box of a company setting (for tests and the tour).
    QLineEdit* box(const QString& setting) const;

private:
    void store(const QString& setting, const QString& text);

    std::unique_ptr<Ui::CompanyTab> m_ui;
    Table* m_settings = nullptr;
    QHash<QString, QString> m_stored;
    bool m_storing = false;
};

} // namespace kestrova
