<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>Conversation</name>
    <message>
        <source>[Open] has nothing to open: this conversation has written no PDF yet</source>
        <translation>[Open] hat nichts zu öffnen: In dieser Sitzung wurde noch keine PDF-Datei geschrieben</translation>
    </message>
    <message>
        <source>No viewer could be started for &quot;%1&quot;</source>
        <translation>Für „%1“ konnte kein Anzeigeprogramm gestartet werden</translation>
    </message>
    <message>
        <source>The exchange table Xexport holds no record: there is nothing to print with &quot;%1&quot;</source>
        <translation>Die Austauschtabelle Xexport enthält keinen Datensatz: Mit „%1“ gibt es nichts zu drucken</translation>
    </message>
    <message>
        <source>The exchange table Xexport holds no record: there is no invoice for &quot;%1&quot;</source>
        <translation>Die Austauschtabelle Xexport enthält keinen Datensatz: Für „%1“ gibt es keine Rechnung</translation>
    </message>
</context>
<context>
    <name>DocumentTemplate</name>
    <message>
        <source>The template &quot;%1&quot; nests tables in tables more than %2 deep; the writer lays out at most %2</source>
        <translation>Die Vorlage „%1“ verschachtelt Tabellen in Tabellen tiefer als %2 Ebenen; der Dokumentschreiber setzt höchstens %2 Ebenen</translation>
    </message>
    <message>
        <source>The template &quot;%1&quot; nests its elements more than %2 deep; the writer lays out at most %2</source>
        <translation>Die Vorlage „%1“ verschachtelt ihre Elemente tiefer als %2 Ebenen; der Dokumentschreiber setzt höchstens %2 Ebenen</translation>
    </message>
    <message>
        <source>template</source>
        <extracomment>Fills %1 of &quot;The %1 &quot;%2&quot; is refused: %3&quot;.</extracomment>
        <translation>Vorlage</translation>
    </message>
    <message>
        <source>The template &quot;%1&quot; was not found at %2</source>
        <translation>Die Vorlage „%1“ wurde unter %2 nicht gefunden</translation>
    </message>
    <message>
        <source> nor at </source>
        <extracomment>Joins the folders in &quot;The template &quot;%1&quot; was found neither at %2&quot;; keep the blanks at both ends.</extracomment>
        <translation> noch unter </translation>
    </message>
    <message>
        <source>The template &quot;%1&quot; was found neither at %2</source>
        <translation>Die Vorlage „%1“ wurde weder unter %2 gefunden</translation>
    </message>
</context>
<context>
    <name>ExchangeTable</name>
    <message>
        <source>The exchange table &quot;%1&quot; does not exist</source>
        <translation>Die Austauschtabelle „%1“ existiert nicht</translation>
    </message>
    <message>
        <source>The exchange table &quot;%1&quot; cannot be opened: %2</source>
        <translation>Die Austauschtabelle „%1“ kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>The exchange table &quot;%1&quot; cannot be read: %2</source>
        <translation>Die Austauschtabelle „%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The exchange table &quot;%1&quot; is being written; try again once Kestrova has written the document</source>
        <translation>Die Austauschtabelle „%1“ wird gerade geschrieben; versuchen Sie es erneut, sobald Kestrova das Dokument geschrieben hat</translation>
    </message>
    <message>
        <source>The field %1 of the exchange table holds a value of %2 bytes; the writer takes at most %3</source>
        <translation>Das Feld %1 der Austauschtabelle enthält einen Wert von %2 Byte; der Dokumentschreiber verarbeitet höchstens %3</translation>
    </message>
</context>
<context>
    <name>kestrova::writer::WriterService</name>
    <message>
        <source>There is no open conversation %1</source>
        <translation>Es gibt keine offene Sitzung %1</translation>
    </message>
    <message>
        <source>The writer is busy with another document; try again once it is done.</source>
        <translation>Der Dokumentschreiber ist mit einem anderen Dokument beschäftigt; versuchen Sie es erneut, sobald er damit fertig ist.</translation>
    </message>
    <message>
        <source>There is no open conversation %1.</source>
        <translation>Es gibt keine offene Sitzung %1.</translation>
    </message>
    <message>
        <source>There is not enough memory to carry out the macro</source>
        <translation>Für die Ausführung des Makros ist nicht genug Arbeitsspeicher vorhanden</translation>
    </message>
