<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AboutForm</name>
    <message>
        <source>About Kestrova</source>
        <translation>Über Kestrova</translation>
    </message>
    <message>
        <source>Order book for a small software publisher.</source>
        <translation>Bestellbuch für einen kleinen Softwareverlag.</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Licensed under the GNU General Public License, version 3 or later.</source>
        <translation>Lizenziert unter der GNU General Public License, Version 3 oder später.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>AccountingForm</name>
    <message>
        <source>Accounting board</source>
        <translation>Buchhaltungsübersicht</translation>
    </message>
    <message>
        <source>Direct sales with taxes</source>
        <translation>Direktverkäufe mit Steuer</translation>
    </message>
    <message>
        <source>Direct sales without taxes</source>
        <translation>Direktverkäufe ohne Steuer</translation>
    </message>
    <message>
        <source>Indirect sales</source>
        <translation>Indirekte Verkäufe</translation>
    </message>
    <message>
        <source>Sales during period:</source>
        <translation>Verkäufe im Zeitraum:</translation>
    </message>
    <message>
        <source>Sales grand total</source>
        <translation>Verkäufe insgesamt</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CheckEmailForm</name>
    <message>
        <source>Kestrova - E-Mail processing</source>
        <translation>Kestrova - E-Mail-Verarbeitung</translation>
    </message>
    <message>
        <source>Billing</source>
        <translation>Rechnungsanschrift</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Firma:</translation>
    </message>
    <message>
        <source>Person:</source>
        <translation>Person:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Anschrift:</translation>
    </message>
    <message>
        <source>Fax or E-mail:</source>
        <translation>Fax oder E-Mail:</translation>
    </message>
    <message>
        <source>Delivery</source>
        <translation>Lieferanschrift</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Firma</translation>
    </message>
    <message>
        <source>Fax or E-Mail:</source>
        <translation>Fax oder E-Mail:</translation>
    </message>
    <message>
        <source>Order date:</source>
        <translation>Bestelldatum:</translation>
    </message>
    <message>
        <source>Origin:</source>
        <translation>Herkunft:</translation>
    </message>
    <message>
        <source>Customer reference:</source>
        <translation>Kundenreferenz:</translation>
    </message>
    <message>
        <source>Number of licenses:</source>
        <translation>Anzahl Lizenzen:</translation>
    </message>
    <message>
        <source>Currency:</source>
        <translation>Währung:</translation>
    </message>
    <message>
        <source>Payment means:</source>
        <translation>Zahlungsart:</translation>
    </message>
    <message>
        <source>Net amount:</source>
        <translation>Nettobetrag:</translation>
    </message>
    <message>
        <source>Tax:</source>
        <translation>Steuer:</translation>
    </message>
    <message>
        <source>Product:</source>
        <translation>Produkt:</translation>
    </message>
    <message>
        <source>License owner:</source>
        <translation>Lizenznehmer:</translation>
    </message>
    <message>
        <source>Process and next</source>
        <translation>Verarbeiten und weiter</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
</context>
<context>
    <name>CodePageDecoder</name>
    <message>
        <source>The code page %1 is not known on this system</source>
        <translation>Die Codepage %1 ist auf diesem System nicht bekannt</translation>
    </message>
    <message>
        <source>a text holds bytes that are no valid text of code page %1</source>
        <extracomment>Shown after &quot;&lt;table&gt;, record &lt;n&gt;, field &lt;name&gt;: &quot;.</extracomment>
        <translation>ein Text enthält Bytes, die kein gültiger Text der Codepage %1 sind</translation>
    </message>
</context>
<context>
    <name>CompanyTab</name>
    <message>
        <source>Your company, printed on every document. A box is stored when you leave it.</source>
        <translation>Ihre Firma, wie sie auf jedes Dokument gedruckt wird. Ein Feld wird gespeichert, sobald Sie es verlassen.</translation>
    </message>
    <message>
        <source>Company name:</source>
        <translation>Firmenname:</translation>
    </message>
    <message>
        <source>Street:</source>
        <translation>Straße:</translation>
    </message>
    <message>
        <source>Postcode:</source>
        <translation>Postleitzahl:</translation>
    </message>
    <message>
        <source>City:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>Country:</source>
        <translation>Land:</translation>
    </message>
    <message>
        <source>Printed as its two-letter code</source>
        <translation>Wird als Ländercode aus zwei Buchstaben gedruckt</translation>
    </message>
    <message>
        <source>VAT ID:</source>
        <translation>USt-IdNr.:</translation>
    </message>
    <message>
        <source>With its country prefix, as DE123456789</source>
        <translation>Mit Länderpräfix, z. B. DE123456789</translation>
    </message>
    <message>
        <source>Tax number:</source>
        <translation>Steuernummer:</translation>
    </message>
    <message>
        <source>Contact:</source>
        <translation>Kontakt:</translation>
    </message>
    <message>
        <source>Phone:</source>
        <translation>Telefon:</translation>
    </message>
    <message>
        <source>E-mail:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>IBAN:</source>
        <translation>IBAN:</translation>
    </message>
    <message>
        <source>Checked before it is stored</source>
        <translation>Wird vor dem Speichern geprüft</translation>
    </message>
    <message>
        <source>BIC:</source>
        <translation>BIC:</translation>
    </message>
    <message>
        <source>Bank:</source>
        <translation>Bank:</translation>
    </message>
    <message>
        <source>Payment terms:</source>
        <translation>Zahlungsbedingungen:</translation>
    </message>
    <message>
        <source>Days until due:</source>
        <translation>Tage bis zur Fälligkeit:</translation>
    </message>
    <message>
        <source>Whole days from the invoice date</source>
        <translation>Ganze Tage ab dem Rechnungsdatum</translation>
    </message>
    <message>
        <source>Note without VAT:</source>
        <translation>Hinweis ohne USt.:</translation>
    </message>
    <message>
        <source>Printed on an invoice without VAT, e.g. a small-business rule</source>
        <translation>Wird auf eine Rechnung ohne USt. gedruckt, z. B. ein Hinweis auf die Kleinunternehmerregelung</translation>
    </message>
