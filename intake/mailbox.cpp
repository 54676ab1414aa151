#include "intake/mailbox.h"

#include "intake/imapexpunge.h"
#include "intake/maildirfiles.h"
#include "intake/mailtext.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <set>
#include <stdexcept>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vmime/net/imap/IMAPFolderStatus.hpp>
#include <vmime/platforms/posix/posixHandler.hpp>
#include <vmime/vmime.hpp>

namespace kestrova {

namespace {

namespace vnet = vmime::net;
using mailtext::cut;
using mailtext::fromStd;
using mailtext::toStd;

void ensurePlatform()
{
    static const bool done = [] {
        vmime::platform::setHandler<vmime::platforms::posix::posixHandler>();
        return true;
    }();
    (void)done;
}

// A network operation that has not progressed for this long is abandoned.
class Timeout : public vnet::timeoutHandler {
public:
    explicit Timeout(int seconds) : m_limit(qint64(seconds) * 1000) { m_timer.start(); }
    bool isTimeOut() override { return m_timer.elapsed() >= m_limit; }
    void resetTimeOut() override { m_timer.restart(); }
    bool handleTimeOut() override { return false; }

private:
    qint64 m_limit;
    QElapsedTimer m_timer;
};

class TimeoutFactory : public vnet::timeoutHandlerFactory {
public:
    explicit TimeoutFactory(int seconds) : m_seconds(seconds) {}
    vmime::shared_ptr<vnet::timeoutHandler> create() override { return vmime::make_shared<Timeout>(m_seconds); }

private:
    int m_seconds;
};

// The certificates a server's chain must lead to: the system's CA store, or
// the bundle the caller names.
vmime::shared_ptr<vmime::security::cert::defaultCertificateVerifier> verifierFor(const QString& bundle)
{
    QString path = bundle;
    if (path.isEmpty()) {
        for (const char* p : {"/etc/ssl/certs/ca-certificates.crt", "/etc/pki/tls/certs/ca-bundle.crt"})
            if (QFileInfo::exists(QString::fromLatin1(p))) {
                path = QString::fromLatin1(p);
                break;
            }
    }
    std::vector<vmime::shared_ptr<vmime::security::cert::X509Certificate>> cas;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray pem = file.readAll();
        const QByteArray begin = "-----BEGIN CERTIFICATE-----";
        const QByteArray end = "-----END CERTIFICATE-----";
        qsizetype from = 0;
        while ((from = pem.indexOf(begin, from)) >= 0) {
            const qsizetype to = pem.indexOf(end, from);
            if (to < 0)
                break;
            const QByteArray one = pem.mid(from, to + end.size() - from);
            if (auto cert = vmime::security::cert::X509Certificate::import(
                    reinterpret_cast<const vmime::byte_t*>(one.constData()), size_t(one.size())))
                cas.push_back(cert);
            from = to + end.size();
        }
    }
    auto verifier = vmime::make_shared<vmime::security::cert::defaultCertificateVerifier>();
    verifier->setX509RootCAs(cas);
    return verifier;
}

struct Endpoint {
    QString protocol; // imap, imaps, smtp, smtps, sendmail, maildir
    QString user;
    QString host;
    int port = -1;
    QString path;
};

// "imap://user@host:port": the user may itself hold an '@'.
std::optional<Endpoint> parseServerUrl(const QString& text)
{
    const qsizetype scheme = text.indexOf(QStringLiteral("://"));
    if (scheme <= 0)
        return std::nullopt;
    Endpoint e;
    e.protocol = text.left(scheme).toLower();
    QString rest = text.mid(scheme + 3);
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        rest.truncate(slash);
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        e.user = QUrl::fromPercentEncoding(rest.left(at).toUtf8());
        rest = rest.mid(at + 1);
    }
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        bool ok = false;
        e.port = rest.mid(colon + 1).toInt(&ok);
        if (!ok)
            return std::nullopt;
        rest.truncate(colon);
    }
    e.host = rest;
    if (e.host.isEmpty())
        return std::nullopt;
    return e;
}

vnet::folder::path folderPath(const QString& name)
{
    vnet::folder::path p;
    for (const QString& part : name.split(QLatin1Char('/'), Qt::SkipEmptyParts))
        p.appendComponent(vnet::folder::path::component(toStd(part), vmime::charsets::UTF_8));
    return p;
}