</context>
<context>
    <name>writer::CommandParser</name>
    <message>
        <source>The macro text &quot;%1&quot; is not a command: commands are written in brackets, like [Pdf &quot;TEMPLATE&quot; &quot;OUTPUT&quot;]</source>
        <translation>Der Makrotext „%1“ ist kein Befehl: Befehle werden in eckige Klammern geschrieben, etwa [Pdf &quot;VORLAGE&quot; &quot;AUSGABE&quot;]</translation>
    </message>
    <message>
        <source>The command &quot;%1&quot; has no name</source>
        <translation>Der Befehl „%1“ hat keinen Namen</translation>
    </message>
    <message>
        <source>The command &quot;%1&quot; has no closing bracket</source>
        <translation>Dem Befehl „%1“ fehlt die schließende Klammer</translation>
    </message>
    <message>
        <source>The arguments of [%1] must be separated by blanks</source>
        <translation>Die Argumente von [%1] müssen durch Leerzeichen getrennt sein</translation>
    </message>
    <message>
        <source>An argument of [%1] has no closing double quote</source>
        <translation>Einem Argument von [%1] fehlt das schließende Anführungszeichen</translation>
    </message>
    <message>
        <source>A double quote inside an unquoted argument of [%1]: write the argument in double quotes</source>
        <translation>Ein Anführungszeichen in einem Argument von [%1], das nicht in Anführungszeichen steht: Schreiben Sie das Argument in Anführungszeichen</translation>
    </message>
    <message>
        <source>[%1] needs a number of label columns from 1 to %2, not &quot;%3&quot;</source>
        <translation>[%1] benötigt eine Anzahl Etikettenspalten von 1 bis %2, nicht „%3“</translation>
    </message>
    <message>
        <source>[%1] needs a number of label rows from 1 to %2, not &quot;%3&quot;</source>
        <translation>[%1] benötigt eine Anzahl Etikettenzeilen von 1 bis %2, nicht „%3“</translation>
    </message>
    <message>
        <source>[%1] takes %2, but %3 argument was given</source>
        <extracomment>%1 is a command such as Pdf, %2 what it takes, %3 the number of arguments given.</extracomment>
        <translation>[%1] erwartet %2, angegeben wurde aber %3 Argument</translation>
    </message>
    <message>
        <source>[%1] takes %2, but %3 arguments were given</source>
        <translation>[%1] erwartet %2, angegeben wurden aber %3 Argumente</translation>
    </message>
    <message>
        <source>[%1] needs %2, but the argument is empty</source>
        <translation>[%1] benötigt %2, aber das Argument ist leer</translation>
    </message>
    <message>
        <source>a template and an output file: [FacturX &quot;TEMPLATE&quot; &quot;OUTPUT&quot;]</source>
        <extracomment>Completes &quot;[%1] takes %2, but ...&quot;: what the command takes; words in capitals stand for its arguments.</extracomment>
        <translation>eine Vorlage und eine Ausgabedatei: [FacturX &quot;VORLAGE&quot; &quot;AUSGABE&quot;]</translation>
    </message>
    <message>
        <source>a template and an output file: [Pdf &quot;TEMPLATE&quot; &quot;OUTPUT&quot;]</source>
        <translation>eine Vorlage und eine Ausgabedatei: [Pdf &quot;VORLAGE&quot; &quot;AUSGABE&quot;]</translation>
    </message>
    <message>
        <source>an output file</source>
        <extracomment>Completes &quot;[%1] needs %2, but the argument is empty&quot;.</extracomment>
        <translation>eine Ausgabedatei</translation>
    </message>
    <message>
        <source>a template and a print queue: [Print &quot;TEMPLATE&quot; &quot;PRINTER&quot;]</source>
        <extracomment>Completes &quot;[%1] takes %2, but ...&quot;: what the command takes; words in capitals stand for its arguments.</extracomment>
        <translation>eine Vorlage und eine Druckwarteschlange: [Print &quot;VORLAGE&quot; &quot;DRUCKER&quot;]</translation>
    </message>
    <message>
        <source>a template, columns, rows and an output file: [Labels &quot;TEMPLATE&quot; COLUMNS ROWS &quot;OUTPUT&quot;]</source>
        <extracomment>Completes &quot;[%1] takes %2, but ...&quot;: what the command takes; words in capitals stand for its arguments.</extracomment>
        <translation>eine Vorlage, Spalten, Zeilen und eine Ausgabedatei: [Labels &quot;VORLAGE&quot; SPALTEN ZEILEN &quot;AUSGABE&quot;]</translation>
    </message>
    <message>
        <source>a template, columns, rows and a print queue: [PrintLabels &quot;TEMPLATE&quot; COLUMNS ROWS &quot;PRINTER&quot;]</source>
        <extracomment>Completes &quot;[%1] takes %2, but ...&quot;: what the command takes; words in capitals stand for its arguments.</extracomment>
        <translation>eine Vorlage, Spalten, Zeilen und eine Druckwarteschlange: [PrintLabels &quot;VORLAGE&quot; SPALTEN ZEILEN &quot;DRUCKER&quot;]</translation>
    </message>
    <message>
        <source>a recipient, a subject and a file: [Mail &quot;TO&quot; &quot;SUBJECT&quot; &quot;FILE&quot;]</source>
        <extracomment>Completes &quot;[%1] takes %2, but ...&quot;: what the command takes; words in capitals stand for its arguments.</extracomment>
        <translation>einen Empfänger, einen Betreff und eine Datei: [Mail &quot;AN&quot; &quot;BETREFF&quot; &quot;DATEI&quot;]</translation>
    </message>
    <message>
        <source>a recipient</source>
        <extracomment>Completes &quot;[%1] needs %2, but the argument is empty&quot;.</extracomment>
        <translation>einen Empfänger</translation>
    </message>
    <message>
        <source>a file to attach</source>
        <extracomment>Completes &quot;[%1] needs %2, but the argument is empty&quot;.</extracomment>
        <translation>eine anzuhängende Datei</translation>
    </message>
    <message>
        <source>an output file: [XRechnung &quot;OUTPUT&quot;]</source>
        <extracomment>Completes &quot;[%1] takes %2, but ...&quot;: what the command takes; words in capitals stand for its arguments.</extracomment>
        <translation>eine Ausgabedatei: [XRechnung &quot;AUSGABE&quot;]</translation>
    </message>
    <message>
        <source>no argument</source>
        <extracomment>Completes &quot;[%1] takes %2, but ...&quot;: what the command takes; words in capitals stand for its arguments.</extracomment>
        <translation>kein Argument</translation>
    </message>
    <message>
        <source>Unknown command [%1]: the writer knows Pdf, Print, Labels, PrintLabels, Mail, FacturX, XRechnung, Open and Quit</source>
        <translation>Unbekannter Befehl [%1]: Der Dokumentschreiber kennt Pdf, Print, Labels, PrintLabels, Mail, FacturX, XRechnung, Open und Quit</translation>
    </message>
    <message>
        <source>a template</source>
        <extracomment>Completes &quot;[%1] needs %2, but the argument is empty&quot;.</extracomment>
        <translation>eine Vorlage</translation>
    </message>
    <message>
        <source>The macro text is %1 characters long; the writer takes at most %2</source>
        <translation>Der Makrotext ist %1 Zeichen lang; der Dokumentschreiber verarbeitet höchstens %2</translation>
    </message>
