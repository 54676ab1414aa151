// kestrova-bench-searches DIR PERSON: on the orders of DIR, times the person
// search, the unpaid search, and opening the grid view and jumping to its
// last row, as the program does them. Prints one "name=microseconds" a line.

#include "widgets/dbwidgets.h"
#include "orders/gridviewform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

using namespace kestrova;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: kestrova-bench-searches DIR PERSON\n";
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QTextStream out(stdout);
    QElapsedTimer t;

    Table sale;
    sale.setDirectory(dir);
    sale.setTableName(QStringLiteral("Xsale"));
    sale.open();
    DataSource page;
    page.setDataSet(&sale);

    Query person;
    person.setDirectory(dir);
    person.setSql(QStringList{QStringLiteral("Select * from Xsale"), QStringLiteral("Where Person = :Personne;")});
    person.setParamText(QStringLiteral("Personne"), QString::fromLocal8Bit(argv[2]));
    t.start();
    person.open();
    const int found = person.recordCount();
    out << "person_search_us=" << t.nsecsElapsed() / 1000 << " rows=" << found << '\n';

    Query unpaid;
    unpaid.setDirectory(dir);
    unpaid.setSql(QStringList{QStringLiteral("Select * from Xsale Where"), QStringLiteral("PaymentMeans = '' and"),
                              QStringLiteral("NetAmount <> '';")});
    t.start();
    unpaid.open();
    const int unpaidRows = unpaid.recordCount();
    out << "unpaid_search_us=" << t.nsecsElapsed() / 1000 << " rows=" << unpaidRows << '\n';

    TGridViewForm grid(&page);
    t.start();
    grid.show();
    DbGrid* g = grid.findChild<DbGrid*>(QStringLiteral("Gsale"));
    const int last = g->model()->rowCount() - 1;
    g->setCurrentIndex(g->model()->index(last, 0));
    g->scrollToBottom();
    app.processEvents();
    out << "grid_last_row_us=" << t.nsecsElapsed() / 1000 << " rows=" << last + 1 << " current=" << sale.recNo()
        << '\n';
    return 0;
}
