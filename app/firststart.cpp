#include "app/firststart.h"

#include "data/error.h"
#include "widgets/guard.h"
#include "migrate/paradoxfolder.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace kestrova {

namespace {

// Notes shown at most in the message box after a conversion.
constexpr int notesShown = 15;

} // namespace

WorkingFolderChoice workingFolderFromArguments(const QStringList& arguments, const QString& currentDir,
                                               const QString& homeDir)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("app::FirstStart", "Kestrova, the order book. It works in the current folder "
                                                       "unless an option names another."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption user(
        QStringLiteral("user-folder"),
        QCoreApplication::translate("app::FirstStart",
                                    "Work in the folder Kestrova in your home folder, made when missing."));
    //: DIR is the name of the option's value in the usage text: keep it.
    const QCommandLineOption folder(
        QStringLiteral("folder"),
        QCoreApplication::translate("app::FirstStart", "Work in the folder DIR, made when missing."),
        QStringLiteral("DIR"));
    //: CODE is the name of the option's value in the usage text: keep it.
    const QCommandLineOption language(
        QStringLiteral("language"),
        QCoreApplication::translate("app::FirstStart",
                                    "Show the texts in the language CODE (de, en, ...) instead of the desktop's."),
        QStringLiteral("CODE"));
    parser.addOption(user);
    parser.addOption(folder);
    parser.addOption(language);

    WorkingFolderChoice choice;
    if (!parser.parse(arguments)) {
        choice.usageError = parser.errorText() + QStringLiteral("\n\n") + parser.helpText();
        return choice;
    }
    if (parser.isSet(help)) {
        choice.usageError = parser.helpText();
        choice.helpShown = true;
        return choice;
    }
    if (!parser.positionalArguments().isEmpty() || (parser.isSet(user) && parser.isSet(folder))) {
        choice.usageError =
            QCoreApplication::translate("app::FirstStart", "Kestrova takes no arguments besides its options.") +
            QStringLiteral("\n\n") + parser.helpText();
        return choice;
    }
    if (parser.isSet(user))
        choice.folder = QDir(homeDir).filePath(QStringLiteral("Kestrova"));
    else if (parser.isSet(folder))
        choice.folder = QDir(currentDir).absoluteFilePath(parser.value(folder));
    else
        choice.folder = currentDir;
    choice.folder = QDir::cleanPath(choice.folder);
    return choice;
}

void makeWorkingFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        throw Error(QCoreApplication::translate("app::FirstStart", "Cannot create the folder %1")
                        .arg(QDir::toNativeSeparators(folder)));
}

bool recoverParadoxConversion(const QString& workDir)
{
    Recovery recovery = Recovery::Nothing;
    const bool recovered = guarded([&] {
        try {
            recovery = recoverInterruptedConversion(workDir);
        } catch (const Error& e) {
            throw Error(QCoreApplication::translate("app::FirstStart",
                                                    "An interrupted conversion of the Paradox tables in %1 cannot be "
                                                    "finished: %2.\nThe Paradox files are in the folder and in its "
                                                    "subfolder \"paradox\"")
                            .arg(QDir::toNativeSeparators(workDir), e.message()));
        }
    });
    if (recovered && recovery == Recovery::Completed)
        prompter().message(QCoreApplication::translate("app::FirstStart",
                                                       "An interrupted conversion of the Paradox tables was "
                                                       "finished; the original files are in %1.")
                               .arg(QDir::toNativeSeparators(paradoxKeepFolder(workDir))),
                           QMessageBox::Information);
    return recovered;
}

bool offerParadoxConversion(const QString& workDir)
{
    if (!folderHoldsParadoxTables(workDir))
        return true;
    const QString question =
        QCoreApplication::translate("app::FirstStart", "The folder %1 holds its tables in the Paradox format.\n"
                                                       "Convert them into Kestrova's tables? The Paradox files are "
                                                       "kept in the subfolder \"paradox\".")
            .arg(QDir::toNativeSeparators(workDir));
    if (!prompter().ask(question))
        return false;
    MigrationReport report;
    const bool converted = guarded([&] {
        try {
            report = convertWorkingFolder(workDir);
        } catch (const Error& e) {
            throw Error(QCoreApplication::translate("app::FirstStart", "The Paradox tables were not converted: %1")
                            .arg(e.message()));
        }
    });
    if (!converted)
        return false;
    QString text = QCoreApplication::translate("app::FirstStart",
                                               "The Paradox tables were converted; the original files are in %1.")
                       .arg(QDir::toNativeSeparators(paradoxKeepFolder(workDir))) +
                   QLatin1Char('\n');
    for (const TableMigration& t : report.tables) {
        //: One line per converted table: %1 is the table's name.
        text += QLatin1Char('\n') + QCoreApplication::translate("app::FirstStart", "%1: %2 records read, %3 written")
                                        .arg(t.table)
                                        .arg(t.read)
                                        .arg(t.written);
    }
    if (!report.notes.isEmpty())
        text += QLatin1Char('\n');
    for (int i = 0; i < report.notes.size() && i < notesShown; ++i)
        text += QLatin1Char('\n') + report.notes.at(i);
    if (report.notes.size() > notesShown)
        text += QLatin1Char('\n') + QCoreApplication::translate("app::FirstStart", "... and %1 more notes")
                                        .arg(report.notes.size() - notesShown);
    prompter().message(text, QMessageBox::Information);
    return true;
}

} // namespace kestrova
