#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

namespace kestrova {

// One message as the intake sees it: the sender (display name, address
// type, address), the subject and the plain text of the body.
struct MailMessage {
    QString sender1;
    QString sender2;
    QString sender3;
    QString subject;
    QString body;
};

// The account a mailbox opens: the texts of the settings Profile, Password,
// MessageStore and SaveFolder.
struct MailSettings {
    QString profile;      // the store, optionally followed by a blank and a sending URL
    QString password;     // for the store and the sending server
    QString messageStore; // the folder of the notifications; INBOX when empty
    QString saveFolder;   // where processed messages go; it must exist
};

// Whether a mailbox operation worked, and why not when it did not.
struct MailResult {
    bool ok = false;
    QString reason; // empty when it worked

    explicit operator bool() const { return ok; }
};

// The mailbox of the order intake: seven operations over a Maildir folder
// or an IMAP(S) store, replies over SMTP(S), sendmail or into the store's
// Outbox folder. The library keeps a cursor on the message being examined.
// No failure escapes as an exception: every operation but MailNext reports
// through its result whether it worked, and lastError() says what went
// wrong.
//
// Whenever a user name and password are sent (imap://, and smtp:// with a
// user), the connection must be encrypted first: a server that does not
// offer STARTTLS is refused. imaps:// and smtps:// are encrypted from the
// start.
class Mailbox {
    Q_DECLARE_TR_FUNCTIONS(Mailbox)

public:
    static constexpr int kSenderCharacters = 128;
    static constexpr int kSubjectCharacters = 128;
    static constexpr int kBodyCharacters = 4096;

    struct Options {
        QString workDir;             // a relative Maildir path is taken from here
        QString trustedCertificates; // PEM bundle; empty: the system's CA store
        int timeoutSeconds = 20;     // for every network operation
    };

    Mailbox();
    explicit Mailbox(const Options& options);
    ~Mailbox();
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    // Opens the account, the cursor on the first message to examine; a
    // mailbox already open is closed first. The result says why it is not
    // open when it is not.
    MailResult MailOpen(const MailSettings& settings);
    // True with the current message's texts; false when there is none left.
    // Reading a message changes none of its flags. Only regular files of a
    // Maildir folder are messages (links and other entries are passed
    // over, and a cur/ or new/ that is a link is refused by MailOpen);
    // messages already flagged deleted are not offered. A message that
    // cannot be read is given as empty and counted (unreadableCount()).
    bool MailGet(MailMessage& message);
    void MailNext();
    // Marks the current message as seen. False when there is none or the
    // mark could not be set. In a Maildir folder a flag is set by renaming
    // the file, so a kill leaves it with or without the flag, never twice.
    bool MailMark();
    // Copies the current message into the save folder and flags it deleted
    // here; MailClose removes it. False when either step failed (after a
    // failed flag the message is in both folders, and lastError says so).
    bool MailMove();
    // Sends a reply to the current message; address is "type:address".
    // False when it was not sent, also when the mail library cannot send to
    // the address unchanged (or could not read the sender's address
    // unchanged from the message): a reply never goes to another address.
    bool MailSend(const QString& senderName, const QString& senderType, const QString& address, const QString& subject,
                  const QString& text);
    // Removes the messages moved in this run, and only those (a message
    // that another program flagged deleted stays), and closes. False when
    // the moved messages could not be removed; the mailbox is closed all
    // the same.
    bool MailClose();

    bool isOpen() const;
    QString lastError() const;

    // The current message's identity, the same in every run for as long as
    // the message stays in its folder (its flags may change); empty when
    // there is no current message.
    QString currentIdentity() const;
    // Messages of this folder that an earlier run flagged deleted when it
    // moved them but did not get to remove: MailClose removes them with
    // those moved in this run. Identities of other folders are passed over.
    void removeAtClose(const QStringList& identities);
    // The messages of this run that could not be read (each counted once):
    // MailGet gives them as empty messages and they stay in the mailbox.
    int unreadableCount() const;

    // The texts of a raw message, for tests and tools.
    static MailMessage readMessage(const QByteArray& raw);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kestrova
