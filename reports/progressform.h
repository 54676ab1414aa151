#pragma once

#include "reports/ordertransfer.h"

#include <QWidget>
#include <memory>

namespace Ui {
class ProgressForm;
}

namespace kestrova {

// The progress window of the order export and import: shown while a file
// is written or read, its bar moved as the work goes on.
class TProgressForm : public QWidget, public TransferProgress {
    Q_OBJECT
public:
    explicit TProgressForm(QWidget* parent = nullptr);
    ~TProgressForm() override;
    Ui::ProgressForm* ui() const { return m_ui.get(); }

    void begin(const QString& caption, const QString& label, qint64 maximum) override;
    void advance(qint64 position) override;
    void end() override;

private:
    std::unique_ptr<Ui::ProgressForm> m_ui;
    qint64 m_divisor = 1; // keeps any size within the bar's range
    int m_shownPermille = -1;
    qint64 m_maximum = 0;
};

} // namespace kestrova
