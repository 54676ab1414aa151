// The migration from Paradox tables written by pxlib: every value of every
// table, the record order, values longer than Kestrova's fields, and each
// kind of damaged input, through the library and through kestrova-tables.

#include "data/error.h"
#include "migrate/migration.h"
#include "tests/support/paradoxwriter.h"
#include "data/schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <functional>

using namespace kestrova;
using paradoxtest::Field;

namespace {

QList<QVariantList> readRows(const QString& path, const QString& table)
{
    const QString name = QUuid::createUuid().toString();
    QList<QVariantList> out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table)))
            qFatal("cannot read %s", qPrintable(path));
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            out << row;
        }
    }
    QSqlDatabase::removeDatabase(name);
    return out;
}

// Compares a stored value with the expected one, type and all: a number must
// be stored as a number, an empty one as null.
bool sameValue(const QVariant& stored, const QVariant& expected)
{
    if (expected.isNull())
        return stored.isNull();
    if (stored.isNull())
        return false;
    if (expected.typeId() == QMetaType::Double)
        return stored.typeId() == QMetaType::Double && stored.toDouble() == expected.toDouble();
    if (expected.typeId() == QMetaType::LongLong)
        return stored.typeId() == QMetaType::LongLong && stored.toLongLong() == expected.toLongLong();
    return stored.typeId() == QMetaType::QString && stored.toString() == expected.toString();
}

void patch(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(offset));
    QCOMPARE(f.write(bytes), bytes.size());
}

quint16 readLe16(const QString& path, qint64 offset)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    f.seek(offset);
    const QByteArray b = f.read(2);
    return quint16(uchar(b[0]) | uchar(b[1]) << 8);
}

QByteArray littleEndian(qint64 v, int bytes)
{
    QByteArray out;
    for (int i = 0; i < bytes; ++i)
        out += char((v >> (8 * i)) & 0xFF);
    return out;
}

QByteArray le16(int v)
{
    return littleEndian(v, 2);
}

QByteArray le32(qint64 v)
{
    return littleEndian(v, 4);
}

QList<QVariantList> orders(int count)
{
    QList<QVariantList> rows;
    const TableDef& sale = *schemaTable(QStringLiteral("Xsale"));
    for (int i = 0; i < count; ++i) {
        QVariantList r = paradoxtest::sampleRows(sale).at(1 + i % 3);
        r[1] = QStringLiteral("Person %1").arg(i + 1);
        rows << r;
    }
    return rows;
}

} // namespace

class TestMigration : public QObject {
    Q_OBJECT

    QTemporaryDir* tmp = nullptr;
    QString src, target;

private Q_SLOTS:
    void init()
    {
        tmp = new QTemporaryDir;
        src = tmp->filePath("paradox");
        target = tmp->filePath("kestrova");
    }
    void cleanup()
    {
        delete tmp;
        tmp = nullptr;
    }

