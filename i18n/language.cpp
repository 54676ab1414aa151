#include "i18n/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kestrova {

namespace {

const QString kCatalogueFolder = QStringLiteral(":/i18n");

// "de-DE", "de_DE.UTF-8", "de_DE@euro" -> "de_DE"; "C", "POSIX" -> "en".
QString normalised(QString code)
{
    code = code.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    code.replace(QLatin1Char('-'), QLatin1Char('_'));
    if (code == QLatin1String("C") || code == QLatin1String("POSIX") || code.isEmpty())
        return QStringLiteral("en");
    return code;
}

// The catalogue language of `code`: itself ("de_AT") when there is one, else
// its language alone ("de"); "" when neither.
QString matching(const QString& code, const QStringList& available)
{
    if (available.contains(code))
        return code;
    const QString language = code.section(QLatin1Char('_'), 0, 0).toLower();
    return available.contains(language) ? language : QString();
}

} // namespace

QString languageArgument(const QStringList& arguments)
{
    const QString option = QStringLiteral("--language");
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--"))
            break;
        if (arguments[i] == option && i + 1 < arguments.size())
            return arguments[i + 1];
        if (arguments[i].startsWith(option + QLatin1Char('=')))
            return arguments[i].mid(option.size() + 1);
    }
    return {};
}

QStringList availableLanguages(const QString& catalogue)
{
    QStringList out;
    const QString prefix = catalogue + QLatin1Char('_');
    for (const QString& name : QDir(kCatalogueFolder).entryList({prefix + QStringLiteral("*.qm")}, QDir::Files))
        out << name.mid(prefix.size()).chopped(3);
    return out;
}

QString chooseLanguage(const QString& requested, const QStringList& uiLanguages, const QStringList& available)
{
    const QStringList wanted = requested.isEmpty() ? uiLanguages : QStringList{requested};
    for (const QString& raw : wanted) {
        const QString code = normalised(raw);
        if (code.section(QLatin1Char('_'), 0, 0).toLower() == QLatin1String("en"))
            return {};
        const QString found = matching(code, available);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString installTranslations(QCoreApplication& app, const QString& language, const QStringList& catalogues)
{
    if (language.isEmpty())
        return {};
    bool any = false;
    for (const QString& catalogue : catalogues) {
        auto* translator = new QTranslator(&app);
        if (translator->load(catalogue + QLatin1Char('_') + language, kCatalogueFolder)) {
            QCoreApplication::installTranslator(translator);
            any = true;
        } else {
            delete translator;
        }
    }
    if (!any)
        return {};
    // Qt's own texts; a system without them keeps those English.
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return language;
}

QString installDesktopLanguage(QCoreApplication& app, const QString& requested, const QStringList& catalogues)
{
    const QString language =
        chooseLanguage(requested, QLocale::system().uiLanguages(), availableLanguages(catalogues.value(0)));
    return installTranslations(app, language, catalogues);
}

} // namespace kestrova
