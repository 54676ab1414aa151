#include "writer/facturx.h"

#include "writer/writererror.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <exception>

namespace kestrova::writer {
namespace {

// The Factur-X properties and the PDF/A extension schema that declares them;
// a PDF/A validator accepts no XMP property without its schema.
const char kFacturXXmp[] =
    R"(<rdf:Description rdf:about="" xmlns:fx="urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#">
      <fx:DocumentType>INVOICE</fx:DocumentType>
      <fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>
      <fx:Version>1.0</fx:Version>
      <fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>
    </rdf:Description>
    <rdf:Description rdf:about="" xmlns:pdfaExtension="http://www.aiim.org/pdfa/ns/extension/" xmlns:pdfaSchema="http://www.aiim.org/pdfa/ns/schema#" xmlns:pdfaProperty="http://www.aiim.org/pdfa/ns/property#">
      <pdfaExtension:schemas>
        <rdf:Bag>
          <rdf:li rdf:parseType="Resource">
            <pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>
            <pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>
            <pdfaSchema:prefix>fx</pdfaSchema:prefix>
            <pdfaSchema:property>
              <rdf:Seq>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>DocumentFileName</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>The name of the embedded XML invoice file</pdfaProperty:description>
                </rdf:li>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>DocumentType</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>INVOICE</pdfaProperty:description>
                </rdf:li>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>Version</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>The version of the Factur-X data</pdfaProperty:description>
                </rdf:li>
                <rdf:li rdf:parseType="Resource">
                  <pdfaProperty:name>ConformanceLevel</pdfaProperty:name>
                  <pdfaProperty:valueType>Text</pdfaProperty:valueType>
                  <pdfaProperty:category>external</pdfaProperty:category>
                  <pdfaProperty:description>The conformance level of the Factur-X data</pdfaProperty:description>
                </rdf:li>
              </rdf:Seq>
            </pdfaSchema:property>
          </rdf:li>
        </rdf:Bag>
      </pdfaExtension:schemas>
    </rdf:Description>
  )";

[[noreturn]] void fail(const QString& why)
{
    throw WriterError(
        WriterError::UnwritableOutput,
        QCoreApplication::translate("writer::FacturX", "The Factur-X invoice could not be made: %1").arg(why));
}

// Qt's XMP of the PDF/A-1b, declared PDF/A-3 and given the Factur-X
// properties; title, tool and dates stay as Qt wrote them, matching the
// document information dictionary.
QByteArray facturXMetadata(const QByteArray& qtXmp)
{
    QString xmp = QString::fromUtf8(qtXmp);
    static const QRegularExpression attribute(QStringLiteral("pdfaid:part=\"1\""));
    static const QRegularExpression element(QStringLiteral("<pdfaid:part>1</pdfaid:part>"));
    const qsizetype before = xmp.size();
    xmp.replace(attribute, QStringLiteral("pdfaid:part=\"3\""));
    xmp.replace(element, QStringLiteral("<pdfaid:part>3</pdfaid:part>"));
    const qsizetype end = xmp.lastIndexOf(QLatin1String("</rdf:RDF>"));
    if (end < 0 || (!xmp.contains(QLatin1String("pdfaid:part=\"3\"")) &&
                    !xmp.contains(QLatin1String("<pdfaid:part>3</pdfaid:part>"))))
        fail(QCoreApplication::translate("writer::FacturX", "the page's metadata declares no PDF/A part (%1 bytes)")
                 .arg(before));
    xmp.insert(end, QString::fromUtf8(kFacturXXmp));
    return xmp.toUtf8();
}

} // namespace

QByteArray attachFacturX(const QByteArray& pdfA1b, const QByteArray& xml)
{
    try {
        QPDF pdf;
        pdf.processMemoryFile("invoice.pdf", pdfA1b.constData(), size_t(pdfA1b.size()));
        QPDFObjectHandle root = pdf.getRoot();

        const std::string now = QUtil::qpdf_time_to_pdf_time(QUtil::get_current_qpdf_time());
        auto stream = QPDFEFStreamObjectHelper::createEFStream(pdf, xml.toStdString());
        stream.setSubtype("text/xml").setModDate(now).setCreationDate(now);
        auto spec = QPDFFileSpecObjectHelper::createFileSpec(pdf, kFacturXFileName, stream);
        spec.setDescription("Factur-X invoice");
        QPDFObjectHandle specObject = spec.getObjectHandle();
        if (!specObject.isIndirect())
            specObject = pdf.makeIndirectObject(specObject);
        specObject.replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Alternative"));
        QPDFEmbeddedFileDocumentHelper(pdf).replaceEmbeddedFile(kFacturXFileName, QPDFFileSpecObjectHelper(specObject));
        root.replaceKey("/AF", QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{specObject}));

        QPDFObjectHandle metadata = root.getKey("/Metadata");
        if (!metadata.isStream())
            fail(QCoreApplication::translate("writer::FacturX", "the page has no metadata"));
        const auto qtXmp = metadata.getStreamData(qpdf_dl_all);
        const QByteArray xmp =
            facturXMetadata(QByteArray(reinterpret_cast<const char*>(qtXmp->getBuffer()), qsizetype(qtXmp->getSize())));
        // Metadata stays uncompressed, as PDF/A readers expect to find it.
        metadata.replaceStreamData(xmp.toStdString(), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());

        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        writer.setMinimumPDFVersion("1.7");
        writer.write();
        const auto out = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(out->getBuffer()), qsizetype(out->getSize()));
    } catch (const WriterError&) {
        throw;
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    }
}

FacturXTarget::FacturXTarget(const QString& workDir, const QString& relative, const PageSetup& page,
                             const QByteArray& xml)
    : m_file(workDir, relative), m_buffer(&m_pdf), m_writer(&m_buffer), m_xml(xml)
{
    if (!m_buffer.open(QIODevice::WriteOnly))
        fail(QCoreApplication::translate("writer::FacturX", "no memory for the pages"));
    m_writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    m_writer.setCreator(QStringLiteral("Kestrova writer"));
    m_writer.setTitle(QFileInfo(m_file.path()).completeBaseName());
    if (!m_writer.setPageLayout(pageLayout(page)))
        throw WriterError(
            WriterError::BadPageSize,
            QCoreApplication::translate("writer::FacturX", "The page of %1 x %2 mm cannot be set up for \"%3\"")
                .arg(page.sizeMm.width())
                .arg(page.sizeMm.height())
                .arg(m_file.path()));
}

void FacturXTarget::finish()
{
    try {
        m_buffer.close();
        const QByteArray pdf = attachFacturX(m_pdf, m_xml);
        if (m_file.device().write(pdf) != pdf.size())
            throw WriterError(WriterError::UnwritableOutput,
                              QCoreApplication::translate("writer::FacturX", "\"%1\" could not be written: %2")
                                  .arg(m_file.path(), m_file.device().errorString()));
        m_file.commit();
    } catch (...) {
        m_file.cancel();
        throw;
    }
}

void FacturXTarget::abandon() noexcept
{
    m_file.cancel();
}

} // namespace kestrova::writer
