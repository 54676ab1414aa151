#include "functions/functionlibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>

namespace kestrova {

namespace {

// The bytes a guard holds: no NUL and no printable run, so that neither a
// terminator nor a text written past an area leaves it unchanged.
char guardByte(int i)
{
    return char(0xA5 ^ (i * 37));
}

void fillGuard(char* at)
{
    for (int i = 0; i < areas_detail::kGuardBytes; ++i)
        at[i] = guardByte(i);
}

bool guardIntact(const char* at)
{
    for (int i = 0; i < areas_detail::kGuardBytes; ++i)
        if (at[i] != guardByte(i))
            return false;
    return true;
}

// Reads a terminated text from an area, never past its capacity.
QString fromArea(const char* area, int capacity)
{
    return QString::fromUtf8(area, qsizetype(strnlen(area, size_t(capacity))));
}

// Writes text into an area of the given capacity, cut on a character
// boundary so that it always fits with its terminating NUL.
void toArea(char* area, int capacity, const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > capacity - 1) {
        qsizetype n = capacity - 1;
        while (n > 0 && (uchar(bytes.at(n)) & 0xC0) == 0x80)
            --n;
        bytes.truncate(n);
    }
    std::memcpy(area, bytes.constData(), size_t(bytes.size()));
    area[bytes.size()] = '\0';
}

// At most `characters` characters of a text, never half a surrogate pair.
QString leftCharacters(const QString& text, int characters)
{
    if (text.size() <= characters)
        return text;
    return text.left(text.at(characters - 1).isHighSurrogate() ? characters - 1 : characters);
}

} // namespace

NotificationAreas::NotificationAreas()
{
    fillGuard(m_buffer.data());
    for (int f = 0; f < Count; ++f)
        fillGuard(area(Field(f)) + capacity(Field(f)));
}

std::optional<NotificationAreas::Field> NotificationAreas::checkGuards()
{
    std::optional<Field> broken;
    if (!guardIntact(m_buffer.data())) {
        broken = Field(0);
        fillGuard(m_buffer.data());
    }
    for (int f = 0; f < Count; ++f) {
        char* guard = area(Field(f)) + capacity(Field(f));
        if (!guardIntact(guard)) {
            if (!broken)
                broken = Field(f);
            fillGuard(guard);
        }
    }
    return broken;
}

QString NotificationAreas::text(Field f) const
{
    return fromArea(m_buffer.data() + areas_detail::offset(f), capacity(f));
}

void NotificationAreas::setText(Field f, const QString& text)
{
    toArea(area(f), capacity(f), text);
}

FunctionLibrary::~FunctionLibrary()
{
    unload();
}

bool FunctionLibrary::load(const QStringList& folders)
{
    unload();
    QStringList candidates;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(fileName));
        if (QFileInfo::exists(path))
            candidates << QFileInfo(path).absoluteFilePath();
    }
    candidates << QString::fromLatin1(fileName); // the dynamic linker's own search
    for (const QString& c : candidates) {
        void* h = dlopen(QFile::encodeName(c).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!h)
            continue;
        // The library's own entry in the linker's list, and the start of its
        // image, found through its dynamic section (which lies inside it).
        link_map* map = nullptr;
        Dl_info info{};
        if (dlinfo(h, RTLD_DI_LINKMAP, &map) != 0 || !map || !dladdr(map->l_ld, &info) || !info.dli_fbase) {
            dlclose(h);
            continue;
        }
        m_handle = h;
        m_map = map;
        m_base = info.dli_fbase;
        m_path = c;
        break;
    }
    if (!m_handle)
        return false;
    m_pull = reinterpret_cast<kestrova_pull_fn>(symbol(QStringLiteral("Pull")));
    return true;
}

void FunctionLibrary::unload()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
    m_map = nullptr;
    m_base = nullptr;
    m_pull = nullptr;
    m_path.clear();
    m_warned.clear();
}

