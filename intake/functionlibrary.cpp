#include "functionlibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <dlfcn.h>

namespace kestrova {

namespace {

const int kCapacities[NotificationAreas::Count] = {
    KESTROVA_PERSON_CAPACITY,          KESTROVA_TITLE_CAPACITY,
    KESTROVA_COMPANY_CAPACITY,         KESTROVA_ADDRESS_CAPACITY,
    KESTROVA_FAX_OR_EMAIL_CAPACITY,    KESTROVA_PRODUCT_ID_CAPACITY,
    KESTROVA_LANGUAGE_CAPACITY,        KESTROVA_LICENSEE_CAPACITY,
    KESTROVA_REFERENCE_CAPACITY,       KESTROVA_NUMBER_OF_LICENSES_CAPACITY,
    KESTROVA_CURRENCY_CAPACITY,        KESTROVA_PAYMENT_MEANS_CAPACITY,
    KESTROVA_NET_AMOUNT_CAPACITY,      KESTROVA_TAX_CAPACITY,
    KESTROVA_DELIVERY_COMPANY_CAPACITY, KESTROVA_DELIVERY_TITLE_CAPACITY,
    KESTROVA_DELIVERY_PERSON_CAPACITY, KESTROVA_DELIVERY_ADDRESS_CAPACITY,
    KESTROVA_DELIVERY_FAX_OR_EMAIL_CAPACITY,
};

const char* const kNames[NotificationAreas::Count] = {
    "Person",       "Title",     "Company",       "Address",         "FaxOrEMail",
    "ProductId",    "Language",  "Licensee",      "Reference",       "NumberOfLicenses",
    "Currency",     "PaymentMeans", "NetAmount",  "Tax",             "DeliveryCompany",
    "DeliveryTitle", "DeliveryPerson", "DeliveryAddress", "DeliveryFaxOrEMail",
};

// Reads a terminated text from an area, never past its capacity.
QString fromArea(const char* area, int capacity)
{
    return QString::fromUtf8(area, qsizetype(strnlen(area, size_t(capacity))));
}

// Writes text into an area of the given capacity, cut on a character
// boundary so that it always fits with its terminating NUL.
void toArea(char* area, int capacity, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > capacity - 1) {
        qsizetype n = capacity - 1;
        while (n > 0 && (uchar(bytes.at(n)) & 0xC0) == 0x80)
            --n;
        bytes.truncate(n);
    }
    std::memcpy(area, bytes.constData(), size_t(bytes.size()));
    area[bytes.size()] = '\0';
}

} // namespace

int NotificationAreas::capacity(Field f)
{
    return kCapacities[f];
}

QString NotificationAreas::fieldName(Field f)
{
    return QString::fromLatin1(kNames[f]);
}

QString NotificationAreas::text(Field f) const
{
    return fromArea(m_areas[f].data(), kCapacities[f]);
}

void NotificationAreas::setText(Field f, const QString& text)
{
    toArea(m_areas[f].data(), kCapacities[f], text);
}

FunctionLibrary::~FunctionLibrary()
{
    unload();
}

bool FunctionLibrary::load(const QStringList& folders)
{
    unload();
    QStringList candidates;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(fileName));
        if (QFileInfo::exists(path))
            candidates << QFileInfo(path).absoluteFilePath();
    }
    candidates << QString::fromLatin1(fileName); // the dynamic linker's own search
    for (const QString& c : candidates) {
        if (void* h = dlopen(QFile::encodeName(c).constData(), RTLD_NOW | RTLD_LOCAL)) {
            m_handle = h;
            m_path = c;
            break;
        }
    }
    if (!m_handle)
        return false;
    m_pull = reinterpret_cast<kestrova_pull_fn>(symbol(QStringLiteral("Pull")));
    return true;
}

void FunctionLibrary::unload()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
    m_pull = nullptr;
    m_path.clear();
}

void* FunctionLibrary::symbol(const QString& name) const
{
    if (!m_handle || name.isEmpty())
        return nullptr;
    return dlsym(m_handle, name.toUtf8().constData());
}

std::optional<QString> FunctionLibrary::nextInvoiceNumber(const QString& function, const QString& last) const
{
    const QByteArray name = function.toUtf8();
    const QByteArray lastBytes = last.toUtf8();
    if (name.isEmpty() || name.size() > 31 || lastBytes.isEmpty() || lastBytes.size() > 79)
        return std::nullopt;
    auto fn = reinterpret_cast<kestrova_invoice_fn>(symbol(function));
    if (!fn)
        return std::nullopt;
    char input[80] = {};
    std::memcpy(input, lastBytes.constData(), size_t(lastBytes.size()));
    char output[KESTROVA_INVOICE_NUMBER_CAPACITY] = {};
    fn(input, KESTROVA_INVOICE_NUMBER_CAPACITY, output);
    return fromArea(output, KESTROVA_INVOICE_NUMBER_CAPACITY);
}

bool FunctionLibrary::recognise(const QString& function, const QString& body, NotificationAreas& areas) const
{
    auto fn = reinterpret_cast<kestrova_recognition_fn>(symbol(function));
    if (!fn)
        return false;
    const QByteArray text = body.left(KESTROVA_BODY_MAX_CHARACTERS).toUtf8();
    using F = NotificationAreas;
    auto c = [](F::Field f) { return F::capacity(f); };
    auto a = [&areas](F::Field f) { return areas.area(f); };
    const unsigned char result =
        fn(text.constData(), c(F::Person), a(F::Person), c(F::Title), a(F::Title), c(F::Company),
           a(F::Company), c(F::Address), a(F::Address), c(F::FaxOrEMail), a(F::FaxOrEMail),
           c(F::ProductId), a(F::ProductId), c(F::Language), a(F::Language), c(F::Licensee),
           a(F::Licensee), c(F::Reference), a(F::Reference), c(F::NumberOfLicenses),
           a(F::NumberOfLicenses), c(F::Currency), a(F::Currency), c(F::PaymentMeans),
           a(F::PaymentMeans), c(F::NetAmount), a(F::NetAmount), c(F::Tax), a(F::Tax),
           c(F::DeliveryCompany), a(F::DeliveryCompany), c(F::DeliveryTitle), a(F::DeliveryTitle),
           c(F::DeliveryPerson), a(F::DeliveryPerson), c(F::DeliveryAddress), a(F::DeliveryAddress),
           c(F::DeliveryFaxOrEMail), a(F::DeliveryFaxOrEMail));
    return result == 1;
}

} // namespace kestrova
