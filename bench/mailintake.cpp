// The e-mail intake's search over a large mailbox against the mail library
// reading the same messages directly.
//   kestrova-bench-mailintake make DIR           10,000 messages, 100 of them notifications
//   kestrova-bench-mailintake run DIR LIBRARY    the processing run's search: every
//                                                notification found, the others passed over
//   kestrova-bench-mailintake parse DIR          every file read and parsed with vmime,
//                                                its text part decoded
// The first run over the folder moves the messages from new/ to cur/, as any
// mail reader does; runs are timed after that.
#include "mailorders/mailorderrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <ctime>
#include <vmime/vmime.hpp>

using namespace kestrova;

namespace {

constexpr int kMessages = 10000;

// The processor time of this process: the machine is shared with other
// work, which stretches wall-clock times unevenly.
long long cpuMicroseconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}
constexpr int kEvery = 100; // one notification in a hundred

QByteArray ordinary(int i)
{
    QByteArray body;
    for (int p = 0; p < 3 + i % 5; ++p)
        body += "Paragraph " + QByteArray::number(p) +
                " of an ordinary message: a question, a newsletter or a reply that\r\n"
                "the intake must pass over without taking it for an order.\r\n\r\n";
    return "From: \"Writer " + QByteArray::number(i) + "\" <writer" + QByteArray::number(i) +
           "@example.com>\r\nTo: orders@example.org\r\nSubject: Message " + QByteArray::number(i) +
           "\r\nMessage-ID: <m" + QByteArray::number(i) +
           "@example.com>\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=utf-8\r\n\r\n" +
           body;
}

QByteArray notification(int i)
{
    return "From: \"WebShop\" <noreply@webshop.example.com>\r\nSubject: New order WS-" + QByteArray::number(i) +
           "\r\nMessage-ID: <ws" + QByteArray::number(i) +
           "@webshop.example.com>\r\nMIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=utf-8\r\n\r\nWebShop order notification\r\nOrder reference: WS-" +
           QByteArray::number(i) +
           "\r\nProduct id: TL-01\r\nLanguage: EN\r\nLicenses: 1\r\nCurrency: EUR\r\n"
           "Net amount: 49\r\nTax: 9.31\r\nPayment: Card\r\nTitle: Mr\r\nName: Buyer " +
           QByteArray::number(i) + "\r\nAddress: 1 Main Street\r\nE-mail: buyer" + QByteArray::number(i) +
           "@example.com\r\n";
}

int make(const QString& dir)
{
    for (const char* sub : {"cur", "new", "tmp", ".Processed/cur", ".Processed/new", ".Processed/tmp"})
        if (!QDir().mkpath(QDir(dir).filePath(QString::fromLatin1(sub))))
            return 1;
    QFile marker(QDir(dir).filePath(QStringLiteral(".Processed/maildirfolder")));
    if (!marker.open(QIODevice::WriteOnly))
        return 1;
    for (int i = 0; i < kMessages; ++i) {
        QFile f(QDir(dir).filePath(QStringLiteral("new/%1.M%2P1.bench").arg(1700000000 + i).arg(i)));
        if (!f.open(QIODevice::WriteOnly) || f.write(i % kEvery == kEvery / 2 ? notification(i) : ordinary(i)) < 0 ||
            !f.flush()) {
            std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(f.fileName()), qPrintable(f.errorString()));
            return 1;
        }
    }
    return 0;
}

int run(const QString& dir, const QString& library)
{
    FunctionLibrary functions;
    if (!functions.load({QFileInfo(library).absolutePath()})) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(library));
        return 1;
    }
    MailOrderState state;
    QElapsedTimer timer;
    timer.start();
    const long long cpu0 = cpuMicroseconds();
    MailOrderRun intake(state, functions, {{"WebShop", "RecogniseWebShop"}, {"PayPoint", "RecognisePayPoint"}});
    if (!intake.open(dir, {}, {}, QStringLiteral("Processed"))) {
        std::fprintf(stderr, "%s\n", qPrintable(intake.lastError()));
        return 1;
    }
    int found = 0;
    while (intake.findRecognizedMessage()) {
        ++found;
        intake.mailbox().MailNext(); // left in place, so every run sees the same mailbox
    }
    intake.close();
    std::printf("intake_us=%lld intake_cpu_us=%lld found=%d\n", static_cast<long long>(timer.nsecsElapsed() / 1000),
                cpuMicroseconds() - cpu0, found);
    return found == kMessages / kEvery ? 0 : 1;
}

int parse(const QString& dir)
{
    QElapsedTimer timer;
    timer.start();
    const long long cpu0 = cpuMicroseconds();
    qint64 bytes = 0;
    QStringList files;
    for (const char* sub : {"cur", "new"}) {
        const QDir folder(QDir(dir).filePath(QString::fromLatin1(sub)));
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
            files << folder.filePath(name);
    }
    for (const QString& file : files) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray raw = f.readAll();
        auto msg = vmime::make_shared<vmime::message>();
        msg->parse(std::string(raw.constData(), size_t(raw.size())));
        vmime::messageParser parser(msg);
        for (size_t i = 0; i < parser.getTextPartCount(); ++i) {
            std::string text;
            vmime::utility::outputStreamStringAdapter out(text);
            parser.getTextPartAt(i)->getText()->extract(out);
            bytes += qint64(text.size());
        }
    }
    std::printf("parse_us=%lld parse_cpu_us=%lld text_bytes=%lld\n",
                static_cast<long long>(timer.nsecsElapsed() / 1000), cpuMicroseconds() - cpu0,
                static_cast<long long>(bytes));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == QLatin1String("make"))
        return make(args[2]);
    if (args.size() >= 4 && args[1] == QLatin1String("run"))
        return run(args[2], args[3]);
    if (args.size() >= 3 && args[1] == QLatin1String("parse"))
        return parse(args[2]);
    std::fprintf(stderr, "usage: kestrova-bench-mailintake make DIR | run DIR LIBRARY | parse DIR\n");
    return 2;
}
