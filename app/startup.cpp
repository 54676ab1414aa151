#include "app/startup.h"

#include "setup/firststartwizard.h"
#include "setup/newset.h"

#include "app/aboutform.h"
#include "reports/accountingform.h"
#include "pages/distributorspage.h"
#include "documents/documentdialogs.h"
#include "reports/progressform.h"
#include "app/firststart.h"
#include "orders/gridviewform.h"
#include "orders/searchdialogs.h"
#include "widgets/guard.h"
#include "app/mainform.h"
#include "data/schema.h"

#include <QDir>

namespace kestrova {

Windows::Windows() = default;
Windows::~Windows() = default;
Windows::Windows(Windows&&) noexcept = default;
Windows& Windows::operator=(Windows&& other) noexcept
{
    // The other windows are children of the main window: they go first.
    progress.reset();
    dateDlg.reset();
    accounting.reset();
    labelsDlg.reset();
    about.reset();
    gridView.reset();
    mailingDlg.reset();
    mailDlg.reset();
    sqlDlg.reset();
    personDlg.reset();
    main.reset();
    main = std::move(other.main);
    personDlg = std::move(other.personDlg);
    sqlDlg = std::move(other.sqlDlg);
    mailDlg = std::move(other.mailDlg);
    mailingDlg = std::move(other.mailingDlg);
    gridView = std::move(other.gridView);
    about = std::move(other.about);
    labelsDlg = std::move(other.labelsDlg);
    accounting = std::move(other.accounting);
    dateDlg = std::move(other.dateDlg);
    progress = std::move(other.progress);
    return *this;
}

Windows startKestrova(const QString& workDir)
{
    Windows w;
    if (!recoverParadoxConversion(workDir) || !offerParadoxConversion(workDir))
        return w;
    if (folderHasNoTables(workDir)) {
        const QString question = QStringLiteral("No tables were found in %1.\nCreate a new, empty set of tables there?")
                                     .arg(QDir::toNativeSeparators(workDir));
        if (!prompter().ask(question))
            return w;
        const ShippedFiles shipped = ShippedFiles::ofThisProgram();
        if (!guarded([&] { createNewTableSet(workDir, shipped, QLocale::system().language()); }))
            return w;
        // The assistant fills in the company and a first product; Cancel
        // keeps the new set as it is.
        FirstStartWizard assistant(workDir, shipped.templates);
        prompter().fillIn(assistant);
    }
    if (!guarded([&] { w.main = std::make_unique<TMainForm>(workDir); }))
        return w;
    w.personDlg = std::make_unique<TPersonDlg>(&w.main->searches(), w.main.get());
    w.sqlDlg = std::make_unique<TSQLDlg>(&w.main->searches(), w.main.get());
    TMainForm* main = w.main.get();
    w.mailDlg = std::make_unique<TMailDlg>(
        &main->data(), &main->distributorDocuments(), [main] { return main->distributors()->shownDistributor(); },
        main);
    w.mailingDlg = std::make_unique<TMailingDlg>(&main->data(), &main->distributorDocuments(), main);
    w.gridView = std::make_unique<TGridViewForm>(w.main->data().Dsale, w.main.get());
    w.main->setSearchWindows(w.personDlg.get(), w.sqlDlg.get(), w.gridView.get());
    w.about = std::make_unique<TAboutForm>(w.main.get());
    w.main->setAboutForm(w.about.get());
    w.labelsDlg = std::make_unique<TLabelsDlg>(&main->data(), &main->distributorDocuments(), main);
    w.main->setDocumentWindows(w.mailDlg.get(), w.mailingDlg.get(), w.labelsDlg.get());
    w.accounting = std::make_unique<TAccountingForm>(workDir, w.main->localeFormat(), w.main.get());
    w.dateDlg = std::make_unique<TDateDlg>(w.accounting.get(), w.main->localeFormat(), w.main.get());
    w.progress = std::make_unique<TProgressForm>(w.main.get());
    w.main->setReportWindows(w.dateDlg.get(), w.progress.get());
    return w;
}

} // namespace kestrova
