// The screenshot driver: a shot that names a window, control or page the
// program lacks fails naming it, a message the program shows fails the shot,
// and a window that exists is saved as its picture.

#include "widgets/guard.h"
#include "tools/screenshots/shotdriver.h"

#include <QDialog>
#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

using namespace kestrova;
using namespace kestrova::shots;

class TestShotDriver : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<QTemporaryDir> m_out;

    QString out(const QString& file) const { return QDir(m_out->path()).filePath(file); }

    // A button "Open" in the window that runs a modal dialog "Modal" with a
    // button "Close", as the program runs its processing window; counts the
    // runs that ended.
    int m_modalRunsEnded = 0;
    void addModalButton()
    {
        auto* open = new QPushButton(QStringLiteral("Open"), m_window.get());
        open->setObjectName(QStringLiteral("Open"));
        connect(open, &QPushButton::clicked, this, [this] {
            QDialog modal(m_window.get());
            modal.setObjectName(QStringLiteral("Modal"));
            modal.resize(150, 90);
            auto* close = new QPushButton(QStringLiteral("Close"), &modal);
            close->setObjectName(QStringLiteral("Close"));
            connect(close, &QPushButton::clicked, &modal, &QDialog::reject);
            modal.exec();
            ++m_modalRunsEnded;
        });
    }

    // One shot of the modal dialog: whileOpen is called with it open.
    QStringList shootModal(const QString& button, const std::function<void(Driver&, QWidget*)>& whileOpen)
    {
        const std::vector<Shot> shots = {{QStringLiteral("modal.png"), QString(), [&](Driver& d) -> QWidget* {
                                              d.whileModal(m_window.get(), button, QStringLiteral("Modal"),
                                                           [&](QWidget* w) { whileOpen(d, w); });
                                              return nullptr;
                                          }}};
        return takeShots(shots, m_out->path());
    }

