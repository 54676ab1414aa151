#include "startup.h"

#include "aboutform.h"
#include "gridviewform.h"
#include "searchdialogs.h"
#include "guard.h"
#include "mainform.h"
#include "schema.h"

#include <QDir>

namespace kestrova {

Windows::Windows() = default;
Windows::~Windows() = default;
Windows::Windows(Windows&&) noexcept = default;
Windows& Windows::operator=(Windows&& other) noexcept
{
    // The other windows are children of the main window: they go first.
    about.reset();
    gridView.reset();
    sqlDlg.reset();
    personDlg.reset();
    main.reset();
    main = std::move(other.main);
    personDlg = std::move(other.personDlg);
    sqlDlg = std::move(other.sqlDlg);
    gridView = std::move(other.gridView);
    about = std::move(other.about);
    return *this;
}

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
    w.personDlg = std::make_unique<TPersonDlg>(&w.main->searches(), w.main.get());
    PersonDlg = w.personDlg.get();
    w.sqlDlg = std::make_unique<TSQLDlg>(&w.main->searches(), w.main.get());
    SQLDlg = w.sqlDlg.get();
    w.gridView = std::make_unique<TGridViewForm>(w.main->Dsale, w.main.get());
    GridViewForm = w.gridView.get();
    w.main->setSearchWindows(w.personDlg.get(), w.sqlDlg.get(), w.gridView.get());
    w.about = std::make_unique<TAboutForm>(w.main.get());
    AboutForm = w.about.get();
    w.main->setAboutForm(w.about.get());
    return w;
}

} // namespace kestrova
