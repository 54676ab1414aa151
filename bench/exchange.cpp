// kestrova-bench-exchange: times a mailing-sized write of the exchange table,
// as the documents write it.
//   kestrova-bench-exchange write DIR COUNT   COUNT mailing records into DIR/Xexport.db
//   kestrova-bench-exchange sql COUNT FILE    the same rows as one INSERT statement, for
//                                             the sqlite3 shell
// "write" prints "exchange_us=microseconds rows=N".

#include "documents/exchangetable.h"

#include "data/dataset.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

using namespace kestrova;

namespace {

using F = ExchangeField;

// One distributor of a mailing, as the mailing writes it. The address breaks
// its lines with line feeds only: the sqlite3 shell drops a carriage return
// at the end of an input line, and both sides must store the same bytes.
ExchangeRecord mailingRecord(qint64 i)
{
    static const char* const first[] = {"Anna", "Bruno", "Clara", "David", "Elena", "Frank"};
    static const char* const titles[] = {"Mrs", "Mr", "Dr"};
    static const char* const salutations[] = {"Dear Madam", "Dear Sir", "Dear Doctor"};
    const QString name = QStringLiteral("Lindqvist%1").arg(i);
    ExchangeRecord r;
    r.set(F::Person, QString::fromLatin1(first[i % 6]) + QLatin1Char(' ') + name);
    r.set(F::Title, QString::fromLatin1(titles[i % 3]));
    r.set(F::Company, QStringLiteral("Software Resellers %1 Ltd").arg(i));
    r.set(F::Address, QStringLiteral("%1 Harbour Street\nPO Box %2\n%3 Northport")
                          .arg(i % 400 + 1)
                          .arg(i % 9000 + 100)
                          .arg(10000 + i % 80000));
    r.set(F::FaxOrEMail, QStringLiteral("orders%1@reseller.example").arg(i));
    r.set(F::Politeness, QString::fromLatin1(salutations[i % 3]));
    r.set(F::Name, name);
    r.set(F::Licensee, QStringLiteral("Software Resellers %1").arg(i));
    return r;
}

QString literal(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    if (args.size() == 3 && args[0] == QLatin1String("write")) {
        const qint64 count = args[2].toLongLong();
        std::vector<ExchangeRecord> records;
        records.reserve(size_t(count));
        for (qint64 i = 0; i < count; ++i)
            records.push_back(mailingRecord(i));
        Table exchange;
        exchange.setDirectory(args[1]);
        exchange.setTableName(QStringLiteral("Xexport"));
        QElapsedTimer timer;
        timer.start();
        writeExchangeTable(exchange, records);
        out << "exchange_us=" << timer.nsecsElapsed() / 1000 << " rows=" << count << '\n';
        return 0;
    }
    if (args.size() == 3 && args[0] == QLatin1String("sql")) {
        const qint64 count = args[1].toLongLong();
        QFile file(args[2]);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            QTextStream(stderr) << "cannot write " << args[2] << '\n';
            return 1;
        }
        const F fields[] = {F::Person,     F::Title,      F::Company, F::Address,
                            F::FaxOrEMail, F::Politeness, F::Name,    F::Licensee};
        QStringList columns;
        for (F f : fields)
            columns << exchangeFieldName(f);
        QTextStream sql(&file);
        sql << "BEGIN;\nDELETE FROM Xexport;\nINSERT INTO Xexport (" << columns.join(QStringLiteral(", "))
            << ") VALUES\n";
        for (qint64 i = 0; i < count; ++i) {
            const ExchangeRecord r = mailingRecord(i);
            QStringList values;
            for (F f : fields)
                values << literal(r.value(f));
            sql << '(' << values.join(QStringLiteral(", ")) << (i + 1 < count ? "),\n" : ");\n");
        }
        sql << "COMMIT;\n";
        sql.flush();
        if (sql.status() != QTextStream::Ok || !file.flush()) {
            QTextStream(stderr) << "cannot write " << args[2] << '\n';
            return 1;
        }
        return 0;
    }
    QTextStream(stderr) << "usage: kestrova-bench-exchange write DIR COUNT, or sql COUNT FILE\n";
    return 2;
}
