#pragma once

#include <kestrova/functions.h>

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kestrova {

// The nineteen texts a recognition function fills, each in an area of the
// published capacity.
class NotificationAreas {
public:
    enum Field {
        Person, Title, Company, Address, FaxOrEMail, ProductId, Language, Licensee, Reference,
        NumberOfLicenses, Currency, PaymentMeans, NetAmount, Tax, DeliveryCompany, DeliveryTitle,
        DeliveryPerson, DeliveryAddress, DeliveryFaxOrEMail, Count
    };
    static int capacity(Field f);
    static QString fieldName(Field f); // the order field it fills

    QString text(Field f) const;
    void setText(Field f, const QString& text);
    char* area(Field f) { return m_areas[f].data(); }

private:
    std::array<std::array<char, 512>, Count> m_areas{};
};

// The user's function library "function.dll", opened with dlopen. Functions
// are found by exported name; a library or name that is missing makes the
// calls do nothing, silently.
class FunctionLibrary {
public:
    static constexpr const char* fileName = "function.dll";

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

    void* symbol(const QString& name) const;
    kestrova_pull_fn pull() const { return m_pull; }

    // Calls the invoice-number function `function` with the last number.
    // Nothing when the library or the function is missing, or when the name
    // or the last number does not fit its area (31 and 79 bytes).
    std::optional<QString> nextInvoiceNumber(const QString& function, const QString& last) const;

    // Offers a body (cut to 4096 characters) to a recognition function;
    // true when it returned 1, the areas then hold what it found.
    bool recognise(const QString& function, const QString& body, NotificationAreas& areas) const;

private:
    void* m_handle = nullptr;
    kestrova_pull_fn m_pull = nullptr;
    QString m_path;
};

} // namespace kestrova
