#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace kestrova {

// The language of Kestrova's texts. English is the source language and needs
// no catalogue; every other language is a set of compiled catalogues built
// into the program under :/i18n (kestrova_de.qm, kestrova-writer_de.qm, ...).

// The value of the command line's --language option ("--language de" or
// "--language=de"), read before the program parses its options so that its
// usage text can already be translated; "" when absent.
QString languageArgument(const QStringList& arguments);

// The languages there are catalogues of `catalogue` for ("de", ...).
QStringList availableLanguages(const QString& catalogue = QStringLiteral("kestrova"));

// The language to show: `requested` (a code such as "de" or "de_AT", from
// --language) when given, otherwise the first of the desktop's languages in
// its order of preference (`uiLanguages`, as QLocale::uiLanguages() gives
// them). English, or a language without catalogues, comes out as "": the
// source texts. A preferred English is kept even when a later choice has a
// catalogue.
QString chooseLanguage(const QString& requested, const QStringList& uiLanguages, const QStringList& available);

// Installs the catalogues of `language` into the application: each of
// `catalogues` from the built-in ones, then Qt's own (standard buttons,
// dialogs) from Qt's translations folder. Returns the language installed;
// "" when there is none, the texts staying English. The translators live as
// long as the application.
QString installTranslations(QCoreApplication& app, const QString& language, const QStringList& catalogues);

// chooseLanguage over the desktop's languages, then installTranslations.
QString installDesktopLanguage(QCoreApplication& app, const QString& requested, const QStringList& catalogues);

} // namespace kestrova
