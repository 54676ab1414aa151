#include "writer/einvoice.h"

#include "data/companyfields.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

namespace kestrova::writer {
namespace {

// ISO 3166 alpha-3 codes, each followed by its alpha-2 code.
const char* const kAlpha3 =
    "ABWAW AFGAF AGOAO AIAAI ALAAX ALBAL ANDAD AREAE ARGAR ARMAM ASMAS ATAAQ ATFTF ATGAG AUSAU AUTAT AZEAZ BDIBI "
    "BELBE BENBJ BESBQ BFABF BGDBD BGRBG BHRBH BHSBS BIHBA BLMBL BLRBY BLZBZ BMUBM BOLBO BRABR BRBBB BRNBN BTNBT "
    "BVTBV BWABW CAFCF CANCA CCKCC CHECH CHLCL CHNCN CIVCI CMRCM CODCD COGCG COKCK COLCO COMKM CPVCV CRICR CUBCU "
    "CUWCW CXRCX CYMKY CYPCY CZECZ DEUDE DJIDJ DMADM DNKDK DOMDO DZADZ ECUEC EGYEG ERIER ESHEH ESPES ESTEE ETHET "
    "FINFI FJIFJ FLKFK FRAFR FROFO FSMFM GABGA GBRGB GEOGE GGYGG GHAGH GIBGI GINGN GLPGP GMBGM GNBGW GNQGQ GRCGR "
    "GRDGD GRLGL GTMGT GUFGF GUMGU GUYGY HKGHK HMDHM HNDHN HRVHR HTIHT HUNHU IDNID IMNIM INDIN IOTIO IRLIE IRNIR "
    "IRQIQ ISLIS ISRIL ITAIT JAMJM JEYJE JORJO JPNJP KAZKZ KENKE KGZKG KHMKH KIRKI KNAKN KORKR KWTKW LAOLA LBNLB "
    "LBRLR LBYLY LCALC LIELI LKALK LSOLS LTULT LUXLU LVALV MACMO MAFMF MARMA MCOMC MDAMD MDGMG MDVMV MEXMX MHLMH "
    "MKDMK MLIML MLTMT MMRMM MNEME MNGMN MNPMP MOZMZ MRTMR MSRMS MTQMQ MUSMU MWIMW MYSMY MYTYT NAMNA NCLNC NERNE "
    "NFKNF NGANG NICNI NIUNU NLDNL NORNO NPLNP NRUNR NZLNZ OMNOM PAKPK PANPA PCNPN PERPE PHLPH PLWPW PNGPG POLPL "
    "PRIPR PRKKP PRTPT PRYPY PSEPS PYFPF QATQA REURE ROURO RUSRU RWARW SAUSA SDNSD SENSN SGPSG SGSGS SHNSH SJMSJ "
    "SLBSB SLESL SLVSV SMRSM SOMSO SPMPM SRBRS SSDSS STPST SURSR SVKSK SVNSI SWESE SWZSZ SXMSX SYCSC SYRSY TCATC "
    "TCDTD TGOTG THATH TJKTJ TKLTK TKMTM TLSTL TONTO TTOTT TUNTN TURTR TUVTV TWNTW TZATZ UGAUG UKRUA UMIUM URYUY "
    "USAUS UZBUZ VATVA VCTVC VENVE VGBVG VIRVI VNMVN VUTVU WLFWF WSMWS YEMYE ZAFZA ZMBZM ZWEZW ";

// The German names of the countries Kestrova's customers mostly live in;
// Qt's locale data knows German names only for the German-speaking ones.
const char* const kGermanNames[][2] = {
    {"Belgien", "BE"},
    {"Bulgarien", "BG"},
    {"Dänemark", "DK"},
    {"Estland", "EE"},
    {"Finnland", "FI"},
    {"Frankreich", "FR"},
    {"Griechenland", "GR"},
    {"Irland", "IE"},
    {"Italien", "IT"},
    {"Kroatien", "HR"},
    {"Lettland", "LV"},
    {"Litauen", "LT"},
    {"Luxemburg", "LU"},
    {"Malta", "MT"},
    {"Niederlande", "NL"},
    {"Polen", "PL"},
    {"Portugal", "PT"},
    {"Rumänien", "RO"},
    {"Schweden", "SE"},
    {"Slowakei", "SK"},
    {"Slowenien", "SI"},
    {"Spanien", "ES"},
    {"Tschechien", "CZ"},
    {"Tschechische Republik", "CZ"},
    {"Ungarn", "HU"},
    {"Zypern", "CY"},
    {"Norwegen", "NO"},
    {"Island", "IS"},
    {"Vereinigtes Königreich", "GB"},
    {"Großbritannien", "GB"},
    {"Vereinigte Staaten", "US"},
    {"Vereinigte Staaten von Amerika", "US"},
    {"Kanada", "CA"},
    {"Australien", "AU"},
    {"Neuseeland", "NZ"},
    {"Japan", "JP"},
    {"China", "CN"},
    {"Indien", "IN"},
    {"Brasilien", "BR"},
    {"Mexiko", "MX"},
    {"Türkei", "TR"},
    {"Russland", "RU"},
    {"Ukraine", "UA"},
    {"Serbien", "RS"},
    {"Südafrika", "ZA"},
    {"Israel", "IL"},
    {"Singapur", "SG"},
    {"Südkorea", "KR"},
};

// Names in common use that are neither the English nor the native one.
const char* const kOtherNames[][2] = {
    {"UK", "GB"},      {"Great Britain", "GB"},
    {"England", "GB"}, {"Scotland", "GB"},
    {"Wales", "GB"},   {"USA", "US"},
    {"U.S.A.", "US"},  {"United States of America", "US"},
    {"Holland", "NL"}, {"Czech Republic", "CZ"},
};

QString nameKey(const QString& name)
{
    QString key = name.simplified().toCaseFolded();
    while (key.endsWith(QLatin1Char('.')) && key.count(QLatin1Char('.')) == 1)
        key.chop(1);
    return key;
}

// Every name and code of every country Qt's locale data knows, made once.
const QHash<QString, QString>& countryNames()
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> out;
        const auto add = [&](const QString& name, const QString& code) {
            if (!name.trimmed().isEmpty() && code.size() == 2)
                out.insert(nameKey(name), code);
        };
        for (int t = QLocale::AnyTerritory + 1; t <= QLocale::LastTerritory; ++t) {
            const auto territory = QLocale::Territory(t);
            const QString code = QLocale::territoryToCode(territory);
            if (code.size() != 2 || !code.at(0).isLetter())
                continue;
            add(code, code);
            add(QLocale::territoryToString(territory), code);
            for (const QLocale& l : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, territory))
                add(l.nativeTerritoryName(), code);
        }
        const QStringList alpha3 = QString::fromLatin1(kAlpha3).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& pair : alpha3)
            add(pair.left(3), pair.mid(3));
        for (const auto& [name, code] : kGermanNames)
            add(QString::fromUtf8(name), QString::fromLatin1(code));
        for (const auto& [name, code] : kOtherNames)
            add(QString::fromUtf8(name), QString::fromLatin1(code));
        return out;
    }();
    return names;
}

