#pragma once

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

// The mailbox of the order intake: seven operations over a Maildir folder
// or an IMAP(S) store, replies over SMTP(S), sendmail or into the store's
// Outbox folder. The library keeps a cursor on the message being examined.
// No failure escapes as an exception: MailOpen and MailGet report through
// their results, the others quietly, and lastError() says what went wrong.
class Mailbox {
public:
    static constexpr int kSenderCharacters = 128;
    static constexpr int kSubjectCharacters = 128;
    static constexpr int kBodyCharacters = 4096;

    struct Options {
        QString workDir;           // a relative Maildir path is taken from here
        QString trustedCertificates; // PEM bundle; empty: the system's CA store
        int timeoutSeconds = 20;     // for every network operation
    };

    Mailbox();
    explicit Mailbox(const Options& options);
    ~Mailbox();
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    // 0: open, the cursor on the first message to examine; other: not open.
    int MailOpen(quintptr window, const QString& application, const QString& profile, const QString& password,
                 const QString& messageStore, const QString& saveFolder);
    // True with the current message's texts; false when there is none left.
    // Reading a message changes none of its flags.
    bool MailGet(MailMessage& message);
    void MailNext();
    void MailMark();
    void MailMove();
    // Sends a reply to the current message; address is "type:address".
    void MailSend(quintptr window, const QString& senderName, const QString& senderType, const QString& address,
                  const QString& subject, const QString& text);
    void MailClose(quintptr window);

    bool isOpen() const;
    QString lastError() const;

    // The texts of a raw message, for tests and tools.
    static MailMessage readMessage(const QByteArray& raw);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kestrova
