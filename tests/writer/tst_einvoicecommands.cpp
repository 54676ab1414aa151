// The [FacturX] and [XRechnung] commands in a working folder: the PDF/A-3's
// structure read back through qpdf, its attachment and XMP, the XML file, and
// refusals that leave an earlier file in place.

#include "writer/conversation.h"
#include "writer/einvoice.h"
#include "writer/writererror.h"
#include "writertestkit.h"

#include <QTemporaryDir>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

using namespace kestrova;
using namespace kestrova::writer;
using namespace writertest;

namespace {

const QList<std::pair<QString, QString>> kSettings{
    {QStringLiteral("CompanyName"), QStringLiteral("Feldmark Software GmbH")},
    {QStringLiteral("CompanyStreet"), QStringLiteral("Hafenweg 3")},
    {QStringLiteral("CompanyPostcode"), QStringLiteral("20457")},
    {QStringLiteral("CompanyCity"), QStringLiteral("Hamburg")},
    {QStringLiteral("CompanyCountry"), QStringLiteral("DE")},
    {QStringLiteral("CompanyVatId"), QStringLiteral("DE123456789")},
    {QStringLiteral("CompanyContact"), QStringLiteral("Jana Feld")},
    {QStringLiteral("CompanyPhone"), QStringLiteral("+49 40 5550 1200")},
    {QStringLiteral("CompanyEMail"), QStringLiteral("billing@feldmark.example")},
    {QStringLiteral("CompanyIban"), QStringLiteral("DE89370400440532013000")},
    {QStringLiteral("PaymentDays"), QStringLiteral("14")}};

Record invoiceRecord()
{
    return {{QStringLiteral("Person"), QStringLiteral("Jürgen Albrecht")},
            {QStringLiteral("Company"), QStringLiteral("Albrecht Steuerberatung")},
            {QStringLiteral("Address"), QStringLiteral("Lindenstraße 12\n20095 Hamburg")},
            {QStringLiteral("FaxOrEMail"), QStringLiteral("albrecht@example.com")},
            {QStringLiteral("Date"), formatDate(QDate::currentDate(), LocaleFormat::system())},
            {QStringLiteral("Product"), QStringLiteral("Tidewater Ledger")},
            {QStringLiteral("Reference"), QStringLiteral("991-01234-56")},
            {QStringLiteral("NumberOfLicenses"), QStringLiteral("2")},
            {QStringLiteral("Currency"), QStringLiteral("EUR")},
            {QStringLiteral("InvoiceNumber"), QStringLiteral("2026-0007")},
            {QStringLiteral("NetAmount"), QStringLiteral("98")},
            {QStringLiteral("Tax"), QStringLiteral("18.62")}};
}

// What the core makes for the record: the file must hold exactly this.
QByteArray expectedXml(const Record& r, EInvoiceForm form)
{
    QHash<QString, QString> settings;
    for (const auto& [name, value] : kSettings)
        settings.insert(name, value);
    return ciiXml(makeEInvoice(r, settings, form));
}

QByteArray streamBytes(QPDFObjectHandle stream)
{
    const auto data = stream.getStreamData(qpdf_dl_all);
    return QByteArray(reinterpret_cast<const char*>(data->getBuffer()), qsizetype(data->getSize()));
}

} // namespace

class TestEInvoiceCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void makesAFacturXPdf();
    void writesAnXRechnung();
    void refusesAndKeepsTheEarlierFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingViewer m_viewer;
};

void TestEInvoiceCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    writeSettings(m_dir->path(), kSettings);
    writeExchange(m_dir->path(), {invoiceRecord()});
}

