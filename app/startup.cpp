#include "startup.h"

#include "aboutform.h"
#include "guard.h"
#include "mainform.h"
#include "schema.h"

#include <QDir>

namespace kestrova {

Windows startKestrova(const QString& workDir)
{
    Windows w;
    if (folderHasNoTables(workDir)) {
        const QString question =
            QStringLiteral("No tables were found in %1.\nCreate a new, empty set of tables there?")
                .arg(QDir::toNativeSeparators(workDir));
        if (!prompter().ask(question))
            return w;
        if (!guarded([&] { createEmptyTableSet(workDir); }))
            return w;
    }
    if (!guarded([&] { w.main = std::make_unique<TMainForm>(workDir); }))
        return w;
    MainForm = w.main.get();
    w.about = std::make_unique<TAboutForm>(w.main.get());
    AboutForm = w.about.get();
    w.main->setAboutForm(w.about.get());
    return w;
}

} // namespace kestrova