    void everyTableMigratesValueForValue()
    {
        paradoxtest::writeSampleSet(src);
        // What a killed run left beside the target goes.
        QVERIFY(QDir().mkpath(tmp->filePath(".kestrova.kestrova-migrate-x1Y2z3/half")));
        const MigrationReport report = migrateParadoxTables(src, target);

        QCOMPARE(report.tables.size(), schemaTables().size());
        for (size_t t = 0; t < schemaTables().size(); ++t) {
            const TableDef& def = schemaTables()[t];
            const QList<QVariantList> written = paradoxtest::sampleRows(def);
            const QList<QVariantList> stored = readRows(QDir(target).filePath(def.fileName()), def.name);
            QCOMPARE(report.tables[t].table, def.name);
            QCOMPARE(report.tables[t].read, qint64(written.size()));
            QCOMPARE(report.tables[t].written, qint64(stored.size()));
            for (int r = 0; r < written.size(); ++r) {
                for (size_t f = 0; f < def.fields.size(); ++f) {
                    const QVariant expected = paradoxtest::expectedValue(def.fields[f], written[r][int(f)]);
                    QVERIFY2(
                        sameValue(stored[r][int(f)], expected),
                        qPrintable(QStringLiteral("%1 row %2 %3: stored %4, expected %5")
                                       .arg(def.name)
                                       .arg(r)
                                       .arg(def.fields[f].name, stored[r][int(f)].toString(), expected.toString())));
                }
            }
        }
        // The settings rows the old table lacked are added, empty, and said.
        const QList<QVariantList> settings = readRows(QDir(target).filePath("Xtable.db"), "Xtable");
        QCOMPARE(settings.size(), 4 + settingNames().size());
        QCOMPARE(settings.last(), (QVariantList{settingNames().last(), QString("")}));
        QCOMPARE(report.notes.filter("had no settings row").size(), settingNames().size());
        // Nothing is longer than its field here, so nothing else is noted.
        QCOMPARE(report.notes.size(), settingNames().size());
        // No temporary folder is left beside the new set.
        QCOMPARE(QDir(tmp->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"kestrova", "paradox"}));
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 13);
    }

    void ordersKeepTheirOrderOverManyBlocks()
    {
        paradoxtest::writeSampleSet(src, {{"Xsale", orders(300)}});
        const MigrationReport report = migrateParadoxTables(src, target);
        QCOMPARE(report.tables.front().read, 300);
        const QList<QVariantList> stored = readRows(QDir(target).filePath("Xsale.db"), "Xsale");
        QCOMPARE(stored.size(), 300);
        for (int i = 0; i < stored.size(); ++i)
            QCOMPARE(stored[i][1].toString(), QStringLiteral("Person %1").arg(i + 1));
    }

    void valuesLongerThanKestrovasFieldsAreKeptAndReported()
    {
        // Older tables with a wider person field and a memo of three pages.
        const TableDef& sale = *schemaTable("Xsale");
        QList<Field> layout = paradoxtest::paradoxLayout(sale);
        layout[1].length = 40; // Person
        QVariantList row = paradoxtest::sampleRows(sale).at(1);
        const QString person = QStringLiteral("Dr. Maximiliane Überlinger-Hohenstein");
        const QString address = QStringLiteral("Bahnhofstraße 12\r\n").repeated(200);
        row[1] = person;
        row[4] = address;
        paradoxtest::writeSampleSet(src);
        for (const char* ext : {"db", "mb"})
            QFile::remove(QDir(src).filePath(QStringLiteral("Xsale.") + ext));
        paradoxtest::writeTable(src, sale, layout, {row});

        const MigrationReport report = migrateParadoxTables(src, target);
        const QList<QVariantList> stored = readRows(QDir(target).filePath("Xsale.db"), "Xsale");
        QCOMPARE(stored.at(0).at(1).toString(), person);
        QCOMPARE(stored.at(0).at(4).toString(), QString(address).replace("\r\n", "\n"));
        const QStringList notes = report.notes.filter("Xsale.db, record 1");
        QCOMPARE(notes.size(), 2);
        QVERIFY2(notes[0].contains("Person has 37 characters, more than the 32") && notes[0].contains("kept whole"),
                 qPrintable(notes[0]));
        QVERIFY2(notes[1].contains("Address has 3400 characters, more than the 511"), qPrintable(notes[1]));
    }

    void otherNumberTypesAndExtraFields()
    {
        const TableDef& sale = *schemaTable("Xsale");
        QList<Field> layout = paradoxtest::paradoxLayout(sale);
        layout[11].type = paradoxtest::Short; // NumberOfLicenses
        layout[11].length = 2;
        layout[16].type = paradoxtest::Long; // NetAmount
        layout[16].length = 4;
        layout[17].type = paradoxtest::Short; // Tax
        layout[17].length = 2;
        layout << Field{"Remark", paradoxtest::Alpha, 20};
        QVariantList negative = paradoxtest::sampleRows(sale).at(1);
        negative[11] = -7;
        negative[16] = -123456;
        negative[17] = 0;
        negative << QStringLiteral("left behind");
        QVariantList empty = paradoxtest::sampleRows(sale).at(0);
        empty << QVariant();
        paradoxtest::writeSampleSet(src);
        QFile::remove(QDir(src).filePath("Xsale.db"));
        QFile::remove(QDir(src).filePath("Xsale.mb"));
        paradoxtest::writeTable(src, sale, layout, {negative, empty});

        const MigrationReport report = migrateParadoxTables(src, target);
        const QList<QVariantList> stored = readRows(QDir(target).filePath("Xsale.db"), "Xsale");
        QVERIFY(sameValue(stored[0][11], qint64(-7)));
        QVERIFY(sameValue(stored[0][16], -123456.0));
        QVERIFY(sameValue(stored[0][17], 0.0)); // a stored zero is no empty value
        for (int f : {11, 16, 17})
            QVERIFY(stored[1][f].isNull());
        QCOMPARE(report.notes.filter("the field Remark has no place").size(), 1);
    }

    void badInput_data()
    {
        QTest::addColumn<std::function<void(const QString&)>>("damage");
        QTest::addColumn<QStringList>("words");
        auto path = [](const QString& dir, const char* file) { return QDir(dir).filePath(file); };

        QTest::newRow("missing table") << std::function<void(const QString&)>([=](const QString& d) {
            QFile::remove(path(d, "Xcurrency.db"));
            QFile::remove(path(d, "Xorigin.db"));
        }) << QStringList{"Xcurrency.db, Xorigin.db", "are missing"};
        QTest::newRow("not a Paradox table") << std::function<void(const QString&)>([=](const QString& d) {
            QFile f(path(d, "Xtitle.db"));
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray("Title\tPoliteness\nMr\tDear Sir\n").repeated(10));
        }) << QStringList{"Xtitle.db is not a Paradox table"};
        QTest::newRow("an index file") << std::function<void(const QString&)>([=](const QString& d) {
            patch(path(d, "Xprice.db"), 4, QByteArray(1, char(1)));
        }) << QStringList{"Xprice.db is a Paradox index file"};
        QTest::newRow("truncated") << std::function<void(const QString&)>([=](const QString& d) {
            QFile f(path(d, "Xsale.db"));
            f.resize(f.size() - 3000);
        }) << QStringList{"Xsale.db is truncated"};
        QTest::newRow("truncated header") << std::function<void(const QString&)>([=](const QString& d) {
            QFile f(path(d, "Xemail.db"));
            f.resize(1000);
        }) << QStringList{"Xemail.db is truncated", "header of 2048 bytes"};
        QTest::newRow("too many records")
            << std::function<void(const QString&)>([=](const QString& d) { patch(path(d, "Xsale.db"), 6, le32(45)); })
            << QStringList{"Xsale.db has a damaged header", "counts 45 records", "hold 40"};
        QTest::newRow("too few records") << std::function<void(const QString&)>([=](const QString& d) {
            patch(path(d, "Xsale.db"), 6, le32(30));
        }) << QStringList{"Xsale.db has a damaged header", "counts 30 records"};
        QTest::newRow("record size") << std::function<void(const QString&)>([=](const QString& d) {
            patch(path(d, "Xsale.db"), 0, le16(readLe16(path(d, "Xsale.db"), 0) + 2));
        }) << QStringList{"Xsale.db has a damaged header", "but its fields take"};
        QTest::newRow("block count") << std::function<void(const QString&)>([=](const QString& d) {
            patch(path(d, "Xsale.db"), 0x0C, le16(readLe16(path(d, "Xsale.db"), 0x0C) + 3));
        }) << QStringList{"Xsale.db is truncated", "data blocks"};
        QTest::newRow("looping chain of blocks") << std::function<void(const QString&)>([=](const QString& d) {
            paradoxtest::loopBlockChain(path(d, "Xsale.db"));
        }) << QStringList{"Xsale.db has a damaged chain of data blocks", "comes back to block 1 after block 1"};
        QTest::newRow("field of unexpected type") << std::function<void(const QString&)>([=](const QString& d) {
            const TableDef& price = *schemaTable("Xprice");
            QList<Field> layout = paradoxtest::paradoxLayout(price);
            layout[3] = Field{"Tax", paradoxtest::Logical, 1};
            QFile::remove(path(d, "Xprice.db"));
            paradoxtest::writeTable(d, price, layout, {{"Product", "EUR", 10.0, true}});
        }) << QStringList{"Xprice.db: the field Tax is of the Paradox type logical", "expects a number"};
        QTest::newRow("field missing") << std::function<void(const QString&)>([=](const QString& d) {
            QFile::remove(path(d, "Xcurrency.db"));
            paradoxtest::writeTable(d, *schemaTable("Xcurrency"), {Field{"Code", paradoxtest::Alpha, 3}}, {{"EUR"}});
        }) << QStringList{"Xcurrency.db has no field Currency"};
        QTest::newRow("missing memo file")
            << std::function<void(const QString&)>([=](const QString& d) { QFile::remove(path(d, "Xdistributor.mb")); })
            << QStringList{"Xdistributor.db has memo fields", "Xdistributor.MB is missing"};
        QTest::newRow("truncated memo file") << std::function<void(const QString&)>([=](const QString& d) {
            QFile f(path(d, "Xsale.mb"));
            f.resize(4096);
        }) << QStringList{"Xsale.db, record 2, field Address", "outside the memo file"};
        QTest::newRow("memo pointer") << std::function<void(const QString&)>([=](const QString& d) {
            // The Address pointer of the second record: an entry number no block has.
            const TableDef& sale = *schemaTable("Xsale");
            int recordSize = 0, offset = 0;
            const QList<Field> layout = paradoxtest::paradoxLayout(sale);
            for (int i = 0; i < layout.size(); ++i) {
                if (i == 4)
                    offset = recordSize;
                recordSize += layout[i].length;
            }
            const qint64 pointer = 2048 + 6 + recordSize + offset + 20;
            QFile f(path(d, "Xsale.db"));
            f.open(QIODevice::ReadOnly);
            f.seek(pointer);
            QByteArray p = f.read(4);
            f.close();
            p[0] = char(80);
            patch(path(d, "Xsale.db"), pointer, p);
        }) << QStringList{"Xsale.db, record 2, field Address", "entry 80"};
    }

    void badInput()
    {
        QFETCH(std::function<void(const QString&)>, damage);
        QFETCH(QStringList, words);
        paradoxtest::writeSampleSet(src, {{"Xsale", orders(40)}});
        damage(src);
        const QStringList before = QDir(src).entryList(QDir::Files);
        try {
            migrateParadoxTables(src, target);
            QFAIL("the migration did not fail");
        } catch (const Error& e) {
            for (const QString& w : words)
                QVERIFY2(e.message().contains(w), qPrintable(e.message()));
        }
        // Nothing half-written: no new folder, no temporary one, the source as it was.
        QCOMPARE(QDir(tmp->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"paradox"});
        QCOMPARE(QDir(src).entryList(QDir::Files), before);
    }

    void existingFolderGetsTheSetOnlyWithoutTables()
    {
        paradoxtest::writeSampleSet(src);
        QDir().mkpath(target);
        QFile other(QDir(target).filePath("notes.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        migrateParadoxTables(src, target);
        QCOMPARE(QDir(target).entryList(QDir::Files | QDir::Hidden).size(), 14);

        // A second run finds the tables and writes nothing.
        const QByteArray sale = [&] {
            QFile f(QDir(target).filePath("Xsale.db"));
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();
        try {
            migrateParadoxTables(src, target);
            QFAIL("a set was written over another");
        } catch (const Error& e) {
            QVERIFY(e.message().contains("already holds table files"));
        }
        QFile f(QDir(target).filePath("Xsale.db"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), sale);
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 14);
    }

    // A run into an existing folder stopped after moving part of its set:
    // the next run takes that part out again and writes the whole set.
    void runStoppedWhileMovingIsUndoneByTheNext()
    {
        paradoxtest::writeSampleSet(src);
        const QString stopped = QDir(target).filePath(".kestrova-migrate-a1B2c3");
        migrateParadoxTables(src, stopped);
        QFile mark(QDir(stopped).filePath(".complete"));
        QVERIFY(mark.open(QIODevice::WriteOnly));
        for (const char* moved : {"Xsale.db", "Xtable.db", "Xemail.db"})
            QVERIFY(QFile::rename(QDir(stopped).filePath(moved), QDir(target).filePath(moved)));

        migrateParadoxTables(src, target);
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 13);
        QCOMPARE(readRows(QDir(target).filePath("Xsale.db"), "Xsale").size(), 4);
    }

    void commandLineTool()
    {
        paradoxtest::writeSampleSet(src);
        QProcess tool;
        tool.start(KESTROVA_TABLES_TOOL, {"migrate", src, target});
        QVERIFY(tool.waitForFinished(60000));
        const QString out = QString::fromUtf8(tool.readAllStandardOutput());
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY2(out.contains("Xsale: 4 records read, 4 written\n"), qPrintable(out));
        QVERIFY2(out.contains("Xtable: 4 records read, 14 written\n"), qPrintable(out));
        QVERIFY(out.contains("note: Xtable.db had no settings row CommandLine"));

        QFile::remove(QDir(src).filePath("Xlanguage.db"));
        tool.start(KESTROVA_TABLES_TOOL, {"migrate", src, tmp->filePath("second")});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(err.contains("The Paradox table Xlanguage.db is missing in") && err.contains("Nothing was written"),
                 qPrintable(err));
        QVERIFY(!QFileInfo::exists(tmp->filePath("second")));
    }
};

QTEST_GUILESS_MAIN(TestMigration)
#include "tst_migration.moc"