</context>
<context>
    <name>Country</name>
    <message>
        <source>Ascension Island</source>
        <translation>Ascension</translation>
    </message>
    <message>
        <source>Andorra</source>
        <translation>Andorra</translation>
    </message>
    <message>
        <source>United Arab Emirates</source>
        <translation>Vereinigte Arabische Emirate</translation>
    </message>
    <message>
        <source>Afghanistan</source>
        <translation>Afghanistan</translation>
    </message>
    <message>
        <source>Antigua and Barbuda</source>
        <translation>Antigua und Barbuda</translation>
    </message>
    <message>
        <source>Anguilla</source>
        <translation>Anguilla</translation>
    </message>
    <message>
        <source>Albania</source>
        <translation>Albanien</translation>
    </message>
    <message>
        <source>Armenia</source>
        <translation>Armenien</translation>
    </message>
    <message>
        <source>Angola</source>
        <translation>Angola</translation>
    </message>
    <message>
        <source>Antarctica</source>
        <translation>Antarktis</translation>
    </message>
    <message>
        <source>Argentina</source>
        <translation>Argentinien</translation>
    </message>
    <message>
        <source>American Samoa</source>
        <translation>Amerikanisch-Samoa</translation>
    </message>
    <message>
        <source>Austria</source>
        <translation>Österreich</translation>
    </message>
    <message>
        <source>Australia</source>
        <translation>Australien</translation>
    </message>
    <message>
        <source>Aruba</source>
        <translation>Aruba</translation>
    </message>
    <message>
        <source>Åland Islands</source>
        <translation>Ålandinseln</translation>
    </message>
    <message>
        <source>Azerbaijan</source>
        <translation>Aserbaidschan</translation>
    </message>
    <message>
        <source>Bosnia and Herzegovina</source>
        <translation>Bosnien und Herzegowina</translation>
    </message>
    <message>
        <source>Barbados</source>
        <translation>Barbados</translation>
    </message>
    <message>
        <source>Bangladesh</source>
        <translation>Bangladesch</translation>
    </message>
    <message>
        <source>Belgium</source>
        <translation>Belgien</translation>
    </message>
    <message>
        <source>Burkina Faso</source>
        <translation>Burkina Faso</translation>
    </message>
    <message>
        <source>Bulgaria</source>
        <translation>Bulgarien</translation>
    </message>
    <message>
        <source>Bahrain</source>
        <translation>Bahrain</translation>
    </message>
    <message>
        <source>Burundi</source>
        <translation>Burundi</translation>
    </message>
    <message>
        <source>Benin</source>
        <translation>Benin</translation>
    </message>
    <message>
        <source>Saint Barthélemy</source>
        <translation>St. Barthélemy</translation>
    </message>
    <message>
        <source>Bermuda</source>
        <translation>Bermuda</translation>
    </message>
    <message>
        <source>Brunei</source>
        <translation>Brunei Darussalam</translation>
    </message>
    <message>
        <source>Bolivia</source>
        <translation>Bolivien</translation>
    </message>
    <message>
        <source>Caribbean Netherlands</source>
        <translation>Karibische Niederlande</translation>
    </message>
    <message>
        <source>Brazil</source>
        <translation>Brasilien</translation>
    </message>
    <message>
        <source>Bahamas</source>
        <translation>Bahamas</translation>
    </message>
    <message>
        <source>Bhutan</source>
        <translation>Bhutan</translation>
    </message>
    <message>
        <source>Bouvet Island</source>
        <translation>Bouvetinsel</translation>
    </message>
    <message>
        <source>Botswana</source>
        <translation>Botsuana</translation>
    </message>
    <message>
        <source>Belarus</source>
        <translation>Belarus</translation>
    </message>
    <message>
        <source>Belize</source>
        <translation>Belize</translation>
    </message>
    <message>
        <source>Canada</source>
        <translation>Kanada</translation>
    </message>
    <message>
        <source>Cocos (Keeling) Islands</source>
        <translation>Kokosinseln</translation>
    </message>
    <message>
        <source>Congo (Kinshasa)</source>
        <translation>Kongo-Kinshasa</translation>
    </message>
    <message>
        <source>Central African Republic</source>
        <translation>Zentralafrikanische Republik</translation>
    </message>
    <message>
        <source>Congo (Brazzaville)</source>
        <translation>Kongo-Brazzaville</translation>
    </message>
    <message>
        <source>Switzerland</source>
        <translation>Schweiz</translation>
    </message>
    <message>
        <source>Côte d&apos;Ivoire</source>
        <translation>Côte d’Ivoire</translation>
    </message>
    <message>
        <source>Cook Islands</source>
        <translation>Cookinseln</translation>
    </message>
    <message>
        <source>Chile</source>
        <translation>Chile</translation>
    </message>
    <message>
        <source>Cameroon</source>
        <translation>Kamerun</translation>
    </message>
    <message>
        <source>China</source>
        <translation>China</translation>
    </message>
    <message>
        <source>Colombia</source>
        <translation>Kolumbien</translation>
    </message>
    <message>
        <source>Clipperton Island</source>
        <translation>Clipperton-Insel</translation>
    </message>
    <message>
        <source>Costa Rica</source>
        <translation>Costa Rica</translation>
    </message>
    <message>
        <source>Cuba</source>
        <translation>Kuba</translation>
    </message>
    <message>
        <source>Cape Verde</source>
        <translation>Cabo Verde</translation>
    </message>
    <message>
        <source>Curaçao</source>
        <translation>Curaçao</translation>
    </message>
    <message>
        <source>Christmas Island</source>
        <translation>Weihnachtsinsel</translation>
    </message>
    <message>
        <source>Cyprus</source>
        <translation>Zypern</translation>
    </message>
    <message>
        <source>Czechia</source>
        <translation>Tschechien</translation>
    </message>
    <message>
        <source>Germany</source>
        <translation>Deutschland</translation>
    </message>
    <message>
        <source>Diego Garcia</source>
        <translation>Diego Garcia</translation>
    </message>
    <message>
        <source>Djibouti</source>
        <translation>Dschibuti</translation>
    </message>
    <message>
        <source>Denmark</source>
        <translation>Dänemark</translation>
    </message>
    <message>
        <source>Dominica</source>
        <translation>Dominica</translation>
    </message>
    <message>
        <source>Dominican Republic</source>
        <translation>Dominikanische Republik</translation>
    </message>
    <message>
        <source>Algeria</source>
        <translation>Algerien</translation>
    </message>
    <message>
        <source>Ceuta and Melilla</source>
        <translation>Ceuta und Melilla</translation>
    </message>
    <message>
        <source>Ecuador</source>
        <translation>Ecuador</translation>
    </message>
    <message>
        <source>Estonia</source>
        <translation>Estland</translation>
    </message>
    <message>
        <source>Egypt</source>
        <translation>Ägypten</translation>
    </message>
    <message>
        <source>Western Sahara</source>
        <translation>Westsahara</translation>
    </message>
    <message>
        <source>Eritrea</source>
        <translation>Eritrea</translation>
    </message>
    <message>
        <source>Spain</source>
        <translation>Spanien</translation>
    </message>
    <message>
        <source>Ethiopia</source>
        <translation>Äthiopien</translation>
    </message>
    <message>
        <source>Finland</source>
        <translation>Finnland</translation>
    </message>
    <message>
        <source>Fiji</source>
        <translation>Fidschi</translation>
    </message>
    <message>
        <source>Falkland Islands</source>
        <translation>Falklandinseln</translation>
    </message>
    <message>
        <source>Micronesia</source>
        <translation>Mikronesien</translation>
    </message>
    <message>
        <source>Faroe Islands</source>
        <translation>Färöer</translation>
    </message>
    <message>
        <source>France</source>
        <translation>Frankreich</translation>
    </message>
    <message>
        <source>Gabon</source>
        <translation>Gabun</translation>
    </message>
    <message>
        <source>United Kingdom</source>
        <translation>Vereinigtes Königreich</translation>
    </message>
    <message>
        <source>Grenada</source>
        <translation>Grenada</translation>
    </message>
    <message>
        <source>Georgia</source>
        <translation>Georgien</translation>
    </message>
    <message>
        <source>French Guiana</source>
        <translation>Französisch-Guayana</translation>
    </message>
    <message>
        <source>Guernsey</source>
        <translation>Guernsey</translation>
    </message>
    <message>
        <source>Ghana</source>
        <translation>Ghana</translation>
    </message>
    <message>
        <source>Gibraltar</source>
        <translation>Gibraltar</translation>
    </message>
    <message>
        <source>Greenland</source>
        <translation>Grönland</translation>
    </message>
    <message>
        <source>Gambia</source>
        <translation>Gambia</translation>
    </message>
    <message>
        <source>Guinea</source>
        <translation>Guinea</translation>
    </message>
    <message>
        <source>Guadeloupe</source>
        <translation>Guadeloupe</translation>
    </message>
    <message>
        <source>Equatorial Guinea</source>
        <translation>Äquatorialguinea</translation>
    </message>
    <message>
        <source>Greece</source>
        <translation>Griechenland</translation>
    </message>
    <message>
        <source>South Georgia and South Sandwich Islands</source>
        <translation>Südgeorgien und die Südlichen Sandwichinseln</translation>
    </message>
    <message>
        <source>Guatemala</source>
        <translation>Guatemala</translation>
    </message>
    <message>
        <source>Guam</source>
        <translation>Guam</translation>
    </message>
    <message>
        <source>Guinea-Bissau</source>
        <translation>Guinea-Bissau</translation>
    </message>
    <message>
        <source>Guyana</source>
        <translation>Guyana</translation>
    </message>
    <message>
        <source>Hong Kong</source>
        <translation>Hongkong</translation>
    </message>
    <message>
        <source>Heard and McDonald Islands</source>
        <translation>Heard und McDonaldinseln</translation>
    </message>
    <message>
        <source>Honduras</source>
        <translation>Honduras</translation>
    </message>
    <message>
        <source>Croatia</source>
        <translation>Kroatien</translation>
    </message>
    <message>
        <source>Haiti</source>
        <translation>Haiti</translation>
    </message>
    <message>
        <source>Hungary</source>
        <translation>Ungarn</translation>
    </message>
    <message>
        <source>Canary Islands</source>
        <translation>Kanarische Inseln</translation>
    </message>
    <message>
        <source>Indonesia</source>
        <translation>Indonesien</translation>
    </message>
    <message>
        <source>Ireland</source>
        <translation>Irland</translation>
    </message>
    <message>
        <source>Israel</source>
        <translation>Israel</translation>
    </message>
    <message>
        <source>Isle of Man</source>
        <translation>Isle of Man</translation>
    </message>
    <message>
        <source>India</source>
        <translation>Indien</translation>
    </message>
    <message>
        <source>British Indian Ocean Territory</source>
        <translation>Britisches Territorium im Indischen Ozean</translation>
    </message>
    <message>
        <source>Iraq</source>
        <translation>Irak</translation>
    </message>
    <message>
        <source>Iran</source>
        <translation>Iran</translation>
    </message>
    <message>
        <source>Iceland</source>
        <translation>Island</translation>
    </message>
    <message>
        <source>Italy</source>
        <translation>Italien</translation>
    </message>
    <message>
        <source>Jersey</source>
        <translation>Jersey</translation>
    </message>
    <message>
        <source>Jamaica</source>
        <translation>Jamaika</translation>
    </message>
    <message>
        <source>Jordan</source>
        <translation>Jordanien</translation>
    </message>
    <message>
        <source>Japan</source>
        <translation>Japan</translation>
    </message>
    <message>
        <source>Kenya</source>
        <translation>Kenia</translation>
    </message>
    <message>
        <source>Kyrgyzstan</source>
        <translation>Kirgisistan</translation>
    </message>
    <message>
        <source>Cambodia</source>
        <translation>Kambodscha</translation>
    </message>
    <message>
        <source>Kiribati</source>
        <translation>Kiribati</translation>
    </message>
    <message>
        <source>Comoros</source>
        <translation>Komoren</translation>
    </message>
    <message>
        <source>Saint Kitts and Nevis</source>
        <translation>St. Kitts und Nevis</translation>
    </message>
    <message>
        <source>North Korea</source>
        <translation>Nordkorea</translation>
    </message>
    <message>
        <source>South Korea</source>
        <translation>Südkorea</translation>
    </message>
    <message>
        <source>Kuwait</source>
        <translation>Kuwait</translation>
    </message>
    <message>
        <source>Cayman Islands</source>
        <translation>Kaimaninseln</translation>
    </message>
    <message>
        <source>Kazakhstan</source>
        <translation>Kasachstan</translation>
    </message>
    <message>
        <source>Laos</source>
        <translation>Laos</translation>
    </message>
    <message>
        <source>Lebanon</source>
        <translation>Libanon</translation>
    </message>
    <message>
        <source>Saint Lucia</source>
        <translation>St. Lucia</translation>
    </message>
    <message>
        <source>Liechtenstein</source>
        <translation>Liechtenstein</translation>
    </message>
    <message>
        <source>Sri Lanka</source>
        <translation>Sri Lanka</translation>
    </message>
    <message>
        <source>Liberia</source>
        <translation>Liberia</translation>
    </message>
    <message>
        <source>Lesotho</source>
        <translation>Lesotho</translation>
    </message>
    <message>
        <source>Lithuania</source>
        <translation>Litauen</translation>
    </message>
    <message>
        <source>Luxembourg</source>
        <translation>Luxemburg</translation>
    </message>
    <message>
        <source>Latvia</source>
        <translation>Lettland</translation>
    </message>
    <message>
        <source>Libya</source>
        <translation>Libyen</translation>
    </message>
    <message>
        <source>Morocco</source>
        <translation>Marokko</translation>
    </message>
    <message>
        <source>Monaco</source>
        <translation>Monaco</translation>
    </message>
    <message>
        <source>Moldova</source>
        <translation>Moldau</translation>
    </message>
    <message>
        <source>Montenegro</source>
        <translation>Montenegro</translation>
    </message>
    <message>
        <source>Saint Martin</source>
        <translation>St. Martin</translation>
    </message>
    <message>
        <source>Madagascar</source>
        <translation>Madagaskar</translation>
    </message>
    <message>
        <source>Marshall Islands</source>
        <translation>Marshallinseln</translation>
    </message>
    <message>
        <source>North Macedonia</source>
        <translation>Nordmazedonien</translation>
    </message>
    <message>
        <source>Mali</source>
        <translation>Mali</translation>
    </message>
    <message>
        <source>Myanmar</source>
        <translation>Myanmar</translation>
    </message>
    <message>
        <source>Mongolia</source>
        <translation>Mongolei</translation>
    </message>
    <message>
        <source>Macao</source>
        <translation>Macau</translation>
    </message>
    <message>
        <source>Northern Mariana Islands</source>
        <translation>Nördliche Marianen</translation>
    </message>
    <message>
        <source>Martinique</source>
        <translation>Martinique</translation>
    </message>
    <message>
        <source>Mauritania</source>
        <translation>Mauretanien</translation>
    </message>
    <message>
        <source>Montserrat</source>
        <translation>Montserrat</translation>
    </message>
    <message>
        <source>Malta</source>
        <translation>Malta</translation>
    </message>
    <message>
        <source>Mauritius</source>
        <translation>Mauritius</translation>
    </message>
    <message>
        <source>Maldives</source>
        <translation>Malediven</translation>
    </message>
    <message>
        <source>Malawi</source>
        <translation>Malawi</translation>
    </message>
    <message>
        <source>Mexico</source>
        <translation>Mexiko</translation>
    </message>
    <message>
        <source>Malaysia</source>
        <translation>Malaysia</translation>
    </message>
    <message>
        <source>Mozambique</source>
        <translation>Mosambik</translation>
    </message>
    <message>
        <source>Namibia</source>
        <translation>Namibia</translation>
    </message>
    <message>
        <source>New Caledonia</source>
        <translation>Neukaledonien</translation>
    </message>
    <message>
        <source>Niger</source>
        <translation>Niger</translation>
    </message>
    <message>
        <source>Norfolk Island</source>
        <translation>Norfolkinsel</translation>
    </message>
    <message>
        <source>Nigeria</source>
        <translation>Nigeria</translation>
    </message>
    <message>
        <source>Nicaragua</source>
        <translation>Nicaragua</translation>
    </message>
    <message>
        <source>Netherlands</source>
        <translation>Niederlande</translation>
    </message>
    <message>
        <source>Norway</source>
        <translation>Norwegen</translation>
    </message>
    <message>
        <source>Nepal</source>
        <translation>Nepal</translation>
    </message>
    <message>
        <source>Nauru</source>
        <translation>Nauru</translation>
    </message>
    <message>
        <source>Niue</source>
        <translation>Niue</translation>
    </message>
    <message>
        <source>New Zealand</source>
        <translation>Neuseeland</translation>
    </message>
    <message>
        <source>Oman</source>
        <translation>Oman</translation>
    </message>
    <message>
        <source>Panama</source>
        <translation>Panama</translation>
    </message>
    <message>
        <source>Peru</source>
        <translation>Peru</translation>
    </message>
    <message>
        <source>French Polynesia</source>
        <translation>Französisch-Polynesien</translation>
    </message>
    <message>
        <source>Papua New Guinea</source>
        <translation>Papua-Neuguinea</translation>
    </message>
    <message>
        <source>Philippines</source>
        <translation>Philippinen</translation>
    </message>
    <message>
        <source>Pakistan</source>
        <translation>Pakistan</translation>
    </message>
    <message>
        <source>Poland</source>
        <translation>Polen</translation>
    </message>
    <message>
        <source>Saint Pierre and Miquelon</source>
        <translation>St. Pierre und Miquelon</translation>
    </message>
    <message>
        <source>Pitcairn</source>
        <translation>Pitcairninseln</translation>
    </message>
    <message>
        <source>Puerto Rico</source>
        <translation>Puerto Rico</translation>
    </message>
    <message>
        <source>Palestinian Territories</source>
        <translation>Palästinensische Autonomiegebiete</translation>
    </message>
    <message>
        <source>Portugal</source>
        <translation>Portugal</translation>
    </message>
    <message>
        <source>Palau</source>
        <translation>Palau</translation>
    </message>
    <message>
        <source>Paraguay</source>
        <translation>Paraguay</translation>
    </message>
    <message>
        <source>Qatar</source>
        <translation>Katar</translation>
    </message>
    <message>
        <source>Réunion</source>
        <translation>Réunion</translation>
    </message>
    <message>
        <source>Romania</source>
        <translation>Rumänien</translation>
    </message>
    <message>
        <source>Serbia</source>
        <translation>Serbien</translation>
    </message>
    <message>
        <source>Russia</source>
        <translation>Russland</translation>
    </message>
    <message>
        <source>Rwanda</source>
        <translation>Ruanda</translation>
    </message>
    <message>
        <source>Saudi Arabia</source>
        <translation>Saudi-Arabien</translation>
    </message>
    <message>
        <source>Solomon Islands</source>
        <translation>Salomonen</translation>
    </message>
    <message>
        <source>Seychelles</source>
        <translation>Seychellen</translation>
    </message>
    <message>
        <source>Sudan</source>
        <translation>Sudan</translation>
    </message>
    <message>
        <source>Sweden</source>
        <translation>Schweden</translation>
    </message>
    <message>
        <source>Singapore</source>
        <translation>Singapur</translation>
    </message>
    <message>
        <source>Saint Helena</source>
        <translation>St. Helena</translation>
    </message>
    <message>
        <source>Slovenia</source>
        <translation>Slowenien</translation>
    </message>
    <message>
        <source>Svalbard and Jan Mayen</source>
        <translation>Spitzbergen und Jan Mayen</translation>
    </message>
    <message>
        <source>Slovakia</source>
        <translation>Slowakei</translation>
    </message>
    <message>
        <source>Sierra Leone</source>
        <translation>Sierra Leone</translation>
    </message>
    <message>
        <source>San Marino</source>
        <translation>San Marino</translation>
    </message>
    <message>
        <source>Senegal</source>
        <translation>Senegal</translation>
    </message>
    <message>
        <source>Somalia</source>
        <translation>Somalia</translation>
    </message>
    <message>
        <source>Suriname</source>
        <translation>Suriname</translation>
    </message>
    <message>
        <source>South Sudan</source>
        <translation>Südsudan</translation>
    </message>
    <message>
        <source>São Tomé and Príncipe</source>
        <translation>São Tomé und Príncipe</translation>
    </message>
    <message>
        <source>El Salvador</source>
        <translation>El Salvador</translation>
    </message>
    <message>
        <source>Sint Maarten</source>
        <translation>Sint Maarten</translation>
    </message>
    <message>
        <source>Syria</source>
        <translation>Syrien</translation>
    </message>
    <message>
        <source>Eswatini</source>
        <translation>Eswatini</translation>
    </message>
    <message>
        <source>Tristan da Cunha</source>
        <translation>Tristan da Cunha</translation>
    </message>
    <message>
        <source>Turks and Caicos Islands</source>
        <translation>Turks- und Caicosinseln</translation>
    </message>
    <message>
        <source>Chad</source>
        <translation>Tschad</translation>
    </message>
    <message>
        <source>French Southern Territories</source>
        <translation>Französische Süd- und Antarktisgebiete</translation>
    </message>
    <message>
        <source>Togo</source>
        <translation>Togo</translation>
    </message>
    <message>
        <source>Thailand</source>
        <translation>Thailand</translation>
    </message>
    <message>
        <source>Tajikistan</source>
        <translation>Tadschikistan</translation>
    </message>
    <message>
        <source>Tokelau</source>
        <translation>Tokelau</translation>
    </message>
    <message>
        <source>Timor-Leste</source>
        <translation>Timor-Leste</translation>
    </message>
    <message>
        <source>Turkmenistan</source>
        <translation>Turkmenistan</translation>
    </message>
    <message>
        <source>Tunisia</source>
        <translation>Tunesien</translation>
    </message>
    <message>
        <source>Tonga</source>
        <translation>Tonga</translation>
    </message>
    <message>
        <source>Turkey</source>
        <translation>Türkei</translation>
    </message>
    <message>
        <source>Trinidad and Tobago</source>
        <translation>Trinidad und Tobago</translation>
    </message>
    <message>
        <source>Tuvalu</source>
        <translation>Tuvalu</translation>
    </message>
    <message>
        <source>Taiwan</source>
        <translation>Taiwan</translation>
    </message>
    <message>
        <source>Tanzania</source>
        <translation>Tansania</translation>
    </message>
    <message>
        <source>Ukraine</source>
        <translation>Ukraine</translation>
    </message>
    <message>
        <source>Uganda</source>
        <translation>Uganda</translation>
    </message>
    <message>
        <source>United States Outlying Islands</source>
        <translation>Amerikanische Überseeinseln</translation>
    </message>
    <message>
        <source>United States</source>
        <translation>Vereinigte Staaten</translation>
    </message>
    <message>
        <source>Uruguay</source>
        <translation>Uruguay</translation>
    </message>
    <message>
        <source>Uzbekistan</source>
        <translation>Usbekistan</translation>
    </message>
    <message>
        <source>Vatican City</source>
        <translation>Vatikanstadt</translation>
    </message>
    <message>
        <source>Saint Vincent and the Grenadines</source>
        <translation>St. Vincent und die Grenadinen</translation>
    </message>
    <message>
        <source>Venezuela</source>
        <translation>Venezuela</translation>
    </message>
    <message>
        <source>British Virgin Islands</source>
        <translation>Britische Jungferninseln</translation>
    </message>
    <message>
        <source>United States Virgin Islands</source>
        <translation>Amerikanische Jungferninseln</translation>
    </message>
    <message>
        <source>Vietnam</source>
        <translation>Vietnam</translation>
    </message>
    <message>
        <source>Vanuatu</source>
        <translation>Vanuatu</translation>
    </message>
    <message>
        <source>Wallis and Futuna</source>
        <translation>Wallis und Futuna</translation>
    </message>
    <message>
        <source>Samoa</source>
        <translation>Samoa</translation>
    </message>
    <message>
        <source>Kosovo</source>
        <translation>Kosovo</translation>
    </message>
    <message>
        <source>Yemen</source>
        <translation>Jemen</translation>
    </message>
    <message>
        <source>Mayotte</source>
        <translation>Mayotte</translation>
    </message>
    <message>
        <source>South Africa</source>
        <translation>Südafrika</translation>
    </message>
    <message>
        <source>Zambia</source>
        <translation>Sambia</translation>
    </message>
    <message>
        <source>Zimbabwe</source>
        <translation>Simbabwe</translation>
    </message>
