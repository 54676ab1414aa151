-- The demo set: the rows `kestrova-tables demo DIR` writes into a new set of tables.
--
-- The tool first makes the empty set (all thirteen tables, and the settings rows of Xtable
-- with empty values), then runs this script in one transaction: when any statement fails,
-- no table file is left behind. The tool is built with this file inside, so edit it here
-- and rebuild.
--
-- One section per table; a table without a section stays empty (Xexport). When editing:
--  * Write dates relative to today, date('now', 'localtime', '-N days'), so the demo
--    orders stay recent whenever the set is made.
--  * Write a line break inside an address as \n; the sections with addresses turn \n
--    into real line breaks at their end.
--  * Texts must fit their columns (the lengths in data/schema.cpp); a longer text is
--    refused, since the windows would cut it off.
--  * The settings rows of the empty set exist already: set them with UPDATE; the company's
--    rows are added with INSERT.
--  * Every INSERT, UPDATE and DELETE must change at least one row; one that changes
--    none (a misspelt setting name, say) is refused.

-- Xproduct: the products sold, in the order the windows offer them.
INSERT INTO Xproduct (Product) VALUES
  ('Tidewater Ledger'),
  ('Quillmark Pro'),
  ('Lumen Sketchbook'),
  ('Cinderpath Sync');

-- Xlanguage: the languages of customers and documents.
INSERT INTO Xlanguage (Language) VALUES
  ('EN'),
  ('DE'),
  ('FR');

-- Xcurrency: the currencies orders are invoiced in.
INSERT INTO Xcurrency (Currency) VALUES
  ('EUR'),
  ('USD'),
  ('GBP');

-- Xpayment: the means of payment.
INSERT INTO Xpayment (PaymentMeans) VALUES
  ('Card'),
  ('Transfer'),
  ('Cheque'),
  ('PayLink');

-- Xorigin: where orders come from. Reseller orders are invoiced by the distributor,
-- so they carry no amount and no invoice number of ours.
INSERT INTO Xorigin (Origin) VALUES
  ('Direct'),
  ('WebShop'),
  ('PayPoint'),
  ('Reseller');

-- Xtitle: titles and the salutation letters use with each.
INSERT INTO Xtitle (Title, Politeness) VALUES
  ('Mr', 'Dear Mr'),
  ('Mrs', 'Dear Mrs'),
  ('Ms', 'Dear Ms'),
  ('Dr', 'Dear Dr'),
  ('Herr', 'Sehr geehrter Herr'),
  ('Frau', 'Sehr geehrte Frau'),
  ('M.', 'Cher Monsieur'),
  ('Mme', 'Chère Madame');

-- Xprice: the price of one licence, and its tax. Euro and pound prices carry VAT,
-- dollar prices none; only the two older products are sold in pounds.
INSERT INTO Xprice (Product, Currency, NetAmount, Tax) VALUES
  ('Tidewater Ledger', 'EUR', 49.0, 9.31),
  ('Tidewater Ledger', 'USD', 54.0, 0.0),
  ('Tidewater Ledger', 'GBP', 42.0, 8.4),
  ('Quillmark Pro', 'EUR', 19.9, 3.78),
  ('Quillmark Pro', 'USD', 21.9, 0.0),
  ('Quillmark Pro', 'GBP', 17.5, 3.5),
  ('Lumen Sketchbook', 'EUR', 29.0, 5.51),
  ('Lumen Sketchbook', 'USD', 32.0, 0.0),
  ('Cinderpath Sync', 'EUR', 12.5, 2.38),
  ('Cinderpath Sync', 'USD', 14.0, 0.0);

