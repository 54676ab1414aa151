#include "writer/mailcommand.h"

#include "writer/writererror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <memory>

namespace kestrova::writer {
namespace {

constexpr int kMaxSubjectLength = 998; // the longest line a mail header may hold

// What xdg-email's exit codes mean, as its manual gives them; each completes
// "xdg-email reports that %1".
QString exitMeaning(int code)
{
    switch (code) {
    //: Completes "xdg-email reports that %1%2": "it" is xdg-email.
    case 1: return QCoreApplication::translate("writer::Mail", "it did not understand its arguments");
    case 2: return QCoreApplication::translate("writer::Mail", "the attachment does not exist");
    case 3:
        return QCoreApplication::translate(
            "writer::Mail", "there is no mail program on this desktop (a tool it needs could not be found)");
    case 4: return QCoreApplication::translate("writer::Mail", "the mail program could not be started");
    case 5: return QCoreApplication::translate("writer::Mail", "the attachment cannot be read");
    default: return QCoreApplication::translate("writer::Mail", "it ended with exit code %1").arg(code);
    }
}

QString mailError(const QString& recipient, const QString& why)
{
    return QCoreApplication::translate("writer::Mail", "The mail to \"%1\" could not be handed to the mail program: %2")
        .arg(recipient, why);
}

// xdg-email's reason is its last line; the lines before it are the tools it
// tried on the way.
QString reasonIn(const QByteArray& output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString last = lines.isEmpty() ? QString() : lines.last().trimmed();
    return last.size() > 500 ? last.left(500) + QStringLiteral("...") : last;
}

} // namespace

bool isMailAddress(const QString& text)
{
    // Letters, digits and . _ + ' - before the @: one address, never an
    // option, a second recipient or a mailto: text with fields of its own
    // (a value may come from a customer's own order mail).
    static const QRegularExpression address(
        QStringLiteral("^[\\w+'][\\w.+'-]*@\\w(?:[\\w-]*\\w)?(?:\\.\\w(?:[\\w-]*\\w)?)+$"),
        QRegularExpression::UseUnicodePropertiesOption);
    return text.size() <= 254 && address.match(text).hasMatch();
}

QString attachableFile(const QString& relative, const QString& workDir)
{
    // `message` holds the attachment (%1) and, for a link, the link (%2).
    const auto refuse = [&](const char* message, const QString& link = QString()) {
        const QString text = QCoreApplication::translate("writer::Mail", message);
        throw WriterError(WriterError::BadArguments, link.isEmpty() ? text.arg(relative) : text.arg(relative, link));
    };
    if (relative.trimmed().isEmpty())
        refuse(QT_TRANSLATE_NOOP("writer::Mail", "The attachment \"%1\" is empty: it must be a file below the working "
                                                 "folder, given as a relative path"));
    if (QDir::isAbsolutePath(relative) || relative.startsWith(QLatin1Char('~')))
        refuse(QT_TRANSLATE_NOOP("writer::Mail", "The attachment \"%1\" is an absolute path: it must be a file below "
                                                 "the working folder, given as a relative path"));
    const QStringList parts = QDir::fromNativeSeparators(relative).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.contains(QLatin1String("..")))
        refuse(QT_TRANSLATE_NOOP("writer::Mail", "The attachment \"%1\" climbs out with \"..\": it must be a file "
                                                 "below the working folder, given as a relative path"));
    QString path = QDir(workDir).absolutePath();
    for (const QString& part : parts) {
        if (part == QLatin1String("."))
            continue;
        path += QLatin1Char('/') + part;
        const QFileInfo step(path);
        if (step.isSymLink())
            refuse(QT_TRANSLATE_NOOP("writer::Mail",
                                     "The attachment \"%1\" passes through the symbolic link \"%2\": it must be a "
                                     "file below the working folder, given as a relative path"),
                   path);
        if (!step.exists())
            throw WriterError(
                WriterError::MailFailed,
                QCoreApplication::translate("writer::Mail", "The attachment \"%1\" does not exist").arg(path));
    }
    if (!QFileInfo(path).isFile())
        refuse(QT_TRANSLATE_NOOP("writer::Mail", "The attachment \"%1\" is not a regular file: it must be a file "
                                                 "below the working folder, given as a relative path"));
    return path;
}

void handToMailProgram(const MailRequest& request, const QString& workDir)
{
    if (!isMailAddress(request.recipient))
        throw WriterError(
            WriterError::BadArguments,
            QCoreApplication::translate("writer::Mail", "[Mail] needs one e-mail address as its recipient, not \"%1\"")
                .arg(request.recipient));
    // A line break would end the header the subject stands in.
    QString subject = request.subject;
    subject.replace(QRegularExpression(QStringLiteral("[\\r\\n]+")), QStringLiteral(" "));
    if (subject.size() > kMaxSubjectLength)
        throw WriterError(WriterError::BadArguments,
                          QCoreApplication::translate("writer::Mail", "The subject of [Mail] is %1 characters long; "
                                                                      "a mail takes at most %2")
                              .arg(subject.size())
                              .arg(kMaxSubjectLength));
    const QString file = attachableFile(request.file, workDir);

    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        throw WriterError(WriterError::MailFailed,
                          mailError(request.recipient,
                                    QCoreApplication::translate(
                                        "writer::Mail", "there is no mail program: xdg-email (from xdg-utils) is not "
                                                        "installed")));
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setArguments({QStringLiteral("--subject"), subject, QStringLiteral("--attach"), file, request.recipient});
    process->setWorkingDirectory(workDir);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted())
        throw WriterError(WriterError::MailFailed,
                          mailError(request.recipient,
                                    QCoreApplication::translate("writer::Mail", "xdg-email could not be started: %1")
                                        .arg(process->errorString())));
    if (!process->waitForFinished(kMailProgramWaitMs)) {
        // The mail program it started is open with the message: it lives on,
        // and its process object goes once it ends.
        QObject::connect(process.get(), &QProcess::finished, process.get(), &QObject::deleteLater);
        process.release();
        return;
    }
    if (process->exitStatus() != QProcess::NormalExit)
        throw WriterError(
            WriterError::MailFailed,
            mailError(request.recipient, QCoreApplication::translate("writer::Mail", "xdg-email crashed")));
    if (process->exitCode() != 0) {
        const QString said = reasonIn(process->readAllStandardError());
        throw WriterError(WriterError::MailFailed,
                          mailError(request.recipient,
                                    //: %1 is what xdg-email's exit code means, %2 its own words in
                                    //: parentheses (or nothing).
                                    QCoreApplication::translate("writer::Mail", "xdg-email reports that %1%2")
                                        .arg(exitMeaning(process->exitCode()),
                                             said.isEmpty() ? QString() : QStringLiteral(" (\"%1\")").arg(said))));
    }
}

} // namespace kestrova::writer