</context>
<context>
    <name>DateDlg</name>
    <message>
        <source>Accounting board</source>
        <translation>Buchhaltungsübersicht</translation>
    </message>
    <message>
        <source>Sales accounting between two dates (included):</source>
        <translation>Verkaufsabrechnung zwischen zwei Daten (einschließlich):</translation>
    </message>
    <message>
        <source>Initial date:</source>
        <translation>Anfangsdatum:</translation>
    </message>
    <message>
        <source>Final date:</source>
        <translation>Enddatum:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>DistributorDocuments</name>
    <message>
        <source>Cannot read the distributors: %1</source>
        <translation>Die Vertriebspartner können nicht gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>DistributorsPage</name>
    <message>
        <source>Company/Language:</source>
        <translation>Firma/Sprache:</translation>
    </message>
    <message>
        <source>Person:</source>
        <translation>Person:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Anschrift:</translation>
    </message>
    <message>
        <source>Telephone:</source>
        <translation>Telefon:</translation>
    </message>
    <message>
        <source>Fax:</source>
        <translation>Fax:</translation>
    </message>
    <message>
        <source>E-mail:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>License owner:</source>
        <translation>Lizenznehmer:</translation>
    </message>
    <message>
        <source>About Kestrova</source>
        <translation>Über Kestrova</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Envelope</source>
        <translation>Briefumschlag</translation>
    </message>
    <message>
        <source>Mail</source>
        <translation>Brief</translation>
    </message>
    <message>
        <source>Mailing</source>
        <translation>Serienbrief</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>DocumentSender</name>
    <message>
        <source>There are no document settings for the product &quot;%1&quot; and the language &quot;%2&quot;.</source>
        <translation>Für das Produkt „%1“ und die Sprache „%2“ gibt es keine Dokumenteinstellungen.</translation>
    </message>
    <message>
        <source>The word processor is still busy with the previous document. Try again when it has finished.</source>
        <translation>Die Textverarbeitung ist noch mit dem vorigen Dokument beschäftigt. Versuchen Sie es erneut, wenn sie damit fertig ist.</translation>
    </message>
</context>
<context>
    <name>FirstStartWizard</name>
    <message>
        <source>Welcome to Kestrova</source>
        <translation>Willkommen bei Kestrova</translation>
    </message>
    <message>
        <source>Your company</source>
        <translation>Ihre Firma</translation>
    </message>
    <message>
        <source>Printed on every envelope, letter and invoice. You can change it later on the &quot;Company&quot; tab of the &quot;Parameters&quot; page.</source>
        <translation>Wird auf jeden Briefumschlag, jeden Brief und jede Rechnung gedruckt. Sie können die Angaben später auf der Registerkarte „Firma“ der Seite „Parameter“ ändern.</translation>
    </message>
    <message>
        <source>Company &amp;name:</source>
        <translation>Firmen&amp;name:</translation>
    </message>
    <message>
        <source>&amp;Street:</source>
        <translation>&amp;Straße:</translation>
    </message>
    <message>
        <source>&amp;Postcode:</source>
        <translation>&amp;Postleitzahl:</translation>
    </message>
    <message>
        <source>&amp;City:</source>
        <translation>&amp;Ort:</translation>
    </message>
    <message>
        <source>C&amp;ountry:</source>
        <translation>&amp;Land:</translation>
    </message>
    <message>
        <source>&amp;VAT ID:</source>
        <translation>&amp;USt-IdNr.:</translation>
    </message>
    <message>
        <source>&amp;Tax number:</source>
        <translation>St&amp;euernummer:</translation>
    </message>
    <message>
        <source>C&amp;ontact:</source>
        <translation>&amp;Kontakt:</translation>
    </message>
    <message>
        <source>Name or web address</source>
        <translation>Name oder Webadresse</translation>
    </message>
    <message>
        <source>&amp;Phone:</source>
        <translation>&amp;Telefon:</translation>
    </message>
    <message>
        <source>&amp;E-mail:</source>
        <translation>E-&amp;Mail:</translation>
    </message>
    <message>
        <source>Payment</source>
        <translation>Zahlung</translation>
    </message>
    <message>
        <source>How your customers pay you.</source>
        <translation>Wie Ihre Kunden Sie bezahlen.</translation>
    </message>
    <message>
        <source>&amp;IBAN:</source>
        <translation>&amp;IBAN:</translation>
    </message>
    <message>
        <source>&amp;BIC:</source>
        <translation>&amp;BIC:</translation>
    </message>
    <message>
        <source>&amp;Bank:</source>
        <translation>&amp;Bank:</translation>
    </message>
    <message>
        <source>Payment &amp;due after (days):</source>
        <translation>Fä&amp;llig nach (Tagen):</translation>
    </message>
    <message>
        <source>Payment &amp;terms:</source>
        <translation>Zahlungsbedingun&amp;gen:</translation>
    </message>
    <message>
        <source>Payable within 14 days without deduction</source>
        <translation>Zahlbar innerhalb von 14 Tagen ohne Abzug</translation>
    </message>
    <message>
        <source>Note when no &amp;VAT is charged:</source>
        <translation>Hinweis, wenn keine &amp;USt. berechnet wird:</translation>
    </message>
    <message>
        <source>e.g. a small-business rule</source>
        <translation>z. B. ein Hinweis auf die Kleinunternehmerregelung</translation>
    </message>
    <message>
        <source>Your first product</source>
        <translation>Ihr erstes Produkt</translation>
    </message>
    <message>
        <source>More products, languages and prices can be added on the &quot;Parameters&quot; page.</source>
        <translation>Weitere Produkte, Sprachen und Preise können Sie auf der Seite „Parameter“ hinzufügen.</translation>
    </message>
    <message>
        <source>&amp;Product:</source>
        <translation>&amp;Produkt:</translation>
    </message>
    <message>
        <source>The name of your first product</source>
        <translation>Der Name Ihres ersten Produkts</translation>
    </message>
    <message>
        <source>Document languages:</source>
        <translation>Sprachen der Dokumente:</translation>
    </message>
    <message>
        <source>&amp;English (EN)</source>
        <translation>&amp;Englisch (EN)</translation>
    </message>
    <message>
        <source>&amp;German (DE)</source>
        <translation>&amp;Deutsch (DE)</translation>
    </message>
    <message>
        <source>C&amp;urrency:</source>
        <translation>Wä&amp;hrung:</translation>
    </message>
    <message>
        <source>&amp;Net price of one licence:</source>
        <translation>&amp;Nettopreis einer Lizenz:</translation>
    </message>
    <message>
        <source>&amp;Tax rate (%):</source>
        <translation>&amp;Steuersatz (%):</translation>
    </message>