</context>
<context>
    <name>writer::EInvoice</name>
    <message>
        <source>on the &quot;Company&quot; tab of the &quot;Parameters&quot; page</source>
        <extracomment>Completes &quot;... Enter it %4.&quot;: where a company setting is entered; use the page&apos;s and the tab&apos;s captions.</extracomment>
        <translation>auf der Registerkarte „Firma“ der Seite „Parameter“</translation>
    </message>
    <message>
        <source>in the &quot;%1&quot; box of the order on the &quot;Sales&quot; page</source>
        <extracomment>Completes &quot;... Enter it %4.&quot;: %1 is the caption of a box of the &quot;Sales&quot; page, e.g. &quot;Address:&quot;.</extracomment>
        <translation>im Feld „%1“ der Bestellung auf der Seite „Verkäufe“</translation>
    </message>
    <message>
        <source>the order</source>
        <extracomment>Fills %2 of &quot;The %1 of %2 cannot be made&quot;.</extracomment>
        <translation>der Bestellung</translation>
    </message>
    <message>
        <source>invoice %1</source>
        <extracomment>Fills %2 of &quot;The %1 of %2 cannot be made&quot;; %1 is the invoice number.</extracomment>
        <translation>Rechnung %1</translation>
    </message>
    <message>
        <source>e-invoice</source>
        <extracomment>Fills %1 of &quot;The %1 of %2 cannot be made&quot;.</extracomment>
        <translation>E-Rechnung</translation>
    </message>
    <message>
        <source>The %1 of %2 cannot be made: %3. Enter it %4.</source>
        <extracomment>%1 is &quot;XRechnung&quot; or &quot;e-invoice&quot;, %2 the invoice (with the buyer in parentheses), %3 what is missing, %4 where to enter it (&quot;on the ... tab ...&quot;, &quot;in the ... box ...&quot;).</extracomment>
        <translation>Die %1 zu %2 kann nicht erstellt werden: %3. Tragen Sie die Angabe %4 ein.</translation>
    </message>
    <message>
        <source>The %1 of %2 cannot be made: %3.</source>
        <translation>Die %1 zu %2 kann nicht erstellt werden: %3.</translation>
    </message>
    <message>
        <source>the company&apos;s name is missing</source>
        <translation>der Name der Firma fehlt</translation>
    </message>
    <message>
        <source>the company&apos;s VAT ID &quot;%1&quot; is not a VAT identification number</source>
        <translation>die USt-IdNr. „%1“ der Firma ist keine Umsatzsteuer-Identifikationsnummer</translation>
    </message>
    <message>
        <source>the company&apos;s country is missing</source>
        <translation>das Land der Firma fehlt</translation>
    </message>
    <message>
        <source>the company&apos;s postcode and city are required</source>
        <translation>Postleitzahl und Ort der Firma werden benötigt</translation>
    </message>
    <message>
        <source>the company&apos;s contact, phone and e-mail are required</source>
        <translation>Ansprechpartner, Telefon und E-Mail der Firma werden benötigt</translation>
    </message>
    <message>
        <source>the buyer has no company and no person</source>
        <translation>beim Käufer fehlen Firma und Person</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Firma:</translation>
    </message>
    <message>
        <source>the address&apos;s last line &quot;%1&quot; is no country Kestrova knows (write its English name or ISO code)</source>
        <translation>die letzte Zeile „%1“ der Anschrift ist kein Land, das Kestrova kennt (schreiben Sie seinen englischen Namen oder ISO-Code)</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Anschrift:</translation>
    </message>
    <message>
        <source>the buyer reference (the public buyer&apos;s routing identifier) is missing</source>
        <translation>die Käuferreferenz (die Leitweg-ID des öffentlichen Auftraggebers) fehlt</translation>
    </message>
    <message>
        <source>Customer reference:</source>
        <translation>Kundenreferenz:</translation>
    </message>
    <message>
        <source>the buyer&apos;s e-mail address is missing</source>
        <translation>die E-Mail-Adresse des Käufers fehlt</translation>
    </message>
    <message>
        <source>Fax or E-Mail:</source>
        <translation>Fax oder E-Mail:</translation>
    </message>
    <message>
        <source>the buyer&apos;s postcode and city are not in the address&apos;s last line</source>
        <translation>Postleitzahl und Ort des Käufers stehen nicht in der letzten Zeile der Anschrift</translation>
    </message>
    <message>
        <source>the order has no invoice number</source>
        <translation>die Bestellung hat keine Rechnungsnummer</translation>
    </message>
    <message>
        <source>Invoice number:</source>
        <translation>Rechnungsnummer:</translation>
    </message>
    <message>
        <source>the order date &quot;%1&quot; is not a date</source>
        <translation>das Bestelldatum „%1“ ist kein Datum</translation>
    </message>
    <message>
        <source>Order date:</source>
        <translation>Bestelldatum:</translation>
    </message>
    <message>
        <source>the currency &quot;%1&quot; is not an ISO 4217 code such as EUR</source>
        <translation>die Währung „%1“ ist kein ISO-4217-Code wie EUR</translation>
    </message>
    <message>
        <source>Currency:</source>
        <translation>Währung:</translation>
    </message>
    <message>
        <source>the order has no product</source>
        <translation>die Bestellung hat kein Produkt</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Produkt</translation>
    </message>
    <message>
        <source>the number of licences &quot;%1&quot; is not a positive number</source>
        <translation>die Anzahl Lizenzen „%1“ ist keine positive Zahl</translation>
    </message>
    <message>
        <source>Number of licenses:</source>
        <translation>Anzahl Lizenzen:</translation>
    </message>
    <message>
        <source>the net amount &quot;%1&quot; is not an amount</source>
        <translation>der Nettobetrag „%1“ ist kein Betrag</translation>
    </message>
    <message>
        <source>Net amount:</source>
        <translation>Nettobetrag:</translation>
    </message>
    <message>
        <source>the tax &quot;%1&quot; is not an amount</source>
        <translation>die Steuer „%1“ ist kein Betrag</translation>
    </message>
    <message>
        <source>Tax:</source>
        <translation>Steuer:</translation>
    </message>
    <message>
        <source>the tax %1 is no rate of the net amount %2 to two decimals</source>
        <translation>die Steuer %1 ergibt keinen Steuersatz mit höchstens zwei Nachkommastellen auf den Nettobetrag %2</translation>
    </message>
    <message>
        <source>the order carries no tax and the note saying why is missing</source>
        <translation>für die Bestellung wird keine Steuer berechnet, und der Hinweis mit dem Grund dafür fehlt</translation>
    </message>
    <message>
        <source>as &quot;Note without VAT&quot; on the &quot;Company&quot; tab of the &quot;Parameters&quot; page</source>
        <translation>als „Hinweis ohne USt.“ auf der Registerkarte „Firma“ der Seite „Parameter“</translation>
    </message>
    <message>
        <source>the tax is reverse charged to a buyer in %1, whose VAT ID is missing (a line such as &quot;VAT ID: %1...&quot;)</source>
        <translation>die Steuerschuld geht auf einen Käufer in %1 über, dessen USt-IdNr. fehlt (eine Zeile wie „USt-IdNr.: %1...“)</translation>
    </message>
    <message>
        <source>the company&apos;s VAT ID is missing</source>
        <translation>die USt-IdNr. der Firma fehlt</translation>
    </message>
    <message>
        <source>the company&apos;s VAT ID or tax number is missing</source>
        <translation>die USt-IdNr. oder die Steuernummer der Firma fehlt</translation>
    </message>
    <message>
        <source>the order is unpaid and the payment terms or days are missing</source>
        <translation>die Bestellung ist unbezahlt, und die Zahlungsbedingungen oder das Zahlungsziel in Tagen fehlen</translation>
    </message>
    <message>
        <source>the order is unpaid and the company&apos;s IBAN is missing</source>
        <translation>die Bestellung ist unbezahlt, und die IBAN der Firma fehlt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written: %2</source>
        <translation>„%1“ konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The e-invoice could not be made in memory</source>
        <translation>Die E-Rechnung konnte nicht im Arbeitsspeicher erstellt werden</translation>
    </message>
