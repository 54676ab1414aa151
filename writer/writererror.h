#pragma once

#include <QString>
#include <stdexcept>

namespace kestrova::writer {

// The one failure type of the writer. The kind names the D-Bus error that
// answers the execute request; the message is shown to the user as it stands.
class WriterError : public std::runtime_error {
public:
    enum Kind {
        UnknownCommand,
        BadArguments,
        MissingTemplate,
        BadTemplate,
        BadPageSize,
        ExchangeTable,
        UnwritableOutput,
        UnknownQueue,
        NoDocument,
        ViewerFailed,
        NoConversation,
        RefusedPath,
        Busy,
        PrintRefused,
        MailFailed,
        Settings,
        EInvoice,
    };

    WriterError(Kind kind, const QString& message)
        : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message)
    {
    }
    Kind kind() const noexcept { return m_kind; }
    const QString& message() const noexcept { return m_message; }
    // The D-Bus error name, e.g. "org.kestrova.Dde.Error.MissingTemplate".
    QString dbusName() const;

private:
    Kind m_kind;
    QString m_message;
};

inline QString WriterError::dbusName() const
{
    static const char* const names[] = {
        "UnknownCommand", "BadArguments",  "MissingTemplate",  "BadTemplate",
        "BadPageSize",    "ExchangeTable", "UnwritableOutput", "UnknownQueue",
        "NoDocument",     "ViewerFailed",  "NoConversation",   "RefusedPath",
        "Busy",           "PrintRefused",  "MailFailed",       "Settings",
        "EInvoice",
    };
    return QStringLiteral("org.kestrova.Dde.Error.") + QLatin1String(names[m_kind]);
}

} // namespace kestrova::writer
