// kestrova-writer: Kestrova's document writer. Serves the word-processor link
// on the session bus and renders HTML templates with the records of the
// exchange table into PDF files or onto print queues.
//   kestrova-writer [--service NAME] [--no-boxes] [--language CODE]

#include "i18n/language.h"
#include "writer/userfacing.h"
#include "writer/writerservice.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

using namespace kestrova;
using namespace kestrova::writer;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kestrova-writer"));
    QApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION));
    // Closing an error box must not end the writer.
    QApplication::setQuitOnLastWindowClosed(false);

    // The writer's boxes and replies in the desktop's language, like Kestrova's.
    installDesktopLanguage(app, kestrova::languageArgument(app.arguments()),
                           {QStringLiteral("kestrova-writer"), QStringLiteral("kestrova")});

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Renders Kestrova's documents from HTML templates for the word-processor "
                       "link on the session bus."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption serviceOption(QStringLiteral("service"),
                                           QStringLiteral("Serves the bus name NAME (org.kestrova.Writer)."),
                                           QStringLiteral("NAME"), QStringLiteral("org.kestrova.Writer"));
    const QCommandLineOption noBoxesOption(
        QStringLiteral("no-boxes"),
        QStringLiteral("Writes error messages to the standard error output instead of showing "
                       "message boxes (also when KESTROVA_WRITER_NO_BOXES is set)."));
    const QCommandLineOption languageOption(
        QStringLiteral("language"),
        QStringLiteral("Shows messages in the language CODE (de, en, ...) instead of the desktop's."),
        QStringLiteral("CODE"));
    parser.addOption(serviceOption);
    parser.addOption(noBoxesOption);
    parser.addOption(languageOption);
    parser.process(app);

    std::unique_ptr<Notifier> notifier;
    if (parser.isSet(noBoxesOption) || !qEnvironmentVariableIsEmpty("KESTROVA_WRITER_NO_BOXES"))
        notifier = std::make_unique<ConsoleNotifier>();
    else
        notifier = std::make_unique<BoxNotifier>();
    DesktopViewer viewer;

    // Kestrova starts the writer in its working folder: relative paths and
    // the exchange table are found there.
    WriterService service(QDir::currentPath(), *notifier, viewer);
    // The installed templates; from a build folder, the checkout's samples.
    const QString installed =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../share/kestrova/templates"));
    service.setSharedTemplates(QFileInfo(installed).isDir() ? installed : QStringLiteral(KESTROVA_SOURCE_TEMPLATES));
    const QString failure = service.registerOn(QDBusConnection::sessionBus(), parser.value(serviceOption));
    if (!failure.isEmpty()) {
        QTextStream(stderr) << "kestrova-writer: " << failure << '\n';
        return 1;
    }
    QObject::connect(&service, &WriterService::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    const int code = app.exec();
    if (!service.lostBus().isEmpty()) {
        // Nobody can reach the writer any more.
        QTextStream(stderr) << "kestrova-writer: " << service.lostBus() << '\n';
        return 1;
    }
    return code;
}
