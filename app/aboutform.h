#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutForm;
}

namespace kestrova {

// The modal about box.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;
    Ui::AboutForm* ui() const { return m_ui.get(); }

    void Button1Click();

private:
    std::unique_ptr<Ui::AboutForm> m_ui;
};

} // namespace kestrova