</context>
<context>
    <name>GridViewForm</name>
    <message>
        <source>Grid view</source>
        <translation>Tabellenansicht</translation>
    </message>
</context>
<context>
    <name>LabelsDlg</name>
    <message>
        <source>Printing labels</source>
        <translation>Etiketten drucken</translation>
    </message>
    <message>
        <source>Please select the product and the language:</source>
        <translation>Bitte wählen Sie das Produkt und die Sprache:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>LineReader</name>
    <message>
        <source>Line %1 has %2 fields instead of %3</source>
        <translation>Zeile %1 hat %2 Felder statt %3</translation>
    </message>
    <message>
        <source>Line %1 cannot be read: the field reader Pull moved outside the text</source>
        <translation>Zeile %1 kann nicht gelesen werden: Die Feldlesefunktion Pull hat den Text verlassen</translation>
    </message>
    <message>
        <source>Line %1 holds a zero byte</source>
        <translation>Zeile %1 enthält ein Null-Byte</translation>
    </message>
    <message>
        <source>Line %1 cannot be read: the field reader Pull does not advance</source>
        <translation>Zeile %1 kann nicht gelesen werden: Die Feldlesefunktion Pull kommt nicht voran</translation>
    </message>
</context>
<context>
    <name>MailDlg</name>
    <message>
        <source>Mail</source>
        <translation>Brief</translation>
    </message>
    <message>
        <source>Please select the product and the language. The default language is the 
current distributor&apos;s one.</source>
        <translation>Bitte wählen Sie das Produkt und die Sprache. Voreingestellt ist die Sprache 
des aktuellen Vertriebspartners.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>MailOrderRun</name>
    <message>
        <source>the file is larger than %1 KB</source>
        <translation>die Datei ist größer als %1 KB</translation>
    </message>
    <message>
        <source>The reply to %1 could not be sent: %2</source>
        <translation>Die Antwort an %1 konnte nicht gesendet werden: %2</translation>
    </message>
    <message>
        <source>The message from %1 could not be marked: %2</source>
        <translation>Die Nachricht von %1 konnte nicht markiert werden: %2</translation>
    </message>
    <message>
        <source>The message from %1 could not be moved: %2</source>
        <translation>Die Nachricht von %1 konnte nicht verschoben werden: %2</translation>
    </message>
    <message>
        <source>1 message could not be read and was left in the mailbox</source>
        <translation>1 Nachricht konnte nicht gelesen werden und ist im Postfach geblieben</translation>
    </message>
    <message>
        <source>%1 messages could not be read and were left in the mailbox</source>
        <translation>%1 Nachrichten konnten nicht gelesen werden und sind im Postfach geblieben</translation>
    </message>
</context>
<context>
    <name>MailRecord</name>
    <message>
        <source>The record of e-mail orders: %1</source>
        <translation>Das Verzeichnis der E-Mail-Bestellungen: %1</translation>
    </message>
    <message>
        <source>the record is not open</source>
        <translation>das Verzeichnis ist nicht geöffnet</translation>
    </message>
    <message>
        <source>Cannot open the record of e-mail orders %1: %2</source>
        <translation>Das Verzeichnis der E-Mail-Bestellungen %1 kann nicht geöffnet werden: %2</translation>
    </message>
</context>
<context>
    <name>Mailbox</name>
    <message>
        <source>the server does not offer an encrypted connection (STARTTLS); the user name and password are never sent without one</source>
        <translation>der Server bietet keine verschlüsselte Verbindung (STARTTLS) an; Benutzername und Passwort werden nie ohne eine solche gesendet</translation>
    </message>
    <message>
        <source>the message file %1 is gone</source>
        <translation>die Nachrichtendatei %1 ist nicht mehr vorhanden</translation>
    </message>
    <message>
        <source>The sending address %1 is not smtp://, smtps:// or sendmail:</source>
        <translation>Die Sendeadresse %1 ist weder smtp://, smtps:// noch sendmail:</translation>
    </message>
    <message>
        <source>No mailbox is set up: the profile is empty</source>
        <translation>Es ist kein Postfach eingerichtet: Das Profil ist leer</translation>
    </message>
    <message>
        <source>No folder is set up for processed messages</source>
        <translation>Es ist kein Ordner für verarbeitete Nachrichten eingerichtet</translation>
    </message>
    <message>
        <source>The mailbox address %1 is not valid</source>
        <translation>Die Postfachadresse %1 ist ungültig</translation>
    </message>
    <message>
        <source>The mailbox folder %1 does not exist</source>
        <translation>Der Postfachordner %1 existiert nicht</translation>
    </message>
    <message>
        <source>The folder %1 for processed messages does not exist</source>
        <translation>Der Ordner %1 für verarbeitete Nachrichten existiert nicht</translation>
    </message>
    <message>
        <source>Cannot open the mailbox %1: %2</source>
        <translation>Das Postfach %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>the file %1 cannot be read</source>
        <translation>die Datei %1 kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Cannot read a message: %1</source>
        <translation>Eine Nachricht kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Cannot mark a message: there is no current message</source>
        <translation>Eine Nachricht kann nicht markiert werden: Es gibt keine aktuelle Nachricht</translation>
    </message>
    <message>
        <source>Cannot mark a message: %1</source>
        <translation>Eine Nachricht kann nicht markiert werden: %1</translation>
    </message>
    <message>
        <source>Cannot move a message: there is no current message</source>
        <translation>Eine Nachricht kann nicht verschoben werden: Es gibt keine aktuelle Nachricht</translation>
    </message>
    <message>
        <source>Cannot move a message: %1</source>
        <translation>Eine Nachricht kann nicht verschoben werden: %1</translation>
    </message>
    <message>
        <source>Cannot move a message: it was copied into %1, but stays in %2 too: %3</source>
        <translation>Eine Nachricht kann nicht verschoben werden: Sie wurde nach %1 kopiert, bleibt aber auch in %2: %3</translation>
    </message>
    <message>
        <source>Cannot send the reply to %1: the mailbox is not open</source>
        <translation>Die Antwort an %1 kann nicht gesendet werden: Das Postfach ist nicht geöffnet</translation>
    </message>
    <message>
        <source>Cannot send the reply to %1: %2</source>
        <translation>Die Antwort an %1 kann nicht gesendet werden: %2</translation>
    </message>
    <message>
        <source>Cannot remove the moved messages from the mailbox: %1</source>
        <translation>Die verschobenen Nachrichten können nicht aus dem Postfach entfernt werden: %1</translation>
    </message>
</context>
<context>
    <name>MailingDlg</name>
    <message>
        <source>Mailing</source>
        <translation>Serienbrief</translation>
    </message>
    <message>
        <source>Please select the product and the language. The mailing will be prepared 
only for distributors speaking this language.</source>
        <translation>Bitte wählen Sie das Produkt und die Sprache. Der Serienbrief wird 
nur für Vertriebspartner dieser Sprache vorbereitet.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>Sales</source>
        <translation>Verkäufe</translation>
    </message>
    <message>
        <source>Distributors</source>
        <translation>Vertriebspartner</translation>
    </message>
    <message>
        <source>Parameters</source>
        <translation>Parameter</translation>
    </message>
</context>
<context>
    <name>MemoFile</name>
    <message>
        <source>cannot open the memo file %1: %2</source>
        <translation>die Memo-Datei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>the memo file %1 is truncated (%2 bytes)</source>
        <translation>die Memo-Datei %1 ist abgeschnitten (%2 Bytes)</translation>
    </message>
    <message>
        <source>cannot read the memo file %1: %2</source>
        <translation>die Memo-Datei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a memo file</source>
        <translation>%1 ist keine Memo-Datei</translation>
    </message>
    <message>
        <source>a memo of %1 bytes is kept in the memo file</source>
        <translation>ein Memo von %1 Bytes liegt in der Memo-Datei</translation>
    </message>
    <message>
        <source>a memo claims %1 bytes</source>
        <translation>ein Memo gibt %1 Bytes an</translation>
    </message>
    <message>
        <source>a memo points to offset %1, outside the memo file</source>
        <translation>ein Memo verweist auf den Offset %1 außerhalb der Memo-Datei</translation>
    </message>
    <message>
        <source>a memo block at offset %1 does not match its record</source>
        <translation>ein Memo-Block bei Offset %1 passt nicht zu seinem Datensatz</translation>
    </message>
    <message>
        <source>a memo names entry %1 of a shared block</source>
        <translation>ein Memo nennt den Eintrag %1 eines gemeinsam genutzten Blocks</translation>
    </message>
    <message>
        <source>a memo entry at offset %1 does not match its record</source>
        <translation>ein Memo-Eintrag bei Offset %1 passt nicht zu seinem Datensatz</translation>
    </message>
    <message>
        <source>a memo points to a block of type %1 at offset %2</source>
        <translation>ein Memo verweist auf einen Block vom Typ %1 bei Offset %2</translation>
    </message>
