#include <QTest>
class TestOrderDocuments : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(TestOrderDocuments)
#include "tst_orderdocuments.moc"
