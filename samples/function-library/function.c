/*
 * Sample Kestrova function library: the invoice numbering, the field reader
 * Pull and recognisers for two order-notification layouts (see
 * samples/README.md). Build it as "function.dll" and put it in the working
 * folder.
 *
 * Copyright the Kestrova developers. GPL-3.0-or-later.
 */
#include <kestrova/functions.h>

#include <ctype.h>
#include <stddef.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

/* Copies at most capacity - 1 bytes of src[0..len) into dst, terminated,
 * never cutting a UTF-8 sequence in two. */
static void put(char* dst, int capacity, const char* src, size_t len)
{
    if (capacity <= 0 || dst == NULL)
        return;
    if (len > (size_t)(capacity - 1)) {
        len = (size_t)(capacity - 1);
        while (len > 0 && ((unsigned char)src[len] & 0xC0) == 0x80)
            --len;
    }
    memmove(dst, src, len);
    dst[len] = '\0';
}

static void puts0(char* dst, int capacity, const char* src)
{
    put(dst, capacity, src, strlen(src));
}

/* ---------------------------------------------------------- invoice number */

/* The next invoice number: the trailing digits raised by one, keeping their
 * width and whatever stands before them ("2026-0041" -> "2026-0042",
 * "A99" -> "A100"). A number without trailing digits gets a "1" added. */
EXPORT int NextInvoiceNumber(const char* last, int capacity, char* output)
{
    char buffer[KESTROVA_INVOICE_NUMBER_CAPACITY + 2];
    size_t len = last ? strlen(last) : 0;
    if (capacity <= 0 || output == NULL)
        return 0;
    if (len > KESTROVA_INVOICE_NUMBER_CAPACITY - 1)
        len = KESTROVA_INVOICE_NUMBER_CAPACITY - 1;
    memcpy(buffer, last ? last : "", len);
    buffer[len] = '\0';

    size_t start = len;
    while (start > 0 && isdigit((unsigned char)buffer[start - 1]))
        --start;
    if (start == len) {
        buffer[len] = '1';
        buffer[len + 1] = '\0';
        puts0(output, capacity, buffer);
        return 1;
    }
    /* Add one from the right; a carry out of the leftmost digit widens it. */
    size_t i = len;
    int carry = 1;
    while (carry && i > start) {
        --i;
        if (buffer[i] == '9') {
            buffer[i] = '0';
        } else {
            ++buffer[i];
            carry = 0;
        }
    }
    if (carry) {
        memmove(buffer + start + 1, buffer + start, len - start + 1);
        buffer[start] = '1';
    }
    puts0(output, capacity, buffer);
    return 1;
}

/* ---------------------------------------------------------- field reader */

EXPORT int Pull(char** cursor, char* output, int capacity, int terminator)
{
    if (cursor == NULL || *cursor == NULL) {
        if (capacity > 0 && output)
            output[0] = '\0';
        return 0;
    }
    const char* p = *cursor;
    const char* end = p;
    while (*end != '\0' && (unsigned char)*end != (unsigned char)terminator)
        ++end;
    put(output, capacity, p, (size_t)(end - p));
    *cursor = (char*)(*end != '\0' ? end + 1 : end);
    return 1;
}

/* ---------------------------------------------------------- recognition */

enum {
    A_PERSON,
    A_TITLE,
    A_COMPANY,
    A_ADDRESS,
    A_FAX_OR_EMAIL,
    A_PRODUCT_ID,
    A_LANGUAGE,
    A_LICENSEE,
    A_REFERENCE,
    A_NUMBER_OF_LICENSES,
    A_CURRENCY,
    A_PAYMENT_MEANS,
    A_NET_AMOUNT,
    A_TAX,
    A_DELIVERY_COMPANY,
    A_DELIVERY_TITLE,
    A_DELIVERY_PERSON,
    A_DELIVERY_ADDRESS,
    A_DELIVERY_FAX_OR_EMAIL,
    A_COUNT
};

typedef struct {
    int capacity;
    char* area;
} Area;

/* A line of the body: [begin, end) without its line break. */
typedef struct {
    const char* begin;
    const char* end;
} Line;

static const char* nextLine(const char* p, Line* line)
{
    line->begin = p;
    while (*p != '\0' && *p != '\n' && *p != '\r')
        ++p;
    line->end = p;
    if (*p == '\r')
        ++p;
    if (*p == '\n')
        ++p;
    return p;
}

static void trim(Line* l)
{
    while (l->begin < l->end && isspace((unsigned char)*l->begin))
        ++l->begin;
    while (l->end > l->begin && isspace((unsigned char)l->end[-1]))
        --l->end;
}

static int lineIs(Line l, const char* text)
{
    trim(&l);
    return (size_t)(l.end - l.begin) == strlen(text) && strncmp(l.begin, text, strlen(text)) == 0;
}

/* Appends a line to a multi-line area, separated by "\n". */
static void appendLine(Area a, const char* text, size_t len)
{
    size_t used = strlen(a.area);
    if (used > 0 && used + 1 < (size_t)a.capacity) {
        a.area[used++] = '\n';
        a.area[used] = '\0';
    }
    if (used + 1 < (size_t)a.capacity)
        put(a.area + used, a.capacity - (int)used, text, len);
}

static void clearAll(Area* areas)
{
    for (int i = 0; i < A_COUNT; ++i)
        if (areas[i].capacity > 0 && areas[i].area)
            areas[i].area[0] = '\0';
}

/* Finds the first non-empty line. */
static const char* firstLine(const char* body, Line* line)
{
    const char* p = body;
    while (*p != '\0') {
        p = nextLine(p, line);
        Line t = *line;
        trim(&t);
        if (t.begin < t.end)
            return p;
    }
    line->begin = line->end = p;
    return p;
}