-- Xemail: the product ids the shops' notification mails carry, and the function of the
-- function library that reads each kind of mail.
INSERT INTO Xemail (Origin, ProductId, Product, EmailFunction) VALUES
  ('WebShop', 'TL-01', 'Tidewater Ledger', 'RecogniseWebShop'),
  ('WebShop', 'QP-02', 'Quillmark Pro', 'RecogniseWebShop'),
  ('WebShop', 'LS-03', 'Lumen Sketchbook', 'RecogniseWebShop'),
  ('WebShop', 'CS-04', 'Cinderpath Sync', 'RecogniseWebShop'),
  ('PayPoint', '1001', 'Tidewater Ledger', 'RecognisePayPoint'),
  ('PayPoint', '1002', 'Quillmark Pro', 'RecognisePayPoint'),
  ('PayPoint', '1003', 'Lumen Sketchbook', 'RecognisePayPoint'),
  ('PayPoint', '1004', 'Cinderpath Sync', 'RecognisePayPoint');

-- Xfactory: what the document writer is told for each product and language. Every
-- document is rendered from the sample templates of templates/ (German for DE, English
-- otherwise) into documents/ and opened; the batch command writes a licence file.
-- Invoices are Factur-X PDFs carrying their EN 16931 data, so every order with an
-- invoice number must give what that data needs: a customer in another EU country
-- that pays no tax names its VAT identification number on a line of its address.
INSERT INTO Xfactory (Product, Language, Labels, Envelope, Mail, Mailing, Invoice, Batch)
SELECT p.Product, l.Language,
       '[Labels "' || t.dir || '/labels.html" 3 8 "documents/Labels.pdf"][Open]',
       '[Pdf "' || t.dir || '/envelope.html" "documents/Envelope $Name.pdf"][Open]',
       '[Pdf "' || t.dir || '/letter.html" "documents/Letter $Name.pdf"][Open]',
       '[Pdf "' || t.dir || '/mailing.html" "documents/Mailing ' || l.Language || '.pdf"][Open]',
       '[FacturX "' || t.dir || '/invoice.html" "documents/Invoice $InvoiceNumber.pdf"][Open]',
       './write-licence'
FROM Xproduct p
CROSS JOIN Xlanguage l
JOIN (SELECT 'DE' AS Language, 'de' AS dir UNION ALL SELECT 'EN', 'en' UNION ALL SELECT 'FR', 'en') t
  ON t.Language = l.Language
ORDER BY p.Product, l.Language;

-- Xdistributor: the resellers; each serves customers of its own language.
INSERT INTO Xdistributor (Company, Language, Title, Person, Address, Telephone, Fax, EMail, Licensee) VALUES
  ('Brightwater Software Supply Ltd', 'EN', 'Mr', 'Graham Pell', 'Unit 4, Riverside Park\nReading RG1 8DN\nUnited Kingdom',
   '+44 118 496 0710', '+44 118 496 0711', 'g.pell@example.com', 'Brightwater Software Supply'),
  ('Keystone Apps Distribution Inc.', 'EN', 'Ms', 'Laura Fitch', '300 Pine Street, Floor 6\nSeattle, WA 98101\nUSA',
   '+1 206 555 0143', '+1 206 555 0144', 'laura.fitch@example.org', 'Keystone Apps Distribution'),
  ('Softwarehaus Brenner GmbH', 'DE', 'Herr', 'Ulrich Brenner', 'Schillerstraße 40\n80336 München\nDeutschland',
   '+49 89 5550 2210', '+49 89 5550 2211', 'u.brenner@example.com', 'Softwarehaus Brenner GmbH'),
  ('Nordlicht Vertrieb KG', 'DE', 'Frau', 'Heike Sommer', 'Speicherstadt 6\n20457 Hamburg\nDeutschland',
   '+49 40 5550 8830', '+49 40 5550 8831', 'h.sommer@example.org', 'Nordlicht Vertrieb KG');
UPDATE Xdistributor SET Address = replace(Address, '\n', char(10));

