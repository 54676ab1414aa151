/*
 * Kestrova function library interface.
 *
 * A user function library is a shared object named "function.dll" with C
 * linkage. Kestrova opens it with dlopen when its main window is created
 * (from the working folder, then the program's folder, then the dynamic
 * linker's normal search) and finds its functions by exported name.
 *
 * Texts are NUL-terminated 8-bit (UTF-8) strings. An output area is passed
 * as its capacity in bytes, terminating NUL included, followed by the area;
 * a function never writes more than the capacity and always terminates what
 * it writes.
 *
 * Copyright the Kestrova developers. GPL-3.0-or-later.
 */
#ifndef KESTROVA_FUNCTIONS_H
#define KESTROVA_FUNCTIONS_H

#ifdef __cplusplus
extern "C" {
#endif

/* Capacities of the recognition areas, in bytes, terminating NUL included. */
enum {
    KESTROVA_PERSON_CAPACITY = 33,
    KESTROVA_TITLE_CAPACITY = 9,
    KESTROVA_COMPANY_CAPACITY = 49,
    KESTROVA_ADDRESS_CAPACITY = 512,
    KESTROVA_FAX_OR_EMAIL_CAPACITY = 41,
    KESTROVA_PRODUCT_ID_CAPACITY = 33,
    KESTROVA_LANGUAGE_CAPACITY = 3,
    KESTROVA_LICENSEE_CAPACITY = 65,
    KESTROVA_REFERENCE_CAPACITY = 33,
    KESTROVA_NUMBER_OF_LICENSES_CAPACITY = 13,
    KESTROVA_CURRENCY_CAPACITY = 4,
    KESTROVA_PAYMENT_MEANS_CAPACITY = 9,
    KESTROVA_NET_AMOUNT_CAPACITY = 9,
    KESTROVA_TAX_CAPACITY = 9,
    KESTROVA_DELIVERY_COMPANY_CAPACITY = 49,
    KESTROVA_DELIVERY_TITLE_CAPACITY = 9,
    KESTROVA_DELIVERY_PERSON_CAPACITY = 33,
    KESTROVA_DELIVERY_ADDRESS_CAPACITY = 512,
    KESTROVA_DELIVERY_FAX_OR_EMAIL_CAPACITY = 41,
    KESTROVA_BODY_MAX_CHARACTERS = 4096,
    KESTROVA_INVOICE_NUMBER_CAPACITY = 80,
    KESTROVA_PULL_CAPACITY = 1024
};

/*
 * Recognition function, named in the EmailFunction column of Xemail.
 * Reads a notification's body (at most 4096 characters) and, when it is a
 * notification this function knows, fills all nineteen areas (an empty text
 * where it has nothing) and returns 1. Any other result means "not mine";
 * the areas are then left as they were.
 */
typedef unsigned char (*kestrova_recognition_fn)(
    const char* body,
    int personCapacity, char* person,
    int titleCapacity, char* title,
    int companyCapacity, char* company,
    int addressCapacity, char* address,
    int faxOrEMailCapacity, char* faxOrEMail,
    int productIdCapacity, char* productId,
    int languageCapacity, char* language,
    int licenseeCapacity, char* licensee,
    int referenceCapacity, char* reference,
    int numberOfLicensesCapacity, char* numberOfLicenses,
    int currencyCapacity, char* currency,
    int paymentMeansCapacity, char* paymentMeans,
    int netAmountCapacity, char* netAmount,
    int taxCapacity, char* tax,
    int deliveryCompanyCapacity, char* deliveryCompany,
    int deliveryTitleCapacity, char* deliveryTitle,
    int deliveryPersonCapacity, char* deliveryPerson,
    int deliveryAddressCapacity, char* deliveryAddress,
    int deliveryFaxOrEMailCapacity, char* deliveryFaxOrEMail);

/*
 * Invoice-number function, named by the setting InvoiceFunction. Given the
 * last invoice number, writes the next one into the output area (capacity
 * 80), always terminated. The result is ignored.
 */
typedef int (*kestrova_invoice_fn)(const char* lastInvoiceNumber, int capacity, char* output);

/*
 * Field reader "Pull", used by the order import. Copies the text from
 * *cursor up to, not including, the character `terminator` (TAB, 9, or
 * carriage return, 13, for a line's last field) or the end of the text into
 * the output area; a field longer than capacity - 1 bytes is cut there and
 * the rest of it skipped. The cursor then stands just after the terminator,
 * or on the terminating NUL. The result is ignored.
 */
typedef int (*kestrova_pull_fn)(char** cursor, char* output, int capacity, int terminator);

#ifdef __cplusplus
}
#endif

#endif /* KESTROVA_FUNCTIONS_H */
