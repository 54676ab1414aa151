// kestrova-bench-transfer: times the order export and import, and the
// accounting board's five queries, as the program runs them.
//   kestrova-bench-transfer export DIR FILE    every order of DIR to FILE
//   kestrova-bench-transfer import DIR FILE    FILE appended to the orders of DIR
//   kestrova-bench-transfer board DIR FIRST LAST  the five sums of a period
// Prints "name_us=microseconds rows=N".

#include "reports/accounting.h"
#include "orders/orderrules.h"
#include "reports/ordertransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace kestrova;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    const LocaleFormat fmt = LocaleFormat::fromLocale(QLocale(QStringLiteral("en_US")));
    auto table = [&](const QString& name) {
        auto* t = new Table(&app);
        t->setDirectory(args.value(1));
        t->setTableName(name);
        t->setLocaleFormat(fmt);
        return t;
    };
    QElapsedTimer timer;
    if (args.size() == 3 && args[0] == QLatin1String("export")) {
        Table* saleIn = table(QStringLiteral("Xsale"));
        timer.start();
        const qint64 n = OrderFile::exportOrders(*saleIn, args[2]);
        out << "export_us=" << timer.nsecsElapsed() / 1000 << " rows=" << n << '\n';
        return 0;
    }
    if (args.size() == 3 && args[0] == QLatin1String("import")) {
        // The order table with its after-post rule, as the main window has it.
        Table* sale = table(QStringLiteral("Xsale"));
        Table* settings = table(QStringLiteral("Xtable"));
        sale->open();
        settings->open();
        DataSource page;
        page.setDataSet(sale);
        OrderRules rules(&page, sale, nullptr, settings, nullptr);
        sale->onAfterPost(sale, [&] { rules.orderPosted(); });
        timer.start();
        // The page's controls are not refreshed for each imported order.
        page.setDataSet(nullptr);
        const qint64 n = OrderFile::importOrders(*sale, settings, args[2], nullptr);
        page.setDataSet(sale);
        out << "import_us=" << timer.nsecsElapsed() / 1000 << " rows=" << n << '\n';
        return 0;
    }
    if (args.size() == 4 && args[0] == QLatin1String("board")) {
        AccountingBoard board(args[1], fmt);
        timer.start();
        board.setPeriod(args[2], args[3], QDate::currentDate());
        board.open();
        int rows = 0;
        for (int s = 0; s < AccountingBoard::Count; ++s)
            rows += board.query(AccountingBoard::Sum(s))->recordCount();
        out << "board_us=" << timer.nsecsElapsed() / 1000 << " rows=" << rows << '\n';
        return 0;
    }
    QTextStream(stderr) << "usage: kestrova-bench-transfer export|import DIR FILE, or board DIR FIRST LAST\n";
    return 2;
}
