#pragma once

#include "setup/firststart.h"

#include <QLocale>
#include <QWizard>
#include <memory>

namespace Ui {
class FirstStartWizard;
}

namespace kestrova {

// The assistant a new user meets when Kestrova has just made an empty set:
// the company, how customers pay, the first product with its languages,
// currency and price. Each page is checked before the next one is shown; the
// last one stores everything in one transaction, and a failure keeps the
// assistant open with the reason in the error box. Cancel stores nothing.
class FirstStartWizard : public QWizard {
    Q_OBJECT
public:
    FirstStartWizard(const QString& workDir, const QString& templates, const QLocale& locale = QLocale::system(),
                     QWidget* parent = nullptr);
    ~FirstStartWizard() override;

    FirstStartAnswers answers() const;

protected:
    bool validateCurrentPage() override;

private:
    void checkCompanyPage() const;
    void checkPaymentPage() const;

    std::unique_ptr<Ui::FirstStartWizard> m_ui;
    QString m_workDir;
    QString m_templates;
};

} // namespace kestrova