// What went wrong, in the words of the failure; a server that would take
// the password without encryption is named as such.
QString describe(const std::exception& e)
{
    if (const auto* c = dynamic_cast<const vmime::exceptions::command_error*>(&e); c && c->command() == "STARTTLS")
        return QCoreApplication::translate("Mailbox", "the server does not offer an encrypted connection (STARTTLS); "
                                                      "the user name and password are never sent without one");
    return QString::fromUtf8(e.what());
}

} // namespace

struct Mailbox::Private {
    Options options;
    vmime::shared_ptr<vnet::session> session;
    vmime::shared_ptr<vnet::store> store;
    vmime::shared_ptr<vnet::folder> folder;
    vnet::folder::path savePath;
    QString storeName, saveName; // the folders' names as the settings give them
    std::vector<vmime::shared_ptr<vnet::message>> messages;
    size_t cursor = 0;
    std::vector<std::string> movedUids;       // what MailMove copied and flagged deleted
    std::map<std::string, std::string> files; // Maildir: each message's file, kept current
    maildirfiles::Dirs saveDirs;              // Maildir: the save folder's directories
    std::set<std::string> unreadable;         // the messages that could not be read
    QString identityPrefix;                   // the store and folder, before a message's UID
    QString senderProblem;                    // why the parsed message's sender cannot be answered
    bool maildir = false;
    QString storeUser, storeHost;
    std::optional<Endpoint> transport;        // empty: replies go to the Outbox folder
    vmime::shared_ptr<vmime::message> parsed; // the message MailGet read last
    size_t parsedAt = size_t(-1);
    QString password;
    QString error;

    bool fail(const QString& message)
    {
        error = message;
        return false;
    }
    vmime::shared_ptr<vnet::message> current() const { return cursor < messages.size() ? messages[cursor] : nullptr; }
    // The file of a Maildir message as it is now on disk (another program
    // may have renamed it); an empty file beside one with content is the
    // leftover of an interrupted flag change and is removed.
    std::string fileOf(const std::string& uid, bool look)
    {
        if (!look) {
            const auto it = files.find(uid);
            if (it != files.end())
                return it->second;
        }
        const maildirfiles::Entry* best = nullptr;
        const auto found = maildirfiles::entries(store, folder->getFullPath());
        for (const maildirfiles::Entry& entry : found)
            if (entry.regular && entry.id == uid && (!best || (best->size == 0 && entry.size > 0)))
                best = &entry;
        if (!best) {
            const QString gone = QCoreApplication::translate("Mailbox", "the message file %1 is gone");
            throw std::runtime_error(gone.arg(fromStd(uid)).toStdString());
        }
        for (const maildirfiles::Entry& entry : found)
            if (entry.regular && entry.id == uid && &entry != best && entry.size == 0 && best->size > 0)
                ::unlink(entry.path.c_str());
        return files[uid] = best->path;
    }
    // Adds a flag to a Maildir message, looking for its file again when
    // another program renamed it.
    void flagFile(const std::string& uid, maildirfiles::MessageFlag flag)
    {
        try {
            files[uid] = maildirfiles::addFlag(fileOf(uid, false), flag);
        } catch (const std::runtime_error&) {
            files[uid] = maildirfiles::addFlag(fileOf(uid, true), flag);
        }
    }
    void secure(const vmime::shared_ptr<vnet::service>& service)
    {
        service->setCertificateVerifier(verifierFor(options.trustedCertificates));
        service->setTimeoutHandlerFactory(vmime::make_shared<TimeoutFactory>(options.timeoutSeconds));
    }
    void reset()
    {
        messages.clear();
        folder.reset();
        store.reset();
        session.reset();
        cursor = 0;
        movedUids.clear();
        files.clear();
        unreadable.clear();
        identityPrefix.clear();
        parsed.reset();
        parsedAt = size_t(-1);
    }
};

Mailbox::Mailbox() : Mailbox(Options{}) {}

Mailbox::Mailbox(const Options& options) : d(std::make_unique<Private>())
{
    d->options = options;
    ensurePlatform();
}

Mailbox::~Mailbox()
{
    if (isOpen())
        MailClose();
}

QString Mailbox::currentIdentity() const
{
    const auto msg = d->current();
    return msg ? d->identityPrefix + fromStd(msg->getUID()) : QString();
}

