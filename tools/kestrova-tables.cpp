// kestrova-tables: makes the order tables of a working folder, empty or with
// a demo set to explore.

#include "setup/newset.h"
#include "tools/demodata.h"
#include "data/error.h"
#include "migrate/migration.h"
#include "data/schema.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <exception>

namespace {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

int migrate(const QString& name, const QString& source, const QString& target)
{
    try {
        const kestrova::MigrationReport report = kestrova::migrateParadoxTables(source, target);
        for (const kestrova::TableMigration& t : report.tables)
            out() << t.table << ": " << t.read << " records read, " << t.written << " written\n";
        for (const QString& note : report.notes)
            out() << "note: " << note << '\n';
        out() << "Converted the Paradox tables of " << QDir::toNativeSeparators(source) << " into "
              << QDir::toNativeSeparators(target) << '\n';
    } catch (const kestrova::Error& e) {
        err() << name << ": " << e.message() << ". Nothing was written.\n";
        return 1;
    } catch (const std::exception& e) {
        err() << name << ": " << e.what() << ". Nothing was written.\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrova-tables"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Makes the thirteen order tables of a Kestrova working folder.\n"
                       "\n"
                       "Commands:\n"
                       "  create DIR        a new set of tables, no orders yet, with the writer's settings, titles,\n"
                       "                    payment means and the sample invoice numbering\n"
                       "  demo DIR          the tables filled with demo products, customers and orders\n"
                       "  migrate SRC DIR   the tables converted from the Paradox tables (.db with\n"
                       "                    their .MB memo files) in the folder SRC\n"
                       "\n"
                       "No command overwrites a table: when one of the files is in DIR\n"
                       "already, nothing is written. A migration is written into a temporary\n"
                       "folder and moved into DIR when every table has been converted."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("create, demo or migrate"));
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("The working folder; made when missing."));

    const QString name = QCoreApplication::applicationName();
    if (!parser.parse(QCoreApplication::arguments())) {
        err() << name << ": " << parser.errorText() << "\n\n" << parser.helpText();
        return 2;
    }
    const QStringList args = parser.positionalArguments();
    if (parser.isSet(help) || (args.isEmpty() && !parser.isSet(version))) {
        out() << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out() << name << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    const QString command = args.value(0);
    if (command != QLatin1String("create") && command != QLatin1String("demo") && command != QLatin1String("migrate")) {
        err() << name << ": unknown command '" << command << "'\n\n" << parser.helpText();
        return 2;
    }
    if (command == QLatin1String("migrate")) {
        if (args.size() != 3) {
            err() << name << ": migrate takes the Paradox folder and the new folder\n\n" << parser.helpText();
            return 2;
        }
        return migrate(name, QDir::cleanPath(args.at(1)), QDir::cleanPath(args.at(2)));
    }
    if (args.size() != 2) {
        err() << name << ": " << command << " takes exactly one folder\n\n" << parser.helpText();
        return 2;
    }

    const QString dir = QDir::cleanPath(args.at(1));
    try {
        if (command == QLatin1String("create")) {
            kestrova::createNewTableSet(dir, kestrova::ShippedFiles::ofThisProgram(), QLocale::system().language());
            out() << "Made an empty set of tables in " << QDir::toNativeSeparators(dir) << '\n';
        } else {
            kestrova::fillDemoData(dir);
            out() << "Made the demo tables in " << QDir::toNativeSeparators(dir) << '\n';
        }
    } catch (const kestrova::Error& e) {
        err() << name << ": " << e.message() << ".\n";
        return 1;
    } catch (const std::exception& e) {
        err() << name << ": " << e.what() << '\n';
        return 1;
    }
    return 0;
}