// "VAT ID: ATU12345678": a label ending in a colon, then the identifier.
const QRegularExpression kLabelled(QStringLiteral("^[^:]{1,40}:\\s*(.+)$"));
// The number alone: the country prefix, then letters and digits.
const QRegularExpression kVatShape(QStringLiteral("^([A-Z]{2})([0-9A-Z+*]{2,13})$"));

bool isVatPrefix(const QString& prefix)
{
    static const QStringList others{QStringLiteral("EL"), QStringLiteral("XI"), QStringLiteral("GB"),
                                    QStringLiteral("CH"), QStringLiteral("NO"), QStringLiteral("IS"),
                                    QStringLiteral("LI")};
    return (euMembers().contains(prefix) && prefix != QLatin1String("GR")) || others.contains(prefix);
}

int digitCount(const QString& s)
{
    return int(std::count_if(s.begin(), s.end(), [](QChar c) { return c.isDigit(); }));
}

// The identifier on a line of the address, or empty. Without a label the
// line must be the number alone, with a known prefix and mostly digits, so a
// city and postcode ("Reading RG1 8DN") is never taken for one.
QString vatIdOnLine(const QString& line)
{
    const auto labelled = kLabelled.match(line);
    const QString id = vatIdentifier(labelled.hasMatch() ? labelled.captured(1) : line);
    if (id.isEmpty())
        return {};
    if (labelled.hasMatch())
        return digitCount(id) >= 2 ? id : QString();
    return isVatPrefix(id.left(2)) && digitCount(id) >= 5 ? id : QString();
}

