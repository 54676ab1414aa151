#pragma once

#include "writer/commandparser.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <memory>

namespace kestrova::writer {

class ExchangeTable;
class Viewer;

// One conversation opened by Connect: it carries out macro texts in the
// writer's working folder and remembers the last PDF it wrote, for [Open].
// Templates come from `templateFolders` (by default the working folder's
// templates/).
class Conversation {
    Q_DECLARE_TR_FUNCTIONS(Conversation)

public:
    Conversation(const QString& workDir, Viewer& viewer, const QStringList& templateFolders = {});
    ~Conversation();

    // Carries out every command of the macro text in order, reading the
    // exchange table in one read transaction for the whole text. Returns true
    // when a [Quit] asked the writer to end; commands after it are not run.
    // Throws WriterError for the first command that fails; the ones before it
    // keep their effect. Documents are made on a thread of their own while
    // the event loop runs (see runInBackground).
    bool execute(const QString& macro);

    const QString& lastPdf() const { return m_lastPdf; }

private:
    void runDocument(const Command& command, ExchangeTable& table);
    void sendMail(const Command& command, ExchangeTable& table);
    void writeXRechnung(const Command& command, ExchangeTable& table);
    ExchangeTable& table();

    QString m_workDir;
    Viewer& m_viewer;
    QStringList m_templateFolders;
    QString m_lastPdf;
    std::unique_ptr<ExchangeTable> m_table; // only while a macro runs
};

} // namespace kestrova::writer
