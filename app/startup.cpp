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

#include <QCoreApplication>
#include <QDir>

namespace kestrova {

Windows::Windows() = default;
Windows::~Windows() = default;
Windows::Windows(Windows&&) noexcept = default;
// The main window is replaced first, taking its windows with it.
Windows& Windows::operator=(Windows&&) noexcept = default;

Windows startKestrova(const QString& workDir)
{
    Windows w;
    if (!recoverParadoxConversion(workDir) || !offerParadoxConversion(workDir))
        return w;
    if (folderHasNoTables(workDir)) {
        const QString question =
            QCoreApplication::translate("app::Startup",
                                        "No tables were found in %1.\nCreate a new, empty set of tables there?")
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
    TMainForm* main = w.main.get();
    const LocaleFormat& fmt = main->localeFormat();
    w.personDlg = new TPersonDlg(&main->searches(), main);
    w.sqlDlg = new TSQLDlg(&main->searches(), main);
    w.mailDlg = new TMailDlg(
        &main->data(), &main->distributorDocuments(), [main] { return main->distributors()->shownDistributor(); },
        main);
    w.mailingDlg = new TMailingDlg(&main->data(), &main->distributorDocuments(), main);
    w.gridView = new TGridViewForm(main->data().Dsale, main);
    w.about = new TAboutForm(main);
    w.labelsDlg = new TLabelsDlg(&main->data(), &main->distributorDocuments(), main);
    w.accounting = new TAccountingForm(workDir, fmt, main);
    w.dateDlg = new TDateDlg(w.accounting, fmt, main);
    w.progress = new TProgressForm(main);
    main->attachWindows(
        {w.about, w.personDlg, w.sqlDlg, w.gridView, w.dateDlg, w.progress, w.mailDlg, w.mailingDlg, w.labelsDlg});
    return w;
}

} // namespace kestrova