void Mailbox::removeAtClose(const QStringList& identities)
{
    for (const QString& identity : identities)
        if (!d->identityPrefix.isEmpty() && identity.startsWith(d->identityPrefix)) {
            const std::string uid = toStd(identity.mid(d->identityPrefix.size()));
            if (std::find(d->movedUids.begin(), d->movedUids.end(), uid) == d->movedUids.end())
                d->movedUids.push_back(uid);
        }
}

int Mailbox::unreadableCount() const
{
    return int(d->unreadable.size());
}

bool Mailbox::isOpen() const
{
    return d->store != nullptr;
}

QString Mailbox::lastError() const
{
    return d->error;
}

MailResult Mailbox::MailOpen(const MailSettings& settings)
{
    if (isOpen())
        MailClose();
    d->error.clear();
    const QString& profile = settings.profile;
    const QString& password = settings.password;
    const QString& messageStore = settings.messageStore;
    const QString& saveFolder = settings.saveFolder;
    const auto notOpen = [this] { return MailResult{false, d->error}; };
    const QString account = profile.trimmed();
    const qsizetype blank = account.indexOf(QLatin1Char(' '));
    const QString storeText = blank < 0 ? account : account.left(blank);
    const QString sendText = blank < 0 ? QString() : account.mid(blank + 1).trimmed();
    d->password = password;
    d->transport.reset();
    if (!sendText.isEmpty()) {
        if (sendText.compare(QLatin1String("sendmail:"), Qt::CaseInsensitive) == 0) {
            d->transport = Endpoint{QStringLiteral("sendmail"), {}, QStringLiteral("localhost"), -1, {}};
        } else {
            d->transport = parseServerUrl(sendText);
            if (!d->transport ||
                (d->transport->protocol != QLatin1String("smtp") && d->transport->protocol != QLatin1String("smtps"))) {
                d->error = tr("The sending address %1 is not smtp://, smtps:// or sendmail:").arg(sendText);
                d->transport.reset();
                return notOpen();
            }
        }
    }
    if (storeText.isEmpty()) {
        d->error = tr("No mailbox is set up: the profile is empty");
        return notOpen();
    }
    if (saveFolder.trimmed().isEmpty()) {
        d->error = tr("No folder is set up for processed messages");
        return notOpen();
    }
    try {
        d->session = vnet::session::create();
        vmime::utility::url url("maildir", "localhost");
        if (storeText.startsWith(QLatin1String("imap://"), Qt::CaseInsensitive) ||
            storeText.startsWith(QLatin1String("imaps://"), Qt::CaseInsensitive)) {
            const auto e = parseServerUrl(storeText);
            if (!e) {
                d->error = tr("The mailbox address %1 is not valid").arg(storeText);
                d->reset();
                return notOpen();
            }
            url = vmime::utility::url(toStd(e->protocol), toStd(e->host),
                                      e->port > 0 ? e->port : vmime::utility::url::UNSPECIFIED_PORT);
            d->storeUser = e->user;
            d->storeHost = e->host;
            d->maildir = false;
        } else {
            const QString root = QDir(d->options.workDir.isEmpty() ? QDir::currentPath() : d->options.workDir)
                                     .absoluteFilePath(storeText);
            if (!QFileInfo(root).isDir()) {
                d->error = tr("The mailbox folder %1 does not exist").arg(root);
                d->reset();
                return notOpen();
            }
            url.setPath(toStd(QDir::cleanPath(root)));
            d->storeUser.clear();
            d->storeHost.clear();
            d->maildir = true;
        }
        d->store = d->session->getStore(url);
        if (!d->maildir) {
            d->store->setProperty("auth.username", toStd(d->storeUser));
            d->store->setProperty("auth.password", toStd(password));
            d->store->setProperty("options.need-authentication", true);
            if (url.getProtocol() == "imap") {
                // The user name and password are sent only over an encrypted
                // connection: a server without STARTTLS is refused.
                d->store->setProperty("connection.tls", true);
                d->store->setProperty("connection.tls.required", true);
            }
            d->secure(d->store);
        }
        d->store->connect();

        // In a Maildir store the top folder is the inbox.
        const QString storeName = messageStore.trimmed().isEmpty() ? QStringLiteral("INBOX") : messageStore.trimmed();
        if (d->maildir && storeName.compare(QLatin1String("INBOX"), Qt::CaseInsensitive) == 0)
            d->folder = d->store->getRootFolder();
        else
            d->folder = d->store->getFolder(folderPath(storeName));
        if (!d->folder->exists())
            throw vmime::exceptions::folder_not_found();
        d->savePath = folderPath(saveFolder.trimmed());
        d->storeName = storeName;
        d->saveName = saveFolder.trimmed();
        if (!d->store->getFolder(d->savePath)->exists()) {
            d->error = tr("The folder %1 for processed messages does not exist").arg(saveFolder);
            d->store->disconnect();
            d->reset();
            return notOpen();
        }
        if (d->maildir) {
            maildirfiles::checkNotLinked(d->store, d->folder->getFullPath());
            maildirfiles::checkNotLinked(d->store, d->savePath);
            d->saveDirs = maildirfiles::dirsOf(d->store, d->savePath);
            maildirfiles::takeNewMessages(d->store, d->folder->getFullPath());
        }
        d->folder->open(vnet::folder::MODE_READ_WRITE);
        d->messages = d->folder->getMessages(vnet::messageSet::byNumber(1, -1));
        d->folder->fetchMessages(d->messages, vnet::fetchAttributes::FLAGS | vnet::fetchAttributes::UID);
        // Messages that are already deleted are not offered.
        d->messages.erase(std::remove_if(d->messages.begin(), d->messages.end(),
                                         [](const auto& m) { return m->getFlags() & vnet::message::FLAG_DELETED; }),
                          d->messages.end());
        if (d->maildir) {
            // Only regular files are messages: a symbolic link (whose target
            // could be any file) or anything else in the folder is passed over.
            std::set<std::string> regular;
            d->files.clear();
            for (const maildirfiles::Entry& entry : maildirfiles::entries(d->store, d->folder->getFullPath()))
                if (entry.regular && regular.insert(entry.id).second)
                    d->files[entry.id] = entry.path;
                else if (entry.regular)
                    d->fileOf(entry.id, true); // two files of one message: the one with content
            d->identityPrefix = QStringLiteral("maildir:") + fromStd(url.getPath()) + QLatin1Char('|') + d->storeName +
                                QLatin1Char('#');
            // One message per file name, also when two files share it.
            std::set<std::string> listed;
            d->messages.erase(std::remove_if(d->messages.begin(), d->messages.end(),
                                             [&regular, &listed](const auto& m) {
                                                 return !regular.count(m->getUID()) ||
                                                        !listed.insert(m->getUID()).second;
                                             }),
                              d->messages.end());
            // Maildir names begin with the time of delivery: their order is the order of arrival.
            std::stable_sort(d->messages.begin(), d->messages.end(), [](const auto& a, const auto& b) {
                const std::string ua = a->getUID(), ub = b->getUID();
                return ua.size() != ub.size() ? ua.size() < ub.size() : ua < ub;
            });
        }
        if (!d->maildir) {
            // UIDs name the same messages only while the folder's UIDVALIDITY stays.
            const auto status = vmime::dynamicCast<vnet::imap::IMAPFolderStatus>(d->folder->getStatus());
            d->identityPrefix = QStringLiteral("imap:") + d->storeUser + QLatin1Char('@') + d->storeHost +
                                QLatin1Char('|') + d->storeName + QLatin1Char('|') +
                                QString::number(status ? status->getUIDValidity() : 0) + QLatin1Char('#');
        }
        d->cursor = 0;
        d->movedUids.clear();
        return MailResult{true, {}};
    } catch (const std::exception& e) {
        d->fail(tr("Cannot open the mailbox %1: %2").arg(storeText, describe(e)));
        try {
            if (d->store && d->store->isConnected())
                d->store->disconnect();
        } catch (const std::exception&) {
        }
        d->reset();
        return notOpen();
    }
}

