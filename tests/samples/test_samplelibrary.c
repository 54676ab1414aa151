/* Tests of the sample function library as a C library: it is opened as
 * Kestrova opens it and its functions are called through the published
 * types. Usage: test_samplelibrary PATH-TO/function.dll */
#include <kestrova/functions.h>

#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

static int passed, failed;

#define CHECK_STR(actual, expected)                                                                                    \
    do {                                                                                                               \
        if (strcmp((actual), (expected)) == 0) {                                                                       \
            ++passed;                                                                                                  \
        } else {                                                                                                       \
            ++failed;                                                                                                  \
            fprintf(stderr, "%s:%d: got \"%s\", expected \"%s\"\n", __FILE__, __LINE__, (actual), (expected));         \
        }                                                                                                              \
    } while (0)

#define CHECK(cond)                                                                                                    \
    do {                                                                                                               \
        if (cond) {                                                                                                    \
            ++passed;                                                                                                  \
        } else {                                                                                                       \
            ++failed;                                                                                                  \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #cond);                                                 \
        }                                                                                                              \
    } while (0)

static kestrova_invoice_fn next;
static kestrova_pull_fn pull;

static const char* nextOf(const char* last)
{
    static char out[KESTROVA_INVOICE_NUMBER_CAPACITY];
    memset(out, '#', sizeof out);
    next(last, KESTROVA_INVOICE_NUMBER_CAPACITY, out);
    return out;
}

static void invoiceNumbers(void)
{
    CHECK_STR(nextOf("2026-0041"), "2026-0042");
    CHECK_STR(nextOf("A99"), "A100");
    CHECK_STR(nextOf("0999"), "1000");
    CHECK_STR(nextOf("2026-0099"), "2026-0100");
    CHECK_STR(nextOf("9"), "10");
    CHECK_STR(nextOf("INV"), "INV1");
    CHECK_STR(nextOf("R-7/B"), "R-7/B1");
    /* A number at the area's limit is cut, never written past it. */
    char last[80];
    memset(last, '9', 79);
    last[79] = '\0';
    const char* grown = nextOf(last);
    CHECK(strlen(grown) == 79);
    CHECK(grown[0] == '1');
    char small[4];
    next("A99", sizeof small, small);
    CHECK_STR(small, "A10");
}

static void pulls(void)
{
    char text[] = "first\tsecond\t\tlast\r\nnext";
    char* cursor = text;
    char out[KESTROVA_PULL_CAPACITY];
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 9);
    CHECK_STR(out, "first");
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 9);
    CHECK_STR(out, "second");
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 9);
    CHECK_STR(out, "");
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 13);
    CHECK_STR(out, "last");
    CHECK(*cursor == '\n'); /* just after the CR */
    ++cursor;
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 13); /* no terminator: up to the end */
    CHECK_STR(out, "next");
    CHECK(*cursor == '\0');
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 13); /* at the end: an empty field */
    CHECK_STR(out, "");
    CHECK(*cursor == '\0');

    /* A field over 1023 characters: its first 1023 are copied, the rest skipped. */
    static char longText[3000];
    memset(longText, 'a', 1500);
    strcpy(longText + 1500, "\tafter");
    cursor = longText;
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 9);
    CHECK(strlen(out) == 1023);
    pull(&cursor, out, KESTROVA_PULL_CAPACITY, 9);
    CHECK_STR(out, "after");
}

typedef struct {
    char a[19][512];
} Areas;

static const int caps[19] = {33, 9, 49, 512, 41, 33, 3, 65, 33, 13, 4, 9, 9, 9, 49, 9, 33, 512, 41};

static unsigned char call(kestrova_recognition_fn f, const char* body, Areas* x)
{
    return f(body, caps[0], x->a[0], caps[1], x->a[1], caps[2], x->a[2], caps[3], x->a[3], caps[4], x->a[4], caps[5],
             x->a[5], caps[6], x->a[6], caps[7], x->a[7], caps[8], x->a[8], caps[9], x->a[9], caps[10], x->a[10],
             caps[11], x->a[11], caps[12], x->a[12], caps[13], x->a[13], caps[14], x->a[14], caps[15], x->a[15],
             caps[16], x->a[16], caps[17], x->a[17], caps[18], x->a[18]);
}