private Q_SLOTS:
    void init()
    {
        m_out = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<QWidget>();
        m_window->setObjectName(QStringLiteral("Present"));
        m_window->resize(200, 120);
        auto* layout = new QVBoxLayout(m_window.get());
        auto* tabs = new QTabWidget;
        tabs->setObjectName(QStringLiteral("Pages"));
        tabs->addTab(new QWidget, QStringLiteral("First"));
        tabs->addTab(new QWidget, QStringLiteral("Second"));
        layout->addWidget(tabs);
        auto* button = new QPushButton(QStringLiteral("Go"));
        button->setObjectName(QStringLiteral("Go"));
        layout->addWidget(button);
        auto* off = new QPushButton(QStringLiteral("Off"));
        off->setObjectName(QStringLiteral("Off"));
        off->setEnabled(false);
        layout->addWidget(off);
    }
    void cleanup()
    {
        m_window.reset();
        m_out.reset();
        m_modalRunsEnded = 0;
    }

    void existingWindowIsSavedAtItsSize()
    {
        const std::vector<Shot> shots = {{QStringLiteral("present.png"), QString(), [](Driver& d) {
                                              QWidget* w = d.window(QStringLiteral("Present"));
                                              d.showTab(w, QStringLiteral("Pages"), QStringLiteral("Second"));
                                              d.click(w, QStringLiteral("Go"));
                                              return w;
                                          }}};
        QCOMPARE(takeShots(shots, m_out->path()), QStringList());
        const QImage image(out(QStringLiteral("present.png")));
        QVERIFY(!image.isNull());
        QCOMPARE(image.size() / image.devicePixelRatio(), QSize(200, 120));
        QCOMPARE(m_window->findChild<QTabWidget*>(QStringLiteral("Pages"))->currentIndex(), 1);
    }

    void missingPiecesAreNamed_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("named");
        // clang-format off
        QTest::newRow("window") << "MailingDlg" << "" << "" << "missing window \"MailingDlg\"";
        QTest::newRow("control") << "Present" << "OKButton" << ""
                                 << "missing control \"OKButton\" in window \"Present\"";
        QTest::newRow("disabled button") << "Present" << "Off" << ""
                                         << "missing enabled button \"Off\" in window \"Present\"";
        QTest::newRow("page") << "Present" << "" << "Third"
                              << "missing page \"Third\" of \"Pages\" in window \"Present\"";
        // clang-format on
    }
    void missingPiecesAreNamed()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QString, page);
        QFETCH(QString, named);
        const std::vector<Shot> shots = {
            {QStringLiteral("broken.png"), QString(),
             [=](Driver& d) {
                 QWidget* w = d.window(window);
                 if (!control.isEmpty())
                     d.click(w, control);
                 if (!page.isEmpty())
                     d.showTab(w, QStringLiteral("Pages"), page);
                 return w;
             }},
            {QStringLiteral("after.png"), QString(), [](Driver& d) { return d.window(QStringLiteral("Present")); }}};
        const QStringList failures = takeShots(shots, m_out->path());
        QCOMPARE(failures, QStringList{QStringLiteral("broken.png: ") + named});
        QVERIFY(!QFile::exists(out(QStringLiteral("broken.png"))));
        // The shots after a failed one are taken all the same.
        QVERIFY(QFile::exists(out(QStringLiteral("after.png"))));
    }

    void messageShownFailsTheShot()
    {
        const std::vector<Shot> shots = {{QStringLiteral("said.png"), QString(), [](Driver& d) {
                                              guarded([] { throw std::runtime_error("Table Xsale is locked"); });
                                              return d.window(QStringLiteral("Present"));
                                          }}};
        const QStringList failures = takeShots(shots, m_out->path());
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.at(0).contains(QStringLiteral("Table Xsale is locked")), qPrintable(failures.at(0)));
        QVERIFY(!QFile::exists(out(QStringLiteral("said.png"))));
    }

    void modalWindowIsTakenWhileOpenAndClosed()
    {
        addModalButton();
        m_window->show();
        const QStringList failures = shootModal(QStringLiteral("Open"), [](Driver& d, QWidget* modal) {
            d.holdPicture(modal);
            d.click(modal, QStringLiteral("Close"));
        });
        QCOMPARE(failures, QStringList());
        const QImage image(out(QStringLiteral("modal.png")));
        QVERIFY(!image.isNull());
        QCOMPARE(image.size() / image.devicePixelRatio(), QSize(150, 90));
        QCOMPARE(m_modalRunsEnded, 1);
    }

    void modalWindowFailuresCloseItAndAreNamed_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("inside");
        QTest::addColumn<QString>("named");
        QTest::addColumn<int>("runsEnded");
        // clang-format off
        QTest::newRow("never opened") << "Go" << "" << "modal.png: missing modal window \"Modal\"" << 0;
        QTest::newRow("left open") << "Open" << "" << "modal.png: window \"Modal\" stayed open" << 1;
        QTest::newRow("control missing inside")
            << "Open" << "Stop" << "modal.png: missing control \"Stop\" in window \"Modal\"" << 1;
        // clang-format on
    }
    void modalWindowFailuresCloseItAndAreNamed()
    {
        QFETCH(QString, button);
        QFETCH(QString, inside);
        QFETCH(QString, named);
        QFETCH(int, runsEnded);
        addModalButton();
        m_window->show();
        const QStringList failures = shootModal(button, [&](Driver& d, QWidget* modal) {
            d.holdPicture(modal);
            if (!inside.isEmpty())
                d.click(modal, inside);
        });
        QCOMPARE(failures, QStringList{named});
        QCOMPARE(m_modalRunsEnded, runsEnded);
        // A picture held before the failure is not saved, nor left for the next shot.
        QVERIFY(!QFile::exists(out(QStringLiteral("modal.png"))));
        const std::vector<Shot> next = {
            {QStringLiteral("next.png"), QString(), [](Driver&) -> QWidget* { return nullptr; }}};
        QCOMPARE(takeShots(next, m_out->path()).size(), 1);
    }

    void unwritableFolderIsReported()
    {
        QFile blocker(out(QStringLiteral("file")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const std::vector<Shot> shots = {
            {QStringLiteral("x.png"), QString(), [](Driver& d) { return d.window(QStringLiteral("Present")); }}};
        const QStringList failures = takeShots(shots, out(QStringLiteral("file/sub")));
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.at(0).contains(QStringLiteral("cannot make the folder")), qPrintable(failures.at(0)));
    }
};

QTEST_MAIN(TestShotDriver)
#include "tst_shotdriver.moc"