bool Mailbox::MailGet(MailMessage& message)
{
    const auto msg = d->current();
    if (!msg)
        return false;
    d->senderProblem.clear();
    try {
        std::string raw;
        if (d->maildir) {
            // A file renamed since the listing is looked for once more.
            if (!maildirfiles::readFile(d->files[msg->getUID()], raw, mailtext::kMaxMessageBytes) &&
                (d->fileOf(msg->getUID(), true),
                 !maildirfiles::readFile(d->files[msg->getUID()], raw, mailtext::kMaxMessageBytes)))
                throw std::runtime_error(
                    tr("the file %1 cannot be read").arg(fromStd(d->files[msg->getUID()])).toStdString());
        } else {
            vmime::utility::outputStreamStringAdapter out(raw);
            // peek: the seen flag stays as it is
            msg->extract(out, nullptr, 0, mailtext::kMaxMessageBytes, true);
        }
        const QDeadlineTimer deadline(mailtext::kMessageMilliseconds);
        raw.resize(mailtext::boundedLength(raw));
        d->parsed = vmime::make_shared<vmime::message>();
        d->parsed->parse(raw);
        d->parsedAt = d->cursor;
        message = mailtext::read(d->parsed, deadline);
        d->senderProblem = mailtext::senderAddressProblem(raw, message.sender3);
        return true;
    } catch (const std::exception& e) {
        d->fail(tr("Cannot read a message: %1").arg(describe(e)));
        d->unreadable.insert(msg->getUID());
        message = MailMessage{};
        return true; // the message exists; it reads as empty and is passed over
    }
}

