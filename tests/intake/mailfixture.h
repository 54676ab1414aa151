#pragma once

// Seeded Maildir folders and extra mail servers for the mailbox tests.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace mailfixture {

inline QByteArray message(const QByteArray& headers, const QByteArray& body)
{
    return headers + "\r\n" + body;
}

inline void seedMaildir(const QString& root, const QList<QByteArray>& raws, const QStringList& folders = {"Processed"})
{
    for (const char* sub : {"cur", "new", "tmp"})
        QDir().mkpath(QDir(root).filePath(sub));
    for (const QString& f : folders) {
        const QString dir = QDir(root).filePath("." + f);
        for (const char* sub : {"cur", "new", "tmp"})
            QDir().mkpath(QDir(dir).filePath(sub));
        QFile marker(QDir(dir).filePath("maildirfolder"));
        marker.open(QIODevice::WriteOnly);
    }
    int n = 0;
    for (const QByteArray& raw : raws) {
        // Names begin with the delivery time: their order is the arrival order.
        QFile f(QDir(root).filePath(QStringLiteral("new/%1.M%2P1.test").arg(1700000000 + n).arg(n)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(raw);
        ++n;
    }
}

inline QStringList filesIn(const QString& dir)
{
    QStringList out;
    for (const char* sub : {"cur", "new"})
        for (const QString& f : QDir(QDir(dir).filePath(QString::fromLatin1(sub))).entryList(QDir::Files))
            out << QString::fromLatin1(sub) + "/" + f;
    out.sort();
    return out;
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

// A message file that another program flagged deleted (Maildir flag T).
inline void seedDeleted(const QString& root, const QByteArray& raw)
{
    QFile f(QDir(root).filePath("cur/1690000000.M9P9.other:2,ST"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(raw);
}

// The subjects of the messages in a Maildir folder, each followed by its
// flags, sorted.
inline QStringList subjectsIn(const QString& dir)
{
    QStringList out;
    for (const QString& f : filesIn(dir)) {
        QByteArray subject;
        for (const QByteArray& line : readFile(QDir(dir).filePath(f)).split('\n'))
            if (line.startsWith("Subject:") && subject.isEmpty())
                subject = line.trimmed();
        out << QString::fromLatin1(subject) + " [" + f.section(":2,", 1) + "]";
    }
    out.sort();
    return out;
}

// A second set of throwaway servers, with options of the mail-servers script.
struct ExtraServers {
    explicit ExtraServers(const QString& script) : script(script) {}
    QString script;
    QTemporaryDir dir;
    QStringList ports;
    bool up = false;
    bool start(const QStringList& options)
    {
        QProcess p;
        p.start(script, QStringList{"start", dir.path()} + options);
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return false;
        up = true;
        ports = QString::fromLatin1(readFile(QDir(dir.path()).filePath("ports"))).trimmed().split(' ');
        return ports.size() == 3;
    }
    QString maildir() const { return QDir(dir.path()).filePath("home/Maildir"); }
    ~ExtraServers()
    {
        if (up)
            QProcess::execute(script, {"stop", dir.path()});
    }
};

} // namespace mailfixture