FunctionLibrary::Lookup FunctionLibrary::lookup(const QString& name, void** address) const
{
    if (address)
        *address = nullptr;
    if (!m_handle || name.isEmpty())
        return Lookup::Missing;
    void* found = dlsym(m_handle, name.toUtf8().constData());
    if (!found)
        return Lookup::Missing;
    // dlsym searches the library's dependencies too: keep only what lies in
    // the library's own image (same linker entry, same start address) and
    // is a function there.
    Dl_info info{};
    link_map* owner = nullptr;
    ElfW(Sym)* entry = nullptr; // read only
    const bool located = dladdr1(found, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) != 0;
    Dl_info symbolInfo{};
    const bool described =
        located && dladdr1(found, &symbolInfo, reinterpret_cast<void**>(&entry), RTLD_DL_SYMENT) != 0;
    const int type = entry ? ELF64_ST_TYPE(entry->st_info) /* the same for 32-bit entries */ : STT_NOTYPE;
    if (located && owner == m_map && info.dli_fbase == m_base && described && symbolInfo.dli_saddr == found &&
        (type == STT_FUNC || type == STT_GNU_IFUNC)) {
        if (address)
            *address = found;
        return Lookup::Found;
    }
    if (!m_warned.contains(name)) {
        m_warned.insert(name);
        qWarning("%s: \"%s\" is not exported by this library (found in %s); it is not called", qPrintable(m_path),
                 qPrintable(name), located && info.dli_fname ? info.dli_fname : "no library");
    }
    return Lookup::NotExported;
}

void* FunctionLibrary::symbol(const QString& name) const
{
    void* address = nullptr;
    lookup(name, &address);
    return address;
}

std::optional<QString> FunctionLibrary::nextInvoiceNumber(const QString& function, const QString& last) const
{
    const QByteArray name = function.toUtf8();
    const QByteArray lastBytes = last.toUtf8();
    if (name.isEmpty() || name.size() > 31 || lastBytes.isEmpty() || lastBytes.size() > 79)
        return std::nullopt;
    auto fn = reinterpret_cast<kestrova_invoice_fn>(symbol(function));
    if (!fn)
        return std::nullopt;
    constexpr int guard = areas_detail::kGuardBytes;
    char input[80] = {};
    std::memcpy(input, lastBytes.constData(), size_t(lastBytes.size()));
    // The output area, exactly its capacity, between two guards.
    char output[guard + KESTROVA_INVOICE_NUMBER_CAPACITY + guard] = {};
    fillGuard(output);
    fillGuard(output + guard + KESTROVA_INVOICE_NUMBER_CAPACITY);
    fn(input, KESTROVA_INVOICE_NUMBER_CAPACITY, output + guard);
    if (!guardIntact(output) || !guardIntact(output + guard + KESTROVA_INVOICE_NUMBER_CAPACITY)) {
        qWarning("%s: \"%s\" wrote past its %d-byte area; its invoice number is not used", qPrintable(m_path),
                 qPrintable(function), int(KESTROVA_INVOICE_NUMBER_CAPACITY));
        return std::nullopt;
    }
    return fromArea(output + guard, KESTROVA_INVOICE_NUMBER_CAPACITY);
}

bool FunctionLibrary::recognise(const QString& function, const QString& body, NotificationAreas& areas) const
{
    auto fn = reinterpret_cast<kestrova_recognition_fn>(symbol(function));
    if (!fn)
        return false;
    const QByteArray text = leftCharacters(body, KESTROVA_BODY_MAX_CHARACTERS).toUtf8();
    using F = NotificationAreas;
    auto c = [](F::Field f) { return F::capacity(f); };
    auto a = [&areas](F::Field f) { return areas.area(f); };
    const unsigned char result =
        fn(text.constData(), c(F::Person), a(F::Person), c(F::Title), a(F::Title), c(F::Company), a(F::Company),
           c(F::Address), a(F::Address), c(F::FaxOrEMail), a(F::FaxOrEMail), c(F::ProductId), a(F::ProductId),
           c(F::Language), a(F::Language), c(F::Licensee), a(F::Licensee), c(F::Reference), a(F::Reference),
           c(F::NumberOfLicenses), a(F::NumberOfLicenses), c(F::Currency), a(F::Currency), c(F::PaymentMeans),
           a(F::PaymentMeans), c(F::NetAmount), a(F::NetAmount), c(F::Tax), a(F::Tax), c(F::DeliveryCompany),
           a(F::DeliveryCompany), c(F::DeliveryTitle), a(F::DeliveryTitle), c(F::DeliveryPerson), a(F::DeliveryPerson),
           c(F::DeliveryAddress), a(F::DeliveryAddress), c(F::DeliveryFaxOrEMail), a(F::DeliveryFaxOrEMail));
    if (const auto broken = areas.checkGuards()) {
        qWarning("%s: \"%s\" wrote outside its %s area; the message counts as not recognised", qPrintable(m_path),
                 qPrintable(function), qPrintable(NotificationAreas::fieldName(*broken)));
        return false;
    }
    return result == 1;
}

} // namespace kestrova
