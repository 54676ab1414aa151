// kestrova-gen-orders DIR COUNT [SEED]: fills a working folder with many
// synthetic orders, for trying the program on a large order table.

#include "tools/demodata.h"
#include "data/error.h"
#include "tools/ordergenerator.h"
#include "data/schema.h"
#include "data/sqlstatement.h"
#include "data/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

qint64 countOrders(const QString& dir)
{
    try {
        kestrova::SqlConnection db(QDir(dir).filePath(QStringLiteral("Xsale.db")),
                                   kestrova::SqlConnection::Mode::ReadOnly);
        kestrova::SqlStatement count(db.handle(), QStringLiteral("SELECT count(*) FROM Xsale"));
        return count.step() ? count.value(0).toLongLong() : 0;
    } catch (const kestrova::Error& e) {
        throw kestrova::Error(QStringLiteral("Cannot count the orders: %1").arg(e.message()));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    bool countOk = false, seedOk = true;
    const qint64 count = args.value(1).toLongLong(&countOk);
    const quint32 seed = args.size() > 2 ? args.at(2).toUInt(&seedOk) : 1;
    if (args.size() < 2 || args.size() > 3 || !countOk || count < 0 || !seedOk) {
        err << "usage: kestrova-gen-orders DIR COUNT [SEED]\n"
               "Appends COUNT generated orders to DIR/Xsale.db; when DIR holds no tables,\n"
               "makes the demo set there first. Prints the number of orders at the end.\n";
        return 2;
    }
    const QString dir = args.at(0);
    try {
        if (kestrova::folderHasNoTables(dir)) {
            kestrova::fillDemoData(dir);
            err << "Made the demo tables in " << QDir::toNativeSeparators(dir) << '\n';
        }
        QElapsedTimer timer;
        timer.start();
        kestrova::appendGeneratedOrders(dir, count, seed);
        err << "Appended " << count << " orders in " << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s\n";
        err.flush();
        out << countOrders(dir) << '\n';
    } catch (const kestrova::Error& e) {
        err << "kestrova-gen-orders: " << e.message() << ".\n";
        return 1;
    }
    return 0;
}
