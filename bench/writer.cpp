// kestrova-bench-writer: times kestrova-writer rendering a mailing to PDF.
//   kestrova-bench-writer WRITER TEMPLATE DIR COUNT
// Fills DIR/Xexport.db with COUNT distributor records, starts WRITER in DIR
// on the session bus (run it under dbus-run-session), has it render TEMPLATE
// once per record into DIR/mailing.pdf as Kestrova would ask, and reads the
// writer's peak resident memory before telling it to quit.
// Prints "render_us=N records=N pages_per_s=N rss_kb=N".
//   kestrova-bench-writer WRITER invoices DIR COUNT
// Writes one invoice record and the company's settings into DIR and has the
// writer make COUNT invoices from it as [Pdf] and COUNT as [FacturX], one
// request each, as Kestrova asks for an order's invoice.
// Prints "pdf_us=N facturx_us=N invoices=N".

#include "data/error.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QThread>

namespace {

const QString kService = QStringLiteral("org.kestrova.BenchWriter");

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

bool fillExchange(const QString& dir, int count)
{
    try {
        kestrova::SqlConnection db(dir + QStringLiteral("/Xexport.db"));
        const QStringList fields{QStringLiteral("Person"),  QStringLiteral("Title"),      QStringLiteral("Company"),
                                 QStringLiteral("Address"), QStringLiteral("FaxOrEMail"), QStringLiteral("Politeness"),
                                 QStringLiteral("Name"),    QStringLiteral("Licensee")};
        QStringList columns;
        for (const QString& f : fields)
            columns << QStringLiteral("\"%1\" VARCHAR(255) NOT NULL DEFAULT ''").arg(f);
        db.exec(QStringLiteral("DROP TABLE IF EXISTS Xexport"));
        db.exec(QStringLiteral("CREATE TABLE Xexport (%1)").arg(columns.join(QLatin1Char(','))));
        kestrova::Transaction transaction(db.handle());
        kestrova::SqlStatement insert(db.handle(), QStringLiteral("INSERT INTO Xexport VALUES (?,?,?,?,?,?,?,?)"));
        for (int i = 0; i < count; ++i) {
            const QString n = QString::number(i + 1);
            kestrova::StatementRun once(insert);
            insert.bind({QStringLiteral("Robin Distributor%1").arg(n), QStringLiteral("Mr"),
                         QStringLiteral("Software Reseller %1 Ltd").arg(n),
                         QStringLiteral("Unit %1, Trade Park\r\nReading RG1 8DN\r\nUnited Kingdom").arg(n),
                         QStringLiteral("+44 118 496 %1").arg(i % 10000, 4, 10, QLatin1Char('0')),
                         QStringLiteral("Dear Mr"), QStringLiteral("Distributor%1").arg(n),
                         QStringLiteral("Reseller %1").arg(n)});
            insert.run();
        }
        transaction.commit();
        return true;
    } catch (const kestrova::Error& e) {
        err() << "the exchange table cannot be written: " << e.message() << '\n';
        return false;
    }
}

// One invoice of a German customer and the company that sends it.
bool fillInvoice(const QString& dir)
{
    try {
        const QList<std::pair<QString, QString>> record{
            {QStringLiteral("Person"), QStringLiteral("Jürgen Albrecht")},
            {QStringLiteral("Company"), QStringLiteral("Albrecht Steuerberatung")},
            {QStringLiteral("Address"), QStringLiteral("Lindenstraße 12\r\n20095 Hamburg\r\nDeutschland")},
            {QStringLiteral("FaxOrEMail"), QStringLiteral("albrecht@example.com")},
            {QStringLiteral("Date"), QStringLiteral("3/12/2026")},
            {QStringLiteral("Product"), QStringLiteral("Tidewater Ledger")},
            {QStringLiteral("Language"), QStringLiteral("EN")},
            {QStringLiteral("NumberOfLicenses"), QStringLiteral("2")},
            {QStringLiteral("Currency"), QStringLiteral("EUR")},
            {QStringLiteral("InvoiceNumber"), QStringLiteral("2026-0042")},
            {QStringLiteral("NetAmount"), QStringLiteral("98")},
            {QStringLiteral("Tax"), QStringLiteral("18.62")},
            {QStringLiteral("Total"), QStringLiteral("116.62")}};
        kestrova::SqlConnection db(dir + QStringLiteral("/Xexport.db"));
        QStringList columns, marks;
        QVariantList values;
        for (const auto& [field, value] : record) {
            columns << QStringLiteral("\"%1\" VARCHAR(255) NOT NULL DEFAULT ''").arg(field);
            marks << QStringLiteral("?");
            values << value;
        }
        db.exec(QStringLiteral("DROP TABLE IF EXISTS Xexport"));
        db.exec(QStringLiteral("CREATE TABLE Xexport (%1)").arg(columns.join(QLatin1Char(','))));
        db.exec(QStringLiteral("INSERT INTO Xexport VALUES (%1)").arg(marks.join(QLatin1Char(','))), values);

        kestrova::SqlConnection settings(dir + QStringLiteral("/Xtable.db"));
        settings.exec(QStringLiteral("DROP TABLE IF EXISTS Xtable"));
        settings.exec(QStringLiteral("CREATE TABLE Xtable (Name VARCHAR(32) PRIMARY KEY, Value VARCHAR(255))"));
        const QList<std::pair<const char*, const char*>> company{
            {"CompanyName", "Muster Software GmbH"},
            {"CompanyStreet", "Hafenweg 7"},
            {"CompanyPostcode", "20457"},
            {"CompanyCity", "Hamburg"},
            {"CompanyCountry", "DE"},
            {"CompanyVatId", "DE123456789"},
            {"CompanyEMail", "info@muster.example"},
            {"CompanyIban", "DE89370400440532013000"},
            {"PaymentTerms", "Payable within 14 days without deduction."},
            {"PaymentDays", "14"}};
        for (const auto& [name, value] : company)
            settings.exec(QStringLiteral("INSERT INTO Xtable VALUES (?, ?)"),
                          {QString::fromUtf8(name), QString::fromUtf8(value)});
        return true;
    } catch (const kestrova::Error& e) {
        err() << "the tables cannot be written: " << e.message() << '\n';
        return false;
    }
}

QDBusMessage call(QDBusConnection& bus, const QString& method, const QVariantList& args)
{
    QDBusMessage msg = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/kestrova/Dde"),
                                                      QStringLiteral("org.kestrova.Dde"), method);
    msg.setArguments(args);
    QDBusPendingCallWatcher watcher(bus.asyncCall(msg, 3600 * 1000));
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished())
        loop.exec();
    return watcher.reply();
}