</context>
<context>
    <name>writer::FacturX</name>
    <message>
        <source>The Factur-X invoice could not be made: %1</source>
        <translation>Die Factur-X-Rechnung konnte nicht erstellt werden: %1</translation>
    </message>
    <message>
        <source>the page&apos;s metadata declares no PDF/A part (%1 bytes)</source>
        <translation>die Metadaten der Seiten geben keinen PDF/A-Teil an (%1 Byte)</translation>
    </message>
    <message>
        <source>the page has no metadata</source>
        <translation>die Seiten haben keine Metadaten</translation>
    </message>
    <message>
        <source>no memory for the pages</source>
        <translation>kein Arbeitsspeicher für die Seiten</translation>
    </message>
    <message>
        <source>The page of %1 x %2 mm cannot be set up for &quot;%3&quot;</source>
        <translation>Die Seite von %1 x %2 mm kann für „%3“ nicht eingerichtet werden</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written: %2</source>
        <translation>„%1“ konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>writer::Mail</name>
    <message>
        <source>it did not understand its arguments</source>
        <extracomment>Completes &quot;xdg-email reports that %1%2&quot;: &quot;it&quot; is xdg-email.</extracomment>
        <translation>es habe seine Argumente nicht verstanden</translation>
    </message>
    <message>
        <source>the attachment does not exist</source>
        <translation>der Anhang existiere nicht</translation>
    </message>
    <message>
        <source>there is no mail program on this desktop (a tool it needs could not be found)</source>
        <translation>auf diesem Desktop gebe es kein E-Mail-Programm (ein benötigtes Werkzeug wurde nicht gefunden)</translation>
    </message>
    <message>
        <source>the mail program could not be started</source>
        <translation>das E-Mail-Programm habe nicht gestartet werden können</translation>
    </message>
    <message>
        <source>the attachment cannot be read</source>
        <translation>der Anhang könne nicht gelesen werden</translation>
    </message>
    <message>
        <source>it ended with exit code %1</source>
        <translation>es sei mit dem Exit-Code %1 beendet worden</translation>
    </message>
    <message>
        <source>The mail to &quot;%1&quot; could not be handed to the mail program: %2</source>
        <translation>Die E-Mail an „%1“ konnte nicht an das E-Mail-Programm übergeben werden: %2</translation>
    </message>
    <message>
        <source>The attachment &quot;%1&quot; is empty: it must be a file below the working folder, given as a relative path</source>
        <translation>Der Anhang „%1“ ist leer: Er muss eine Datei unterhalb des Arbeitsordners sein, angegeben als relativer Pfad</translation>
    </message>
    <message>
        <source>The attachment &quot;%1&quot; is an absolute path: it must be a file below the working folder, given as a relative path</source>
        <translation>Der Anhang „%1“ ist ein absoluter Pfad: Er muss eine Datei unterhalb des Arbeitsordners sein, angegeben als relativer Pfad</translation>
    </message>
    <message>
        <source>The attachment &quot;%1&quot; climbs out with &quot;..&quot;: it must be a file below the working folder, given as a relative path</source>
        <translation>Der Anhang „%1“ führt mit „..“ aus dem Ordner hinaus: Er muss eine Datei unterhalb des Arbeitsordners sein, angegeben als relativer Pfad</translation>
    </message>
    <message>
        <source>The attachment &quot;%1&quot; passes through the symbolic link &quot;%2&quot;: it must be a file below the working folder, given as a relative path</source>
        <translation>Der Anhang „%1“ führt über die symbolische Verknüpfung „%2“: Er muss eine Datei unterhalb des Arbeitsordners sein, angegeben als relativer Pfad</translation>
    </message>
    <message>
        <source>The attachment &quot;%1&quot; does not exist</source>
        <translation>Der Anhang „%1“ existiert nicht</translation>
    </message>
    <message>
        <source>The attachment &quot;%1&quot; is not a regular file: it must be a file below the working folder, given as a relative path</source>
        <translation>Der Anhang „%1“ ist keine reguläre Datei: Er muss eine Datei unterhalb des Arbeitsordners sein, angegeben als relativer Pfad</translation>
    </message>
    <message>
        <source>[Mail] needs one e-mail address as its recipient, not &quot;%1&quot;</source>
        <translation>[Mail] benötigt als Empfänger genau eine E-Mail-Adresse, nicht „%1“</translation>
    </message>
    <message>
        <source>The subject of [Mail] is %1 characters long; a mail takes at most %2</source>
        <translation>Der Betreff von [Mail] ist %1 Zeichen lang; eine E-Mail erlaubt höchstens %2</translation>
    </message>
    <message>
        <source>there is no mail program: xdg-email (from xdg-utils) is not installed</source>
        <translation>es gibt kein E-Mail-Programm: xdg-email (aus xdg-utils) ist nicht installiert</translation>
    </message>
    <message>
        <source>xdg-email could not be started: %1</source>
        <translation>xdg-email konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>xdg-email crashed</source>
        <translation>xdg-email ist abgestürzt</translation>
    </message>
    <message>
        <source>xdg-email reports that %1%2</source>
        <extracomment>%1 is what xdg-email&apos;s exit code means, %2 its own words in parentheses (or nothing).</extracomment>
        <translation>xdg-email meldet, %1%2</translation>
    </message>
