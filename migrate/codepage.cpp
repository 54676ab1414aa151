#include "migrate/codepage.h"

#include "data/error.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace kestrova::paradox {

namespace {

bool isDoubleBytePage(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

iconv_t openToUtf8(int codePage)
{
    const QByteArray name = "CP" + QByteArray::number(codePage);
    iconv_t cd = iconv_open("UTF-8", name.constData());
    if (cd == iconv_t(-1))
        throw Error(QCoreApplication::translate("CodePageDecoder", "The code page %1 is not known on this system")
                        .arg(codePage));
    return cd;
}

void putUtf8(std::array<char, 4>& slot, char32_t c)
{
    if (c < 0x80) {
        slot = {char(c), 0, 0, 1};
    } else if (c < 0x800) {
        slot = {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F)), 0, 2};
    } else {
        slot = {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F)), 3};
    }
}

} // namespace

CodePageDecoder::CodePageDecoder(int codePage) : m_codePage(codePage)
{
    iconv_t cd = openToUtf8(codePage);
    if (isDoubleBytePage(codePage)) {
        m_iconv = cd;
        return;
    }
    for (int b = 0; b < 256; ++b) {
        if (b < 0x80) {
            putUtf8(m_table[b], char32_t(b));
            continue;
        }
        char in[1] = {char(b)};
        char out[8] = {};
        char* inPtr = in;
        char* outPtr = out;
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1) || outPtr - out > 3) {
            // A byte the page leaves undefined keeps its own value, as the
            // systems that wrote these tables read it.
            putUtf8(m_table[b], char32_t(b));
        } else {
            m_table[b] = {out[0], out[1], out[2], char(outPtr - out)};
        }
    }
    iconv_close(cd);
}

CodePageDecoder::~CodePageDecoder()
{
    if (m_iconv)
        iconv_close(iconv_t(m_iconv));
}

qsizetype CodePageDecoder::append(const char* bytes, qsizetype size, std::string& out) const
{
    if (!m_iconv) {
        const qsizetype start = qsizetype(out.size());
        out.resize(out.size() + size_t(size) * 3);
        char* dst = out.data() + start;
        for (qsizetype i = 0; i < size; ++i) {
            const std::array<char, 4>& s = m_table[uchar(bytes[i])];
            dst[0] = s[0];
            dst[1] = s[1];
            dst[2] = s[2];
            dst += s[3];
        }
        out.resize(size_t(dst - out.data()));
        return size;
    }
    iconv_t cd = iconv_t(m_iconv);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const size_t start = out.size();
    out.resize(start + size_t(size) * 3 + 4);
    char* inPtr = const_cast<char*>(bytes);
    size_t inLeft = size_t(size);
    char* outPtr = out.data() + start;
    size_t outLeft = out.size() - start;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
        out.resize(start);
        //: Shown after "<table>, record <n>, field <name>: ".
        throw Error(tr("a text holds bytes that are no valid text of code page %1").arg(m_codePage));
    }
    out.resize(size_t(outPtr - out.data()));
    qsizetype chars = 0;
    for (size_t i = start; i < out.size(); ++i)
        chars += (uchar(out[i]) & 0xC0) != 0x80;
    return chars;
}

} // namespace kestrova::paradox
