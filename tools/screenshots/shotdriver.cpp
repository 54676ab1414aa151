#include "tools/screenshots/shotdriver.h"

#include "widgets/guard.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

#include <utility>

namespace kestrova::shots {

namespace {

// Stands in for the person at the screen while the pictures are taken: a
// message box the program shows is remembered and fails the shot, a question
// is answered No and a file dialog or an assistant is cancelled.
class ShotPrompter : public Prompter {
public:
    void message(const QString& text, QMessageBox::Icon) override { said << text; }
    bool ask(const QString& text) override
    {
        said << text;
        return false;
    }
    QString openFileName(const QString&, const QString&) override { return {}; }
    bool fillIn(QDialog&) override { return false; }

    QStringList said;
};

} // namespace

QWidget* Driver::window(const QString& name) const
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    throw MissingWidget(QStringLiteral("window \"%1\"").arg(name));
}

void Driver::click(QWidget* parent, const QString& name) const
{
    auto* button = child<QAbstractButton>(parent, name);
    if (!button->isEnabled())
        throw MissingWidget(QStringLiteral("enabled button \"%1\" in window \"%2\"").arg(name, parent->objectName()));
    button->click();
    settle();
}

void Driver::showTab(QWidget* parent, const QString& tabs, const QString& title) const
{
    auto* notebook = child<QTabWidget>(parent, tabs);
    // The English caption, or its translation when the pictures are taken in
    // another language: by the form (or class) of the nearest enclosing widget
    // that has one.
    QString shown = title;
    for (QWidget* w = notebook; w && shown == title; w = w->parentWidget())
        for (const QByteArray& context : {w->objectName().toUtf8(), QByteArray(w->metaObject()->className())})
            if (shown == title)
                shown = QCoreApplication::translate(context.constData(), qPrintable(title));
    for (int i = 0; i < notebook->count(); ++i) {
        if (notebook->tabText(i) == title || notebook->tabText(i) == shown) {
            notebook->setCurrentIndex(i);
            settle();
            return;
        }
    }
    throw MissingWidget(
        QStringLiteral("page \"%1\" of \"%2\" in window \"%3\"").arg(title, tabs, parent->objectName()));
}

void Driver::activate(QWidget* window) const
{
    window->show();
    window->raise();
    window->activateWindow();
    // Activation goes through the platform's event queue; a bounded wait.
    for (int i = 0; i < 100 && QApplication::activeWindow() != window; ++i)
        settle();
}

void Driver::settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

void Driver::whileModal(QWidget* parent, const QString& name, const QString& modal,
                        const std::function<void(QWidget*)>& whileOpen)
{
    bool opened = false;
    QString failure;
    // The modal window runs its own event loop inside the click: a timer is
    // the only way in. It looks once per pass of that loop and stops at the
    // first look that finds the window.
    QTimer look;
    look.setInterval(0);
    QObject::connect(&look, &QTimer::timeout, [&] {
        QWidget* open = QApplication::activeModalWidget();
        if (!open || open->objectName() != modal)
            return;
        look.stop();
        opened = true;
        try {
            whileOpen(open);
        } catch (const MissingWidget& e) {
            failure = QStringLiteral("missing %1").arg(QString::fromStdString(e.what()));
        } catch (const std::exception& e) {
            failure = QString::fromStdString(e.what());
        }
        if (open->isVisible()) {
            if (failure.isEmpty())
                failure = QStringLiteral("window \"%1\" stayed open").arg(modal);
            if (auto* dialog = qobject_cast<QDialog*>(open))
                dialog->reject();
            else
                open->close();
        }
    });
    look.start();
    click(parent, name);
    look.stop();
    if (!opened)
        throw MissingWidget(QStringLiteral("modal window \"%1\"").arg(modal));
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
}

void Driver::holdPicture(QWidget* window)
{
    m_held = grabWindow(window);
}

QImage Driver::takeHeldPicture()
{
    return std::exchange(m_held, QImage());
}

QImage grabWindow(QWidget* window)
{
    window->show();
    window->raise();
    Driver::settle();
    return window->grab().toImage();
}

QStringList takeShots(const std::vector<Shot>& shots, const QString& outDir)
{
    QStringList failures;
    if (!QDir().mkpath(outDir))
        return {QStringLiteral("cannot make the folder %1").arg(outDir)};
    ShotPrompter prompter;
    setPrompter(&prompter);
    Driver driver;
    for (const Shot& shot : shots) {
        prompter.said.clear();
        QString failure;
        try {
            QWidget* window = shot.prepare(driver);
            QImage image = driver.takeHeldPicture();
            if (image.isNull() && window)
                image = grabWindow(window);
            const QString path = QDir(outDir).filePath(shot.file);
            // A window showing the aftermath of an error is no picture for the guide.
            if (!prompter.said.isEmpty())
                failure = QStringLiteral("the program said: %1").arg(prompter.said.join(QStringLiteral(" / ")));
            else if (image.isNull() || image.width() < 16 || image.height() < 16)
                failure =
                    QStringLiteral("window \"%1\" gave no picture").arg(window ? window->objectName() : QString());
            else if (!image.save(path, "PNG"))
                failure = QStringLiteral("cannot write %1").arg(path);
        } catch (const MissingWidget& e) {
            failure = QStringLiteral("missing %1").arg(QString::fromStdString(e.what()));
        } catch (const std::exception& e) {
            failure = QString::fromStdString(e.what());
        }
        // What the program said often is why a window did not open.
        if (!failure.isEmpty() && !prompter.said.isEmpty() && !failure.startsWith(QStringLiteral("the program said")))
            failure += QStringLiteral(" (the program said: %1)").arg(prompter.said.join(QStringLiteral(" / ")));
        driver.takeHeldPicture(); // a failed shot's picture is not the next one's
        if (!failure.isEmpty())
            failures << shot.file + QStringLiteral(": ") + failure;
    }
    setPrompter(nullptr);
    return failures;
}

} // namespace kestrova::shots
