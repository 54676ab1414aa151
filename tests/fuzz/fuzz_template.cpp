// Fuzz target for the writer's templates: the input is a template's HTML,
// read and laid out for one record of an exchange table, in a template
// folder that also holds what a hostile template reaches for (a pipe, a huge
// file, a link out, a file beside the folder). Whatever the bytes, the
// writer must refuse with a message or render, in bounded time and memory
// (a pipe or /dev/zero loaded would hold it up for ever), and never accept
// nesting beyond its bounds.

#include "writer/documenttemplate.h"
#include "writer/exchangetable.h"
#include "writer/recordfields.h"
#include "writer/renderer.h"
#include "writer/writererror.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace kestrova::writer;

namespace {

void requireAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "fuzz_template.cpp:%d: invariant broken\n", line);
        std::abort();
    }
}
#define require(condition) requireAt((condition), __LINE__)

// Pages kept in memory.
class MemoryTarget : public PageTarget {
public:
    MemoryTarget() : m_writer(&m_buffer) {}
    bool open() { return m_buffer.open(QIODevice::WriteOnly); }
    QPagedPaintDevice& device() override { return m_writer; }
    void finish() override {}
    void abandon() noexcept override {}

private:
    QBuffer m_buffer;
    QPdfWriter m_writer;
};

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    require(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// The working folder, made once: templates/ with a logo, a style sheet, a
// pipe, a 17 MiB file and a link out; outside/ beside it; Xexport.db.
struct Setup {
    QTemporaryDir dir;
    QString templates;

    Setup()
    {
        require(dir.isValid());
        templates = dir.filePath(QStringLiteral("templates"));
        const QString outside = dir.filePath(QStringLiteral("outside"));
        require(QDir().mkpath(templates) && QDir().mkpath(outside));
        QImage logo(8, 8, QImage::Format_RGB32);
        logo.fill(Qt::red);
        require(logo.save(templates + QStringLiteral("/logo.png")));
        write(templates + QStringLiteral("/style.css"), "p { color: blue }");
        write(outside + QStringLiteral("/secret.png"), "SECRET");
        write(outside + QStringLiteral("/secret.css"), "SECRET");
        require(QFile::link(outside + QStringLiteral("/secret.png"), templates + QStringLiteral("/link.png")));
        require(::mkfifo(QFile::encodeName(templates + QStringLiteral("/pipe.png")).constData(), 0600) == 0);
        QFile big(templates + QStringLiteral("/big.png"));
        require(big.open(QIODevice::WriteOnly) && big.resize(17 * 1024 * 1024));
        sqlite3* db = nullptr;
        require(sqlite3_open(QFile::encodeName(dir.filePath(QStringLiteral("Xexport.db"))).constData(), &db) ==
                SQLITE_OK);
        require(sqlite3_exec(db,
                             "CREATE TABLE Xexport (Person TEXT, Company TEXT, Address TEXT);"
                             "INSERT INTO Xexport VALUES ('Ann <b>Lee</b>', 'Acme & Co', 'Line 1\r\nLine 2');",
                             nullptr, nullptr, nullptr) == SQLITE_OK);
        sqlite3_close(db);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_template";
    static char* argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    static Setup setup;
    (void)offscreen;

    const QString html = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const Nesting nesting = measureNesting(html);
    QElapsedTimer clock;
    clock.start();
    try {
        const DocumentTemplate tmpl(html, setup.templates + QStringLiteral("/fuzz.html"));
        // Accepted only within the bounds.
        require(nesting.elements <= kMaxElementDepth && nesting.tables <= kMaxTableDepth);
        ExchangeTable table(setup.dir.path());
        ExchangeTable::Cursor cursor(table);
        require(cursor.next());
        MemoryTarget target;
        require(target.open());
        const int pages = render(tmpl, RecordFields(table.fieldNames(), {}), cursor, target);
        require(pages >= 1);
    } catch (const WriterError& e) {
        require(!e.message().isEmpty());
    }
    // A refusal or a page, never a writer held up.
    require(clock.elapsed() < 60000);
    return 0;
}