</context>
<context>
    <name>ParadoxTable</name>
    <message>
        <source>%1 has a damaged chain of data blocks: block %2 names block %3 as the next, but the file has %4</source>
        <translation>%1 hat eine beschädigte Kette von Datenblöcken: Block %2 nennt Block %3 als nächsten, die Datei hat aber %4</translation>
    </message>
    <message>
        <source>%1 has a damaged header: its first data block %2 is not among its %3</source>
        <translation>%1 hat einen beschädigten Dateikopf: der erste Datenblock %2 gehört nicht zu den %3 Blöcken der Datei</translation>
    </message>
    <message>
        <source>%1 has a damaged chain of data blocks: it comes back to block %2 after block %3</source>
        <translation>%1 hat eine beschädigte Kette von Datenblöcken: sie kehrt nach Block %3 zu Block %2 zurück</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 has a damaged chain of data blocks: block %2 gives a wrong size</source>
        <translation>%1 hat eine beschädigte Kette von Datenblöcken: Block %2 gibt eine falsche Größe an</translation>
    </message>
    <message>
        <source>%1 has a damaged header: it counts %2 records, but its data blocks hold %3</source>
        <translation>%1 hat einen beschädigten Dateikopf: er zählt %2 Datensätze, die Datenblöcke enthalten aber %3</translation>
    </message>
    <message>
        <source>alpha</source>
        <comment>Paradox field type</comment>
        <translation>Alpha</translation>
    </message>
    <message>
        <source>date</source>
        <comment>Paradox field type</comment>
        <translation>Datum</translation>
    </message>
    <message>
        <source>short number</source>
        <comment>Paradox field type</comment>
        <translation>Kurze Zahl</translation>
    </message>
    <message>
        <source>long integer</source>
        <comment>Paradox field type</comment>
        <translation>Lange Ganzzahl</translation>
    </message>
    <message>
        <source>money</source>
        <comment>Paradox field type</comment>
        <translation>Währung</translation>
    </message>
    <message>
        <source>number</source>
        <comment>Paradox field type</comment>
        <translation>Zahl</translation>
    </message>
    <message>
        <source>logical</source>
        <comment>Paradox field type</comment>
        <translation>Logisch</translation>
    </message>
    <message>
        <source>memo</source>
        <comment>Paradox field type</comment>
        <translation>Memo</translation>
    </message>
    <message>
        <source>binary</source>
        <comment>Paradox field type</comment>
        <translation>Binär</translation>
    </message>
    <message>
        <source>formatted memo</source>
        <comment>Paradox field type</comment>
        <translation>Formatiertes Memo</translation>
    </message>
    <message>
        <source>OLE</source>
        <comment>Paradox field type</comment>
        <translation>OLE</translation>
    </message>
    <message>
        <source>graphic</source>
        <comment>Paradox field type</comment>
        <translation>Grafik</translation>
    </message>
    <message>
        <source>time</source>
        <comment>Paradox field type</comment>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>timestamp</source>
        <comment>Paradox field type</comment>
        <translation>Zeitstempel</translation>
    </message>
    <message>
        <source>autoincrement</source>
        <comment>Paradox field type</comment>
        <translation>Autoinkrement</translation>
    </message>
    <message>
        <source>BCD</source>
        <comment>Paradox field type</comment>
        <translation>BCD</translation>
    </message>
    <message>
        <source>bytes</source>
        <comment>Paradox field type</comment>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>unknown (0x%1)</source>
        <comment>Paradox field type</comment>
        <translation>Unbekannt (0x%1)</translation>
    </message>
    <message>
        <source>%1 is missing</source>
        <translation>%1 fehlt</translation>
    </message>
    <message>
        <source>%1 is not a Paradox table (it is too short for one)</source>
        <translation>%1 ist keine Paradox-Tabelle (die Datei ist dafür zu kurz)</translation>
    </message>
    <message>
        <source>%1 is a Paradox index file, not a table</source>
        <translation>%1 ist eine Paradox-Indexdatei, keine Tabelle</translation>
    </message>
    <message>
        <source>%1 is not a Paradox table</source>
        <translation>%1 ist keine Paradox-Tabelle</translation>
    </message>
    <message>
        <source>%1 is truncated: its header of %2 bytes is longer than the file (%3 bytes)</source>
        <translation>%1 ist abgeschnitten: der Dateikopf von %2 Bytes ist länger als die Datei (%3 Bytes)</translation>
    </message>
    <message>
        <source>%1 has a damaged header: %2 fields do not fit into it</source>
        <translation>%1 hat einen beschädigten Dateikopf: %2 Felder passen nicht hinein</translation>
    </message>
    <message>
        <source>%1 is protected by a password; remove the password in Paradox first</source>
        <translation>%1 ist durch ein Kennwort geschützt; entfernen Sie das Kennwort zuerst in Paradox</translation>
    </message>
    <message>
        <source>%1 has a damaged header: it gives records of %2 bytes, but its fields take %3</source>
        <translation>%1 hat einen beschädigten Dateikopf: er gibt Datensätze von %2 Bytes an, die Felder belegen aber %3</translation>
    </message>
    <message>
        <source>%1 has a damaged header: a record of %2 bytes does not fit into a block</source>
        <translation>%1 hat einen beschädigten Dateikopf: ein Datensatz von %2 Bytes passt nicht in einen Block</translation>
    </message>
    <message>
        <source>%1 is truncated: its header counts %2 data blocks of %3 bytes, but the file ends after %4 bytes</source>
        <translation>%1 ist abgeschnitten: der Dateikopf zählt %2 Datenblöcke von %3 Bytes, die Datei endet aber nach %4 Bytes</translation>
    </message>
    <message>
        <source>%1 has a damaged header: it counts %2 records, but its %3 data blocks hold at most %4</source>
        <translation>%1 hat einen beschädigten Dateikopf: er zählt %2 Datensätze, die %3 Datenblöcke fassen aber höchstens %4</translation>
    </message>
    <message>
        <source>%1 cannot be read: out of memory</source>
        <translation>%1 kann nicht gelesen werden: nicht genügend Arbeitsspeicher</translation>
    </message>
    <message>
        <source>%1 has a damaged chain of data blocks (at block %2)</source>
        <translation>%1 hat eine beschädigte Kette von Datenblöcken (bei Block %2)</translation>
    </message>
    <message>
        <source>%1 has a damaged header: the %2 field %3 is %4 bytes long</source>
        <extracomment>%1 is the file, %2 a Paradox field type (alpha, memo, ...), %3 the field&apos;s name.</extracomment>
        <translation>%1 hat einen beschädigten Dateikopf: das Feld %3 vom Typ %2 ist %4 Bytes lang</translation>
    </message>
    <message>
        <source>%1: record %2 cannot be read: %3</source>
        <translation>%1: Datensatz %2 kann nicht gelesen werden: %3</translation>
    </message>
    <message>
        <source>unknown reason</source>
        <translation>unbekannter Grund</translation>
    </message>
</context>
<context>
    <name>ParametersPage</name>
    <message>
        <source>Scrolling lists</source>
        <translation>Auswahllisten</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Sprachen</translation>
    </message>
    <message>
        <source>Inser to insert, Ctrl+Del to delete</source>
        <translation>Einfg zum Einfügen, Strg+Entf zum Löschen</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Origins</source>
        <translation>Herkünfte</translation>
    </message>
    <message>
        <source>Origin</source>
        <translation>Herkunft</translation>
    </message>
    <message>
        <source>Titles</source>
        <translation>Anreden</translation>
    </message>
    <message>
        <source>Title,Politeness</source>
        <extracomment>Column titles, separated by commas without blanks</extracomment>
        <translation>Anrede,Briefanrede</translation>
    </message>
    <message>
        <source>Payment means</source>
        <translation>Zahlungsarten</translation>
    </message>
    <message>
        <source>Payment means</source>
        <comment>column title</comment>
        <translation>Zahlungsart</translation>
    </message>
    <message>
        <source>Products, currencies, prices</source>
        <translation>Produkte, Währungen, Preise</translation>
    </message>
    <message>
        <source>Prices</source>
        <translation>Preise</translation>
    </message>
    <message>
        <source>Product,Currency,Net amount,Tax</source>
        <extracomment>Column titles, separated by commas without blanks</extracomment>
        <translation>Produkt,Währung,Nettobetrag,Steuer</translation>
    </message>
    <message>
        <source>Currencies</source>
        <translation>Währungen</translation>
    </message>
    <message>
        <source>Currency</source>
        <translation>Währung</translation>
    </message>
    <message>
        <source>Products</source>
        <translation>Produkte</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Produkt</translation>
    </message>
    <message>
        <source>Printing, batches</source>
        <translation>Drucken, Stapelbefehle</translation>
    </message>
    <message>
        <source>Command line:</source>
        <translation>Befehlszeile:</translation>
    </message>
    <message>
        <source>Dde service:</source>
        <translation>DDE-Dienst:</translation>
    </message>
    <message>
        <source>Dde topic:</source>
        <translation>DDE-Thema:</translation>
    </message>
    <message>
        <source>Final Dde macro:</source>
        <translation>Abschließendes DDE-Makro:</translation>
    </message>
    <message>
        <source>Product:</source>
        <translation>Produkt:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Labels:</source>
        <translation>Etiketten:</translation>
    </message>
    <message>
        <source>Envelope:</source>
        <translation>Briefumschlag:</translation>
    </message>
    <message>
        <source>Mail:</source>
        <translation>Brief:</translation>
    </message>
    <message>
        <source>Mailing:</source>
        <translation>Serienbrief:</translation>
    </message>
    <message>
        <source>Invoice:</source>
        <translation>Rechnung:</translation>
    </message>
    <message>
        <source>Batch:</source>
        <translation>Stapelbefehl:</translation>
    </message>
    <message>
        <source>Adds document settings for every product and language that has none, from the shipped templates</source>
        <translation>Fügt für jedes Produkt und jede Sprache ohne Dokumenteinstellungen solche aus den mitgelieferten Vorlagen hinzu</translation>
    </message>
    <message>
        <source>Standard documents</source>
        <translation>Standarddokumente</translation>
    </message>
    <message>
        <source>Messaging</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <source>Exchange profile:</source>
        <translation>Exchange-Profil:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Message store:</source>
        <translation>Nachrichtenspeicher:</translation>
    </message>
    <message>
        <source>After processing storing folder:</source>
        <translation>Ordner für verarbeitete Nachrichten:</translation>
    </message>
    <message>
        <source>(You should create this folder manually)</source>
        <translation>(Diesen Ordner sollten Sie selbst anlegen)</translation>
    </message>
    <message>
        <source>Origin:</source>
        <translation>Herkunft:</translation>
    </message>
    <message>
        <source>Product Id:</source>
        <translation>Produkt-ID:</translation>
    </message>
    <message>
        <source>Recognition function:</source>
        <translation>Erkennungsfunktion:</translation>
    </message>
    <message>
        <source>(This function must be present in the function.dll library)</source>
        <translation>(Diese Funktion muss in der Funktionsbibliothek function.dll vorhanden sein)</translation>
    </message>
    <message>
        <source>About Kestrova</source>
        <translation>Über Kestrova</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Taschenrechner</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>PersonDlg</name>
    <message>
        <source>Find a person</source>
        <translation>Person suchen</translation>
    </message>
    <message>
        <source>Person to find:</source>
        <translation>Gesuchte Person:</translation>
    </message>
    <message>
        <source>Person:</source>
        <translation>Person:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>ProgressForm</name>
    <message>
        <source>Progress Form</source>
        <translation>Fortschritt</translation>
    </message>
</context>
<context>
    <name>QueryRun</name>
    <message>
        <source>the function %1</source>
        <extracomment>What a read-only query may not do; %1 is the name of an SQL function. Inserted into &quot;Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...&quot;.</extracomment>
        <translation>die Funktion %1</translation>
    </message>
    <message>
        <source>writing to %1</source>
        <extracomment>What a read-only query may not do; %1 is the name of a table. Inserted into &quot;Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...&quot;.</extracomment>
        <translation>das Schreiben in %1</translation>
    </message>
    <message>
        <source>a transaction</source>
        <extracomment>What a read-only query may not do. Inserted into &quot;Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...&quot;.</extracomment>
        <translation>eine Transaktion</translation>
    </message>
    <message>
        <source>changing the database</source>
        <extracomment>What a read-only query may not do. Inserted into &quot;Only one SELECT query can be run here, and it may only read: %1 is not allowed; ...&quot;.</extracomment>
        <translation>das Ändern der Datenbank</translation>
    </message>
    <message>
        <source>The query was cancelled</source>
        <translation>Die Abfrage wurde abgebrochen</translation>
    </message>
    <message>
        <source>Only one SELECT query can be run here, and it may only read: %1 is not allowed; the text was not run and no table was changed</source>
        <extracomment>%1 names what the query tried: &quot;the function ...&quot;, &quot;writing to ...&quot;, &quot;a transaction&quot;, &quot;changing the database&quot;, or an SQL word (ATTACH, PRAGMA ...).</extracomment>
        <translation>Hier kann nur eine einzelne SELECT-Abfrage ausgeführt werden, und sie darf nur lesen: %1 ist nicht erlaubt; der Text wurde nicht ausgeführt und keine Tabelle wurde geändert</translation>
    </message>
    <message>
        <source>The result has too many rows</source>
        <translation>Das Ergebnis hat zu viele Zeilen</translation>
    </message>
    <message>
        <source>Not enough memory to run the query</source>
        <translation>Nicht genügend Arbeitsspeicher, um die Abfrage auszuführen</translation>
    </message>
