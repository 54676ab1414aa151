// Start-up and shutdown under conditions that used to lose or rewrite data:
// a read-only folder, restructured tables, an edit that cannot be stored,
// and the order rules reading what the boxes show.
#include "app/application.h"
#include "widgets/dbwidgets.h"
#include "data/error.h"
#include "app/mainform.h"
#include "tests/support/recordingprompter.h"
#include "data/schema.h"
#include "tests/support/tablefixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/child.h"
#include <unistd.h>

using namespace kestrova;

namespace {

LocaleFormat usFormat()
{
    return LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US")));
}

// A folder that refuses writes. As root, permissions are not enforced, so a
// small file system is mounted and made read-only; as another user the
// folder and its files lose their write permission.
class ReadOnlyFolder {
public:
    ReadOnlyFolder()
    {
        m_path = m_dir.path() + QStringLiteral("/ro");
        QDir().mkpath(m_path);
        if (geteuid() == 0) {
            m_mounted = QProcess::execute(QStringLiteral("mount"),
                                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                           QStringLiteral("size=8m"), QStringLiteral("tmpfs"), m_path}) == 0;
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_path});
        else
            QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), m_path});
    }
    bool usable() const { return m_mounted || geteuid() != 0; }
    QString path() const { return m_path; }
    bool lock()
    {
        if (m_mounted)
            return QProcess::execute(QStringLiteral("mount"),
                                     {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_path}) == 0;
        return QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a-w"), m_path}) == 0;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    bool m_mounted = false;
};

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Another program holding a table file in an exclusive transaction until it
// lets go (or goes away).
class OtherProgram {
public:
    explicit OtherProgram(const QString& file)
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-program"));
        m_db.setDatabaseName(file);
        m_holding = m_db.open() && QSqlQuery(m_db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~OtherProgram()
    {
        letGo();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other-program"));
    }
    bool holding() const { return m_holding; }
    void letGo()
    {
        if (m_holding)
            QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
        m_holding = false;
        m_db.close();
    }

private:
    QSqlDatabase m_db;
    bool m_holding = false;
};

} // namespace

class TestStartupSafety : public QObject {
    Q_OBJECT

    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<RecordingPrompter> rec;

    std::unique_ptr<TMainForm> start(const QString& dir = {})
    {
        return std::make_unique<TMainForm>(dir.isEmpty() ? fx->dir() : dir, usFormat());
    }

private Q_SLOTS:
    void init()
    {
        fx = std::make_unique<TableFixture>();
        rec = std::make_unique<RecordingPrompter>();
    }
    void cleanup()
    {
        rec.reset();
        fx.reset();
    }

    void startupWritesNoSetting()
    {
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'writer --x' WHERE Name = 'CommandLine'");
        fx->exec("Xtable", "UPDATE Xtable SET Value = 'secret' WHERE Name = 'Password'");
        const QByteArray before = fx->fileBytes("Xtable");
        auto f = start();
        QCOMPARE(child<QLineEdit>(f, "TablesCommandLine")->text(), "writer --x");
        QCOMPARE(child<QLineEdit>(f, "Password")->text(), "secret");
        f.reset();
        QCOMPARE(fx->fileBytes("Xtable"), before);
        // Typing still stores the box's whole text.
        f = start();
        child<QLineEdit>(f, "TablesDdeTopic")->setText("System");
        QCOMPARE(fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'DdeTopic'").toString(), "System");
        QVERIFY(rec->messages.isEmpty());
    }

    void readOnlyFolderOpensWithOneNotice()
    {
        ReadOnlyFolder ro;
        if (!ro.usable())
            QSKIP("no read-only folder can be made here");
        createEmptyTableSet(ro.path());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "ro-seed");
            db.setDatabaseName(QDir(ro.path()).filePath("Xsale.db"));
            QVERIFY(db.open());
            QSqlQuery(db).exec("INSERT INTO Xsale (Person, Company) VALUES ('Ann', 'Acme')");
            db.close();
        }
        QSqlDatabase::removeDatabase("ro-seed");
        QVERIFY(ro.lock());
        const QByteArray before = bytesOf(QDir(ro.path()).filePath("Xtable.db"));

