#include "setup/newset.h"

#include "data/error.h"
#include "data/tableset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kestrova {

namespace {

const QString kLibraryName = QStringLiteral("function.dll");
// The numbering function of the sample library.
const char* const kNumberingFunction = "NextInvoiceNumber";

QByteArray literal(const QString& text)
{
    QString quotedText = text;
    quotedText.replace(QLatin1Char('\''), QStringLiteral("''"));
    return "'" + quotedText.toUtf8() + "'";
}

struct Pair {
    const char* first;
    const char* second;
};

// Copies the library beside the tables through a temporary file, so that a
// failed copy leaves no half library that would fail to load.
void copyLibrary(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw Error(QCoreApplication::translate("setup::NewSet", "Cannot read the sample function library %1: %2")
                        .arg(QDir::toNativeSeparators(from), source.errorString()));
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly) || target.write(source.readAll()) < 0 || !target.commit())
        throw Error(QCoreApplication::translate("setup::NewSet", "Cannot write the function library %1: %2")
                        .arg(QDir::toNativeSeparators(to), target.errorString()));
}

} // namespace

QByteArray newSetScript(QLocale::Language language, bool withFunctionLibrary)
{
    const bool german = language == QLocale::German;
    static const Pair settings[] = {{"CommandLine", "kestrova-writer"},
                                    {"DdeService", "org.kestrova.Writer"},
                                    {"DdeTopic", "System"},
                                    {"LastDdeMacro", "[Quit]"}};
    static const Pair englishTitles[] = {{"Mr", "Dear Mr"}, {"Mrs", "Dear Mrs"}, {"Ms", "Dear Ms"}, {"Dr", "Dear Dr"}};
    static const Pair germanTitles[] = {{"Herr", "Sehr geehrter Herr"},
                                        {"Frau", "Sehr geehrte Frau"},
                                        {"Herr Dr.", "Sehr geehrter Herr Dr."},
                                        {"Frau Dr.", "Sehr geehrte Frau Dr."}};
    static const char* const englishMeans[] = {"Transfer", "Card", "Cash", "Cheque"};
    static const char* const germanMeans[] = {"Rechnung", "Karte", "Bar", "Vorkasse"};

    QByteArray script;
    for (const Pair& p : settings)
        script += "UPDATE Xtable SET Value = " + literal(QString::fromUtf8(p.second)) +
                  " WHERE Name = " + literal(QString::fromUtf8(p.first)) + ";\n";
    if (withFunctionLibrary) {
        script += "UPDATE Xtable SET Value = " + literal(QString::fromLatin1(kNumberingFunction)) +
                  " WHERE Name = 'InvoiceFunction';\n";
        // The sample numbering counts on from the last number: the first
        // invoice of the year gets YYYY-0001.
        script += "UPDATE Xtable SET Value = strftime('%Y', 'now', 'localtime') || '-0000' "
                  "WHERE Name = 'LastInvoiceNumber';\n";
    }
    for (const Pair& t : german ? germanTitles : englishTitles)
        script += "INSERT INTO Xtitle (Title, Politeness) VALUES (" + literal(QString::fromUtf8(t.first)) + ", " +
                  literal(QString::fromUtf8(t.second)) + ");\n";
    for (const char* means : german ? germanMeans : englishMeans)
        script += "INSERT INTO Xpayment (PaymentMeans) VALUES (" + literal(QString::fromUtf8(means)) + ");\n";
    script += "INSERT INTO Xorigin (Origin) VALUES (" +
              literal(german ? QStringLiteral("Direkt") : QStringLiteral("Direct")) + ");\n";
    return script;
}

void createNewTableSet(const QString& dir, const ShippedFiles& shipped, QLocale::Language language)
{
    const QString library = QDir(dir).filePath(kLibraryName);
    const bool copy = !shipped.functionLibrary.isEmpty() && !QFileInfo::exists(library);
    if (copy) {
        if (!QDir().mkpath(dir))
            throw Error(QCoreApplication::translate("setup::NewSet", "Cannot create the folder %1")
                            .arg(QDir::toNativeSeparators(dir)));
        copyLibrary(shipped.functionLibrary, library);
    }
    try {
        fillTableSet(dir, newSetScript(language, copy), QStringLiteral("the new set"));
    } catch (...) {
        if (copy)
            QFile::remove(library);
        throw;
    }
}

} // namespace kestrova