struct PostcodeForm {
    QRegularExpression pattern;
    int postcode; // the captured group of each part; 0: none
    int city;
};

// The forms of the postcode and city line: the country's own first, then
// the common ones (postcode before the city, or after it).
QList<PostcodeForm> postcodeForms(const QString& country)
{
    QList<PostcodeForm> out;
    if (country == QLatin1String("US") || country == QLatin1String("CA") || country == QLatin1String("AU"))
        out << PostcodeForm{QRegularExpression(QStringLiteral(
                                "^(.+?),?\\s+([A-Z]{2,3})\\s+(\\d{4,5}(?:-\\d{4})?|[A-Z]\\d[A-Z]\\s?\\d[A-Z]\\d)$")),
                            3, 1};
    if (country == QLatin1String("GB") || country == QLatin1String("IE"))
        out << PostcodeForm{QRegularExpression(QStringLiteral(
                                "^(.+?),?\\s+([A-Z]{1,2}\\d[A-Z\\d]?\\s*\\d[A-Z]{2}|[A-Z]\\d{2}\\s?[A-Z\\d]{4})$")),
                            2, 1};
    // "1012 AB Amsterdam", "80336 München", "D-80336 München", "1010 Wien".
    out << PostcodeForm{QRegularExpression(QStringLiteral("^((?:[A-Z]{1,2}-)?\\d{4}\\s?[A-Z]{2}(?=\\s)|(?:[A-Z]{1,"
                                                          "2}-)?\\d[\\d-]{2,9}\\d?)\\s+(\\D.*)$")),
                        1, 2};
    out << PostcodeForm{QRegularExpression(QStringLiteral("^(\\D.*?),?\\s+(\\d[\\d-]{2,9})$")), 2, 1};
    return out;
}

} // namespace

QString vatIdentifier(const QString& text)
{
    QString id = text.toUpper();
    id.remove(QRegularExpression(QStringLiteral("[\\s.\\-]")));
    return kVatShape.match(id).hasMatch() ? id : QString();
}

QString countryCode(const QString& text)
{
    return countryNames().value(nameKey(text));
}

BillingAddress parseBillingAddress(const QString& text, const QString& homeCountry)
{
    BillingAddress out;
    QStringList lines;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.simplified();
        if (line.isEmpty())
            continue;
        const QString id = out.vatId.isEmpty() ? vatIdOnLine(line) : QString();
        if (!id.isEmpty())
            out.vatId = id;
        else
            lines << line;
    }
    out.postal.country = homeCountry;
    if (!lines.isEmpty()) {
        const QString code = countryCode(lines.last());
        if (!code.isEmpty()) {
            out.postal.country = code;
            out.countryNamed = true;
            lines.removeLast();
        } else if (lines.size() >= 3 && digitCount(lines.last()) == 0 && digitCount(lines.at(lines.size() - 2)) > 0) {
            // A line without a number below the postcode's line stands where
            // the country goes, but names none Kestrova knows.
            out.unknownCountry = lines.last();
        }
    }
    if (lines.isEmpty())
        return out;
    const QString place = lines.takeLast();
    bool matched = false;
    for (const PostcodeForm& form : postcodeForms(out.postal.country)) {
        const auto m = form.pattern.match(place);
        if (m.hasMatch()) {
            out.postal.postcode = m.captured(form.postcode);
            out.postal.city = m.captured(form.city).trimmed();
            matched = true;
            break;
        }
    }
    if (!matched)
        out.postal.city = place;
    out.postal.lines = lines;
    return out;
}

} // namespace kestrova::writer