        auto f = start(ro.path());
        QVERIFY(f->isReadOnly());
        QCOMPARE(rec->messages.size(), 1);
        QCOMPARE(rec->messages.first().icon, QMessageBox::Warning);
        QVERIFY(rec->messages.first().text.contains(QDir::toNativeSeparators(ro.path())));
        QCOMPARE(child<QLineEdit>(f, "Person")->text(), "Ann");
        QVERIFY(child<QLineEdit>(f, "TablesCommandLine")->isReadOnly());
        // A change is refused with the data layer's message, nothing written.
        QVERIFY(!guarded([&] { f->data().Tsale->edit(); }));
        QCOMPARE(rec->errors().size(), 1);
        f.reset();
        QCOMPARE(bytesOf(QDir(ro.path()).filePath("Xtable.db")), before);
    }

    void mismatchedTableEndsStartWithItsName_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("field");
        // clang-format off
        QTest::newRow("renamed") << "Xsale" << "ALTER TABLE Xsale RENAME COLUMN Person TO Persona" << "Person";
        QTest::newRow("missing") << "Xemail" << "ALTER TABLE Xemail DROP COLUMN EmailFunction" << "EmailFunction";
        QTest::newRow("retyped") << "Xprice"
                                 << "ALTER TABLE Xprice RENAME TO Old; CREATE TABLE Xprice (Product TEXT, "
                                    "Currency TEXT, NetAmount TEXT, Tax REAL, PRIMARY KEY (Product, Currency))"
                                 << "NetAmount";
        // clang-format on
    }
    void mismatchedTableEndsStartWithItsName()
    {
        QFETCH(QString, table);
        QFETCH(QString, sql);
        QFETCH(QString, field);
        for (const QString& statement : sql.split("; "))
            fx->exec(table, statement);
        try {
            start();
            QFAIL("a restructured table was opened");
        } catch (const Error& e) {
            QVERIFY2(e.message().contains(table) && e.message().contains(field), qPrintable(e.message()));
        }
    }

    void closingWithAnEditThatCannotBeStoredAsks()
    {
        fx->addOrders({"Ann"});
        auto f = start();
        f->show();
        f->data().Tsale->edit();
        f->data().Tsale->setFieldText("Company", "Pending");

        // Another program holds the order table.
        OtherProgram other(fx->path("Xsale"));
        QVERIFY(other.holding());

        rec->answers = {false};
        f->close();
        QCOMPARE(rec->questions.size(), 1);
        QCOMPARE(rec->errors().size(), 1);
        QVERIFY(f->isVisible());
        QVERIFY(f->data().Tsale->isEditing());
        QCOMPARE(f->data().Tsale->fieldText("Company"), "Pending");

        // Once the other program lets go, closing stores the edit.
        other.letGo();
        f->close();
        QVERIFY(!f->isVisible());
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale").toString(), "Pending");
    }

    void closingAnywayDropsTheEdit()
    {
        fx->addOrders({"Ann"});
        auto f = start();
        f->show();
        f->data().Tsale->edit();
        f->data().Tsale->setFieldText("Company", "Pending");
        OtherProgram other(fx->path("Xsale"));
        QVERIFY(other.holding());
        rec->answers = {true};
        f->close();
        QVERIFY(!f->isVisible());
        other.letGo();
        QCOMPARE(fx->value("Xsale", "SELECT Company FROM Xsale").toString(), "");
    }

    void rulesReadTheBoxesAsShown()
    {
        fx->exec("Xprice", "INSERT INTO Xprice VALUES ('Ledger', 'EUR', 10, 2)");
        fx->exec("Xsale", "INSERT INTO Xsale (Person, Product, Currency, NumberOfLicenses, NetAmount, Tax) "
                          "VALUES ('Ann', 'Ledger', 'EUR', 3, 20, 4)");
        auto f = start();
        f->show();
        QApplication::setActiveWindow(f.get());
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        // A refused count stays in its box; the stored count is still 3.
        child<DbEdit>(f, "NumberOfLicenses")->setFocus(Qt::MouseFocusReason);
        child<DbEdit>(f, "NumberOfLicenses")->selectAll();
        QTest::keyClicks(child<DbEdit>(f, "NumberOfLicenses"), "abc");
        child<DbEdit>(f, "NetAmount")->setFocus(Qt::MouseFocusReason);
        QCOMPARE(child<DbEdit>(f, "NumberOfLicenses")->text(), "abc");
        QVERIFY(rec->errors().contains("'abc' is not a valid floating point value."));
        // The amounts were not priced with the stored count.
        QCOMPARE(child<DbEdit>(f, "NetAmount")->text(), "20");
        QCOMPARE(child<DbEdit>(f, "Tax")->text(), "4");
    }

    void clearingTheTaxBoxWithAnEmptyAmountDoesNothing()
    {
        fx->exec("Xsale", "INSERT INTO Xsale (Person, NetAmount, Tax) VALUES ('Ann', NULL, 4)");
        auto f = start();
        f->show();
        QVERIFY(child<QCheckBox>(f, "TaxCheck")->isChecked());
        child<QCheckBox>(f, "TaxCheck")->click();
        QVERIFY(!child<QCheckBox>(f, "TaxCheck")->isChecked());
        QCOMPARE(child<DbEdit>(f, "NetAmount")->text(), "");
        QCOMPARE(child<DbEdit>(f, "Tax")->text(), "4");
        QVERIFY(rec->messages.isEmpty());
    }

    void captionsCarryNoApplicationSuffix()
    {
        // An explicit display name makes the platform append it to every
        // caption; without one the display name follows the application name.
        const QString name = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName("Probe");
        QCOMPARE(QGuiApplication::applicationDisplayName(), "Probe");
        QCoreApplication::setApplicationName(name);
    }
};

int main(int argc, char** argv)
{
    KestrovaApplication app(argc, argv);
    TestStartupSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startupsafety.moc"
