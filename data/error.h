#pragma once

#include <QString>
#include <stdexcept>

namespace kestrova {

// The one exception type of the program: a failed platform or database
// operation, or a value that cannot be converted. The message is shown to the
// user as it stands, followed by a full stop.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace kestrova