</context>
<context>
    <name>writer::Notifier</name>
    <message>
        <source>Kestrova writer</source>
        <extracomment>Title of the writer&apos;s error boxes.</extracomment>
        <translation>Kestrova-Dokumentschreiber</translation>
    </message>
</context>
<context>
    <name>writer::OutputPath</name>
    <message>
        <source>The %1 &quot;%2&quot; is refused: %3</source>
        <extracomment>%1 names what was refused (&quot;output&quot;, &quot;file&quot;, &quot;template&quot;), %2 the path given, %3 why.</extracomment>
        <translation>Die %1 „%2“ wird abgelehnt: %3</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is a symbolic link, and links are not followed</source>
        <translation>„%1“ ist eine symbolische Verknüpfung, und Verknüpfungen wird nicht gefolgt</translation>
    </message>
    <message>
        <source>&quot;%1&quot; cannot be read: %2</source>
        <translation>„%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>it is empty</source>
        <translation>der Pfad ist leer</translation>
    </message>
    <message>
        <source>only relative paths below the writer&apos;s folders are taken</source>
        <translation>nur relative Pfade unterhalb der Ordner des Dokumentschreibers sind erlaubt</translation>
    </message>
    <message>
        <source>it holds a zero character</source>
        <translation>der Pfad enthält ein Nullzeichen</translation>
    </message>
    <message>
        <source>&quot;..&quot; may not lead out of the writer&apos;s folders</source>
        <translation>„..“ darf nicht aus den Ordnern des Dokumentschreibers hinausführen</translation>
    </message>
    <message>
        <source>it names no file</source>
        <translation>der Pfad nennt keine Datei</translation>
    </message>
    <message>
        <source>output</source>
        <extracomment>Fills %1 of &quot;The %1 &quot;%2&quot; is refused: %3&quot;: a document to be written.</extracomment>
        <translation>Ausgabedatei</translation>
    </message>
    <message>
        <source>it names a table file</source>
        <translation>der Pfad nennt eine Tabellendatei</translation>
    </message>
    <message>
        <source>its name must end in %1</source>
        <translation>der Name muss auf %1 enden</translation>
    </message>
    <message>
        <source>The output &quot;%1&quot; is a folder, not a file</source>
        <translation>Das Ausgabeziel „%1“ ist ein Ordner, keine Datei</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>das ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>file</source>
        <extracomment>Fills %1 of &quot;The %1 &quot;%2&quot; is refused: %3&quot;: a file a template loads.</extracomment>
        <translation>Datei</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is larger than %2 MiB; the writer reads at most that</source>
        <translation>„%1“ ist größer als %2 MiB; der Dokumentschreiber liest höchstens so viel</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; of the output cannot be created: %2</source>
        <translation>Der Ordner „%1“ der Ausgabedatei kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The output &quot;%1&quot; cannot be written</source>
        <translation>Die Ausgabedatei „%1“ kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>The output &quot;%1&quot; cannot be written: %2</source>
        <translation>Die Ausgabedatei „%1“ kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The output &quot;%1&quot; was not written</source>
        <translation>Die Ausgabedatei „%1“ wurde nicht geschrieben</translation>
    </message>