MailMessage Mailbox::readMessage(const QByteArray& raw)
{
    ensurePlatform();
    try {
        const QDeadlineTimer deadline(mailtext::kMessageMilliseconds);
        auto msg = vmime::make_shared<vmime::message>();
        const std::string_view text(raw.constData(), size_t(raw.size()));
        msg->parse(std::string(text.substr(0, mailtext::boundedLength(text))));
        return mailtext::read(msg, deadline);
    } catch (const std::exception&) {
        return MailMessage{};
    }
}

void Mailbox::MailNext()
{
    if (d->cursor < d->messages.size())
        ++d->cursor;
}

bool Mailbox::MailMark()
{
    const auto msg = d->current();
    if (!msg) {
        d->error = tr("Cannot mark a message: there is no current message");
        return false;
    }
    try {
        if (d->maildir)
            d->flagFile(msg->getUID(), maildirfiles::MessageFlag::Seen);
        else
            msg->setFlags(vnet::message::FLAG_SEEN, vnet::message::FLAG_MODE_ADD);
        return true;
    } catch (const std::exception& e) {
        return d->fail(tr("Cannot mark a message: %1").arg(describe(e)));
    }
}

bool Mailbox::MailMove()
{
    const auto msg = d->current();
    if (!msg) {
        d->error = tr("Cannot move a message: there is no current message");
        return false;
    }
    // Copied, then flagged deleted here; only the messages moved in this run
    // are removed, at close, so the positions of the others do not change
    // during a run.
    try {
        if (d->maildir)
            maildirfiles::copyInto(d->fileOf(msg->getUID(), false), d->saveDirs);
        else
            d->folder->copyMessages(d->savePath, vnet::messageSet::byNumber(msg->getNumber()));
    } catch (const std::exception& e) {
        return d->fail(tr("Cannot move a message: %1").arg(describe(e)));
    }
    try {
        if (d->maildir)
            d->flagFile(msg->getUID(), maildirfiles::MessageFlag::Deleted);
        else
            msg->setFlags(vnet::message::FLAG_DELETED, vnet::message::FLAG_MODE_ADD);
        d->movedUids.push_back(msg->getUID());
        return true;
    } catch (const std::exception& e) {
        return d->fail(tr("Cannot move a message: it was copied into %1, but stays in %2 too: %3")
                           .arg(d->saveName, d->storeName, describe(e)));
    }
}