</context>
<context>
    <name>SQLDlg</name>
    <message>
        <source>SQL search</source>
        <translation>SQL-Suche</translation>
    </message>
    <message>
        <source>(Get field names from grid view)</source>
        <translation>(Die Feldnamen finden Sie in der Tabellenansicht)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>SalesPage</name>
    <message>
        <source>Billing</source>
        <translation>Rechnungsanschrift</translation>
    </message>
    <message>
        <source>Company:</source>
        <translation>Firma:</translation>
    </message>
    <message>
        <source>Person:</source>
        <translation>Person:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Anschrift:</translation>
    </message>
    <message>
        <source>Fax or E-Mail:</source>
        <translation>Fax oder E-Mail:</translation>
    </message>
    <message>
        <source>Delivery</source>
        <translation>Lieferanschrift</translation>
    </message>
    <message>
        <source>Product:</source>
        <translation>Produkt:</translation>
    </message>
    <message>
        <source>License owner:</source>
        <translation>Lizenznehmer:</translation>
    </message>
    <message>
        <source>Order date:</source>
        <translation>Bestelldatum:</translation>
    </message>
    <message>
        <source>Origin:</source>
        <translation>Herkunft:</translation>
    </message>
    <message>
        <source>Customer reference:</source>
        <translation>Kundenreferenz:</translation>
    </message>
    <message>
        <source>Number of licenses:</source>
        <translation>Anzahl Lizenzen:</translation>
    </message>
    <message>
        <source>Currency:</source>
        <translation>Währung:</translation>
    </message>
    <message>
        <source>Payment means:</source>
        <translation>Zahlungsart:</translation>
    </message>
    <message>
        <source>Payment date:</source>
        <translation>Zahlungsdatum:</translation>
    </message>
    <message>
        <source>Invoice number:</source>
        <translation>Rechnungsnummer:</translation>
    </message>
    <message>
        <source>Net amount:</source>
        <translation>Nettobetrag:</translation>
    </message>
    <message>
        <source>Tax:</source>
        <translation>Steuer:</translation>
    </message>
    <message>
        <source>About Kestrova</source>
        <translation>Über Kestrova</translation>
    </message>
    <message>
        <source>Grid view</source>
        <translation>Tabellenansicht</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Taschenrechner</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>E-Mail</source>
        <translation>E-Mail</translation>
    </message>
    <message>
        <source>Labels</source>
        <translation>Etiketten</translation>
    </message>
    <message>
        <source>Enveloppe</source>
        <translation>Briefumschlag</translation>
    </message>
    <message>
        <source>Invoice/Diskette</source>
        <translation>Rechnung/Diskette</translation>
    </message>
    <message>
        <source>Mail</source>
        <translation>Brief</translation>
    </message>
    <message>
        <source>Find a person</source>
        <translation>Person suchen</translation>
    </message>
    <message>
        <source>Orders not payed</source>
        <translation>Unbezahlte Bestellungen</translation>
    </message>
    <message>
        <source>SQL search</source>
        <translation>SQL-Suche</translation>
    </message>
    <message>
        <source>Accounting board</source>
        <translation>Buchhaltungsübersicht</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>SearchProgress</name>
    <message>
        <source>Running the query...</source>
        <extracomment>The button that stops a running search.</extracomment>
        <translation>Die Abfrage läuft...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>Transaction</name>
    <message>
        <source>the database engine had already rolled the changes back</source>
        <extracomment>The reason a commit failed, shown after &quot;...: &quot;.</extracomment>
        <translation>das Datenbanksystem hatte die Änderungen bereits zurückgenommen</translation>
    </message>
</context>
<context>
    <name>app::FirstStart</name>
    <message>
        <source>Kestrova, the order book. It works in the current folder unless an option names another.</source>
        <translation>Kestrova, das Bestellbuch. Es arbeitet im aktuellen Ordner, sofern keine Option einen anderen nennt.</translation>
    </message>
    <message>
        <source>Work in the folder Kestrova in your home folder, made when missing.</source>
        <translation>Im Ordner Kestrova in Ihrem persönlichen Ordner arbeiten; er wird angelegt, falls er fehlt.</translation>
    </message>
    <message>
        <source>Work in the folder DIR, made when missing.</source>
        <extracomment>DIR is the name of the option&apos;s value in the usage text: keep it.</extracomment>
        <translation>Im Ordner DIR arbeiten; er wird angelegt, falls er fehlt.</translation>
    </message>
    <message>
        <source>Kestrova takes no arguments besides its options.</source>
        <translation>Kestrova nimmt außer seinen Optionen keine Argumente an.</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>An interrupted conversion of the Paradox tables in %1 cannot be finished: %2.
The Paradox files are in the folder and in its subfolder &quot;paradox&quot;</source>
        <translation>Eine unterbrochene Umwandlung der Paradox-Tabellen in %1 kann nicht abgeschlossen werden: %2.
Die Paradox-Dateien liegen im Ordner und in seinem Unterordner „paradox“</translation>
    </message>
    <message>
        <source>An interrupted conversion of the Paradox tables was finished; the original files are in %1.</source>
        <translation>Eine unterbrochene Umwandlung der Paradox-Tabellen wurde abgeschlossen; die Originaldateien liegen in %1.</translation>
    </message>
    <message>
        <source>The folder %1 holds its tables in the Paradox format.
Convert them into Kestrova&apos;s tables? The Paradox files are kept in the subfolder &quot;paradox&quot;.</source>
        <translation>Der Ordner %1 enthält seine Tabellen im Paradox-Format.
Sollen sie in Tabellen von Kestrova umgewandelt werden? Die Paradox-Dateien werden im Unterordner „paradox“ aufbewahrt.</translation>
    </message>
    <message>
        <source>The Paradox tables were not converted: %1</source>
        <translation>Die Paradox-Tabellen wurden nicht umgewandelt: %1</translation>
    </message>
    <message>
        <source>The Paradox tables were converted; the original files are in %1.</source>
        <translation>Die Paradox-Tabellen wurden umgewandelt; die Originaldateien liegen in %1.</translation>
    </message>
    <message>
        <source>%1: %2 records read, %3 written</source>
        <extracomment>One line per converted table: %1 is the table&apos;s name.</extracomment>
        <translation>%1: %2 Datensätze gelesen, %3 geschrieben</translation>
    </message>
    <message>
        <source>... and %1 more notes</source>
        <translation>... und %1 weitere Hinweise</translation>
    </message>
    <message>
        <source>Show the texts in the language CODE (de, en, ...) instead of the desktop&apos;s.</source>
        <extracomment>CODE is the name of the option&apos;s value in the usage text: keep it.</extracomment>
        <translation>Zeigt die Texte in der Sprache CODE (de, en, …) statt in der des Desktops.</translation>
    </message>
</context>
<context>
    <name>app::Startup</name>
    <message>
        <source>No tables were found in %1.
Create a new, empty set of tables there?</source>
        <translation>In %1 wurden keine Tabellen gefunden.
Dort einen neuen, leeren Tabellensatz anlegen?</translation>
    </message>
</context>
<context>
    <name>data::Schema</name>
    <message>
        <source>Table file %1 already exists</source>
        <translation>Die Tabellendatei %1 existiert bereits</translation>
    </message>
    <message>
        <source>Cannot create %1: %2</source>
        <translation>%1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>data::SqlScript</name>
    <message>
        <source>%1, line %2: %3</source>
        <extracomment>%1 is the name of a data script, %2 a line number, %3 the reason.</extracomment>
        <translation>%1, Zeile %2: %3</translation>
    </message>
    <message>
        <source>the script must not end the transaction</source>
        <translation>das Skript darf die Transaktion nicht beenden</translation>
    </message>
    <message>
        <source>the statement changed no row</source>
        <translation>die Anweisung hat keine Zeile geändert</translation>
    </message>
</context>
<context>
    <name>data::SqlStatement</name>
    <message>
        <source>The connection is not an SQLite database</source>
        <translation>Die Verbindung ist keine SQLite-Datenbank</translation>
    </message>
    <message>
        <source>The connection is not open</source>
        <translation>Die Verbindung ist nicht geöffnet</translation>
    </message>
</context>
<context>
    <name>data::TableFile</name>
    <message>
        <source>text</source>
        <comment>kind of field</comment>
        <extracomment>The kind of a table field, used in &quot;the field %1 is a %2 field, where a %3 field is expected&quot;.</extracomment>
        <translation>Text</translation>
    </message>
    <message>
        <source>number</source>
        <comment>kind of field</comment>
        <extracomment>The kind of a table field, used in &quot;the field %1 is a %2 field, where a %3 field is expected&quot;.</extracomment>
        <translation>Zahlen</translation>
    </message>
    <message>
        <source>whole number</source>
        <comment>kind of field</comment>
        <extracomment>The kind of a table field, used in &quot;the field %1 is a %2 field, where a %3 field is expected&quot;.</extracomment>
        <translation>Ganzzahl</translation>
    </message>
    <message>
        <source>date</source>
        <comment>kind of field</comment>
        <extracomment>The kind of a table field, used in &quot;the field %1 is a %2 field, where a %3 field is expected&quot;.</extracomment>
        <translation>Datums</translation>
    </message>
    <message>
        <source>the field %1 is missing</source>
        <extracomment>%1 is the name of a field (e.g. NetAmount); shown after &quot;Cannot open table ...:&quot;.</extracomment>
        <translation>das Feld %1 fehlt</translation>
    </message>
    <message>
        <source>the field %1 is a %2 field, where a %3 field is expected</source>
        <extracomment>%1 is the name of a field (e.g. NetAmount); %2 and %3 are kinds of field (text, number, whole number, date).</extracomment>
        <translation>das Feld %1 ist ein %2feld, erwartet wird ein %3feld</translation>
    </message>
</context>
<context>
    <name>data::TableSet</name>
    <message>
        <source>&apos;%1&apos; is too long for %2.%3</source>
        <extracomment>%1 is a value, %2.%3 the table and field it is too long for (e.g. Xsale.Person).</extracomment>
        <translation>„%1“ ist zu lang für %2.%3</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1; the new files %2 could not be removed</source>
        <extracomment>%1 is the reason the table set could not be made, %2 a list of files.</extracomment>
        <translation>%1; die neuen Dateien %2 konnten nicht entfernt werden</translation>
    </message>
</context>
<context>
    <name>data::TextFormat</name>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>„%1“ ist keine gültige Zahl</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date</source>
        <translation>„%1“ ist kein gültiges Datum</translation>
    </message>
</context>
<context>
    <name>documents::ExchangeTable</name>
    <message>
        <source>Cannot write the exchange table %1: %2</source>
        <translation>Die Austauschtabelle %1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>intake::imapexpunge</name>
    <message>
        <source>the server gave the invalid UID %1</source>
        <translation>der Server hat die ungültige UID %1 geliefert</translation>
    </message>
</context>
<context>
    <name>intake::maildirfiles</name>
    <message>
        <source>Cannot open the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Cannot flush the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht auf die Festplatte geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 is a symbolic link, which is not followed</source>
        <translation>%1 ist ein symbolischer Link, dem nicht gefolgt wird</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>the flag could not be set on %1: %2</source>
        <translation>die Markierung konnte nicht an %1 gesetzt werden: %2</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot put the copy into %1: %2</source>
        <translation>die Kopie kann nicht in %1 abgelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot remove %1: %2</source>
        <translation>%1 kann nicht entfernt werden: %2</translation>
    </message>
</context>
<context>
    <name>intake::mailtext</name>
    <message>
        <source>the address is empty</source>
        <translation>die Adresse ist leer</translation>
    </message>
    <message>
        <source>the address %1 is longer than 254 bytes</source>
        <translation>die Adresse %1 ist länger als 254 Bytes</translation>
    </message>
    <message>
        <source>the mail library cannot send to the address %1 unchanged (it would make %2 of it)</source>
        <translation>die Mail-Bibliothek kann nicht unverändert an die Adresse %1 senden (sie würde %2 daraus machen)</translation>
    </message>
    <message>
        <source>the sender&apos;s address in &quot;%1&quot; cannot be read unchanged by the mail library</source>
        <translation>die Adresse des Absenders in „%1“ kann von der Mail-Bibliothek nicht unverändert gelesen werden</translation>
    </message>