</context>
<context>
    <name>writer::PageSetup</name>
    <message>
        <source>The margins &quot;%1&quot; of the template &quot;%2&quot; are not one to four lengths such as &quot;20mm&quot; or &quot;2cm 1.5cm&quot;</source>
        <translation>Die Ränder „%1“ der Vorlage „%2“ bestehen nicht aus ein bis vier Längen wie „20mm“ oder „2cm 1.5cm“</translation>
    </message>
    <message>
        <source>The page size &quot;%1&quot; of the template &quot;%2&quot; is unknown: use A4, A5, Letter, Legal, DL, C5, C6 or WIDTHxHEIGHTmm with sides from %3 to %4 mm</source>
        <translation>Das Seitenformat „%1“ der Vorlage „%2“ ist unbekannt: Verwenden Sie A4, A5, Letter, Legal, DL, C5, C6 oder BREITExHÖHEmm mit Seitenlängen von %3 bis %4 mm</translation>
    </message>
    <message>
        <source>The orientation &quot;%1&quot; of the template &quot;%2&quot; is neither portrait nor landscape</source>
        <extracomment>&quot;portrait&quot; and &quot;landscape&quot; are the values a template may give; keep them.</extracomment>
        <translation>Die Ausrichtung „%1“ der Vorlage „%2“ ist weder „portrait“ noch „landscape“</translation>
    </message>
    <message>
        <source>The margins of the template &quot;%1&quot; leave no room to print on a page of %2 x %3 mm</source>
        <translation>Die Ränder der Vorlage „%1“ lassen auf einer Seite von %2 x %3 mm keinen Platz zum Drucken</translation>
    </message>