bool Mailbox::MailSend(const QString& senderName, const QString&, const QString& address, const QString& subject,
                       const QString& text)
{
    if (!isOpen()) {
        d->error = tr("Cannot send the reply to %1: the mailbox is not open").arg(address);
        return false;
    }
    const QString to = address.mid(address.indexOf(QLatin1Char(':')) + 1).trimmed();
    // The library would send to another address, or read another one from
    // the message than the sender gave: no reply rather than a wrong one.
    QString refused = mailtext::addressProblem(to);
    if (refused.isEmpty() && d->parsedAt == d->cursor && !d->senderProblem.isEmpty())
        refused = d->senderProblem;
    if (!refused.isEmpty()) {
        d->error = tr("Cannot send the reply to %1: %2").arg(address, refused);
        return false;
    }
    try {
        QString from;
        if (d->transport && d->transport->user.contains(QLatin1Char('@')))
            from = d->transport->user;
        else if (d->transport && !d->transport->user.isEmpty())
            from = d->transport->user + QLatin1Char('@') + d->transport->host;
        else if (d->storeUser.contains(QLatin1Char('@')))
            from = d->storeUser;
        else if (!d->storeUser.isEmpty())
            from = d->storeUser + QLatin1Char('@') + d->storeHost;
        else
            from = QStringLiteral("kestrova@") + QHostInfo::localHostName();

        vmime::messageBuilder builder;
        builder.setExpeditor(vmime::mailbox(vmime::text(toStd(QStringLiteral("Kestrova"))), toStd(from)));
        builder.getRecipients().appendAddress(vmime::make_shared<vmime::mailbox>(
            vmime::text(toStd(senderName), vmime::charsets::UTF_8), vmime::emailAddress(toStd(to))));
        builder.setSubject(vmime::text(toStd(subject), vmime::charsets::UTF_8));
        builder.getTextPart()->setCharset(vmime::charsets::UTF_8);
        builder.getTextPart()->setText(vmime::make_shared<vmime::stringContentHandler>(toStd(text)));
        auto reply = builder.construct();

        // The reply names the message it answers.
        if (const auto original = d->parsedAt == d->cursor ? d->parsed : nullptr) {
            if (auto id = original->getHeader()->findField(vmime::fields::MESSAGE_ID)) {
                if (auto mid = id->getValue<vmime::messageId>()) {
                    auto seq = vmime::make_shared<vmime::messageIdSequence>();
                    seq->appendMessageId(vmime::make_shared<vmime::messageId>(*mid));
                    reply->getHeader()->InReplyTo()->setValue(seq);
                    auto refs = vmime::make_shared<vmime::messageIdSequence>();
                    if (auto old = original->getHeader()->findField(vmime::fields::REFERENCES))
                        if (auto oldSeq = old->getValue<vmime::messageIdSequence>())
                            for (size_t i = 0; i < oldSeq->getMessageIdCount(); ++i)
                                refs->appendMessageId(vmime::make_shared<vmime::messageId>(*oldSeq->getMessageIdAt(i)));
                    refs->appendMessageId(vmime::make_shared<vmime::messageId>(*mid));
                    reply->getHeader()->References()->setValue(refs);
                }
            }
        }

        if (!d->transport) {
            auto outbox = d->store->getFolder(folderPath(QStringLiteral("Outbox")));
            if (!outbox->exists()) {
                vnet::folderAttributes attributes;
                attributes.setType(vnet::folderAttributes::TYPE_CONTAINS_MESSAGES);
                outbox->create(attributes);
            }
            outbox->open(vnet::folder::MODE_READ_WRITE);
            outbox->addMessage(reply);
            outbox->close(false);
            return true;
        }
        const Endpoint& e = *d->transport;
        vmime::utility::url url(toStd(e.protocol), toStd(e.host),
                                e.port > 0 ? e.port : vmime::utility::url::UNSPECIFIED_PORT);
        auto transport = d->session->getTransport(url);
        if (e.protocol != QLatin1String("sendmail")) {
            if (!e.user.isEmpty()) {
                // With a user name, sending without authentication is an error.
                transport->setProperty("options.need-authentication", true);
                transport->setProperty("auth.username", toStd(e.user));
                transport->setProperty("auth.password", toStd(d->password));
            }
            if (e.protocol == QLatin1String("smtp")) {
                // STARTTLS whenever offered; required as soon as a user name
                // and password are to be sent.
                transport->setProperty("connection.tls", true);
                transport->setProperty("connection.tls.required", !e.user.isEmpty());
            }
            d->secure(transport);
        }
        transport->connect();
        try {
            transport->send(reply);
        } catch (...) {
            transport->disconnect();
            throw;
        }
        transport->disconnect();
        return true;
    } catch (const std::exception& e) {
        return d->fail(tr("Cannot send the reply to %1: %2").arg(address, describe(e)));
    }
}

bool Mailbox::MailClose()
{
    if (!isOpen())
        return true;
    bool ok = true;
    try {
        if (d->folder && d->folder->isOpen()) {
            if (d->movedUids.empty())
                d->folder->close(false);
            else if (d->maildir)
                maildirfiles::removeMoved(d->store, d->folder, d->movedUids);
            else
                imapexpunge::expungeMoved(d->store, d->folder, d->movedUids);
        }
        d->store->disconnect();
    } catch (const std::exception& e) {
        ok = d->fail(tr("Cannot remove the moved messages from the mailbox: %1").arg(describe(e)));
        try {
            if (d->store->isConnected())
                d->store->disconnect();
        } catch (const std::exception&) {
        }
    }
    d->reset();
    return ok;
}

} // namespace kestrova
