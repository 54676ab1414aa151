/*
 * Kestrova function library interface.
 *
 * A user function library is a shared object named "function.dll" with C
 * linkage. Kestrova opens it with dlopen when its main window is created
 * (from the working folder, then the program's folder, then the dynamic
 * linker's normal search) and finds its functions by exported name.
 *
 * Only functions that the library file itself defines and exports are
 * called. A name that the library does not define, even one that a library
 * it depends on provides (the C library's "system", for instance), or a
 * name that is not a function, is refused as not exported: Kestrova then
 * behaves as for a missing function (the message counts as not recognised,
 * the invoice number stays empty) and writes one warning naming the
 * function to its standard error.
 *
 * The library runs inside Kestrova's own process: a function that crashes,
 * hangs or writes outside its areas takes the program down with it.
 *
 * Texts are NUL-terminated 8-bit (UTF-8) strings. An output area is passed
 * as its capacity in bytes, terminating NUL included, followed by the area;
 * the area is exactly that many bytes long. A function never writes more
 * than the capacity and always terminates what it writes. Kestrova keeps
 * guard bytes after every area: a call found to have written past one is
 * treated as failed (not recognised, no invoice number).
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
    const char* body, int personCapacity, char* person, int titleCapacity, char* title, int companyCapacity,
    char* company, int addressCapacity, char* address, int faxOrEMailCapacity, char* faxOrEMail, int productIdCapacity,
    char* productId, int languageCapacity, char* language, int licenseeCapacity, char* licensee, int referenceCapacity,
    char* reference, int numberOfLicensesCapacity, char* numberOfLicenses, int currencyCapacity, char* currency,
    int paymentMeansCapacity, char* paymentMeans, int netAmountCapacity, char* netAmount, int taxCapacity, char* tax,
    int deliveryCompanyCapacity, char* deliveryCompany, int deliveryTitleCapacity, char* deliveryTitle,
    int deliveryPersonCapacity, char* deliveryPerson, int deliveryAddressCapacity, char* deliveryAddress,
    int deliveryFaxOrEMailCapacity, char* deliveryFaxOrEMail);

/*
 * Helpers for writing a recognition function in C:
 *
 *   unsigned char MyRecogniser(const char* body, KESTROVA_AREA_PARAMETERS)
 *   {
 *       struct { int capacity; char* area; } areas[19] = {KESTROVA_AREA_LIST};
 *       ...
 *   }
 *
 * names the nineteen pairs c0, a0 ... c18, a18 in the order above.
 */
#define KESTROVA_AREA_PARAMETERS                                                                                       \
    int c0, char *a0, int c1, char *a1, int c2, char *a2, int c3, char *a3, int c4, char *a4, int c5, char *a5,        \
        int c6, char *a6, int c7, char *a7, int c8, char *a8, int c9, char *a9, int c10, char *a10, int c11,           \
        char *a11, int c12, char *a12, int c13, char *a13, int c14, char *a14, int c15, char *a15, int c16, char *a16, \
        int c17, char *a17, int c18, char *a18
#define KESTROVA_AREA_LIST                                                                                             \
    {c0, a0}, {c1, a1}, {c2, a2}, {c3, a3}, {c4, a4}, {c5, a5}, {c6, a6}, {c7, a7}, {c8, a8}, {c9, a9}, {c10, a10},    \
        {c11, a11}, {c12, a12}, {c13, a13}, {c14, a14}, {c15, a15}, {c16, a16}, {c17, a17},                            \
    {                                                                                                                  \
        c18, a18                                                                                                       \
    }

/*
 * Invoice-number function, named by the setting InvoiceFunction. Given the
 * last invoice number, writes the next one into the output area (capacity
 * 80), always terminated. The result is ignored.
 */
typedef int (*kestrova_invoice_fn)(const char* lastInvoiceNumber, int capacity, char* output);

/*
 * Field reader "Pull", used by the order import. Copies the text from
 * *cursor up to, not including, the character `terminator`, or up to the end
 * of the text, into the output area; a field longer than capacity - 1 bytes
 * is cut there and the rest of it skipped. The cursor then stands just after
 * the terminator, or on the terminating NUL. The result is ignored.
 *
 * The import passes capacity 1024 and, as terminator, TAB (9) for the first
 * 22 fields of a line and, for the last field, the character that ends the
 * line: carriage return (13) when the rest of the line reaches a carriage
 * return first (CR LF line ends; the import steps over the line feed
 * itself), or line feed (10) when it reaches a line feed alone first (LF
 * line ends). A reader that leaves the cursor where it was while the text
 * goes on, or moves it outside the text, stops the import with a message.
 */
typedef int (*kestrova_pull_fn)(char** cursor, char* output, int capacity, int terminator);

#ifdef __cplusplus
}
#endif

#endif /* KESTROVA_FUNCTIONS_H */