</context>
<context>
    <name>writer::Printing</name>
    <message>
        <source>no reason was given</source>
        <translation>es wurde kein Grund angegeben</translation>
    </message>
    <message>
        <source>There is no default print queue: %1</source>
        <translation>Es gibt keine Standard-Druckwarteschlange: %1</translation>
    </message>
    <message>
        <source>There is no print queue &quot;%1&quot;: %2</source>
        <translation>Es gibt keine Druckwarteschlange „%1“: %2</translation>
    </message>
    <message>
        <source>The print queue &quot;%1&quot; does not accept jobs: %2</source>
        <translation>Die Druckwarteschlange „%1“ nimmt keine Aufträge an: %2</translation>
    </message>
    <message>
        <source>it was set to reject them</source>
        <translation>sie wurde auf Ablehnen gestellt</translation>
    </message>
    <message>
        <source>The print queue &quot;%1&quot; cannot be used: Qt&apos;s print support does not list it</source>
        <translation>Die Druckwarteschlange „%1“ kann nicht verwendet werden: Die Druckunterstützung von Qt führt sie nicht auf</translation>
    </message>
    <message>
        <source>The pages for the print queue &quot;%1&quot; cannot be kept in &quot;%2&quot;: %3</source>
        <translation>Die Seiten für die Druckwarteschlange „%1“ können nicht in „%2“ abgelegt werden: %3</translation>
    </message>
    <message>
        <source>The pages for the print queue &quot;%1&quot; could not be made</source>
        <translation>Die Seiten für die Druckwarteschlange „%1“ konnten nicht erstellt werden</translation>
    </message>
    <message>
        <source>The print queue &quot;%1&quot; did not take the document: %2</source>
        <translation>Die Druckwarteschlange „%1“ hat das Dokument nicht angenommen: %2</translation>
    </message>
