// The sample batch command write-licence: each owner gets a file of its
// own inside licences/, whatever the name holds.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Runs the script for owner in dir; returns the file it reports.
QString writeLicence(const QString& dir, const QString& owner)
{
    QProcess batch;
    batch.setWorkingDirectory(dir);
    batch.start(QStringLiteral(KESTROVA_BATCH), {owner});
    if (!batch.waitForFinished(60000) || batch.exitStatus() != QProcess::NormalExit || batch.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(batch.readAllStandardError());
    return QString::fromUtf8(batch.readAllStandardOutput()).trimmed();
}

} // namespace

class TestWriteLicence : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ownersThatLookAlikeGetFilesOfTheirOwn_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("file");
        QTest::newRow("dot") << "."
                             << "%2E.txt";
        QTest::newRow("blanks and dots") << " . . "
                                         << "%20%2E%20%2E%20.txt";
        QTest::newRow("slash") << "a/b"
                               << "a%2Fb.txt";
        QTest::newRow("an escape written out") << "a%2Fb"
                                               << "a%252Fb.txt";
        QTest::newRow("colon") << "a:b"
                               << "a%3Ab.txt";
        QTest::newRow("tab") << "a\tb"
                             << "a%09b.txt";
        QTest::newRow("inner dots stay") << "A. B."
                                         << "A. B..txt";
        QTest::newRow("umlauts stay") << "Müller"
                                      << "Müller.txt";
        QTest::newRow("long") << QString(150, QChar(0xE4)) << QString();
        QTest::newRow("long, one more") << QString(150, QChar(0xE4)) + 'b' << QString();
    }

    // Every owner of the table into one folder: as many files as owners,
    // each holding its own owner's name.
    void ownersThatLookAlikeGetFilesOfTheirOwn()
    {
        QFETCH(QString, owner);
        QFETCH(QString, file);
        const QString reported = writeLicence(m_dir.path(), owner);
        QVERIFY2(reported.startsWith("licences/"), qPrintable(reported));
        const QString name = reported.mid(9);
        if (!file.isEmpty())
            QCOMPARE(name, file);
        QVERIFY2(name.toUtf8().size() <= 204, qPrintable(name));
        QVERIFY2(!m_names.contains(name), qPrintable(name + " is already another owner's file"));
        m_names.insert(name);
        QFile f(QDir(m_dir.path()).filePath(reported));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(f.readAll()).contains("Licence owner: " + owner + '\n'));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"licences"});
        QCOMPARE(QDir(m_dir.path() + "/licences").entryList(QDir::Files | QDir::Hidden).size(), m_names.size());
    }

private:
    QTemporaryDir m_dir; // shared by the rows: files of earlier owners stay
    QSet<QString> m_names;
};

QTEST_GUILESS_MAIN(TestWriteLicence)
#include "tst_writelicence.moc"
