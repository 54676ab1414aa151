#pragma once

#include "functions/functionlibrary.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace kestrova {

// The reply to an order notification, made from the user's template
// "Register.txt": every marker ("$Person", "$Title", ...) is replaced by the
// value confirmed in the processing window. Works on bytes, needs no window.
namespace reply {

// A marker per value area, in the areas' order: "$" and the order field the
// area fills.
constexpr int kMarkerCount = NotificationAreas::Count;
// The product name has an area of its own; its marker ("$Product") stands
// where the areas hold the product identifier. Every other value uses the
// area a recognition function fills.
constexpr int kProductMarker = NotificationAreas::ProductId;
constexpr int kProductNameCapacity = 33;
// A template larger than this is refused. With the longest value per marker
// character (an address of 511 bytes for "$Address") a reply stays below
// 64 times the template, 16 MB.
constexpr qsizetype kTemplateLimit = 256 * 1024;

using Values = std::array<QByteArray, kMarkerCount>;

// The markers in the order they are compared, "$Person" first.
const std::array<const char*, kMarkerCount>& markers();
// The capacity of the area that holds marker i's value, terminating NUL
// included.
int capacity(int marker);

// A text as it fits an area of the given capacity: UTF-8, at most
// capacity - 1 bytes, never ending inside a character.
QByteArray fitToArea(const QString& text, int capacity);

// The reply: the template up to its first NUL byte, each marker (letters
// compared without regard to case, no delimiter needed) replaced by its
// value, every other byte copied as it is. Values are never scanned again.
// Measured first, then filled into a buffer reserved once at its size.
QByteArray build(const QByteArray& templ, const Values& values);

// The length build() gives, without building.
qsizetype measure(const QByteArray& templ, const Values& values);

} // namespace reply
} // namespace kestrova