</context>
<context>
    <name>kestrova::DataSet</name>
    <message>
        <source>Cannot perform this operation on a closed dataset</source>
        <translation>Dieser Vorgang ist bei einer geschlossenen Datenmenge nicht möglich</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos; not found</source>
        <translation>Feld „%1“ nicht gefunden</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value for field &apos;%2&apos;</source>
        <extracomment>%1 is the text typed, %2 the name of a field (e.g. NetAmount).</extracomment>
        <translation>„%1“ ist keine gültige Zahl für das Feld „%2“</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid integer value for field &apos;%2&apos;</source>
        <extracomment>%1 is the text typed, %2 the name of a field (e.g. NumberOfLicenses).</extracomment>
        <translation>„%1“ ist keine gültige Ganzzahl für das Feld „%2“</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid date</source>
        <translation>„%1“ ist kein gültiges Datum</translation>
    </message>
    <message>
        <source>Dataset not in edit or insert mode</source>
        <translation>Die Datenmenge ist nicht im Bearbeitungs- oder Einfügemodus</translation>
    </message>
    <message>
        <source>Cannot perform this operation on an empty dataset</source>
        <translation>Dieser Vorgang ist bei einer leeren Datenmenge nicht möglich</translation>
    </message>
    <message>
        <source>Cannot modify a read-only dataset</source>
        <translation>Eine schreibgeschützte Datenmenge kann nicht geändert werden</translation>
    </message>
</context>
<context>
    <name>kestrova::DbGrid</name>
    <message>
        <source>Delete record?</source>
        <translation>Datensatz löschen?</translation>
    </message>
</context>
<context>
    <name>kestrova::DbNavigator</name>
    <message>
        <source>First record</source>
        <translation>Erster Datensatz</translation>
    </message>
    <message>
        <source>Prior record</source>
        <translation>Vorheriger Datensatz</translation>
    </message>
    <message>
        <source>Next record</source>
        <translation>Nächster Datensatz</translation>
    </message>
    <message>
        <source>Last record</source>
        <translation>Letzter Datensatz</translation>
    </message>
    <message>
        <source>Insert record</source>
        <translation>Datensatz einfügen</translation>
    </message>
    <message>
        <source>Delete record</source>
        <translation>Datensatz löschen</translation>
    </message>
    <message>
        <source>Edit record</source>
        <translation>Datensatz bearbeiten</translation>
    </message>
    <message>
        <source>Post edit</source>
        <extracomment>Tooltip of the navigator button that stores the record being edited.</extracomment>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>Cancel edit</source>
        <translation>Bearbeitung abbrechen</translation>
    </message>
    <message>
        <source>Refresh data</source>
        <translation>Daten aktualisieren</translation>
    </message>
    <message>
        <source>Delete record?</source>
        <translation>Datensatz löschen?</translation>
    </message>
</context>
<context>
    <name>kestrova::FirstStartWizard</name>
    <message>
        <source>Enter the name of your company</source>
        <translation>Geben Sie den Namen Ihrer Firma ein</translation>
    </message>
</context>
<context>
    <name>kestrova::OrderSearches</name>
    <message>
        <source>Find a person</source>
        <translation>Person suchen</translation>
    </message>
    <message>
        <source>Select unpayed orders</source>
        <translation>Unbezahlte Bestellungen auswählen</translation>
    </message>
    <message>
        <source>Orders not payed</source>
        <translation>Unbezahlte Bestellungen</translation>
    </message>
    <message>
        <source>SQL search</source>
        <translation>SQL-Suche</translation>
    </message>
    <message>
        <source>Select all data again</source>
        <translation>Wieder alle Daten auswählen</translation>
    </message>
</context>
<context>
    <name>kestrova::ParametersPage</name>
    <message>
        <source>Company</source>
        <extracomment>Tab title: the company&apos;s own details.</extracomment>
        <translation>Firma</translation>
    </message>
    <message>
        <source>1 document settings row was added.</source>
        <translation>1 Zeile mit Dokumenteinstellungen wurde hinzugefügt.</translation>
    </message>
    <message>
        <source>%1 document settings rows were added.</source>
        <translation>%1 Zeilen mit Dokumenteinstellungen wurden hinzugefügt.</translation>
    </message>
    <message>
        <source>Text file(*.txt)</source>
        <translation>Textdatei (*.txt)</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
</context>
<context>
    <name>kestrova::ProductLanguageDialog</name>
    <message>
        <source>Product</source>
        <extracomment>Column title of the list of products.</extracomment>
        <translation>Produkt</translation>
    </message>
    <message>
        <source>Language</source>
        <extracomment>Column title of the list of languages.</extracomment>
        <translation>Sprache</translation>
    </message>
</context>
<context>
    <name>kestrova::Query</name>
    <message>
        <source>Cannot open table %1: the file %2 does not exist</source>
        <translation>Die Tabelle %1 kann nicht geöffnet werden: die Datei %2 existiert nicht</translation>
    </message>
    <message>
        <source>This result cannot be edited: only the rows of a single-table &quot;Select *&quot; query can be changed</source>
        <translation>Dieses Ergebnis kann nicht bearbeitet werden: nur die Zeilen einer „Select *“-Abfrage über eine einzige Tabelle können geändert werden</translation>
    </message>
    <message>
        <source>Only one SELECT query can be run here; the text was not run and no table was changed</source>
        <translation>Hier kann nur eine einzelne SELECT-Abfrage ausgeführt werden; der Text wurde nicht ausgeführt und keine Tabelle wurde geändert</translation>
    </message>
    <message>
        <source>No value for parameter &apos;%1&apos;</source>
        <translation>Kein Wert für den Parameter „%1“</translation>
    </message>
    <message>
        <source>Record not found: it was deleted from table %1</source>
        <translation>Datensatz nicht gefunden: er wurde aus der Tabelle %1 gelöscht</translation>
    </message>
</context>
<context>
    <name>kestrova::SalesPage</name>
    <message>
        <source>The tables are opened read-only: e-mail orders cannot be stored</source>
        <translation>Die Tabellen sind schreibgeschützt geöffnet: E-Mail-Bestellungen können nicht gespeichert werden</translation>
    </message>
    <message>
        <source>The mailbox could not be opened: %1.</source>
        <translation>Das Postfach konnte nicht geöffnet werden: %1.</translation>
    </message>
    <message>
        <source>No new E-Mail registration ...</source>
        <extracomment>No message in the mailbox matched a recognition rule.</extracomment>
        <translation>Keine neue E-Mail-Bestellung ...</translation>
    </message>
    <message>
        <source>Error opening file &quot;Register.txt&quot;: %1.</source>
        <translation>Fehler beim Öffnen der Datei „Register.txt“: %1.</translation>
    </message>
    <message>
        <source>The mailbox could not be closed: %1.</source>
        <translation>Das Postfach konnte nicht geschlossen werden: %1.</translation>
    </message>
</context>
<context>
    <name>kestrova::TAboutForm</name>
    <message>
        <source>About Kestrova</source>
        <translation>Über Kestrova</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>kestrova::TAccountingForm</name>
    <message>
        <source>Currency</source>
        <translation>Währung</translation>
    </message>
    <message>
        <source>Net amount</source>
        <translation>Nettobetrag</translation>
    </message>
    <message>
        <source>Taxes</source>
        <translation>Steuer</translation>
    </message>
    <message>
        <source>Licenses</source>
        <translation>Lizenzen</translation>
    </message>
    <message>
        <source>Origin</source>
        <translation>Herkunft</translation>
    </message>
    <message>
        <source>Product</source>
        <translation>Produkt</translation>
    </message>
</context>
<context>
    <name>kestrova::TCheckEmailForm</name>
    <message>
        <source>Product Id &quot;%1&quot; unknown !</source>
        <translation>Produkt-ID „%1“ unbekannt !</translation>
    </message>
    <message>
        <source>without invoice number</source>
        <translation>ohne Rechnungsnummer</translation>
    </message>
    <message>
        <source>without invoice number, dated %1</source>
        <translation>ohne Rechnungsnummer, vom %1</translation>
    </message>
    <message>
        <source>with invoice number %1</source>
        <translation>mit der Rechnungsnummer %1</translation>
    </message>
    <message>
        <source>with invoice number %1, dated %2</source>
        <translation>mit der Rechnungsnummer %1, vom %2</translation>
    </message>
    <message>
        <source>Already taken in? An order from %1 with the customer reference %2 is stored (%3). &quot;Stop&quot; leaves this message in the mailbox; &quot;Process and next&quot; appends it again.</source>
        <extracomment>%1 is the origin, %2 the customer reference, %3 the stored order&apos;s invoice number and date. &quot;Stop&quot; and &quot;Process and next&quot; are the buttons of this window.</extracomment>
        <translation>Schon übernommen? Eine Bestellung von %1 mit der Kundenreferenz %2 ist gespeichert (%3). „Anhalten“ lässt diese Nachricht im Postfach; „Verarbeiten und weiter“ fügt sie erneut hinzu.</translation>
    </message>
    <message>
        <source>End of processing. Number of messages processed : %1</source>
        <translation>Verarbeitung beendet. Anzahl verarbeiteter Nachrichten : %1</translation>
    </message>
</context>
<context>
    <name>kestrova::TDateDlg</name>
    <message>
        <source>Sales accounting between %1 and %2 (included).</source>
        <extracomment>The title of the accounting board; %1 and %2 are the first and last date.</extracomment>
        <translation>Verkaufsabrechnung vom %1 bis zum %2 (einschließlich).</translation>
    </message>
</context>
<context>
    <name>kestrova::TMainForm</name>
    <message>
        <source>The working folder %1 or one of its tables cannot be written to. Kestrova opens the tables read-only: orders can be looked at, searched and exported, but no change can be stored.</source>
        <translation>In den Arbeitsordner %1 oder eine seiner Tabellen kann nicht geschrieben werden. Kestrova öffnet die Tabellen schreibgeschützt: Bestellungen können angesehen, gesucht und exportiert, aber keine Änderungen gespeichert werden.</translation>
    </message>
    <message>
        <source>A change could not be stored.
Close Kestrova anyway and lose it?</source>
        <translation>Eine Änderung konnte nicht gespeichert werden.
Kestrova trotzdem schließen und die Änderung verwerfen?</translation>
    </message>
</context>
<context>
    <name>kestrova::Table</name>
    <message>
        <source>Cannot open table %1: the file %2 does not exist</source>
        <translation>Die Tabelle %1 kann nicht geöffnet werden: die Datei %2 existiert nicht</translation>
    </message>
    <message>
        <source>the file holds no table %1</source>
        <translation>die Datei enthält keine Tabelle %1</translation>
    </message>
    <message>
        <source>Cannot open table %1 (%2): %3</source>
        <extracomment>%1 is a table&apos;s name (Xsale), %2 its file, %3 the reason (often the database engine&apos;s own message).</extracomment>
        <translation>Die Tabelle %1 (%2) kann nicht geöffnet werden: %3</translation>
    </message>
    <message>
        <source>Record not found: it was deleted from table %1</source>
        <translation>Datensatz nicht gefunden: er wurde aus der Tabelle %1 gelöscht</translation>
    </message>
    <message>
        <source>Table %1 has no primary key</source>
        <translation>Die Tabelle %1 hat keinen Primärschlüssel</translation>
    </message>
    <message>
        <source>the database engine had already rolled the changes back</source>
        <translation>das Datenbanksystem hatte die Änderungen bereits zurückgenommen</translation>
    </message>
