#pragma once

#include <QCoreApplication>
#include <QtGlobal>
#include <array>
#include <string>

namespace kestrova::paradox {

// Turns the bytes of a table's code page into UTF-8. Paradox tables name a
// DOS or Windows code page in their header (437, 850, 1252, ...); almost all
// are single-byte pages, converted through a table built once, so a value
// costs one lookup per byte. The few double-byte pages go through iconv.
class CodePageDecoder {
public:
    // Throws Error when the system knows no such code page.
    explicit CodePageDecoder(int codePage);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    int codePage() const { return m_codePage; }

    // Appends the UTF-8 form of size bytes to out and returns the number of
    // characters they make. Throws Error when the bytes are no valid text of
    // a double-byte page.
    qsizetype append(const char* bytes, qsizetype size, std::string& out) const;

private:
    Q_DECLARE_TR_FUNCTIONS(CodePageDecoder)

    int m_codePage;
    void* m_iconv = nullptr; // only for double-byte pages
    // For each byte: its UTF-8 bytes (at most three) and their count.
    std::array<std::array<char, 4>, 256> m_table{};
};

} // namespace kestrova::paradox
