// kestrova-screenshots: the pictures of the user guide, taken from the program
// itself. Starts Kestrova offscreen on a fresh demo set, brings each window
// into the state the guide describes, saves it as a PNG, and has the document
// writer render sample documents whose first pages become PNGs too.
//   kestrova-screenshots [--list] [--work DIR] [--language CODE] OUTDIR
// Ends with status 1, naming each, when a window or control it names is
// missing or a picture cannot be made.

#include "app/application.h"
#include "i18n/language.h"
#include "tools/demodata.h"
#include "tools/screenshots/documentpages.h"
#include "tools/screenshots/kestrovashots.h"
#include "app/mainform.h"
#include "app/startup.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

using namespace kestrova;

namespace {

// Copies the folder from into to, files and subfolders, hidden ones too (a
// Maildir subfolder is a hidden folder marked by a hidden file).
bool copyTree(const QString& from, const QString& to)
{
    const QDir source(from);
    if (!source.exists() || !QDir().mkpath(to))
        return false;
    for (const QFileInfo& entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        const bool ok = entry.isDir() ? copyTree(entry.filePath(), target) : QFile::copy(entry.filePath(), target);
        if (!ok)
            return false;
    }
    return true;
}

// The demo working folder: the demo set, the sample function library, the
// sample templates, the reply template and the demo mailbox, as `make run`
// prepares demo/.
QString prepareWorkFolder(const QString& dir)
{
    if (!QDir().mkpath(dir))
        return QStringLiteral("cannot make the working folder %1").arg(dir);
    try {
        fillDemoData(dir);
    } catch (const std::exception& e) {
        return QStringLiteral("cannot make the demo set in %1: %2").arg(dir, QString::fromStdString(e.what()));
    }
    const QString samples = QStringLiteral(KESTROVA_SAMPLES_DIR);
    if (!QFile::copy(QStringLiteral(KESTROVA_SAMPLE_LIBRARY), QDir(dir).filePath(QStringLiteral("function.dll"))))
        return QStringLiteral("cannot copy the sample function library into %1").arg(dir);
    if (!copyTree(samples + QStringLiteral("/templates"), QDir(dir).filePath(QStringLiteral("templates"))))
        return QStringLiteral("cannot copy the sample templates into %1").arg(dir);
    if (!QFile::copy(samples + QStringLiteral("/Register.txt"), QDir(dir).filePath(QStringLiteral("Register.txt"))))
        return QStringLiteral("cannot copy the reply template into %1").arg(dir);
    const QString mail = QDir(dir).filePath(QStringLiteral("demo-mail"));
    if (!copyTree(samples + QStringLiteral("/demo-mail"), mail))
        return QStringLiteral("cannot copy the demo mailbox into %1").arg(dir);
    for (const char* sub : {"cur", "tmp", ".Processed/cur", ".Processed/new", ".Processed/tmp"})
        if (!QDir(mail).mkpath(QString::fromLatin1(sub)))
            return QStringLiteral("cannot make the demo mailbox in %1").arg(mail);
    return {};
}

// The offscreen platform says it cannot raise windows each time; the rest
// is passed on.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QStringLiteral("This plugin does not support")) ||
        message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures look the same wherever they are taken: no display, and the
    // dates and numbers of an English (United States) desktop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    qInstallMessageHandler(quietHandler);
    KestrovaApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Takes the user guide's pictures of Kestrova."));
    parser.addHelpOption();
    const QCommandLineOption listOption(QStringLiteral("list"), QStringLiteral("Lists the pictures and ends."));
    const QCommandLineOption workOption(QStringLiteral("work"),
                                        QStringLiteral("Makes the demo working folder in DIR (a new folder) "
                                                       "instead of a temporary one."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption languageOption(QStringLiteral("language"),
                                            QStringLiteral("Takes the pictures in the language CODE (the guide's are "
                                                           "English), for translators to see their work in place."),
                                            QStringLiteral("CODE"));
    parser.addOption(listOption);
    parser.addOption(workOption);
    parser.addOption(languageOption);
    parser.addPositionalArgument(QStringLiteral("OUTDIR"), QStringLiteral("Where the PNG files go."));
    parser.process(app);
    if (parser.isSet(languageOption))
        installTranslations(app, chooseLanguage(parser.value(languageOption), {}, availableLanguages()),
                            {QStringLiteral("kestrova"), QStringLiteral("kestrova-writer")});

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (parser.isSet(listOption)) {
        for (const auto& shot : shots::kestrovaShots())
            out << shot.file << '\t' << shot.caption << '\n';
        for (const auto& page : shots::documentPages())
            out << page.file << '\t' << page.caption << '\n';
        return 0;
    }
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 2;
    }
    const QString outDir = QDir(parser.positionalArguments().constFirst()).absolutePath();

    QTemporaryDir temporary;
    const QString workDir = parser.isSet(workOption) ? QDir(parser.value(workOption)).absolutePath() : temporary.path();
    if (const QString failure = prepareWorkFolder(workDir); !failure.isEmpty()) {
        err << "kestrova-screenshots: " << failure << '\n';
        return 1;
    }

    Windows windows = startKestrova(workDir);
    if (!windows.main) {
        err << "kestrova-screenshots: Kestrova did not start in " << workDir << '\n';
        return 1;
    }
    windows.main->show();
    QStringList failures = shots::takeShots(shots::kestrovaShots(), outDir);
    failures << shots::renderDocumentPages(windows.main->data(), workDir, outDir);

    for (const QString& failure : failures)
        err << "kestrova-screenshots: " << failure << '\n';
    if (!failures.isEmpty())
        return 1;
    out << "kestrova-screenshots: pictures written into " << outDir << '\n';
    return 0;
}