</context>
<context>
    <name>kestrova::WordProcessorLink</name>
    <message>
        <source>Error when launching &quot;%1&quot; !</source>
        <translation>Fehler beim Starten von „%1“ !</translation>
    </message>
    <message>
        <source>Error during &quot;%1/%2&quot; DDE conversation !</source>
        <extracomment>%1 is the word processor&apos;s service, %2 the topic of the conversation.</extracomment>
        <translation>Fehler während der DDE-Verbindung „%1/%2“ !</translation>
    </message>
</context>
<context>
    <name>migrate::Migration</name>
    <message>
        <source>Cannot create %1: %2</source>
        <translation>%1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>a text (alpha or memo)</source>
        <extracomment>What Kestrova expects of a field, used in &quot;...where Kestrova expects %4&quot;.</extracomment>
        <translation>einen Text (Alpha oder Memo)</translation>
    </message>
    <message>
        <source>a number</source>
        <extracomment>What Kestrova expects of a field, used in &quot;...where Kestrova expects %4&quot;.</extracomment>
        <translation>eine Zahl</translation>
    </message>
    <message>
        <source>a whole number</source>
        <extracomment>What Kestrova expects of a field, used in &quot;...where Kestrova expects %4&quot;.</extracomment>
        <translation>eine Ganzzahl</translation>
    </message>
    <message>
        <source>a date</source>
        <extracomment>What Kestrova expects of a field, used in &quot;...where Kestrova expects %4&quot;.</extracomment>
        <translation>ein Datum</translation>
    </message>
    <message>
        <source>%1 has no field %2</source>
        <translation>%1 hat kein Feld %2</translation>
    </message>
    <message>
        <source>%1: the field %2 is of the Paradox type %3, where Kestrova expects %4</source>
        <extracomment>%1 is a Paradox table&apos;s file, %2 a field&apos;s name, %3 a Paradox field type (alpha, memo, ...), %4 what Kestrova expects (a number, a date, ...).</extracomment>
        <translation>%1: das Feld %2 hat den Paradox-Typ %3, Kestrova erwartet aber %4</translation>
    </message>
    <message>
        <source>%1: the field %2 has no place in Kestrova&apos;s table %3 and was not converted</source>
        <translation>%1: das Feld %2 hat in der Tabelle %3 von Kestrova keinen Platz und wurde nicht umgewandelt</translation>
    </message>
    <message>
        <source>%1 names no code page; its texts were read as code page 437</source>
        <translation>%1 nennt keine Codepage; die Texte wurden als Codepage 437 gelesen</translation>
    </message>
    <message>
        <source>%1, record %2, field %3: %4</source>
        <extracomment>%1 is a Paradox table&apos;s file, %2 a record number, %3 a field&apos;s name, %4 what is wrong.</extracomment>
        <translation>%1, Datensatz %2, Feld %3: %4</translation>
    </message>
    <message>
        <source>%1, record %2 cannot be stored: %3</source>
        <translation>%1, Datensatz %2 kann nicht gespeichert werden: %3</translation>
    </message>
    <message>
        <source>%1: %2 more values longer than their field were kept whole</source>
        <translation>%1: %2 weitere Werte, die länger als ihr Feld sind, wurden vollständig übernommen</translation>
    </message>
    <message>
        <source>%1, record %2: %3 holds %4, not a whole number; kept as it is</source>
        <translation>%1, Datensatz %2: %3 enthält %4, keine Ganzzahl; unverändert übernommen</translation>
    </message>
    <message>
        <source>the date value %1 is no day of the years 1 to 9999</source>
        <translation>der Datumswert %1 ist kein Tag der Jahre 1 bis 9999</translation>
    </message>
    <message>
        <source>%1, record %2: %3 has %4 characters, more than the %5 of Kestrova&apos;s field; kept whole</source>
        <translation>%1, Datensatz %2: %3 hat %4 Zeichen, mehr als die %5 des Feldes von Kestrova; vollständig übernommen</translation>
    </message>
    <message>
        <source>%1 had no settings row %2; it was added with an empty value</source>
        <translation>%1 hatte keine Einstellungszeile %2; sie wurde mit leerem Wert ergänzt</translation>
    </message>
    <message>
        <source>Cannot write Xtable: %1</source>
        <translation>Xtable kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>Cannot remove %1, left by a run that was stopped</source>
        <translation>%1, von einem abgebrochenen Lauf zurückgelassen, kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>Cannot remove the temporary folder %1 of a run that was stopped</source>
        <translation>Der temporäre Ordner %1 eines abgebrochenen Laufs kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>The Paradox table %1 is missing in %2</source>
        <translation>Die Paradox-Tabelle %1 fehlt in %2</translation>
    </message>
    <message>
        <source>The Paradox tables %1 are missing in %2</source>
        <translation>Die Paradox-Tabellen %1 fehlen in %2</translation>
    </message>
    <message>
        <source>The folder %1 already holds table files</source>
        <translation>Der Ordner %1 enthält bereits Tabellendateien</translation>
    </message>
    <message>
        <source>%1 has memo fields, but its memo file %2.MB is missing</source>
        <translation>%1 hat Memofelder, aber die zugehörige Memo-Datei %2.MB fehlt</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>%1 is a Paradox table&apos;s file, %2 what is wrong with its memo file.</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Table file %1 already exists</source>
        <translation>Die Tabellendatei %1 existiert bereits</translation>
    </message>
    <message>
        <source>Cannot move %1 into %2: %3</source>
        <translation>%1 kann nicht nach %2 verschoben werden: %3</translation>
    </message>
    <message>
        <source>Cannot write %1 to disk: %2</source>
        <translation>%1 kann nicht auf den Datenträger geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>The folder %1 already holds table files; nothing was written</source>
        <translation>Der Ordner %1 enthält bereits Tabellendateien; es wurde nichts geschrieben</translation>
    </message>
    <message>
        <source>Cannot create a temporary folder: %1</source>
        <translation>Ein temporärer Ordner kann nicht angelegt werden: %1</translation>
    </message>
    <message>
        <source>Cannot move the new tables into %1: %2</source>
        <translation>Die neuen Tabellen können nicht nach %1 verschoben werden: %2</translation>
    </message>
</context>
<context>
    <name>migrate::ParadoxFolder</name>
    <message>
        <source>Cannot move %1 to %2: %3</source>
        <translation>%1 kann nicht nach %2 verschoben werden: %3</translation>
    </message>
    <message>
        <source>Another Kestrova is converting the Paradox tables in %1; start again when it has finished</source>
        <translation>Ein anderes Kestrova wandelt gerade die Paradox-Tabellen in %1 um; starten Sie erneut, wenn es fertig ist</translation>
    </message>
    <message>
        <source>Cannot lock the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht gesperrt werden: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is not a journal this version of Kestrova can read; the files of the folder were left as they are</source>
        <translation>%1 ist kein Protokoll, das diese Version von Kestrova lesen kann; die Dateien des Ordners wurden unverändert gelassen</translation>
    </message>
    <message>
        <source>Cannot remove %1</source>
        <translation>%1 kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>Cannot remove the temporary folder %1</source>
        <translation>Der temporäre Ordner %1 kann nicht entfernt werden</translation>
    </message>
    <message>
        <source>Table file %1 already exists</source>
        <translation>Die Tabellendatei %1 existiert bereits</translation>
    </message>
    <message>
        <source>An interrupted conversion waits in %1; start Kestrova again to finish it</source>
        <translation>In %1 wartet eine unterbrochene Umwandlung; starten Sie Kestrova erneut, um sie abzuschließen</translation>
    </message>
    <message>
        <source>Cannot create a temporary folder in %1: %2</source>
        <translation>In %1 kann kein temporärer Ordner angelegt werden: %2</translation>
    </message>
    <message>
        <source>%1 already exists; nothing was moved</source>
        <translation>%1 existiert bereits; es wurde nichts verschoben</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1; not every file could be moved back, the next start finishes the conversion</source>
        <extracomment>%1 is why the conversion failed.</extracomment>
        <translation>%1; nicht alle Dateien konnten zurückverschoben werden, der nächste Start schließt die Umwandlung ab</translation>
    </message>
    <message>
        <source>The conversion cannot be finished: the new table file %1 is missing; the Paradox files are in %2</source>
        <translation>Die Umwandlung kann nicht abgeschlossen werden: die neue Tabellendatei %1 fehlt; die Paradox-Dateien liegen in %2</translation>
    </message>
</context>
<context>
    <name>reports::OrderFile</name>
    <message>
        <source>Cannot open the file %1: %2</source>
        <translation>Die Datei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>The file %1 is too large to import: it may hold at most %2 bytes</source>
        <translation>Die Datei %1 ist zu groß für den Import: Sie darf höchstens %2 Bytes enthalten</translation>
    </message>
    <message>
        <source>Cannot read the file %1: %2</source>
        <translation>Die Datei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot write the file %1: %2</source>
        <translation>Die Datei %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot store the imported orders: %1</source>
        <translation>Die importierten Bestellungen können nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Cannot create the file %1: %2</source>
        <translation>Die Datei %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Exporting data</source>
        <extracomment>The caption and the text of the progress window.</extracomment>
        <translation>Daten werden exportiert</translation>
    </message>
    <message>
        <source>Importating data</source>
        <extracomment>The caption of the progress window while orders are imported.</extracomment>
        <translation>Datenimport</translation>
    </message>
    <message>
        <source>Importing data</source>
        <translation>Daten werden importiert</translation>
    </message>
</context>
<context>
    <name>setup::CompanySettings</name>
    <message>
        <source>The value may have at most %1 characters</source>
        <translation>Der Wert darf höchstens %1 Zeichen lang sein</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a valid IBAN: it must start with a country code and two check digits that match the rest of the number</source>
        <translation>„%1“ ist keine gültige IBAN: Sie muss mit einem Ländercode und zwei Prüfziffern beginnen, die zum Rest der Nummer passen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a VAT identification number: it must start with the country&apos;s two-letter prefix, as DE123456789</source>
        <translation>„%1“ ist keine USt-IdNr.: Sie muss mit dem zweibuchstabigen Länderpräfix beginnen, z. B. DE123456789</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a country code of ISO 3166-1 (two letters, as DE or AT)</source>
        <translation>„%1“ ist kein Ländercode nach ISO 3166-1 (zwei Buchstaben, z. B. DE oder AT)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number of days: enter a whole number from 0 to 3650</source>
        <translation>„%1“ ist keine Anzahl von Tagen: Geben Sie eine ganze Zahl von 0 bis 3650 ein</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an e-mail address</source>
        <translation>„%1“ ist keine E-Mail-Adresse</translation>
    </message>
</context>
<context>
    <name>setup::FirstStart</name>
    <message>
        <source>Enter the name of your company</source>
        <translation>Geben Sie den Namen Ihrer Firma ein</translation>
    </message>
    <message>
        <source>Enter the name of your first product</source>
        <translation>Geben Sie den Namen Ihres ersten Produkts ein</translation>
    </message>
    <message>
        <source>The product&apos;s name may have at most %1 characters</source>
        <translation>Der Name des Produkts darf höchstens %1 Zeichen lang sein</translation>
    </message>
    <message>
        <source>Choose at least one language of your documents</source>
        <translation>Wählen Sie mindestens eine Sprache für Ihre Dokumente</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a language code of two capital letters</source>
        <translation>„%1“ ist kein Sprachcode aus zwei Großbuchstaben</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a currency code of three capital letters, as EUR</source>
        <translation>„%1“ ist kein Währungscode aus drei Großbuchstaben, z. B. EUR</translation>
    </message>
    <message>
        <source>Enter the net price of one licence</source>
        <translation>Geben Sie den Nettopreis einer Lizenz ein</translation>
    </message>
    <message>
        <source>Enter a tax rate from 0 to 99 percent</source>
        <translation>Geben Sie einen Steuersatz von 0 bis 99 Prozent ein</translation>
    </message>
</context>
<context>
    <name>setup::NewSet</name>
    <message>
        <source>Cannot read the sample function library %1: %2</source>
        <translation>Die Beispiel-Funktionsbibliothek %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot write the function library %1: %2</source>
        <translation>Die Funktionsbibliothek %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
</context>
</TS>
