// kestrova-screenshots run as `make screenshots` runs it: offscreen, on a
// fresh demo set, into a new folder. Every picture it lists must come out as
// an image, so a window the guide shows cannot silently go missing.

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestScreenshotTool : public QObject {
    Q_OBJECT

    static QStringList listed()
    {
        QProcess p;
        p.start(QStringLiteral(KESTROVA_SCREENSHOTS), {QStringLiteral("--list")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return {};
        QStringList files;
        for (const QString& line :
             QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            files << line.section(QLatin1Char('\t'), 0, 0);
        return files;
    }

private Q_SLOTS:
    void listsWindowsAndDocuments()
    {
        QStringList files = listed();
        for (const char* expected :
             {"sales-billing.png", "grid-view.png", "find-person.png", "sql-search.png", "accounting-board.png",
              "parameters-messaging.png", "document-invoice.png", "document-letter.png", "document-labels.png",
              "email-processing.png", "mail-dialog.png", "mailing-dialog.png", "labels-dialog.png"})
            QVERIFY2(files.contains(QString::fromLatin1(expected)), expected);
        QCOMPARE(files.removeDuplicates(), 0);
    }

    void writesEveryListedPicture()
    {
        QTemporaryDir out;
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(KESTROVA_SCREENSHOTS), {out.filePath(QStringLiteral("images"))});
        QVERIFY(p.waitForFinished(600000));
        const QString said = QString::fromUtf8(p.readAll());
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, qPrintable(said));

        const QStringList files = listed();
        QVERIFY(!files.isEmpty());
        const QDir images(out.filePath(QStringLiteral("images")));
        for (const QString& file : files) {
            const QImage image(images.filePath(file));
            QVERIFY2(!image.isNull(), qPrintable(file));
            QVERIFY2(image.width() >= 100 && image.height() >= 60, qPrintable(file));
        }
        // Nothing but the listed pictures.
        QCOMPARE(images.entryList(QDir::Files).size(), files.size());
        // The main window's pictures show the whole window.
        QCOMPARE(QImage(images.filePath(QStringLiteral("sales-billing.png"))).size(), QSize(640, 452));
    }

    void badCommandLineIsRefused()
    {
        QProcess p;
        p.start(QStringLiteral(KESTROVA_SCREENSHOTS), {});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
    }
};

QTEST_GUILESS_MAIN(TestScreenshotTool)
#include "tst_screenshottool.moc"