static void recognition(kestrova_recognition_fn webShop, kestrova_recognition_fn payPoint)
{
    static const char shopBody[] = "WebShop order notification\r\n"
                                   "Order reference: WS-10023\r\n"
                                   "Product id: TL-01\r\n"
                                   "Language: EN\r\n"
                                   "Licenses: 3\r\n"
                                   "Currency: EUR\r\n"
                                   "Net amount: 59.7\r\n"
                                   "Tax: 11.7\r\n"
                                   "Payment: Card\r\n"
                                   "Title: Mr\r\n"
                                   "Name: Owen Whitlock\r\n"
                                   "Company: Whitlock Joinery Ltd\r\n"
                                   "Address: 14 Carder Lane\r\n"
                                   "Address: Norwich NR2 4QT\r\n"
                                   "E-mail: o.whitlock@example.com\r\n"
                                   "Licensee: Whitlock Joinery\r\n"
                                   "Comment: this line is not an order field\r\n";
    Areas x;
    memset(&x, '#', sizeof x);
    for (int i = 0; i < 19; ++i)
        x.a[i][caps[i] - 1] = '\0';
    CHECK(call(payPoint, shopBody, &x) != 1);
    CHECK(x.a[0][0] == '#'); /* untouched when not recognised */
    CHECK(call(webShop, shopBody, &x) == 1);
    CHECK_STR(x.a[0], "Owen Whitlock");
    CHECK_STR(x.a[1], "Mr");
    CHECK_STR(x.a[2], "Whitlock Joinery Ltd");
    CHECK_STR(x.a[3], "14 Carder Lane\nNorwich NR2 4QT");
    CHECK_STR(x.a[4], "o.whitlock@example.com");
    CHECK_STR(x.a[5], "TL-01");
    CHECK_STR(x.a[6], "EN");
    CHECK_STR(x.a[7], "Whitlock Joinery");
    CHECK_STR(x.a[8], "WS-10023");
    CHECK_STR(x.a[9], "3");
    CHECK_STR(x.a[10], "EUR");
    CHECK_STR(x.a[11], "Card");
    CHECK_STR(x.a[12], "59.7");
    CHECK_STR(x.a[13], "11.7");
    for (int i = 14; i < 19; ++i)
        CHECK_STR(x.a[i], ""); /* every area written, empty where nothing was found */

    static const char pointBody[] = "\n"
                                    "PAYPOINT SALE RECORD\n"
                                    "TXN       PP-778812\n"
                                    "ITEM      1002\n"
                                    "LANG      DE\n"
                                    "QTY       2\n"
                                    "CURRENCY  EUR\n"
                                    "NET       39.8\n"
                                    "TAX       0\n"
                                    "METHOD    PayLink\n"
                                    "SALUTE    Frau\n"
                                    "BUYER     Anna Keller\n"
                                    "FIRM      Keller Design GmbH\n"
                                    "ADDR      Lindenstrasse 5\n"
                                    "ADDR      80331 Muenchen\n"
                                    "CONTACT   anna.keller@example.org\n"
                                    "LICENSEE  Keller Design GmbH\n"
                                    "SHIPFIRM  Keller Lager\n"
                                    "SHIPTO    Jan Keller\n"
                                    "SHIPADDR  Hafenweg 2\n"
                                    "LANGUAGE  a language far too long for its two-byte area\n";
    CHECK(call(webShop, pointBody, &x) != 1);
    CHECK(call(payPoint, pointBody, &x) == 1);
    CHECK_STR(x.a[0], "Anna Keller");
    CHECK_STR(x.a[1], "Frau");
    CHECK_STR(x.a[3], "Lindenstrasse 5\n80331 Muenchen");
    CHECK_STR(x.a[5], "1002");
    CHECK_STR(x.a[6], "DE");
    CHECK_STR(x.a[8], "PP-778812");
    CHECK_STR(x.a[11], "PayLink");
    CHECK_STR(x.a[12], "39.8");
    CHECK_STR(x.a[13], "0");
    CHECK_STR(x.a[14], "Keller Lager");
    CHECK_STR(x.a[15], "");
    CHECK_STR(x.a[16], "Jan Keller");
    CHECK_STR(x.a[17], "Hafenweg 2");

    /* Values longer than their areas are cut to fit. */
    static const char longBody[] = "WebShop order notification\n"
                                   "Name: A person whose name is far longer than thirty-two bytes\n"
                                   "Currency: EURO\n";
    CHECK(call(webShop, longBody, &x) == 1);
    CHECK(strlen(x.a[0]) == 32);
    CHECK_STR(x.a[10], "EUR");
    CHECK(call(webShop, "", &x) != 1);
    CHECK(call(payPoint, "PAYPOINT", &x) != 1);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s function.dll\n", argv[0]);
        return 2;
    }
    void* lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
        fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    next = (kestrova_invoice_fn)dlsym(lib, "NextInvoiceNumber");
    pull = (kestrova_pull_fn)dlsym(lib, "Pull");
    kestrova_recognition_fn webShop = (kestrova_recognition_fn)dlsym(lib, "RecogniseWebShop");
    kestrova_recognition_fn payPoint = (kestrova_recognition_fn)dlsym(lib, "RecognisePayPoint");
    CHECK(next && pull && webShop && payPoint);
    CHECK(dlsym(lib, "put") == NULL); /* helpers stay private */
    if (next && pull && webShop && payPoint) {
        invoiceNumbers();
        pulls();
        recognition(webShop, payPoint);
    }
    dlclose(lib);
    printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