/* A notification's name for an order field, and the area it fills. */
typedef struct {
    const char* name;
    int area;
} FieldName;

/* Stores the value of the field called `name` (one of `count` names) in its
 * area; the address areas collect their lines. Unknown names are ignored. */
static void store(const FieldName* names, size_t count, Line name, Line value, Area* areas)
{
    const size_t length = (size_t)(name.end - name.begin);
    for (size_t k = 0; k < count; ++k) {
        if (length != strlen(names[k].name) || strncmp(name.begin, names[k].name, length) != 0)
            continue;
        Area a = areas[names[k].area];
        if (names[k].area == A_ADDRESS || names[k].area == A_DELIVERY_ADDRESS)
            appendLine(a, value.begin, (size_t)(value.end - value.begin));
        else
            put(a.area, a.capacity, value.begin, (size_t)(value.end - value.begin));
        return;
    }
}

/*
 * Web shop notification: "Key: value" lines after the heading line
 * "WebShop order notification". Address lines repeat their key; unknown keys
 * are passed over.
 */
static const FieldName webShopKeys[] = {
    {"Name", A_PERSON},
    {"Title", A_TITLE},
    {"Company", A_COMPANY},
    {"Address", A_ADDRESS},
    {"E-mail", A_FAX_OR_EMAIL},
    {"Product id", A_PRODUCT_ID},
    {"Language", A_LANGUAGE},
    {"Licensee", A_LICENSEE},
    {"Order reference", A_REFERENCE},
    {"Licenses", A_NUMBER_OF_LICENSES},
    {"Currency", A_CURRENCY},
    {"Payment", A_PAYMENT_MEANS},
    {"Net amount", A_NET_AMOUNT},
    {"Tax", A_TAX},
    {"Ship to company", A_DELIVERY_COMPANY},
    {"Ship to title", A_DELIVERY_TITLE},
    {"Ship to name", A_DELIVERY_PERSON},
    {"Ship to address", A_DELIVERY_ADDRESS},
    {"Ship to e-mail", A_DELIVERY_FAX_OR_EMAIL},
};

static unsigned char recogniseWebShop(const char* body, Area* areas)
{
    Line line;
    const char* p = firstLine(body, &line);
    if (!lineIs(line, "WebShop order notification"))
        return 0;
    clearAll(areas);
    while (*p != '\0') {
        p = nextLine(p, &line);
        const char* colon = memchr(line.begin, ':', (size_t)(line.end - line.begin));
        if (colon == NULL)
            continue;
        Line key = {line.begin, colon};
        Line value = {colon + 1, line.end};
        trim(&key);
        trim(&value);
        store(webShopKeys, sizeof webShopKeys / sizeof webShopKeys[0], key, value, areas);
    }
    return 1;
}

/*
 * Payment service notification, fixed positions: the heading line
 * "PAYPOINT SALE RECORD", then lines whose columns 1-10 hold a label and
 * whose value starts in column 11. ADDR and SHIPADDR lines repeat.
 */
static const FieldName payPointLabels[] = {
    {"BUYER", A_PERSON},
    {"SALUTE", A_TITLE},
    {"FIRM", A_COMPANY},
    {"ADDR", A_ADDRESS},
    {"CONTACT", A_FAX_OR_EMAIL},
    {"ITEM", A_PRODUCT_ID},
    {"LANG", A_LANGUAGE},
    {"LICENSEE", A_LICENSEE},
    {"TXN", A_REFERENCE},
    {"QTY", A_NUMBER_OF_LICENSES},
    {"CURRENCY", A_CURRENCY},
    {"METHOD", A_PAYMENT_MEANS},
    {"NET", A_NET_AMOUNT},
    {"TAX", A_TAX},
    {"SHIPFIRM", A_DELIVERY_COMPANY},
    {"SHIPSAL", A_DELIVERY_TITLE},
    {"SHIPTO", A_DELIVERY_PERSON},
    {"SHIPADDR", A_DELIVERY_ADDRESS},
    {"SHIPCONT", A_DELIVERY_FAX_OR_EMAIL},
};

static unsigned char recognisePayPoint(const char* body, Area* areas)
{
    Line line;
    const char* p = firstLine(body, &line);
    if (!lineIs(line, "PAYPOINT SALE RECORD"))
        return 0;
    clearAll(areas);
    while (*p != '\0') {
        p = nextLine(p, &line);
        if (line.end - line.begin < 10)
            continue;
        Line label = {line.begin, line.begin + 10};
        Line value = {line.begin + 10, line.end};
        trim(&label);
        trim(&value);
        store(payPointLabels, sizeof payPointLabels / sizeof payPointLabels[0], label, value, areas);
    }
    return 1;
}

EXPORT unsigned char RecogniseWebShop(const char* body, KESTROVA_AREA_PARAMETERS)
{
    Area areas[A_COUNT] = {KESTROVA_AREA_LIST};
    return body ? recogniseWebShop(body, areas) : 0;
}

EXPORT unsigned char RecognisePayPoint(const char* body, KESTROVA_AREA_PARAMETERS)
{
    Area areas[A_COUNT] = {KESTROVA_AREA_LIST};
    return body ? recognisePayPoint(body, areas) : 0;
}

/* The exported functions have exactly the published types. */
static const kestrova_recognition_fn checkWebShop __attribute__((unused)) = RecogniseWebShop;
static const kestrova_recognition_fn checkPayPoint __attribute__((unused)) = RecognisePayPoint;
static const kestrova_invoice_fn checkInvoice __attribute__((unused)) = NextInvoiceNumber;
static const kestrova_pull_fn checkPull __attribute__((unused)) = Pull;
