// kestrova-bench-mailing: times a mailing over a large distributor table, as
// the "Mailing" dialog makes it.
//   kestrova-bench-mailing make DIR COUNT   a table set with COUNT distributors,
//                                           every second one speaking EN
//   kestrova-bench-mailing run DIR          the EN mailing; prints
//                                           "mailing_us=microseconds rows=N"
//   kestrova-bench-mailing sql DIR          the same copy as one INSERT ... SELECT,
//                                           for the sqlite3 shell run on DIR/Xexport.db

#include "data/dataset.h"
#include "documents/distributordocuments.h"
#include "data/error.h"
#include "data/schema.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>
#include <functional>

using namespace kestrova;

namespace {

bool fill(const QString& dir, int count)
{
    try {
        createEmptyTableSet(dir);
        auto run = [&](const char* table, const std::function<void(SqlConnection&)>& work) {
            SqlConnection db(QDir(dir).filePath(QString::fromLatin1(table) + QStringLiteral(".db")),
                             SqlConnection::Mode::ReadWrite);
            Transaction transaction(db.handle());
            work(db);
            transaction.commit();
        };
        run("Xtitle", [&](SqlConnection& db) {
            db.exec(QStringLiteral("INSERT INTO Xtitle VALUES ('Mr', 'Dear Sir'), ('Mrs', 'Dear Madam'), "
                                   "('Dr', 'Dear Doctor')"));
        });
        run("Xfactory", [&](SqlConnection& db) {
            db.exec(QStringLiteral("INSERT INTO Xfactory VALUES ('Ledger', 'EN', '', '', '', '[mailing]', '', '')"));
        });
        run("Xdistributor", [&](SqlConnection& db) {
            static const char* const titles[] = {"Mr", "Mrs", "Dr", "Prof"};
            SqlStatement insert(db.handle(), QStringLiteral("INSERT INTO Xdistributor (Company, Language, Title, "
                                                            "Person, Address, Telephone, Fax, EMail, Licensee) "
                                                            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            for (int i = 0; i < count; ++i) {
                const QString n = QString::number(i);
                StatementRun once(insert);
                insert.bind(
                    {QStringLiteral("Software Resellers ") + n, QString::fromLatin1(i % 2 ? "DE" : "EN"),
                     QString::fromLatin1(titles[i % 4]), QStringLiteral("Anna Maria Lindqvist") + n,
                     QStringLiteral("%1 Harbour Street\nPO Box %2\n%3 Northport").arg(i % 400 + 1).arg(i % 9000).arg(i),
                     QStringLiteral("+46 8 555 ") + n, QStringLiteral("+46 8 556 ") + n,
                     QStringLiteral("orders%1@reseller.example").arg(i), QStringLiteral("Resellers ") + n});
                insert.run();
            }
        });
        return true;
    } catch (const Error& e) {
        QTextStream(stderr) << e.message() << '\n';
        return false;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    if (args.size() == 3 && args[0] == QLatin1String("make"))
        return fill(args[1], args[2].toInt()) ? 0 : 1;
    if (args.size() == 2 && args[0] == QLatin1String("run")) {
        auto table = [&](const char* name, bool open) {
            auto t = std::make_unique<Table>();
            t->setDirectory(args[1]);
            t->setTableName(QString::fromLatin1(name));
            if (open)
                t->open();
            return t;
        };
        auto exchange = table("Xexport", false);
        auto factory = table("Xfactory", true);
        auto titles = table("Xtitle", true);
        auto distributors = table("Xdistributor", true);
        // No word processor: the mailing's writing alone is timed.
        WordProcessorLink link([] { return LinkSettings{}; }, [](const QString&) {});
        DocumentSender road(&link, {exchange.get(), factory.get(), titles.get()},
                            [](const QString& text) { QTextStream(stderr) << text << '\n'; });
        DistributorDocuments documents(&road, distributors.get());
        QElapsedTimer timer;
        timer.start();
        if (!documents.mailing(QStringLiteral("Ledger"), QStringLiteral("EN")))
            return 1;
        const qint64 us = timer.nsecsElapsed() / 1000;
        exchange->open();
        out << "mailing_us=" << us << " rows=" << exchange->recordCount() << '\n';
        return 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("sql")) {
        const QString d = QDir(args[1]).absolutePath();
        out << "ATTACH '" << d << "/Xdistributor.db' AS d;\nATTACH '" << d << "/Xtitle.db' AS t;\n"
            << "BEGIN;\nDELETE FROM Xexport;\n"
               "INSERT INTO Xexport (Person, Title, Company, Address, FaxOrEMail, Politeness, Name, Licensee)\n"
               "SELECT x.Person, x.Title, x.Company, replace(x.Address, char(10), char(13) || char(10)), x.Fax,\n"
               "       coalesce(y.Politeness, ''),\n"
               "       substr(x.Person, length(rtrim(x.Person, replace(x.Person, ' ', ''))) + 1), x.Licensee\n"
               "FROM d.Xdistributor x LEFT JOIN t.Xtitle y ON y.Title = x.Title\n"
               "WHERE x.Language = 'EN' ORDER BY x.rowid;\nCOMMIT;\n";
        return 0;
    }
    QTextStream(stderr) << "usage: kestrova-bench-mailing make DIR COUNT | run DIR | sql DIR\n";
    return 2;
}