</context>
<context>
    <name>writer::RecordFields</name>
    <message>
        <source>The settings table &quot;%1&quot; cannot be read: %2</source>
        <translation>Die Einstellungstabelle „%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>nicht genug Arbeitsspeicher</translation>
    </message>
</context>
<context>
    <name>writer::Renderer</name>
    <message>
        <source>The template loads &quot;%1&quot;; a template may load images and style sheets only from its own folder &quot;%2&quot;</source>
        <translation>Die Vorlage lädt „%1“; eine Vorlage darf Bilder und Stylesheets nur aus ihrem eigenen Ordner „%2“ laden</translation>
    </message>
    <message>
        <source>The template loads more than %1 MiB of images and style sheets</source>
        <translation>Die Vorlage lädt mehr als %1 MiB an Bildern und Stylesheets</translation>
    </message>
    <message>
        <source>A new page could not be started</source>
        <translation>Eine neue Seite konnte nicht begonnen werden</translation>
    </message>
    <message>
        <source>The page of %1 x %2 mm cannot be set up for &quot;%3&quot;</source>
        <translation>Die Seite von %1 x %2 mm kann für „%3“ nicht eingerichtet werden</translation>
    </message>
    <message>
        <source>The output cannot be started</source>
        <translation>Die Ausgabe kann nicht begonnen werden</translation>
    </message>
    <message>
        <source>The output could not be completed</source>
        <translation>Die Ausgabe konnte nicht abgeschlossen werden</translation>
    </message>
</context>
<context>
    <name>writer::SqliteReader</name>
    <message>
        <source>out of memory</source>
        <translation>nicht genug Arbeitsspeicher</translation>
    </message>
</context>
</TS>
