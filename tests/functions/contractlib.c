/* A function library built only for the tests: its functions report what
 * they were given and write right up to the capacities they receive, so the
 * tests can check the loader's side of the calling contracts. */
#include <kestrova/functions.h>

#include <stdio.h>
#include <string.h>

#define EXPORT __attribute__((visibility("default")))

#define AREAS                                                                                                          \
    int caps[19] = {c0, c1, c2, c3, c4, c5, c6, c7, c8, c9, c10, c11, c12, c13, c14, c15, c16, c17, c18};              \
    char* areas[19] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16, a17, a18}

/* Writes each area's capacity into it; accepts only the body "mine". */
EXPORT unsigned char ReportCapacities(const char* body, KESTROVA_AREA_PARAMETERS)
{
    AREAS;
    if (strcmp(body, "mine") != 0)
        return 0;
    for (int i = 0; i < 19; ++i)
        snprintf(areas[i], (size_t)caps[i], "%d", caps[i]);
    return 1;
}

/* Fills every area completely, terminating NUL in the last byte. */
EXPORT unsigned char FillAreas(const char* body, KESTROVA_AREA_PARAMETERS)
{
    AREAS;
    (void)body;
    for (int i = 0; i < 19; ++i) {
        memset(areas[i], 'x', (size_t)caps[i] - 1);
        areas[i][caps[i] - 1] = '\0';
    }
    return 1;
}

/* Reports the length of the body it was given in the Reference area. */
EXPORT unsigned char BodyLength(const char* body, KESTROVA_AREA_PARAMETERS)
{
    AREAS;
    for (int i = 0; i < 19; ++i)
        areas[i][0] = '\0';
    snprintf(areas[8], (size_t)caps[8], "%zu", strlen(body));
    return 1;
}

/* Recognises nothing, but returns a byte other than 1. */
EXPORT unsigned char ReturnsTwo(const char* body, KESTROVA_AREA_PARAMETERS)
{
    (void)body;
    AREAS;
    (void)caps;
    (void)areas;
    return 2;
}

EXPORT int EchoInvoice(const char* last, int capacity, char* output)
{
    snprintf(output, (size_t)capacity, "%d:%s", capacity, last);
    return 0;
}

EXPORT int LongestInvoice(const char* last, int capacity, char* output)
{
    (void)last;
    memset(output, '7', (size_t)capacity - 1);
    output[capacity - 1] = '\0';
    return 0;
}

EXPORT int Pull(char** cursor, char* output, int capacity, int terminator)
{
    (void)cursor;
    (void)terminator;
    snprintf(output, (size_t)capacity, "contract");
    return 0;
}

/* Writes one byte more than the Language area holds. */
EXPORT unsigned char OverrunLanguage(const char* body, KESTROVA_AREA_PARAMETERS)
{
    AREAS;
    (void)body;
    for (int i = 0; i < 19; ++i)
        areas[i][0] = '\0';
    memset(areas[6], 'L', (size_t)caps[6]);
    areas[6][caps[6]] = '\0';
    return 1;
}

/* Writes the terminating NUL one byte past its area. */
EXPORT int OverrunInvoice(const char* last, int capacity, char* output)
{
    (void)last;
    memset(output, '8', (size_t)capacity);
    output[capacity] = '\0';
    return 0;
}

/* An exported name that is data, not a function. */
EXPORT int NotAFunction = 42;
