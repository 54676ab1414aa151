// The user guide names only what exists: every file and picture it links,
// every section it points to, and every picture is one the screenshot tool
// makes, so `make screenshots` keeps it true.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QDir kDocs(QStringLiteral(KESTROVA_SOURCE_DIR "/docs"));

QString read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The page without its fenced and indented code, where brackets are no links.
QString prose(const QString& text)
{
    QString out;
    bool fenced = false;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("```")))
            fenced = !fenced;
        else if (!fenced && !line.startsWith(QStringLiteral("    ")))
            out += line + QLatin1Char('\n');
    }
    return out;
}

// Link targets of the page: images when images is true, other links otherwise.
QStringList targets(const QString& text, bool images)
{
    QStringList found;
    const QRegularExpression link(QStringLiteral("(!?)\\[[^\\]]*\\]\\(([^)\\s]+)\\)"));
    for (const auto& m : link.globalMatch(prose(text)))
        if ((m.captured(1) == QLatin1String("!")) == images)
            found << m.captured(2);
    return found;
}

// The anchors of the page's headings, as Markdown viewers make them.
QSet<QString> anchors(const QString& text)
{
    QSet<QString> out;
    const QRegularExpression heading(QStringLiteral("^#+ (.+)$"), QRegularExpression::MultilineOption);
    for (const auto& m : heading.globalMatch(prose(text))) {
        QString slug = m.captured(1).toLower();
        slug.remove(QRegularExpression(QStringLiteral("[^a-z0-9 _-]")));
        out << slug.replace(QLatin1Char(' '), QLatin1Char('-'));
    }
    return out;
}

QStringList toolPictures()
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

} // namespace

class TestGuideLinks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linkedFilesAndSectionsExist_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("guide") << QStringLiteral("guide.md");
        QTest::newRow("functions") << QStringLiteral("functions.md");
    }
    void linkedFilesAndSectionsExist()
    {
        QFETCH(QString, page);
        const QString text = read(kDocs.filePath(page));
        QVERIFY(!text.isEmpty());
        const QSet<QString> sections = anchors(text);
        for (const QString& target : targets(text, false) + targets(text, true)) {
            if (target.startsWith(QStringLiteral("http")) || target.startsWith(QStringLiteral("mailto:")))
                continue;
            if (target.startsWith(QLatin1Char('#'))) {
                QVERIFY2(sections.contains(target.mid(1)), qPrintable(page + ": no section " + target));
                continue;
            }
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            QVERIFY2(QFileInfo::exists(kDocs.filePath(file)), qPrintable(page + ": no file " + target));
        }
    }

    void everyPictureIsMadeByTheTool()
    {
        const QStringList made = toolPictures();
        QVERIFY(!made.isEmpty());
        const QStringList shown = targets(read(kDocs.filePath(QStringLiteral("guide.md"))), true);
        QVERIFY(shown.size() >= 10);
        for (const QString& image : shown) {
            QVERIFY2(image.startsWith(QStringLiteral("images/")), qPrintable(image));
            QVERIFY2(made.contains(image.mid(7)), qPrintable(image + " is not made by kestrova-screenshots"));
        }
        // And every picture the tool makes is committed beside the guide.
        for (const QString& file : made)
            QVERIFY2(QFileInfo::exists(kDocs.filePath(QStringLiteral("images/") + file)),
                     qPrintable("docs/images/" + file + " is missing: run make screenshots"));
    }

    void readmeLeadsToTheGuides()
    {
        const QString readme = read(QStringLiteral(KESTROVA_SOURCE_DIR "/README.md"));
        const QStringList links = targets(readme, false);
        QVERIFY(links.contains(QStringLiteral("docs/guide.md")));
        QVERIFY(links.contains(QStringLiteral("docs/functions.md")));
    }
};

QTEST_GUILESS_MAIN(TestGuideLinks)
#include "tst_guidelinks.moc"
