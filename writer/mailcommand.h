#pragma once

#include <QString>

namespace kestrova::writer {

// A message for the desktop's mail program: who gets it, its subject and
// the file attached, all with their markers already filled in.
struct MailRequest {
    QString recipient;
    QString subject;
    QString file; // as the macro gave it: relative to the working folder
};

// Longest time the mail program is awaited. One that is still running by
// then (a mail program started anew keeps xdg-email waiting) has the message.
constexpr int kMailProgramWaitMs = 15000;

// Hands the request to the desktop's mail program through `xdg-email
// --subject SUBJECT --attach FILE RECIPIENT`, every value a separate argument
// and no shell in between. Throws WriterError: BadArguments for a recipient
// that is not one e-mail address or a file outside the working folder,
// MailFailed for a missing file, a missing xdg-email or a mail program that
// could not take the message, with xdg-email's own reason.
void handToMailProgram(const MailRequest& request, const QString& workDir);

// The file named by `relative` below `workDir`, as an absolute path: a
// relative path without `..`, no symbolic link on the way, a regular file.
// Throws WriterError (BadArguments, or MailFailed for a missing file).
QString attachableFile(const QString& relative, const QString& workDir);

// Whether `text` is one plain e-mail address (local part, `@`, a domain with
// at least one dot), nothing before or after it.
bool isMailAddress(const QString& text);

} // namespace kestrova::writer
