#pragma once

#include "data/salefields.h"

#include <kestrova/functions.h>

#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

struct link_map;

namespace kestrova {

namespace areas_detail {
constexpr std::array<int, 19> kCapacities = {
    KESTROVA_PERSON_CAPACITY,
    KESTROVA_TITLE_CAPACITY,
    KESTROVA_COMPANY_CAPACITY,
    KESTROVA_ADDRESS_CAPACITY,
    KESTROVA_FAX_OR_EMAIL_CAPACITY,
    KESTROVA_PRODUCT_ID_CAPACITY,
    KESTROVA_LANGUAGE_CAPACITY,
    KESTROVA_LICENSEE_CAPACITY,
    KESTROVA_REFERENCE_CAPACITY,
    KESTROVA_NUMBER_OF_LICENSES_CAPACITY,
    KESTROVA_CURRENCY_CAPACITY,
    KESTROVA_PAYMENT_MEANS_CAPACITY,
    KESTROVA_NET_AMOUNT_CAPACITY,
    KESTROVA_TAX_CAPACITY,
    KESTROVA_DELIVERY_COMPANY_CAPACITY,
    KESTROVA_DELIVERY_TITLE_CAPACITY,
    KESTROVA_DELIVERY_PERSON_CAPACITY,
    KESTROVA_DELIVERY_ADDRESS_CAPACITY,
    KESTROVA_DELIVERY_FAX_OR_EMAIL_CAPACITY,
};
constexpr int kGuardBytes = 16;
// Where area `index` starts: every area sits between guards.
constexpr int offset(int index)
{
    int at = kGuardBytes;
    for (int i = 0; i < index; ++i)
        at += kCapacities[size_t(i)] + kGuardBytes;
    return at;
}
} // namespace areas_detail

// The nineteen texts a recognition function fills. Each area is exactly its
// published capacity and is followed by guard bytes, so that a function that
// writes past an area is caught after the call (the call's result is then
// not used) instead of silently changing the next area.
class NotificationAreas {
public:
    enum Field {
        Person,
        Title,
        Company,
        Address,
        FaxOrEMail,
        ProductId,
        Language,
        Licensee,
        Reference,
        NumberOfLicenses,
        Currency,
        PaymentMeans,
        NetAmount,
        Tax,
        DeliveryCompany,
        DeliveryTitle,
        DeliveryPerson,
        DeliveryAddress,
        DeliveryFaxOrEMail,
        Count
    };
    static_assert(Count == areas_detail::kCapacities.size());

    NotificationAreas();

    static int capacity(Field f) { return areas_detail::kCapacities[size_t(f)]; }
    static const QString& fieldName(Field f); // the order field it fills

    QString text(Field f) const;
    void setText(Field f, const QString& text);
    char* area(Field f) { return m_buffer.data() + areas_detail::offset(f); }

    // The first area whose guard bytes were overwritten (all guards are put
    // back), or nothing when every guard is intact.
    std::optional<Field> checkGuards();

private:
    std::array<char, areas_detail::offset(Count)> m_buffer{};
};

// The product identifier is the recognition table's, which the run turns
// into a product; every other area fills the order field of its name.
inline const QString& NotificationAreas::fieldName(Field f)
{
    static const QString names[Count] = {
        sale::Person,
        sale::Title,
        sale::Company,
        sale::Address,
        sale::FaxOrEMail,
        QStringLiteral("ProductId"),
        sale::Language,
        sale::Licensee,
        sale::Reference,
        sale::NumberOfLicenses,
        sale::Currency,
        sale::PaymentMeans,
        sale::NetAmount,
        sale::Tax,
        sale::DeliveryCompany,
        sale::DeliveryTitle,
        sale::DeliveryPerson,
        sale::DeliveryAddress,
        sale::DeliveryFaxOrEMail,
    };
    return names[f];
}

// The user's function library "function.dll", opened with dlopen. Functions
// are found by exported name; a library or name that is missing makes the
// calls do nothing, silently.
//
// Only functions that the library file itself defines are used. dlsym also
// finds what the library's dependencies define (the C library's `system`,
// for one), so every symbol found is checked with dladdr to lie in the
// loaded library's own image, and to be a function; any other is refused as
// not exported. A refused name behaves exactly like a missing one (the
// call is skipped, as the intake and the order rules do for a missing
// function); in addition one warning naming the function and the file that
// holds it goes to the standard error, once per name and load.
class FunctionLibrary {
public:
    static constexpr const char* fileName = "function.dll";

    enum class Lookup { Found, Missing, NotExported };

    FunctionLibrary() = default;
    ~FunctionLibrary();
    FunctionLibrary(const FunctionLibrary&) = delete;
    FunctionLibrary& operator=(const FunctionLibrary&) = delete;

    // Opens the library from the first folder that holds it, else through
    // the dynamic linker's normal search, and looks up Pull. False when it
    // could not be opened.
    bool load(const QStringList& folders);
    void unload();
    bool isLoaded() const { return m_handle != nullptr; }
    QString path() const { return m_path; }

    // A function the library exports, or null (missing or refused).
    void* symbol(const QString& name) const;
    Lookup lookup(const QString& name, void** address = nullptr) const;
    kestrova_pull_fn pull() const { return m_pull; }

    // Calls the invoice-number function `function` with the last number.
    // Nothing when the library or the function is missing, when the name
    // or the last number does not fit its area (31 and 79 bytes), or when
    // the function wrote past its 80-byte area.
    std::optional<QString> nextInvoiceNumber(const QString& function, const QString& last) const;

    // Offers a body (cut to 4096 characters) to a recognition function;
    // true when it returned 1 and stayed within its areas, which then hold
    // what it found.
    bool recognise(const QString& function, const QString& body, NotificationAreas& areas) const;

private:
    void* m_handle = nullptr;
    link_map* m_map = nullptr; // the loaded library's own entry in the linker's list
    void* m_base = nullptr;    // where its image starts
    kestrova_pull_fn m_pull = nullptr;
    QString m_path;
    mutable QSet<QString> m_warned;
};

} // namespace kestrova