-- Xsale: the demo orders over the two years up to today, oldest first.
-- Invoice numbers are written as their counter alone (NNNN): the year in front of it is that
-- of the order date, which moves with today, and is added below.
INSERT INTO Xsale (
    OrderDate, Person, Title, Company,
    Address, FaxOrEMail,
    Product, Language, Licensee, Origin, Reference, NumberOfLicenses, Currency,
    PaymentMeans, PaymentDate, InvoiceNumber, NetAmount, Tax,
    DeliveryCompany, DeliveryTitle, DeliveryPerson, DeliveryAddress, DeliveryFaxOrEMail)
VALUES
  (date('now', 'localtime', '-728 days'), 'Owen Whitlock', 'Mr', 'Whitlock Joinery Ltd',
   '14 Carder Lane\nNorwich NR2 4QT\nUnited Kingdom', 'o.whitlock@example.com',
   'Tidewater Ledger', 'EN', 'Mr Owen Whitlock', 'Direct', 'PO 2300', 1, 'GBP',
   'Transfer', date('now', 'localtime', '-722 days'), '0001', 42.0, 8.4,
   '', '', '', '', ''),
  (date('now', 'localtime', '-715 days'), 'Jürgen Albrecht', 'Herr', 'Albrecht Steuerberatung',
   'Lindenstraße 12\n20095 Hamburg\nDeutschland', 'albrecht@example.com',
   'Tidewater Ledger', 'DE', 'Herr Jürgen Albrecht', 'Direct', '', 2, 'EUR',
   'Transfer', date('now', 'localtime', '-706 days'), '0002', 98.0, 18.62,
   '', '', '', '', ''),
  (date('now', 'localtime', '-701 days'), 'Priya Ramanathan', 'Ms', '',
   '2208 Alder Court, Apt 5\nMadison, WI 53703\nUSA', 'priya.r@example.org',
   'Quillmark Pro', 'EN', 'Ms Priya Ramanathan', 'WebShop', 'WS-40223', 1, 'USD',
   'Card', date('now', 'localtime', '-701 days'), '0003', 21.9, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-688 days'), 'Julien Marchand', 'M.', 'Atelier Marchand',
   '14 rue des Tanneurs\n69002 Lyon\nFrance', 'julien.marchand@example.com',
   'Lumen Sketchbook', 'FR', 'M. Julien Marchand', 'WebShop', 'WS-40276', 1, 'EUR',
   'Card', date('now', 'localtime', '-687 days'), '0004', 29.0, 5.51,
   '', '', '', '', ''),
  (date('now', 'localtime', '-670 days'), 'Sabine Köhler', 'Frau', '',
   'Am Mühlbach 4\n79098 Freiburg\nDeutschland', 'sabine.koehler@example.org',
   'Quillmark Pro', 'DE', 'Frau Sabine Köhler', 'PayPoint', 'PP880724', 1, 'EUR',
   'PayLink', date('now', 'localtime', '-670 days'), '0005', 19.9, 3.78,
   '', '', '', '', ''),
  (date('now', 'localtime', '-652 days'), 'Daniel Okafor', 'Mr', 'Brightfold Studio LLC',
   '455 Harbor Street, Suite 210\nPortland, OR 97204\nUSA', 'd.okafor@example.com',
   'Tidewater Ledger', 'EN', 'Mr Daniel Okafor', 'Direct', '', 3, 'USD',
   'Transfer', date('now', 'localtime', '-638 days'), '0006', 162.0, 0.0,
   'Brightfold Studio LLC', 'Ms', 'Renee Castillo', 'Remote office\n17 Birch Hollow Road\nBend, OR 97701\nUSA', 'r.castillo@example.com'),
  (date('now', 'localtime', '-640 days'), 'Matthias Engel', 'Herr', 'Engel Metallbau GmbH',
   'Industriestraße 31\n70565 Stuttgart\nDeutschland', 'm.engel@example.com',
   'Tidewater Ledger', 'DE', 'Herr Matthias Engel', 'Reseller', 'SWB-4322', 1, '',
   '', NULL, '', NULL, NULL,
   'Softwarehaus Brenner GmbH', 'Herr', 'Ulrich Brenner', 'Schillerstraße 40\n80336 München\nDeutschland', 'u.brenner@example.com'),
  (date('now', 'localtime', '-623 days'), 'Helen Marsh', 'Dr', 'Marsh Veterinary Practice',
   '7 Quarry Road\nBath BA1 5LX\nUnited Kingdom', 'helen.marsh@example.com',
   'Quillmark Pro', 'EN', 'Dr Helen Marsh', 'WebShop', 'WS-40488', 2, 'GBP',
   'Card', date('now', 'localtime', '-623 days'), '0007', 35.0, 7.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-605 days'), 'Claire Dubois', 'Mme', '',
   '5 avenue Foch\n33000 Bordeaux\nFrance', 'claire.dubois@example.org',
   'Quillmark Pro', 'FR', 'Mme Claire Dubois', 'PayPoint', 'PP881248', 1, 'EUR',
   'PayLink', date('now', 'localtime', '-603 days'), '0008', 19.9, 3.78,
   '', '', '', '', ''),
  (date('now', 'localtime', '-590 days'), 'Samuel Brandt', 'Mr', 'Northway Freight Inc.',
   '1200 Commerce Drive\nColumbus, OH 43215\nUSA', 'sbrandt@example.com',
   'Cinderpath Sync', 'EN', 'Mr Samuel Brandt', 'Direct', 'PO 2363', 5, 'USD',
   'Cheque', date('now', 'localtime', '-569 days'), '0009', 70.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-571 days'), 'Aisling Byrne', 'Ms', 'Byrne & Doyle Architects',
   '22 Merchant Quay\nDublin 8\nIreland\nVAT No.: IE1234567TA', 'aisling.byrne@example.com',
   'Tidewater Ledger', 'EN', 'Ms Aisling Byrne', 'Direct', '', 2, 'EUR',
   'Transfer', date('now', 'localtime', '-561 days'), '0010', 98.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-555 days'), 'Katrin Vogt', 'Frau', 'Praxis Vogt',
   'Bahnhofplatz 2\n6003 Luzern\nSchweiz', 'praxis.vogt@example.org',
   'Lumen Sketchbook', 'DE', 'Frau Katrin Vogt', 'Direct', '', 1, 'EUR',
   'Transfer', date('now', 'localtime', '-543 days'), '0011', 29.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-538 days'), 'Margaret Ellery', 'Mrs', '',
   'Rose Cottage\nLittle Haddon\nYork YO32 9PZ\nUnited Kingdom', 'm.ellery@example.org',
   'Quillmark Pro', 'EN', 'Mrs Margaret Ellery', 'WebShop', 'WS-40753', 1, 'GBP',
   'Card', date('now', 'localtime', '-538 days'), '0012', 17.5, 3.5,
   '', '', '', '', ''),
  (date('now', 'localtime', '-520 days'), 'Thomas Reyes', 'Dr', 'Reyes Dental Group',
   '88 Cedar Avenue\nAustin, TX 78701\nUSA', 't.reyes@example.org',
   'Tidewater Ledger', 'EN', 'Dr Thomas Reyes', 'Reseller', 'KAD-4581', 2, '',
   '', NULL, '', NULL, NULL,
   'Keystone Apps Distribution Inc.', 'Ms', 'Laura Fitch', '300 Pine Street, Floor 6\nSeattle, WA 98101\nUSA', 'laura.fitch@example.org'),
  (date('now', 'localtime', '-503 days'), 'Stefan Lorenz', 'Herr', '',
   'Gartenweg 9\n04109 Leipzig\nDeutschland', 'stefan.lorenz@example.com',
   'Cinderpath Sync', 'DE', 'Herr Stefan Lorenz', 'WebShop', 'WS-40859', 2, 'EUR',
   'Card', date('now', 'localtime', '-502 days'), '0013', 25.0, 4.76,
   '', '', '', '', ''),
  (date('now', 'localtime', '-486 days'), 'Owen Whitlock', 'Mr', 'Whitlock Joinery Ltd',
   '14 Carder Lane\nNorwich NR2 4QT\nUnited Kingdom', 'o.whitlock@example.com',
   'Quillmark Pro', 'EN', 'Mr Owen Whitlock', 'Direct', 'PO 2405', 1, 'GBP',
   'Transfer', date('now', 'localtime', '-481 days'), '0014', 17.5, 3.5,
   '', '', '', '', ''),
  (date('now', 'localtime', '-470 days'), 'Sophie Garnier', 'Mme', 'Cabinet Garnier',
   '3 place du Marché\n1204 Genève\nSuisse', 's.garnier@example.org',
   'Tidewater Ledger', 'FR', 'Mme Sophie Garnier', 'Direct', '', 3, 'EUR',
   'Transfer', date('now', 'localtime', '-452 days'), '0015', 147.0, 0.0,
   'Cabinet Garnier Lausanne', 'M.', 'Paul Favre', '12 avenue de la Gare\n1003 Lausanne\nSuisse', 'p.favre@example.org'),
  (date('now', 'localtime', '-452 days'), 'Janet Holloway', 'Mrs', '',
   '3 Linden Gardens\nLeeds LS6 2HB\nUnited Kingdom', 'janet.holloway@example.com',
   'Quillmark Pro', 'EN', 'Mrs Janet Holloway', 'PayPoint', 'PP882427', 1, 'GBP',
   'PayLink', date('now', 'localtime', '-452 days'), '0016', 17.5, 3.5,
   '', '', '', '', ''),
  (date('now', 'localtime', '-436 days'), 'Andrea Hoffmann', 'Frau', 'Hoffmann & Partner',
   'Kärntner Ring 18\n1010 Wien\nÖsterreich\nUID: ATU12345678', 'a.hoffmann@example.org',
   'Tidewater Ledger', 'DE', 'Frau Andrea Hoffmann', 'Direct', 'PO 2426', 4, 'EUR',
   '', NULL, '0017', 196.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-419 days'), 'Kevin Tran', 'Mr', 'Tranquil Software Co.',
   '919 Market Street\nSan Francisco, CA 94103\nUSA', 'kevin.tran@example.com',
   'Cinderpath Sync', 'EN', 'Mr Kevin Tran', 'WebShop', 'WS-41124', 1, 'USD',
   'Card', date('now', 'localtime', '-419 days'), '0018', 14.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-401 days'), 'Luc Moreau', 'M.', '',
   '11 rue Pasteur\n44000 Nantes\nFrance', 'luc.moreau@example.com',
   'Quillmark Pro', 'FR', 'M. Luc Moreau', 'WebShop', 'WS-41177', 1, 'EUR',
   'Card', date('now', 'localtime', '-401 days'), '0019', 19.9, 3.78,
   '', '', '', '', ''),
  (date('now', 'localtime', '-384 days'), 'Tobias Wendt', 'Herr', 'Wendt Elektrotechnik',
   'Hafenstraße 77\n28217 Bremen\nDeutschland', 't.wendt@example.com',
   'Tidewater Ledger', 'DE', 'Herr Tobias Wendt', 'Reseller', 'NLV-4877', 2, '',
   '', NULL, '', NULL, NULL,
   'Nordlicht Vertrieb KG', 'Frau', 'Heike Sommer', 'Speicherstadt 6\n20457 Hamburg\nDeutschland', 'h.sommer@example.org'),
  (date('now', 'localtime', '-366 days'), 'Priya Ramanathan', 'Ms', '',
   '2208 Alder Court, Apt 5\nMadison, WI 53703\nUSA', 'priya.r@example.org',
   'Lumen Sketchbook', 'EN', 'Ms Priya Ramanathan', 'WebShop', 'WS-41283', 1, 'USD',
   'Card', date('now', 'localtime', '-366 days'), '0020', 32.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-349 days'), 'Jürgen Albrecht', 'Herr', 'Albrecht Steuerberatung',
   'Lindenstraße 12\n20095 Hamburg\nDeutschland', 'albrecht@example.com',
   'Cinderpath Sync', 'DE', 'Herr Jürgen Albrecht', 'Direct', '', 3, 'EUR',
   'Transfer', date('now', 'localtime', '-342 days'), '0021', 37.5, 7.14,
   'Albrecht Steuerberatung', 'Frau', 'Nina Albrecht', 'Filiale Altona\nOttenser Hauptstraße 3\n22765 Hamburg\nDeutschland', 'n.albrecht@example.com'),
  (date('now', 'localtime', '-331 days'), 'Élodie Renaud', 'Mme', 'Renaud Traductions',
   '8 quai de la Fosse\n1000 Bruxelles\nBelgique\nTVA: BE0123456789', 'elodie.renaud@example.org',
   'Tidewater Ledger', 'FR', 'Mme Élodie Renaud', 'Direct', 'PO 2468', 1, 'EUR',
   'Transfer', date('now', 'localtime', '-320 days'), '0022', 49.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-312 days'), 'Samuel Brandt', 'Mr', 'Northway Freight Inc.',
   '1200 Commerce Drive\nColumbus, OH 43215\nUSA', 'sbrandt@example.com',
   'Tidewater Ledger', 'EN', 'Mr Samuel Brandt', 'Direct', '', 2, 'USD',
   'Cheque', date('now', 'localtime', '-287 days'), '0023', 108.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-296 days'), 'Sabine Köhler', 'Frau', '',
   'Am Mühlbach 4\n79098 Freiburg\nDeutschland', 'sabine.koehler@example.org',
   'Lumen Sketchbook', 'DE', 'Frau Sabine Köhler', 'PayPoint', 'PP883606', 1, 'EUR',
   'PayLink', date('now', 'localtime', '-296 days'), '0024', 29.0, 5.51,
   '', '', '', '', ''),
  (date('now', 'localtime', '-278 days'), 'Daniel Okafor', 'Mr', 'Brightfold Studio LLC',
   '455 Harbor Street, Suite 210\nPortland, OR 97204\nUSA', 'd.okafor@example.com',
   'Quillmark Pro', 'EN', 'Mr Daniel Okafor', 'Direct', 'PO 2489', 5, 'USD',
   'Transfer', date('now', 'localtime', '-269 days'), '0025', 109.5, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-259 days'), 'Julien Marchand', 'M.', 'Atelier Marchand',
   '14 rue des Tanneurs\n69002 Lyon\nFrance', 'julien.marchand@example.com',
   'Tidewater Ledger', 'FR', 'M. Julien Marchand', 'Direct', '', 1, 'EUR',
   'Transfer', date('now', 'localtime', '-246 days'), '0026', 49.0, 9.31,
   '', '', '', '', ''),
  (date('now', 'localtime', '-241 days'), 'Helen Marsh', 'Dr', 'Marsh Veterinary Practice',
   '7 Quarry Road\nBath BA1 5LX\nUnited Kingdom', 'helen.marsh@example.com',
   'Tidewater Ledger', 'EN', 'Dr Helen Marsh', 'Reseller', 'BSS-5173', 1, '',
   '', NULL, '', NULL, NULL,
   'Brightwater Software Supply Ltd', 'Mr', 'Graham Pell', 'Unit 4, Riverside Park\nReading RG1 8DN\nUnited Kingdom', 'g.pell@example.com'),
  (date('now', 'localtime', '-224 days'), 'Matthias Engel', 'Herr', 'Engel Metallbau GmbH',
   'Industriestraße 31\n70565 Stuttgart\nDeutschland', 'm.engel@example.com',
   'Quillmark Pro', 'DE', 'Herr Matthias Engel', 'WebShop', 'WS-41707', 2, 'EUR',
   'Card', date('now', 'localtime', '-224 days'), '0027', 39.8, 7.56,
   '', '', '', '', ''),
  (date('now', 'localtime', '-206 days'), 'Aisling Byrne', 'Ms', 'Byrne & Doyle Architects',
   '22 Merchant Quay\nDublin 8\nIreland\nVAT No.: IE1234567TA', 'aisling.byrne@example.com',
   'Cinderpath Sync', 'EN', 'Ms Aisling Byrne', 'WebShop', 'WS-41760', 1, 'EUR',
   'Card', date('now', 'localtime', '-206 days'), '0028', 12.5, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-188 days'), 'Claire Dubois', 'Mme', '',
   '5 avenue Foch\n33000 Bordeaux\nFrance', 'claire.dubois@example.org',
   'Lumen Sketchbook', 'FR', 'Mme Claire Dubois', 'Direct', '', 2, 'EUR',
   'Cheque', date('now', 'localtime', '-172 days'), '0029', 58.0, 11.02,
   '', 'Mme', 'Lucie Dubois', '19 rue Victor Hugo\n37000 Tours\nFrance', 'lucie.dubois@example.org'),
  (date('now', 'localtime', '-169 days'), 'Thomas Reyes', 'Dr', 'Reyes Dental Group',
   '88 Cedar Avenue\nAustin, TX 78701\nUSA', 't.reyes@example.org',
   'Quillmark Pro', 'EN', 'Dr Thomas Reyes', 'PayPoint', 'PP884523', 1, 'USD',
   'PayLink', date('now', 'localtime', '-168 days'), '0030', 21.9, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-150 days'), 'Katrin Vogt', 'Frau', 'Praxis Vogt',
   'Bahnhofplatz 2\n6003 Luzern\nSchweiz', 'praxis.vogt@example.org',
   'Tidewater Ledger', 'DE', 'Frau Katrin Vogt', 'Direct', '', 1, 'EUR',
   '', NULL, '0031', 49.0, 0.0,
   '', '', '', '', ''),
  (date('now', 'localtime', '-128 days'), 'Margaret Ellery', 'Mrs', '',
   'Rose Cottage\nLittle Haddon\nYork YO32 9PZ\nUnited Kingdom', 'm.ellery@example.org',
   'Tidewater Ledger', 'EN', 'Mrs Margaret Ellery', 'WebShop', 'WS-41972', 1, 'GBP',
   'Card', date('now', 'localtime', '-128 days'), '0032', 42.0, 8.4,
   '', '', '', '', ''),
  (date('now', 'localtime', '-104 days'), 'Andrea Hoffmann', 'Frau', 'Hoffmann & Partner',
   'Kärntner Ring 18\n1010 Wien\nÖsterreich\nUID: ATU12345678', 'a.hoffmann@example.org',
   'Lumen Sketchbook', 'DE', 'Frau Andrea Hoffmann', 'Reseller', 'NLV-5432', 2, '',
   '', NULL, '', NULL, NULL,
   'Nordlicht Vertrieb KG', 'Frau', 'Heike Sommer', 'Speicherstadt 6\n20457 Hamburg\nDeutschland', 'h.sommer@example.org'),
  (date('now', 'localtime', '-77 days'), 'Kevin Tran', 'Mr', 'Tranquil Software Co.',
   '919 Market Street\nSan Francisco, CA 94103\nUSA', 'kevin.tran@example.com',
   'Tidewater Ledger', 'EN', 'Mr Kevin Tran', 'Direct', '', 3, 'USD',
   'Transfer', date('now', 'localtime', '-57 days'), '0033', 162.0, 0.0,
   'Tranquil Software Co.', 'Mr', 'Marcus Bell', 'Accounts Payable\n919 Market Street, Floor 3\nSan Francisco, CA 94103\nUSA', 'ap@example.com'),
  (date('now', 'localtime', '-45 days'), 'Antoine Lefèvre', 'M.', 'Lefèvre Conseil SARL',
   '27 boulevard Carnot\n59000 Lille\nFrance', 'a.lefevre@example.com',
   'Cinderpath Sync', 'FR', 'M. Antoine Lefèvre', 'PayPoint', 'PP885178', 1, 'EUR',
   'PayLink', date('now', 'localtime', '-45 days'), '0034', 12.5, 2.38,
   '', '', '', '', ''),
  (date('now', 'localtime', '-21 days'), 'Stefan Lorenz', 'Herr', '',
   'Gartenweg 9\n04109 Leipzig\nDeutschland', 'stefan.lorenz@example.com',
   'Quillmark Pro', 'DE', 'Herr Stefan Lorenz', 'Direct', 'PO 2573', 1, 'EUR',
   '', NULL, '0035', 19.9, 3.78,
   '', '', '', '', ''),
  (date('now', 'localtime', '-9 days'), 'Tobias Wendt', 'Herr', 'Wendt Elektrotechnik',
   'Hafenstraße 77\n28217 Bremen\nDeutschland', 't.wendt@example.com',
   'Tidewater Ledger', 'DE', 'Herr Tobias Wendt', 'Direct', '', 2, 'EUR',
   '', NULL, '0036', 98.0, 18.62,
   '', '', '', '', ''),
  (date('now', 'localtime', '-3 days'), 'Priya Ramanathan', 'Ms', '',
   '2208 Alder Court, Apt 5\nMadison, WI 53703\nUSA', 'priya.r@example.org',
   'Quillmark Pro', 'EN', 'Ms Priya Ramanathan', 'WebShop', 'WS-42290', 2, 'USD',
   'Card', date('now', 'localtime', '-3 days'), '0037', 43.8, 0.0,
   '', '', '', '', '');

