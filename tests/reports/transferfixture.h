#pragma once

#include "data/dataset.h"
#include "data/error.h"
#include "orders/orderrules.h"
#include "reports/ordertransfer.h"
#include "tests/support/tablefixture.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <memory>

// What the progress window would have been asked to do.
struct ProgressLog : kestrova::TransferProgress {
    QStringList calls;
    qint64 last = -1;
    qint64 maximum = -1;
    void begin(const QString& caption, const QString& label, qint64 max) override
    {
        calls << QStringLiteral("begin %1/%2/%3").arg(caption, label).arg(max);
        maximum = max;
    }
    void advance(qint64 pos) override { last = pos; }
    void end() override { calls << QStringLiteral("end"); }
};

// Another program reading a table file in the middle of its own
// transaction: its lock lets others write but not commit.
class ReadLock {
public:
    explicit ReadLock(const QString& path) : m_name(QStringLiteral("reader-") + QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("BEGIN")));
        QVERIFY(q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")));
        QVERIFY(q.next());
    }
    ~ReadLock()
    {
        release();
        QSqlDatabase::removeDatabase(m_name);
    }
    void release()
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isOpen()) {
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            db.close();
        }
    }

private:
    QString m_name;
};

inline const char* const kAllFields =
    "OrderDate, Person, Title, Company, Address, FaxOrEMail, Product, Language, Licensee, Origin, Reference, "
    "NumberOfLicenses, Currency, PaymentMeans, PaymentDate, InvoiceNumber, NetAmount, Tax, DeliveryCompany, "
    "DeliveryTitle, DeliveryPerson, DeliveryAddress, DeliveryFaxOrEMail";

// The order table with its after-post rule and the settings table, as the
// main window has them, on a fresh table set; and files to exchange.
class TransferFixture : public QObject {
protected:
    std::unique_ptr<TableFixture> fx;
    std::unique_ptr<kestrova::Table> sale, saleIn, settings;
    std::unique_ptr<kestrova::DataSource> source;
    std::unique_ptr<kestrova::OrderRules> rules;
    QTemporaryDir files;

    void start(const char* locale = "en_US")
    {
        using namespace kestrova;
        const LocaleFormat fmt = LocaleFormat::fromLocale(QLocale(QString::fromLatin1(locale)));
        auto table = [&](const char* name) {
            auto t = std::make_unique<Table>();
            t->setDirectory(fx->dir());
            t->setTableName(QString::fromLatin1(name));
            t->setLocaleFormat(fmt);
            return t;
        };
        sale = table("Xsale");
        saleIn = table("Xsale");
        settings = table("Xtable");
        sale->open();
        settings->open();
        source = std::make_unique<DataSource>();
        source->setDataSet(sale.get());
        rules = std::make_unique<OrderRules>(source.get(), sale.get(), nullptr, settings.get(), nullptr);
        sale->onAfterPost(sale.get(), [this] { rules->orderPosted(); });
    }
    void stop()
    {
        rules.reset();
        source.reset();
        sale.reset();
        saleIn.reset();
        settings.reset();
        fx.reset();
    }
    QString file(const char* name) const { return QDir(files.path()).filePath(QString::fromLatin1(name)); }
    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    static QByteArray read(const QString& path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    QList<QVariantList> orders()
    {
        return fx->rows("Xsale", QStringLiteral("SELECT %1 FROM Xsale ORDER BY rowid").arg(QLatin1String(kAllFields)));
    }
    QString persons()
    {
        return fx->value("Xsale", "SELECT group_concat(Person, ',') FROM (SELECT Person FROM Xsale ORDER BY rowid)")
            .toString();
    }
    QString lastInvoiceNumber()
    {
        return fx->value("Xtable", "SELECT Value FROM Xtable WHERE Name = 'LastInvoiceNumber'").toString();
    }
    QString importError(const QString& path, kestrova_pull_fn pull = nullptr, ProgressLog* log = nullptr)
    {
        try {
            kestrova::OrderFile::importOrders(*sale, settings.get(), path, pull, log);
        } catch (const kestrova::Error& e) {
            return e.message();
        }
        return QString();
    }
    // One line of the file: fields given (numbered from 1), the rest empty.
    static QByteArray line(const QMap<int, QByteArray>& fields, const QByteArray& end = "\r\n")
    {
        QList<QByteArray> parts(23);
        for (auto it = fields.begin(); it != fields.end(); ++it)
            parts[it.key() - 1] = it.value();
        return parts.join('\t') + end;
    }
};
