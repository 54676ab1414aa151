// kestrova-bench-writer: times kestrova-writer rendering a mailing to PDF.
//   kestrova-bench-writer WRITER TEMPLATE DIR COUNT
// Fills DIR/Xexport.db with COUNT distributor records, starts WRITER in DIR
// on the session bus (run it under dbus-run-session), has it render TEMPLATE
// once per record into DIR/mailing.pdf as Kestrova would ask, and reads the
// writer's peak resident memory before telling it to quit.
// Prints "render_us=N records=N pages_per_s=N rss_kb=N".

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
    const QString dir = QDir(args[2]).absolutePath();
    const int count = args[3].toInt();
    if (!QDir().mkpath(dir) || !fillExchange(dir, count))
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