UPDATE Xsale SET Address = replace(Address, '\n', char(10)),
                 DeliveryAddress = replace(DeliveryAddress, '\n', char(10));

UPDATE Xsale SET InvoiceNumber = strftime('%Y', OrderDate) || '-' || InvoiceNumber
 WHERE InvoiceNumber <> '';

-- Xtable: the settings. The password stays empty.
UPDATE Xtable SET Value = 'kestrova-writer' WHERE Name = 'CommandLine';
UPDATE Xtable SET Value = 'org.kestrova.Writer' WHERE Name = 'DdeService';
UPDATE Xtable SET Value = 'System' WHERE Name = 'DdeTopic';
UPDATE Xtable SET Value = '[Quit]' WHERE Name = 'LastDdeMacro';
UPDATE Xtable SET Value = 'demo-mail' WHERE Name = 'Profile';
UPDATE Xtable SET Value = 'INBOX' WHERE Name = 'MessageStore';
UPDATE Xtable SET Value = 'Processed' WHERE Name = 'SaveFolder';
UPDATE Xtable SET Value = 'NextInvoiceNumber' WHERE Name = 'InvoiceFunction';

-- The company on every document: the templates take these through their markers.
INSERT INTO Xtable (Name, Value) VALUES
  ('CompanyName', 'Kestrova Demo Software Ltd'),
  ('CompanyStreet', '12 Harbour Row'),
  ('CompanyPostcode', 'BS1 4QA'),
  ('CompanyCity', 'Bristol'),
  ('CompanyCountry', 'GB'),
  ('CompanyVatId', 'GB000000000'),
  ('CompanyTaxNumber', '00000000'),
  ('CompanyContact', 'www.kestrova.example'),
  ('CompanyPhone', '+44 117 496 0000'),
  ('CompanyEMail', 'sales@kestrova.example'),
  ('CompanyIban', 'GB82WEST12345698765432'),
  ('CompanyBic', 'WESTGB2L'),
  ('CompanyBank', 'Harbour Bank'),
  ('PaymentTerms', 'Payable within 14 days of the invoice date without deduction.'),
  ('PaymentDays', '14'),
  ('VatExemptionNote', '');

-- The last invoice number given, from which the function library counts on.
UPDATE Xtable SET Value = (SELECT InvoiceNumber FROM Xsale WHERE InvoiceNumber <> ''
                            ORDER BY rowid DESC LIMIT 1)
 WHERE Name = 'LastInvoiceNumber';