qint64 peakRssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 4) {
        err() << "usage: kestrova-bench-writer WRITER TEMPLATE DIR COUNT\n";
        return 2;
    }
    const bool invoices = args[1] == QLatin1String("invoices");
    const QString dir = QDir(args[2]).absolutePath();
    const int count = args[3].toInt();
    if (!QDir().mkpath(dir) || !(invoices ? fillInvoice(dir) : fillExchange(dir, count)))
        return 1;
    QFile::remove(dir + QStringLiteral("/mailing.pdf"));

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        err() << "no session bus: run under dbus-run-session\n";
        return 1;
    }
    QProcess writer;
    writer.setWorkingDirectory(dir);
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(QFileInfo(args[0]).absoluteFilePath(),
                 {QStringLiteral("--service"), kService, QStringLiteral("--no-boxes")});
    if (!writer.waitForStarted()) {
        err() << "the writer cannot be started: " << writer.errorString() << '\n';
        return 1;
    }
    for (int i = 0; i < 600 && !bus.interface()->isServiceRegistered(kService).value(); ++i)
        QThread::msleep(50);

    const QDBusMessage connected = call(bus, QStringLiteral("Connect"), {QStringLiteral("System")});
    const uint id = connected.arguments().value(0).toUInt();
    if (invoices) {
        // Alternating, so both kinds meet the same state of the machine.
        qint64 spent[2] = {0, 0};
        const char* const macros[2] = {"[Pdf \"en/invoice.html\" \"out/pdf-%1.pdf\"]",
                                       "[FacturX \"en/invoice.html\" \"out/fx-%1.pdf\"]"};
        QString failure;
        for (int i = 0; i < count && failure.isEmpty(); ++i) {
            for (int kind = 0; kind < 2; ++kind) {
                QElapsedTimer t;
                t.start();
                const QDBusMessage reply =
                    call(bus, QStringLiteral("Execute"), {id, QString::fromLatin1(macros[kind]).arg(i)});
                spent[kind] += t.nsecsElapsed() / 1000;
                if (reply.type() != QDBusMessage::ReplyMessage)
                    failure = reply.errorMessage();
            }
        }
        call(bus, QStringLiteral("Execute"), {id, QStringLiteral("[Quit]")});
        writer.waitForFinished(60000);
        if (!failure.isEmpty()) {
            err() << "the writer failed: " << failure << '\n';
            return 1;
        }
        QTextStream(stdout) << "pdf_us=" << spent[0] << " facturx_us=" << spent[1] << " invoices=" << count << '\n';
        return 0;
    }
    QElapsedTimer timer;
    timer.start();
    const QDBusMessage done =
        call(bus, QStringLiteral("Execute"), {id, QStringLiteral("[Pdf \"%1\" \"mailing.pdf\"]").arg(args[1])});
    const qint64 us = timer.nsecsElapsed() / 1000;
    const qint64 rss = peakRssKb(writer.processId());
    call(bus, QStringLiteral("Execute"), {id, QStringLiteral("[Quit]")});
    writer.waitForFinished(60000);
    if (done.type() != QDBusMessage::ReplyMessage) {
        err() << "the writer failed: " << done.errorMessage() << '\n';
        return 1;
    }
    QTextStream(stdout) << "render_us=" << us << " records=" << count
                        << " pages_per_s=" << qRound64(count * 1e6 / double(us)) << " rss_kb=" << rss << '\n';
    return 0;
}