void TestEInvoiceCommands::makesAFacturXPdf()
{
    Conversation conversation(m_dir->path(), m_viewer, {QStringLiteral(KESTROVA_SAMPLE_TEMPLATES)});
    conversation.execute(QStringLiteral("[FacturX \"en/invoice.html\" \"documents/Invoice $InvoiceNumber.pdf\"]"));
    const QString path = m_dir->filePath(QStringLiteral("documents/Invoice 2026-0007.pdf"));
    QCOMPARE(conversation.lastPdf(), path);
    QVERIFY(pdfText(path).contains(QLatin1String("Albrecht Steuerberatung")));

    QPDF pdf;
    pdf.processFile(QFile::encodeName(path).constData());
    QCOMPARE(pdf.getPDFVersion(), std::string("1.7"));
    QPDFObjectHandle root = pdf.getRoot();
    QPDFObjectHandle af = root.getKey("/AF");
    QVERIFY(af.isArray() && af.getArrayNItems() == 1);
    QPDFObjectHandle fileSpec = af.getArrayItem(0);
    QVERIFY(fileSpec.isIndirect());
    QCOMPARE(fileSpec.getKey("/AFRelationship").getName(), std::string("/Alternative"));
    QCOMPARE(fileSpec.getKey("/F").getUTF8Value(), std::string("factur-x.xml"));
    QCOMPARE(fileSpec.getKey("/UF").getUTF8Value(), std::string("factur-x.xml"));
    QPDFObjectHandle file = fileSpec.getKey("/EF").getKey("/F");
    QCOMPARE(file.getDict().getKey("/Subtype").getName(), std::string("/text/xml"));
    QVERIFY(file.getDict().getKey("/Params").getKey("/ModDate").isString());
    QCOMPARE(streamBytes(file), expectedXml(invoiceRecord(), EInvoiceForm::FacturX));
    // The same file fileSpec is listed in the EmbeddedFiles name tree.
    QPDFEmbeddedFileDocumentHelper embedded(pdf);
    const auto listed = embedded.getEmbeddedFile("factur-x.xml");
    QVERIFY(listed);
    QCOMPARE(listed->getObjectHandle().getObjGen(), fileSpec.getObjGen());

    // PDF/A: the output intent kept, fonts embedded, the XMP declaring PDF/A-3b and Factur-X.
    QPDFObjectHandle intents = root.getKey("/OutputIntents");
    QVERIFY(intents.isArray() && intents.getArrayNItems() >= 1);
    QVERIFY(intents.getArrayItem(0).getKey("/DestOutputProfile").isStream());
    int fonts = 0;
    for (auto& page : QPDFPageDocumentHelper(pdf).getAllPages())
        for (auto& [name, font] : page.getObjectHandle().getKey("/Resources").getKey("/Font").ditems()) {
            QPDFObjectHandle f =
                font.getKey("/DescendantFonts").isArray() ? font.getKey("/DescendantFonts").getArrayItem(0) : font;
            QPDFObjectHandle d = f.getKey("/FontDescriptor");
            QVERIFY2(d.hasKey("/FontFile2") || d.hasKey("/FontFile") || d.hasKey("/FontFile3"), name.c_str());
            ++fonts;
        }
    QVERIFY(fonts > 0);
    const QString xmp = QString::fromUtf8(streamBytes(root.getKey("/Metadata")));
    QVERIFY(!xmp.contains(QLatin1String("pdfaid:part=\"1\"")) && !xmp.contains(QLatin1String(">1</pdfaid:part>")));
    QVERIFY(xmp.contains(QLatin1String("pdfaid:part=\"3\"")) || xmp.contains(QLatin1String(">3</pdfaid:part>")));
    QVERIFY(xmp.contains(QLatin1String("pdfaid:conformance=\"B\"")) ||
            xmp.contains(QLatin1String(">B</pdfaid:conformance>")));
    for (const char* value :
         {"<fx:DocumentType>INVOICE</fx:DocumentType>", "<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>",
          "<fx:Version>1.0</fx:Version>", "<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>",
          "<pdfaSchema:prefix>fx</pdfaSchema:prefix>"})
        QVERIFY2(xmp.contains(QLatin1String(value)), value);
}

void TestEInvoiceCommands::writesAnXRechnung()
{
    Conversation conversation(m_dir->path(), m_viewer, {QStringLiteral(KESTROVA_SAMPLE_TEMPLATES)});
    conversation.execute(QStringLiteral("[XRechnung \"documents/XRechnung $InvoiceNumber.xml\"]"));
    QCOMPARE(fileBytes(m_dir->filePath(QStringLiteral("documents/XRechnung 2026-0007.xml"))),
             expectedXml(invoiceRecord(), EInvoiceForm::XRechnung));
    try {
        conversation.execute(QStringLiteral("[XRechnung \"documents/invoice.pdf\"]"));
        QFAIL("a PDF name was taken for the XML");
    } catch (const WriterError& e) {
        QCOMPARE(e.kind(), WriterError::RefusedPath);
    }
}

void TestEInvoiceCommands::refusesAndKeepsTheEarlierFile()
{
    Conversation conversation(m_dir->path(), m_viewer, {QStringLiteral(KESTROVA_SAMPLE_TEMPLATES)});
    conversation.execute(QStringLiteral("[FacturX \"en/invoice.html\" \"out/i.pdf\"][XRechnung \"out/i.xml\"]"));
    const QByteArray pdf = fileBytes(m_dir->filePath(QStringLiteral("out/i.pdf")));
    const QByteArray xml = fileBytes(m_dir->filePath(QStringLiteral("out/i.xml")));
    QVERIFY(!pdf.isEmpty() && !xml.isEmpty());

    Record unknown = invoiceRecord();
    unknown.insert(QStringLiteral("Address"), QStringLiteral("Main Street 1\n12345 Springfield\nAtlantis"));
    writeExchange(m_dir->path(), {unknown});
    for (const QString& macro :
         {QStringLiteral("[FacturX \"en/invoice.html\" \"out/i.pdf\"]"), QStringLiteral("[XRechnung \"out/i.xml\"]"),
          QStringLiteral("[FacturX \"en/invoice.html\" \"out/new.pdf\"]")}) {
        try {
            conversation.execute(macro);
            QFAIL(qPrintable(macro));
        } catch (const WriterError& e) {
            QCOMPARE(e.dbusName(), QStringLiteral("org.kestrova.Dde.Error.EInvoice"));
            QVERIFY2(e.message().contains(QLatin1String("invoice 2026-0007")), qPrintable(e.message()));
        }
    }
    QCOMPARE(fileBytes(m_dir->filePath(QStringLiteral("out/i.pdf"))), pdf);
    QCOMPARE(fileBytes(m_dir->filePath(QStringLiteral("out/i.xml"))), xml);
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("out"))).entryList(QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("i.pdf"), QStringLiteral("i.xml")}));
}

QTEST_MAIN(TestEInvoiceCommands)
#include "tst_einvoicecommands.moc"
