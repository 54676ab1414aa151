#pragma once

// Tables, the sample function library and notifications in the sample
// library's two layouts, for the e-mail intake tests.

#include "tests/intake/mailfixture.h"
#include "tests/support/tablefixture.h"

#include <QDir>
#include <QFile>

namespace mailorders {

inline QByteArray webShop(const QByteArray& reference, const QByteArray& productId, const QByteArray& email,
                          const QByteArray& person = "Owen Whitlock")
{
    return mailfixture::message(
        "From: \"WebShop\" <noreply@webshop.example.com>\r\nTo: orders@example.org\r\nSubject: New order " + reference +
            "\r\nMessage-ID: <" + reference + "@webshop.example.com>\r\n",
        "WebShop order notification\r\nOrder reference: " + reference + "\r\nProduct id: " + productId +
            "\r\nLanguage: EN\r\nLicenses: 2\r\nCurrency: EUR\r\nNet amount: 98\r\nTax: 18.62\r\nPayment: Card\r\n"
            "Title: Mr\r\nName: " +
            person +
            "\r\nCompany: Whitlock Joinery Ltd\r\nAddress: 14 Carder Lane\r\n"
            "Address: Norwich\r\n" +
            (email.isEmpty() ? QByteArray() : "E-mail: " + email + "\r\n") + "Licensee: Whitlock Joinery\r\n");
}

inline QByteArray payPoint(const QByteArray& reference, const QByteArray& item)
{
    return mailfixture::message(
        "From: PayPoint <records@paypoint.example.net>\r\nSubject: Sale " + reference + "\r\n",
        "PAYPOINT SALE RECORD\r\nTXN       " + reference + "\r\nITEM      " + item +
            "\r\nLANG      DE\r\nQTY       1\r\nCURRENCY  EUR\r\nNET       19.9\r\nTAX       3.78\r\n"
            "METHOD    PayLink\r\nSALUTE    Frau\r\nBUYER     Anna Keller\r\nADDR      Lindenweg 5\r\n"
            "CONTACT   anna.keller@example.org\r\n");
}

inline QByteArray newsletter()
{
    return mailfixture::message("From: News <news@example.org>\r\nSubject: Newsletter\r\n", "No orders in here.\r\n");
}

// Recognition rows, settings and the reply template of a working folder.
inline void prepareFolder(TableFixture& fx, const QString& library, const QByteArray& replyTemplate)
{
    QFile::copy(library, QDir(fx.dir()).filePath("function.dll"));
    for (const auto& row : QList<QStringList>{{"WebShop", "TL-01", "Tidewater Ledger", "RecogniseWebShop"},
                                              {"WebShop", "QP-02", "Quillmark Pro", "RecogniseWebShop"},
                                              {"PayPoint", "1002", "Quillmark Pro", "RecognisePayPoint"}})
        fx.exec("Xemail", "INSERT INTO Xemail (Origin, ProductId, Product, EmailFunction) VALUES (?, ?, ?, ?)",
                {row[0], row[1], row[2], row[3]});
    fx.exec("Xtable", "UPDATE Xtable SET Value = 'NextInvoiceNumber' WHERE Name = 'InvoiceFunction'");
    fx.exec("Xtable", "UPDATE Xtable SET Value = '2026-0041' WHERE Name = 'LastInvoiceNumber'");
    QFile reply(QDir(fx.dir()).filePath("Register.txt"));
    if (reply.open(QIODevice::WriteOnly))
        reply.write(replyTemplate);
}

inline void setMailSettings(TableFixture& fx, const QString& profile, const QString& password = {},
                            const QString& store = "INBOX", const QString& save = "Processed")
{
    for (const auto& [name, value] : QList<std::pair<QString, QString>>{
             {"Profile", profile}, {"Password", password}, {"MessageStore", store}, {"SaveFolder", save}})
        fx.exec("Xtable", "UPDATE Xtable SET Value = ? WHERE Name = ?", {value.isNull() ? QString("") : value, name});
}

// The messages in a Maildir folder with their flags ("Subject: ... [S]").
inline QStringList mail(const QString& root, const QString& folder = {})
{
    return mailfixture::subjectsIn(folder.isEmpty() ? root : QDir(root).filePath("." + folder));
}

} // namespace mailorders
