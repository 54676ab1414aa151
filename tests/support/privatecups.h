#pragma once

// A CUPS scheduler of a test's own: its configuration, spool, logs and socket
// in a temporary folder, so the machine's printers are neither seen nor
// touched. Its queues write what they are sent into files, passed through
// unchanged. Clients reach it through CUPS_SERVER, which start() sets.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

class PrivateCups {
public:
    ~PrivateCups() { stop(); }

    // Starts cupsd in `dir` (an empty folder) and points CUPS_SERVER at it.
    // Returns why it could not start, empty when it runs.
    QString start(const QString& dir)
    {
        m_dir = dir;
        const QString cupsd = QStandardPaths::findExecutable(QStringLiteral("cupsd"),
                                                             {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (cupsd.isEmpty())
            return QStringLiteral("cupsd is not installed (Debian package cups; see scripts/install-deps)");
        for (const char* sub : {"spool/tmp", "cache", "state", "log", "ppd", "out"})
            QDir().mkpath(path(QLatin1String(sub)));
        // Filters run as the scheduler's user, which must reach the spool.
        ::chmod(QFile::encodeName(dir).constData(), 0711);
        write(QStringLiteral("cupsd.conf"), QStringLiteral("Listen %1\nLogLevel info\nWebInterface No\nBrowsing No\n"
                                                           "DefaultAuthType None\nMaxJobs 0\n"
                                                           "<Policy default>\n<Limit All>\nOrder allow,deny\n"
                                                           "Allow all\n</Limit>\n</Policy>\n")
                                                .arg(socket()));
        // As root cupsd keeps its own unprivileged user for filters; any
        // other user runs everything as that user.
        QString who;
        if (::getuid() == 0) {
            who = QStringLiteral("SystemGroup root\n");
        } else {
            const passwd* pw = ::getpwuid(::getuid());
            const group* gr = ::getgrgid(::getgid());
            who =
                QStringLiteral("User %1\nGroup %2\nSystemGroup %2\n")
                    .arg(QString::fromLocal8Bit(pw ? pw->pw_name : ""), QString::fromLocal8Bit(gr ? gr->gr_name : ""));
        }
        write(QStringLiteral("cups-files.conf"),
              who + QStringLiteral("FileDevice Yes\nSandboxing Relaxed\nServerRoot %1\nRequestRoot %1/spool\n"
                                   "TempDir %1/spool/tmp\nCacheDir %1/cache\nStateDir %1/state\n"
                                   "ErrorLog %1/log/error_log\nAccessLog %1/log/access_log\n"
                                   "PageLog %1/log/page_log\n")
                        .arg(dir));
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(cupsd, {QStringLiteral("-f"), QStringLiteral("-c"), path(QStringLiteral("cupsd.conf")),
                                QStringLiteral("-s"), path(QStringLiteral("cups-files.conf"))});
        if (!m_process.waitForStarted())
            return QStringLiteral("cupsd could not be started: %1").arg(m_process.errorString());
        qputenv("CUPS_SERVER", QFile::encodeName(socket()));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            if (m_process.state() != QProcess::Running)
                return QStringLiteral("cupsd ended at once: %1 %2")
                    .arg(QString::fromLocal8Bit(m_process.readAll()).trimmed(), log().right(1500));
            if (QFileInfo::exists(socket()) && schedulerAnswers())
                return {};
            QThread::msleep(100);
        }
        return QStringLiteral("cupsd did not answer within 20 s: %1").arg(log().right(1500));
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    QString socket() const { return path(QStringLiteral("cups.sock")); }
    QString path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }
    QString log() const
    {
        QFile f(path(QStringLiteral("log/error_log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    }

    // A queue with A4 and Letter paper that writes each job to out/NAME:
    // unchanged, or laid out on the paper by the print system's PDF filter
    // (pdftopdf, from cups-filters) as a PDF printer receives it.
    QString addQueue(const QString& name, bool pdfFilter = false)
    {
        QFile in(QStringLiteral(KESTROVA_CAPTURE_PPD));
        QByteArray ppd = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
        if (pdfFilter)
            ppd.replace("*cupsFilter: \"application/pdf 0 gziptoany\"",
                        "*cupsFilter2: \"application/vnd.cups-pdf application/vnd.cups-pdf 0 gziptoany\"");
        write(name + QStringLiteral(".ppd"), QString::fromLatin1(ppd));
        return lp({QStringLiteral("lpadmin"), QStringLiteral("-p"), name, QStringLiteral("-v"),
                   QStringLiteral("file:") + output(name), QStringLiteral("-P"), path(name + QStringLiteral(".ppd")),
                   QStringLiteral("-E")});
    }
    QString output(const QString& queue) const { return path(QStringLiteral("out/") + queue); }

    // Runs a CUPS client program; returns its complaint, empty when it succeeded.
    QString lp(const QStringList& command) const
    {
        QProcess p;
        p.start(command.first(), command.mid(1));
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            return command.first() + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAllStandardError()) +
                   p.errorString();
        return {};
    }

    // Waits until the queue has no job left to do and its output file exists.
    bool waitForOutput(const QString& queue, int ms = 60000) const
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            QProcess p;
            p.start(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue});
            p.waitForFinished(30000);
            if (p.readAllStandardOutput().trimmed().isEmpty() && QFileInfo(output(queue)).size() > 0)
                return true;
            QThread::msleep(100);
        }
        return false;
    }

private:
    bool schedulerAnswers() const
    {
        QProcess p;
        p.start(QStringLiteral("lpstat"), {QStringLiteral("-r")});
        return p.waitForFinished(30000) && p.readAllStandardOutput().trimmed() == "scheduler is running";
    }

    void write(const QString& name, const QString& text) const
    {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(text.toUtf8()) < 0)
            qFatal("cannot write %s", qPrintable(path(name)));
    }

    QString m_dir;
    QProcess m_process;
};

} // namespace testsupport
