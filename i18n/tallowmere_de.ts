<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>Application</name>
    <message>
        <source>Unknown exception</source>
        <translation>Unbekannter Fehler</translation>
    </message>
</context>
<context>
    <name>Formatting</name>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>„%1“ ist keine gültige Gleitkommazahl</translation>
    </message>
</context>
<context>
    <name>HelpFile</name>
    <message>
        <source>Cannot open the help file %1: %2</source>
        <translation>Die Hilfedatei %1 lässt sich nicht öffnen: %2</translation>
    </message>
    <message>
        <source>The help file %1 holds no topics.</source>
        <translation>Die Hilfedatei %1 enthält keine Themen.</translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>&lt;h2&gt;Using Help&lt;/h2&gt;&lt;p&gt;The help window has two tabs on its left side.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Contents&lt;/b&gt; lists every topic of the help file. Click a topic to read it.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Index&lt;/b&gt; lists the keywords of the help file. Type the first letters of a word in the search field to narrow the list, then press Enter or double-click a keyword to open its topic.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Underlined words in a topic lead to related topics.&lt;/p&gt;&lt;p&gt;Close the help window when you are done; it also closes when the program ends.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Die Hilfe verwenden&lt;/h2&gt;&lt;p&gt;Das Hilfefenster hat links zwei Registerkarten.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Inhalt&lt;/b&gt; listet alle Themen der Hilfedatei auf. Klicken Sie auf ein Thema, um es zu lesen.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Index&lt;/b&gt; listet die Stichwörter der Hilfedatei auf. Geben Sie die ersten Buchstaben eines Wortes in das Suchfeld ein, um die Liste einzugrenzen, und drücken Sie dann die Eingabetaste oder doppelklicken Sie auf ein Stichwort, um sein Thema zu öffnen.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Unterstrichene Wörter in einem Thema führen zu verwandten Themen.&lt;/p&gt;&lt;p&gt;Schließen Sie das Hilfefenster, wenn Sie fertig sind; es schließt sich auch, wenn das Programm endet.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Help contents</source>
        <translation>Inhalt der Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;Type the first few letters of the word you&apos;re looking for:</source>
        <translation>&amp;Geben Sie die ersten Buchstaben des gesuchten Wortes ein:</translation>
    </message>
    <message>
        <source>Search the index</source>
        <translation>Index durchsuchen</translation>
    </message>
    <message>
        <source>Help index</source>
        <translation>Index der Hilfe</translation>
    </message>
    <message>
        <source>&amp;Index</source>
        <translation>In&amp;dex</translation>
    </message>
    <message>
        <source>Help topic</source>
        <translation>Hilfethema</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
</context>
<context>
    <name>HttpUtil</name>
    <message>
        <source>URL holds a control character</source>
        <translation>Die URL enthält ein Steuerzeichen</translation>
    </message>
    <message>
        <source>%1 is not supported</source>
        <translation>%1 wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Bad port in URL: %1</source>
        <translation>Ungültiger Port in der URL: %1</translation>
    </message>
    <message>
        <source>Bad host name in URL: %1</source>
        <translation>Ungültiger Hostname in der URL: %1</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigung</translation>
    </message>
</context>
<context>
    <name>Printers</name>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Print to PDF</source>
        <translation>Als PDF drucken</translation>
    </message>
    <message>
        <source>Printer &quot;%1&quot; is not available</source>
        <translation>Der Drucker „%1“ ist nicht verfügbar</translation>
    </message>
    <message>
        <source>Printer &quot;%1&quot; reports no page</source>
        <translation>Der Drucker „%1“ meldet keine Seite</translation>
    </message>
    <message>
        <source>Printing on &quot;%1&quot; could not start</source>
        <translation>Der Druck auf „%1“ ließ sich nicht starten</translation>
    </message>
    <message>
        <source>Print Setup</source>
        <translation>Druckereinrichtung</translation>
    </message>
    <message>
        <source>P&amp;ortrait</source>
        <translation>&amp;Hochformat</translation>
    </message>
    <message>
        <source>L&amp;andscape</source>
        <translation>&amp;Querformat</translation>
    </message>
    <message>
        <source>&amp;Printer:</source>
        <translation>&amp;Drucker:</translation>
    </message>
    <message>
        <source>Paper &amp;size:</source>
        <translation>Papier&amp;format:</translation>
    </message>
    <message>
        <source>Orientation</source>
        <translation>Ausrichtung</translation>
    </message>
</context>
<context>
    <name>ProfileFile</name>
    <message>
        <source>Unable to write to %1</source>
        <translation>%1 lässt sich nicht schreiben</translation>
    </message>
</context>
<context>
    <name>ProfilePicture</name>
    <message>
        <source>NPV Profile</source>
        <translation>Kapitalwertprofil</translation>
    </message>
    <message>
        <source>%1: the picture&apos;s name must end in .png or .svg</source>
        <translation>%1: Der Name des Bildes muss auf .png oder .svg enden</translation>
    </message>
    <message>
        <source>cannot draw %1</source>
        <translation>%1 lässt sich nicht zeichnen</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 lässt sich nicht schreiben: %2</translation>
    </message>
</context>
<context>
    <name>ProgramEntry</name>
    <message>
        <source>Usage: tallowmere [--help] [--version]

Tallowmere, a net present value calculator. Type ten yearly cash flows and
five discount rates; the five net present values follow every change.
The inputs are kept in tlm.ini: beside the program when it can be written
there, otherwise in ~/.config/Corvane/Tallowmere/. Press F1 for help.

  --help     print this help and exit
  --version  print the version and exit

Qt&apos;s own options (-platform, -display, ...) are accepted as well. Set
QT_LOGGING_RULES=&quot;tallowmere.*.debug=true&quot; for a trace on standard error.
</source>
        <translation>Aufruf: tallowmere [--help] [--version]

Tallowmere, ein Rechner für den Kapitalwert. Geben Sie zehn jährliche Zahlungen
und fünf Zinssätze ein; die fünf Kapitalwerte folgen jeder Änderung.
Die Eingaben stehen in tlm.ini: neben dem Programm, wenn es dort schreiben
darf, sonst in ~/.config/Corvane/Tallowmere/. F1 öffnet die Hilfe.

  --help     diese Hilfe ausgeben und beenden
  --version  die Version ausgeben und beenden

Die Optionen von Qt (-platform, -display, ...) gelten ebenfalls. Mit
QT_LOGGING_RULES=&quot;tallowmere.*.debug=true&quot; gibt das Programm eine
Ablaufverfolgung auf der Standardfehlerausgabe aus.
</translation>
    </message>
</context>
<context>
    <name>QRPrinter</name>
    <message>
        <source>Printer reports no resolution</source>
        <translation>Der Drucker meldet keine Auflösung</translation>
    </message>
</context>
<context>
    <name>QRTexts</name>
    <message>
        <source>Preparing report</source>
        <translation>Bericht wird vorbereitet</translation>
    </message>
    <message>
        <source>Printing report</source>
        <translation>Bericht wird gedruckt</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Report engine version</source>
        <translation>Berichtsmodul Version</translation>
    </message>
    <message>
        <source>Printer driver error</source>
        <translation>Fehler im Druckertreiber</translation>
    </message>
    <message>
        <source>Saving report</source>
        <translation>Bericht wird gespeichert</translation>
    </message>
    <message>
        <source>Loading report</source>
        <translation>Bericht wird geladen</translation>
    </message>
    <message>
        <source>Report files|*.QRP</source>
        <translation>Berichtsdateien|*.QRP</translation>
    </message>
    <message>
        <source>Fit in Window</source>
        <translation>An Fenster anpassen</translation>
    </message>
    <message>
        <source>Page Width</source>
        <translation>Seitenbreite</translation>
    </message>
    <message>
        <source>First page</source>
        <translation>Erste Seite</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Vorige Seite</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Nächste Seite</translation>
    </message>
    <message>
        <source>Last page</source>
        <translation>Letzte Seite</translation>
    </message>
    <message>
        <source>Print report</source>
        <translation>Bericht drucken</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Bericht speichern</translation>
    </message>
    <message>
        <source>Load report</source>
        <translation>Bericht laden</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>The report file %1 cannot be opened.</source>
        <translation>Die Berichtsdatei %1 lässt sich nicht öffnen.</translation>
    </message>
    <message>
        <source>Unable to write to %1</source>
        <translation>%1 lässt sich nicht schreiben</translation>
    </message>
    <message>
        <source>%1 is not a report file, or it is damaged.</source>
        <translation>%1 ist keine Berichtsdatei oder beschädigt.</translation>
    </message>
    <message>
        <source>Page %1 of the report file %2 is damaged.</source>
        <translation>Seite %1 der Berichtsdatei %2 ist beschädigt.</translation>
    </message>
    <message>
        <source>A report is being prepared; no report file can be loaded now.</source>
        <translation>Gerade wird ein Bericht vorbereitet; jetzt lässt sich keine Berichtsdatei laden.</translation>
    </message>
    <message>
        <source>The column header bands do not fit in the room below the page header.</source>
        <translation>Die Spaltenköpfe passen nicht in den Platz unter dem Seitenkopf.</translation>
    </message>
</context>
<context>
    <name>ScheduleColumns</name>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Cash Flow</source>
        <translation>Zahlungsstrom</translation>
    </message>
    <message>
        <source>Discount Factor</source>
        <translation>Abzinsungsfaktor</translation>
    </message>
    <message>
        <source>Present Value</source>
        <translation>Barwert</translation>
    </message>
</context>
<context>
    <name>ScheduleProgram</name>
    <message>
        <source>Try &apos;tallowmere-schedule --help&apos;.</source>
        <translation>„tallowmere-schedule --help“ zeigt die Hilfe.</translation>
    </message>
    <message>
        <source>Tallowmere discounting schedule</source>
        <translation>Tallowmere-Abzinsungsplan</translation>
    </message>
    <message>
        <source>Usage: tallowmere-schedule [--help] [--version] [--reinvest=PERCENT]
                           [FILE.QRP | [--csv=FILE] [--profile=PICTURE]]

Shows the discounting schedule of the Tallowmere calculator: the ten yearly cash
flows and the five discount rates last used in the calculator, one group per
rate with each year&apos;s cash flow, discount factor and present value, and the net
present value at the foot of the group, equal to the calculator&apos;s result.
The schedule opens in a preview, where it can be printed or saved as a report
file (*.QRP). Given a report file, the program opens that file instead.
Each group also gives the discounted payback year and the modified internal
rate of return (financed at the group&apos;s rate), a summary at the end every
internal rate of return of the flows, and the last page the NPV profile: the
net present value against the discount rate.

The values come from the calculator&apos;s settings file, tlm.ini, found as the
calculator finds it.

  --csv=FILE         write the schedule as comma-separated values to FILE (-
                     for standard output) instead of showing it; needs no
                     display
  --profile=PICTURE  write the NPV profile to PICTURE, a .png or .svg file,
                     instead of showing the schedule (with --csv as well);
                     needs no display
  --reinvest=PERCENT reinvest returns at PERCENT (&quot;.&quot; decimal point) for the
                     modified internal rate; by default at each group&apos;s rate
  --help             print this help and exit
  --version          print the version and exit

The values file has one table: the column &quot;section&quot; says what a row holds
(year, npv, payback, mirr or irr); numbers have a &quot;.&quot; decimal point and 15
significant digits. Files are written beside their names and then renamed.
Exit status: 0 done, 1 failed, 2 wrong arguments.
</source>
        <translation>Aufruf: tallowmere-schedule [--help] [--version] [--reinvest=PROZENT]
                            [DATEI.QRP | [--csv=DATEI] [--profile=BILD]]

Zeigt den Abzinsungsplan des Tallowmere-Rechners: die zehn jährlichen Zahlungen
und die fünf Zinssätze, die der Rechner zuletzt verwendet hat, eine Gruppe je
Zinssatz mit Zahlung, Abzinsungsfaktor und Barwert jedes Jahres und am Fuß der
Gruppe den Kapitalwert, gleich dem Ergebnis des Rechners.
Der Plan öffnet sich in einer Vorschau, in der er gedruckt oder als Berichtsdatei
(*.QRP) gespeichert werden kann. Mit einer Berichtsdatei öffnet das Programm
stattdessen diese Datei.
Jede Gruppe nennt außerdem das Jahr der dynamischen Amortisation und den
modifizierten internen Zinsfuß (finanziert zum Zinssatz der Gruppe), eine
Zusammenfassung am Ende jeden internen Zinsfuß der Zahlungen und die letzte
Seite das Kapitalwertprofil: den Kapitalwert in Abhängigkeit vom Zinssatz.

Die Werte stammen aus der Einstellungsdatei des Rechners, tlm.ini, die das
Programm so findet wie der Rechner.

  --csv=DATEI        den Plan als kommagetrennte Werte in DATEI schreiben (-
                     für die Standardausgabe), statt ihn zu zeigen; braucht
                     keine Anzeige
  --profile=BILD     das Kapitalwertprofil in BILD schreiben, eine .png- oder
                     .svg-Datei, statt den Plan zu zeigen (auch mit --csv);
                     braucht keine Anzeige
  --reinvest=PROZENT Rückflüsse für den modifizierten internen Zinsfuß zu
                     PROZENT (mit „.“ als Dezimaltrennzeichen) wieder anlegen;
                     ohne diese Option zum Zinssatz der jeweiligen Gruppe
  --help             diese Hilfe ausgeben und beenden
  --version          die Version ausgeben und beenden

Die Wertedatei enthält eine Tabelle: Die Spalte „section“ sagt, was eine Zeile
enthält (year, npv, payback, mirr oder irr); Zahlen haben einen „.“ als
Dezimaltrennzeichen und 15 signifikante Stellen. Dateien werden neben ihrem
Namen geschrieben und dann umbenannt.
Rückgabewert: 0 erledigt, 1 fehlgeschlagen, 2 falsche Argumente.
</translation>
    </message>
    <message>
        <source>--csv can be given only once</source>
        <translation>--csv darf nur einmal angegeben werden</translation>
    </message>
    <message>
        <source>--csv needs a file name: --csv=FILE, or --csv=- for standard output</source>
        <translation>--csv braucht einen Dateinamen: --csv=DATEI, oder --csv=- für die Standardausgabe</translation>
    </message>
    <message>
        <source>--profile can be given only once</source>
        <translation>--profile darf nur einmal angegeben werden</translation>
    </message>
    <message>
        <source>--profile needs a picture name ending in .png or .svg: --profile=FILE.svg</source>
        <translation>--profile braucht einen Bildnamen mit der Endung .png oder .svg: --profile=DATEI.svg</translation>
    </message>
    <message>
        <source>--reinvest can be given only once</source>
        <translation>--reinvest darf nur einmal angegeben werden</translation>
    </message>
    <message>
        <source>--reinvest needs a rate in percent with a &quot;.&quot; decimal point: --reinvest=PERCENT</source>
        <translation>--reinvest braucht einen Zinssatz in Prozent mit „.“ als Dezimaltrennzeichen: --reinvest=PROZENT</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>unbekannte Option %1</translation>
    </message>
    <message>
        <source>only one report file can be opened</source>
        <translation>es lässt sich nur eine Berichtsdatei öffnen</translation>
    </message>
    <message>
        <source>--csv writes the saved values; it takes no report file</source>
        <translation>--csv schreibt die gespeicherten Werte; eine Berichtsdatei passt nicht dazu</translation>
    </message>
    <message>
        <source>--profile draws the saved values; it takes no report file</source>
        <translation>--profile zeichnet die gespeicherten Werte; eine Berichtsdatei passt nicht dazu</translation>
    </message>
    <message>
        <source>--reinvest applies to the saved values; it takes no report file</source>
        <translation>--reinvest gilt für die gespeicherten Werte; eine Berichtsdatei passt nicht dazu</translation>
    </message>
    <message>
        <source>Discounting Schedule - Tallowmere Calculator - Corvane Software</source>
        <translation>Abzinsungsplan - Tallowmere-Rechner - Corvane Software</translation>
    </message>
    <message>
        <source>cannot write to standard output</source>
        <translation>die Standardausgabe lässt sich nicht schreiben</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 lässt sich nicht schreiben: %2</translation>
    </message>
</context>
<context>
    <name>TAboutBox</name>
    <message>
        <source>About Tallowmere, 1.1</source>
        <translation>Über Tallowmere, 1.1</translation>
    </message>
    <message>
        <source> Corvane Software creates award-winning financial calculators for</source>
        <translation> Corvane Software entwickelt preisgekrönte Finanzrechner für</translation>
    </message>
    <message>
        <source>consumers, professionals and corporations in the banking, real estate,</source>
        <translation>Privatleute, Fachleute und Unternehmen aus Bank-, Immobilien-,</translation>
    </message>
    <message>
        <source>mortgage and financial services industries.</source>
        <translation>Hypotheken- und Finanzdienstleistungsbranche.</translation>
    </message>
    <message>
        <source> We invite you to visit our website at,</source>
        <translation> Besuchen Sie unsere Website</translation>
    </message>
    <message>
        <source> Click to visit our website ...</source>
        <translation> Klicken, um unsere Website zu besuchen ...</translation>
    </message>
    <message>
        <source>and explore the other freeware and shareware financial</source>
        <translation>und entdecken Sie unsere weiteren Finanzrechner als</translation>
    </message>
    <message>
        <source>calculators which are available for you to download.</source>
        <translation>Freeware und Shareware zum Herunterladen.</translation>
    </message>
    <message>
        <source> We also invite you to contact us with any questions or</source>
        <translation> Gerne können Sie uns auch Ihre Fragen oder Anregungen</translation>
    </message>
    <message>
        <source>suggestions you might have about Corvane</source>
        <translation>zu Corvane Software und unseren Finanzrechnern</translation>
    </message>
    <message>
        <source>Software and our financial calculators.  </source>
        <translation>mitteilen.  </translation>
    </message>
    <message>
        <source> Click to send email ...</source>
        <translation> Klicken, um eine E-Mail zu senden ...</translation>
    </message>
    <message>
        <source>Freeware.  © Corvane Software.  All rights reserved.</source>
        <translation>Freeware.  © Corvane Software.  Alle Rechte vorbehalten.</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>TCustomEdit</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles aus&amp;wählen</translation>
    </message>
</context>
<context>
    <name>TCustomNumEdit</name>
    <message>
        <source>Value must be between %1 and %2</source>
        <translation>Der Wert muss zwischen %1 und %2 liegen</translation>
    </message>
</context>
<context>
    <name>TCustomSocksWSocket</name>
    <message>
        <source>general SOCKS server failure</source>
        <translation>allgemeiner Fehler des SOCKS-Servers</translation>
    </message>
    <message>
        <source>connection not allowed by ruleset</source>
        <translation>Verbindung durch Regelwerk nicht erlaubt</translation>
    </message>
    <message>
        <source>network unreachable</source>
        <translation>Netzwerk nicht erreichbar</translation>
    </message>
    <message>
        <source>host unreachable</source>
        <translation>Host nicht erreichbar</translation>
    </message>
    <message>
        <source>connection refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>time to live expired</source>
        <translation>TTL abgelaufen</translation>
    </message>
    <message>
        <source>command not supported</source>
        <translation>Befehl nicht unterstützt</translation>
    </message>
    <message>
        <source>address type not supported</source>
        <translation>Adresstyp nicht unterstützt</translation>
    </message>
    <message>
        <source>SOCKS server closed the connection during negotiation</source>
        <translation>Der SOCKS-Server hat die Verbindung während der Aushandlung geschlossen</translation>
    </message>
    <message>
        <source>data receive error</source>
        <translation>Fehler beim Datenempfang</translation>
    </message>
    <message>
        <source>internal error</source>
        <translation>interner Fehler</translation>
    </message>
    <message>
        <source>TWSocket logic error</source>
        <translation>Logikfehler in TWSocket</translation>
    </message>
    <message>
        <source>socks version error</source>
        <translation>falsche SOCKS-Version</translation>
    </message>
    <message>
        <source>SOCKS server chose a method that was not offered</source>
        <translation>Der SOCKS-Server hat ein nicht angebotenes Verfahren gewählt</translation>
    </message>
    <message>
        <source>authentification method not acceptable</source>
        <translation>Anmeldeverfahren nicht annehmbar</translation>
    </message>
    <message>
        <source>too much data availaible</source>
        <translation>zu viele Daten verfügbar</translation>
    </message>
    <message>
        <source>socks authentication failed</source>
        <translation>SOCKS-Anmeldung fehlgeschlagen</translation>
    </message>
    <message>
        <source>request rejected or failed</source>
        <translation>Anfrage abgelehnt oder fehlgeschlagen</translation>
    </message>
    <message>
        <source>authentification failed</source>
        <translation>Anmeldung fehlgeschlagen</translation>
    </message>
    <message>
        <source>unassigned error #%1</source>
        <translation>nicht zugeordneter Fehler #%1</translation>
    </message>
    <message numerus="yes">
        <source>No answer from the SOCKS server within %n seconds</source>
        <translation>
            <numerusform>Keine Antwort vom SOCKS-Server innerhalb von %n Sekunde</numerusform>
            <numerusform>Keine Antwort vom SOCKS-Server innerhalb von %n Sekunden</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TCustomSslWSocket</name>
    <message>
        <source>no host name to check the certificate against</source>
        <translation>kein Hostname, gegen den das Zertifikat geprüft werden kann</translation>
    </message>
    <message>
        <source>the CA file %1 cannot be read</source>
        <translation>die CA-Datei %1 lässt sich nicht lesen</translation>
    </message>
    <message>
        <source>the system&apos;s trust store cannot be read</source>
        <translation>der Zertifikatspeicher des Systems lässt sich nicht lesen</translation>
    </message>
    <message>
        <source>the host name %1 cannot be checked</source>
        <translation>der Hostname %1 lässt sich nicht prüfen</translation>
    </message>
    <message>
        <source>connection reset during the TLS handshake</source>
        <translation>Verbindung während des TLS-Handshakes zurückgesetzt</translation>
    </message>
    <message>
        <source>connection closed during the TLS handshake</source>
        <translation>Verbindung während des TLS-Handshakes geschlossen</translation>
    </message>
    <message>
        <source>TLS error %1</source>
        <translation>TLS-Fehler %1</translation>
    </message>
</context>
<context>
    <name>TCustomWSocket</name>
    <message>
        <source>Unknown exception</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Error %1 in function %2</source>
        <translation>Fehler %1 in der Funktion %2</translation>
    </message>
    <message>
        <source>DNS lookup: invalid host name.</source>
        <translation>DNS-Abfrage: ungültiger Hostname.</translation>
    </message>
    <message>
        <source>%1: can&apos;t start DNS lookup, error #%2</source>
        <translation>%1: DNS-Abfrage lässt sich nicht starten, Fehler #%2</translation>
    </message>
</context>
<context>
    <name>TDiscountSchedule</name>
    <message>
        <source>cannot be determined at this rate</source>
        <translation>bei diesem Zinssatz nicht bestimmbar</translation>
    </message>
    <message>
        <source>year %1</source>
        <translation>Jahr %1</translation>
    </message>
    <message>
        <source>not within ten years</source>
        <translation>nicht innerhalb von zehn Jahren</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keiner</translation>
    </message>
    <message numerus="yes">
        <source>Several rates give a net present value of zero: the cash flows change sign %n times.</source>
        <translation>
            <numerusform>Mehrere Zinssätze ergeben einen Kapitalwert von null: Die Zahlungen wechseln einmal das Vorzeichen.</numerusform>
            <numerusform>Mehrere Zinssätze ergeben einen Kapitalwert von null: Die Zahlungen wechseln %n-mal das Vorzeichen.</numerusform>
        </translation>
    </message>
    <message>
        <source>No rate gives zero: the cash flows never change sign.</source>
        <translation>Kein Zinssatz ergibt null: Die Zahlungen wechseln nie das Vorzeichen.</translation>
    </message>
    <message numerus="yes">
        <source>No rate gives zero, although the cash flows change sign %n times.</source>
        <translation>
            <numerusform>Kein Zinssatz ergibt null, obwohl die Zahlungen einmal das Vorzeichen wechseln.</numerusform>
            <numerusform>Kein Zinssatz ergibt null, obwohl die Zahlungen %n-mal das Vorzeichen wechseln.</numerusform>
        </translation>
    </message>
    <message>
        <source>Every rate gives zero: all cash flows are zero, so no internal rate is defined.</source>
        <translation>Jeder Zinssatz ergibt null: Alle Zahlungen sind null, daher gibt es keinen internen Zinsfuß.</translation>
    </message>
</context>
<context>
    <name>TFetchOptions</name>
    <message>
        <source>Fetches one URL over HTTP/1.0 (http or https) with Tallowmere&apos;s own client and writes the body to FILE or to standard output. The status line, and a progress bar when standard error is a terminal, go to standard error. Exits 0 when the reply was complete, its status below 400 and the body saved whole; 1 for any other outcome (with the reason); 2 for a usage error; 130 and 143 when interrupted or terminated (FILE is left as it was).</source>
        <translation>Holt eine URL über HTTP/1.0 (http oder https) mit dem eigenen Client von Tallowmere und schreibt den Inhalt in DATEI oder auf die Standardausgabe. Die Statuszeile und, wenn die Standardfehlerausgabe ein Terminal ist, ein Fortschrittsbalken gehen auf die Standardfehlerausgabe. Rückgabewert 0, wenn die Antwort vollständig war, ihr Status unter 400 lag und der Inhalt ganz gespeichert wurde; 1 in jedem anderen Fall (mit dem Grund); 2 bei einem Aufruffehler; 130 und 143 bei Unterbrechung oder Beendigung (DATEI bleibt, wie sie war).</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>The address to fetch (http://host[:port]/path).</source>
        <translation>Die zu holende Adresse (http://host[:port]/pfad).</translation>
    </message>
    <message>
        <source>Write the body to FILE (kept only when the request succeeds).</source>
        <translation>Den Inhalt in DATEI schreiben (nur behalten, wenn die Anfrage gelingt).</translation>
    </message>
    <message>
        <source>FILE</source>
        <translation>DATEI</translation>
    </message>
    <message>
        <source>Send this header line (repeatable). It replaces the client&apos;s own line of the same name (User-Agent, Accept, ...) and goes only to the URL&apos;s server, not to another one a redirect names. Host, Content-Length, Transfer-Encoding and lines with control characters are refused.</source>
        <translation>Diese Kopfzeile senden (wiederholbar). Sie ersetzt die gleichnamige Zeile des Clients (User-Agent, Accept, ...) und geht nur an den Server der URL, nicht an einen anderen, den eine Weiterleitung nennt. Host, Content-Length, Transfer-Encoding und Zeilen mit Steuerzeichen werden abgelehnt.</translation>
    </message>
    <message>
        <source>NAME: VALUE</source>
        <translation>NAME: WERT</translation>
    </message>
    <message>
        <source>Send the request through this HTTP proxy.</source>
        <translation>Die Anfrage über diesen HTTP-Proxy senden.</translation>
    </message>
    <message>
        <source>HOST:PORT</source>
        <translation>HOST:PORT</translation>
    </message>
    <message>
        <source>User name for the HTTP proxy.</source>
        <translation>Benutzername für den HTTP-Proxy.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>Password for the HTTP proxy.</source>
        <translation>Passwort für den HTTP-Proxy.</translation>
    </message>
    <message>
        <source>PW</source>
        <translation>PW</translation>
    </message>
    <message>
        <source>Connect through this SOCKS server.</source>
        <translation>Über diesen SOCKS-Server verbinden.</translation>
    </message>
    <message>
        <source>SOCKS version: 4, 4A or 5 (default 5).</source>
        <translation>SOCKS-Version: 4, 4A oder 5 (Vorgabe 5).</translation>
    </message>
    <message>
        <source>LEVEL</source>
        <translation>STUFE</translation>
    </message>
    <message>
        <source>User name for the SOCKS server (SOCKS 5 asks for a password, SOCKS 4 sends it as user id).</source>
        <translation>Benutzername für den SOCKS-Server (SOCKS 5 fragt nach einem Passwort, SOCKS 4 sendet ihn als Benutzerkennung).</translation>
    </message>
    <message>
        <source>Password for the SOCKS 5 server.</source>
        <translation>Passwort für den SOCKS-5-Server.</translation>
    </message>
    <message>
        <source>User name for the web server (Basic).</source>
        <translation>Benutzername für den Webserver (Basic).</translation>
    </message>
    <message>
        <source>Password for the web server.</source>
        <translation>Passwort für den Webserver.</translation>
    </message>
    <message>
        <source>Give up after SECONDS without news from the network (default 60, 0 = never, at most 86400).</source>
        <translation>Nach SEKUNDEN ohne Nachricht aus dem Netz aufgeben (Vorgabe 60, 0 = nie, höchstens 86400).</translation>
    </message>
    <message>
        <source>SECONDS</source>
        <translation>SEKUNDEN</translation>
    </message>
    <message>
        <source>Trust the certificates in this PEM file for https instead of the system&apos;s store.</source>
        <translation>Für https den Zertifikaten in dieser PEM-Datei statt dem Speicher des Systems vertrauen.</translation>
    </message>
    <message>
        <source>Print neither the status line nor the progress bar.</source>
        <translation>Weder Statuszeile noch Fortschrittsbalken ausgeben.</translation>
    </message>
    <message>
        <source>exactly one URL is needed (see --help)</source>
        <translation>genau eine URL ist nötig (siehe --help)</translation>
    </message>
    <message>
        <source>--socks wants HOST:PORT with a port from 1 to 65535</source>
        <translation>--socks erwartet HOST:PORT mit einem Port von 1 bis 65535</translation>
    </message>
    <message>
        <source>--proxy wants HOST:PORT with a port from 1 to 65535</source>
        <translation>--proxy erwartet HOST:PORT mit einem Port von 1 bis 65535</translation>
    </message>
    <message>
        <source>--socks-level must be 4, 4A or 5</source>
        <translation>--socks-level muss 4, 4A oder 5 sein</translation>
    </message>
    <message>
        <source>--timeout wants a number of seconds from 0 to %1</source>
        <translation>--timeout erwartet eine Anzahl Sekunden von 0 bis %1</translation>
    </message>
    <message>
        <source>-H wants &quot;Name: value&quot;, not &quot;%1&quot;</source>
        <translation>-H erwartet „Name: Wert“, nicht „%1“</translation>
    </message>
</context>
<context>
    <name>THttpChunkDecoder</name>
    <message>
        <source>chunk size line too long</source>
        <translation>Zeile mit der Blockgröße zu lang</translation>
    </message>
    <message>
        <source>bad chunk size line</source>
        <translation>ungültige Zeile mit der Blockgröße</translation>
    </message>
    <message>
        <source>chunk size too large</source>
        <translation>Blockgröße zu groß</translation>
    </message>
    <message>
        <source>bad chunk size</source>
        <translation>ungültige Blockgröße</translation>
    </message>
    <message>
        <source>no line end after chunk data</source>
        <translation>kein Zeilenende nach den Blockdaten</translation>
    </message>
    <message>
        <source>chunk trailer too large</source>
        <translation>Block-Trailer zu groß</translation>
    </message>
    <message>
        <source>NUL byte in the chunk trailer</source>
        <translation>NUL-Byte im Block-Trailer</translation>
    </message>
</context>
<context>
    <name>THttpCli</name>
    <message>
        <source>can&apos;t resolve hostname to IP address</source>
        <translation>Hostname lässt sich nicht in eine IP-Adresse auflösen</translation>
    </message>
    <message>
        <source>%1 (Error #%2)</source>
        <translation>%1 (Fehler #%2)</translation>
    </message>
    <message>
        <source>can&apos;t connect: %1</source>
        <translation>keine Verbindung möglich: %1</translation>
    </message>
    <message>
        <source>SOCKS proxy: %1 (Error #%2)</source>
        <translation>SOCKS-Proxy: %1 (Fehler #%2)</translation>
    </message>
    <message>
        <source>TLS: %1</source>
        <translation>TLS: %1</translation>
    </message>
    <message>
        <source>Connection closed before the request was sent</source>
        <translation>Verbindung geschlossen, bevor die Anfrage gesendet war</translation>
    </message>
    <message>
        <source>HTTP component is busy</source>
        <translation>Die HTTP-Komponente ist beschäftigt</translation>
    </message>
    <message>
        <source>HTTP component has nothing to post</source>
        <translation>Die HTTP-Komponente hat nichts zu senden</translation>
    </message>
    <message>
        <source>Bad proxy port: %1</source>
        <translation>Ungültiger Proxy-Port: %1</translation>
    </message>
    <message>
        <source>Connection aborted on request</source>
        <translation>Verbindung auf Wunsch abgebrochen</translation>
    </message>
    <message>
        <source>Too many redirects (more than %1)</source>
        <translation>Zu viele Weiterleitungen (mehr als %1)</translation>
    </message>
    <message>
        <source>Bad reply from the server: conflicting Location values</source>
        <translation>Ungültige Antwort vom Server: widersprüchliche Location-Werte</translation>
    </message>
    <message>
        <source>Redirect refused: %1</source>
        <translation>Weiterleitung abgelehnt: %1</translation>
    </message>
    <message>
        <source>Bad reply from the server: %1</source>
        <translation>Ungültige Antwort vom Server: %1</translation>
    </message>
    <message numerus="yes">
        <source>Reply larger than %1 bytes</source>
        <translation>
            <numerusform>Antwort größer als %1 Byte</numerusform>
            <numerusform>Antwort größer als %1 Byte</numerusform>
        </translation>
    </message>
    <message>
        <source>Cannot write the received data: %1</source>
        <translation>Die empfangenen Daten lassen sich nicht schreiben: %1</translation>
    </message>
    <message>
        <source>HTTP line too long</source>
        <translation>HTTP-Zeile zu lang</translation>
    </message>
    <message>
        <source>Header too large</source>
        <translation>Header zu groß</translation>
    </message>
    <message>
        <source>Bad reply from %1: NUL byte in the header</source>
        <translation>Ungültige Antwort von %1: NUL-Byte im Header</translation>
    </message>
    <message>
        <source>the server</source>
        <translation>dem Server</translation>
    </message>
    <message>
        <source>Bad reply from the server: no status line</source>
        <translation>Ungültige Antwort vom Server: keine Statuszeile</translation>
    </message>
    <message>
        <source>Bad reply from the server: folded header line</source>
        <translation>Ungültige Antwort vom Server: gefaltete Header-Zeile</translation>
    </message>
    <message>
        <source>Bad reply from the server: header line without a colon</source>
        <translation>Ungültige Antwort vom Server: Header-Zeile ohne Doppelpunkt</translation>
    </message>
    <message>
        <source>Bad reply from the server: bad Content-Length</source>
        <translation>Ungültige Antwort vom Server: ungültige Content-Length</translation>
    </message>
    <message>
        <source>Bad reply from the server: conflicting Content-Length values</source>
        <translation>Ungültige Antwort vom Server: widersprüchliche Content-Length-Werte</translation>
    </message>
    <message>
        <source>Bad reply from the server: unsupported Transfer-Encoding</source>
        <translation>Ungültige Antwort vom Server: nicht unterstütztes Transfer-Encoding</translation>
    </message>
    <message>
        <source>the proxy</source>
        <translation>dem Proxy</translation>
    </message>
    <message>
        <source>Bad reply from the proxy: no status line</source>
        <translation>Ungültige Antwort vom Proxy: keine Statuszeile</translation>
    </message>
    <message>
        <source>Proxy refused the tunnel: %1 %2</source>
        <translation>Der Proxy hat den Tunnel abgelehnt: %1 %2</translation>
    </message>
    <message>
        <source>Bad reply from the proxy: data after the tunnel was opened</source>
        <translation>Ungültige Antwort vom Proxy: Daten nach dem Öffnen des Tunnels</translation>
    </message>
    <message>
        <source>Empty reply from the server</source>
        <translation>Leere Antwort vom Server</translation>
    </message>
    <message>
        <source>Connection closed before the reply header was complete</source>
        <translation>Verbindung geschlossen, bevor der Header der Antwort vollständig war</translation>
    </message>
    <message numerus="yes">
        <source>Connection closed after %1 of %2 bytes</source>
        <translation>
            <numerusform>Verbindung nach %1 von %2 Byte geschlossen</numerusform>
            <numerusform>Verbindung nach %1 von %2 Byte geschlossen</numerusform>
        </translation>
    </message>
    <message>
        <source>Connection closed before the end of the chunked body</source>
        <translation>Verbindung vor dem Ende des blockweise übertragenen Inhalts geschlossen</translation>
    </message>
    <message>
        <source>Connection closed without TLS close-notify</source>
        <translation>Verbindung ohne TLS-close-notify geschlossen</translation>
    </message>
    <message>
        <source>Header refused: %1</source>
        <translation>Header abgelehnt: %1</translation>
    </message>
    <message>
        <source>Redirect refused: https to http</source>
        <translation>Weiterleitung abgelehnt: von https zu http</translation>
    </message>
    <message numerus="yes">
        <source>No complete reply within %n seconds</source>
        <translation>
            <numerusform>Keine vollständige Antwort innerhalb von %n Sekunde</numerusform>
            <numerusform>Keine vollständige Antwort innerhalb von %n Sekunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Timeout: no answer from the server for %n seconds</source>
        <translation>
            <numerusform>Zeitüberschreitung: seit %n Sekunde keine Antwort vom Server</numerusform>
            <numerusform>Zeitüberschreitung: seit %n Sekunden keine Antwort vom Server</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TNpvProfile</name>
    <message>
        <source>cannot be determined</source>
        <translation>nicht bestimmbar</translation>
    </message>
    <message>
        <source> (not drawn)</source>
        <translation> (nicht gezeichnet)</translation>
    </message>
    <message>
        <source>Net present value by discount rate</source>
        <translation>Kapitalwert nach Zinssatz</translation>
    </message>
    <message>
        <source>Net present value</source>
        <translation>Kapitalwert</translation>
    </message>
    <message>
        <source>Discount rate</source>
        <translation>Zinssatz</translation>
    </message>
    <message>
        <source>IRR %1</source>
        <translation>IZF %1</translation>
    </message>
    <message>
        <source>No internal rate: all cash flows are zero.</source>
        <translation>Kein interner Zinsfuß: Alle Zahlungen sind null.</translation>
    </message>
    <message>
        <source>No internal rate.</source>
        <translation>Kein interner Zinsfuß.</translation>
    </message>
    <message numerus="yes">
        <source>Internal rates: %1.</source>
        <translation>
            <numerusform>Interner Zinsfuß: %1.</numerusform>
            <numerusform>Interne Zinsfüße: %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>at %1</source>
        <translation>bei %1</translation>
    </message>
</context>
<context>
    <name>TQRPaymentChart</name>
    <message>
        <source>Print NPV</source>
        <translation>Kapitalwert drucken</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Cash Flow</source>
        <translation>Zahlung</translation>
    </message>
    <message>
        <source>Discount Rate</source>
        <translation>Zinssatz</translation>
    </message>
    <message>
        <source>Net Present Value</source>
        <translation>Kapitalwert</translation>
    </message>
    <message>
        <source>Printed at </source>
        <translation>Gedruckt am </translation>
    </message>
    <message>
        <source>NOTE:  While effort was made to ensure the accuracy of these calculations, there is NO WARRANTY, expressed or implied, for the accuracy or the</source>
        <translation>HINWEIS:  Trotz sorgfältiger Berechnung wird KEINE GEWÄHR übernommen, weder ausdrücklich noch stillschweigend, für die Richtigkeit oder</translation>
    </message>
    <message>
        <source>applicability of this information to your particular financial situation.  Please consult your own qualified advisor before making any financial decisions.</source>
        <translation>die Eignung dieser Angaben für Ihre finanzielle Lage.  Bitte ziehen Sie vor finanziellen Entscheidungen einen qualifizierten Berater hinzu.</translation>
    </message>
    <message>
        <source>Compliments of Corvane Software</source>
        <translation>Mit freundlicher Empfehlung von Corvane Software</translation>
    </message>
</context>
<context>
    <name>TScheduleReport</name>
    <message>
        <source>Net present value at %1</source>
        <translation>Kapitalwert bei %1</translation>
    </message>
    <message>
        <source>Discounted payback</source>
        <translation>Dynamische Amortisation</translation>
    </message>
    <message>
        <source>Modified internal rate, reinvested at %1</source>
        <translation>Modifizierter interner Zinsfuß, Wiederanlage zu %1</translation>
    </message>
    <message>
        <source>Internal rates of return</source>
        <translation>Interne Zinsfüße</translation>
    </message>
    <message>
        <source>Internal rate of return</source>
        <translation>Interner Zinsfuß</translation>
    </message>
    <message>
        <source>not defined</source>
        <translation>nicht definiert</translation>
    </message>
    <message>
        <source>Values from </source>
        <translation>Werte aus </translation>
    </message>
    <message>
        <source>Discounting schedule</source>
        <translation>Abzinsungsplan</translation>
    </message>
    <message>
        <source>Discounting Schedule</source>
        <translation>Abzinsungsplan</translation>
    </message>
    <message>
        <source>Ten yearly cash flows discounted at the calculator&apos;s five rates</source>
        <translation>Zehn jährliche Zahlungen, abgezinst mit den fünf Zinssätzen des Rechners</translation>
    </message>
    <message>
        <source>Printed at </source>
        <translation>Gedruckt am </translation>
    </message>
    <message>
        <source>NPV Profile</source>
        <translation>Kapitalwertprofil</translation>
    </message>
    <message>
        <source>Tallowmere discounting schedule</source>
        <translation>Tallowmere-Abzinsungsplan</translation>
    </message>
    <message>
        <source>Page </source>
        <translation>Seite </translation>
    </message>
    <message>
        <source>Discount rate %1</source>
        <translation>Zinssatz %1</translation>
    </message>
</context>
<context>
    <name>TUpdateSaveDialog</name>
    <message>
        <source>Application (*.EXE)</source>
        <translation>Programm (*.EXE)</translation>
    </message>
    <message>
        <source>Zipped File (*.ZIP)</source>
        <translation>ZIP-Archiv (*.ZIP)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>%1<byte value="xd"/>Path does not exist.<byte value="xd"/>Check the path and try again.</source>
        <translation>%1<byte value="xd"/>Der Pfad existiert nicht.<byte value="xd"/>Prüfen Sie den Pfad und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>%1 already exists.<byte value="xd"/>Do you want to replace it?</source>
        <translation>%1 existiert bereits.<byte value="xd"/>Möchten Sie die Datei ersetzen?</translation>
    </message>
</context>
<context>
    <name>TUrlLabel</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>TWebDlProgress</name>
    <message>
        <source>Download Progress</source>
        <translation>Download-Fortschritt</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %2 bytes received.</source>
        <translation>
            <numerusform>%1 von %2 Byte empfangen.</numerusform>
            <numerusform>%1 von %2 Byte empfangen.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TWebFileInfo</name>
    <message>
        <source>Checking For Update...</source>
        <translation>Suche nach Updates...</translation>
    </message>
    <message>
        <source>Too many redirect pages (more than %1)</source>
        <translation>Zu viele Weiterleitungsseiten (mehr als %1)</translation>
    </message>
    <message>
        <source>Can not retrieve version information<byte value="xd"/>because no home url was provided.</source>
        <translation>Die Versionsinformationen lassen sich nicht abrufen,<byte value="xd"/>weil keine Start-URL angegeben ist.</translation>
    </message>
    <message>
        <source>Missing Home URL</source>
        <translation>Start-URL fehlt</translation>
    </message>
    <message>
        <source>Can not retrieve version information<byte value="xd"/>because no tag information was provided.</source>
        <translation>Die Versionsinformationen lassen sich nicht abrufen,<byte value="xd"/>weil keine Tag-Informationen angegeben sind.</translation>
    </message>
    <message>
        <source>Missing Tag Information</source>
        <translation>Tag-Informationen fehlen</translation>
    </message>
    <message>
        <source>Redirect refused: https to http</source>
        <translation>Weiterleitung abgelehnt: von https zu http</translation>
    </message>
    <message>
        <source>The date on the information page cannot be read (%1)</source>
        <translation>Das Datum auf der Informationsseite lässt sich nicht lesen (%1)</translation>
    </message>
    <message>
        <source>HTTP status %1</source>
        <translation>HTTP-Status %1</translation>
    </message>
    <message>
        <source>Error retrieving update information.<byte value="xd"/>Exception: %1.</source>
        <translation>Fehler beim Abrufen der Update-Informationen.<byte value="xd"/>Ausnahme: %1.</translation>
    </message>
    <message>
        <source>Exception</source>
        <translation>Ausnahme</translation>
    </message>
    <message>
        <source>Cannot create file %1 (%2)</source>
        <translation>Die Datei %1 lässt sich nicht anlegen (%2)</translation>
    </message>
    <message>
        <source>Cannot write the received data: %1</source>
        <translation>Die empfangenen Daten lassen sich nicht schreiben: %1</translation>
    </message>
    <message>
        <source>Cannot write the received data: %1 of %2 bytes written</source>
        <translation>Die empfangenen Daten lassen sich nicht schreiben: %1 von %2 Byte geschrieben</translation>
    </message>
    <message>
        <source>The downloaded file does not match the published SHA-256 checksum and was not saved</source>
        <translation>Die heruntergeladene Datei passt nicht zur veröffentlichten SHA-256-Prüfsumme und wurde nicht gespeichert</translation>
    </message>
    <message>
        <source>Cannot replace %1 (%2)</source>
        <translation>%1 lässt sich nicht ersetzen (%2)</translation>
    </message>
    <message>
        <source>Downloading Update</source>
        <translation>Update wird heruntergeladen</translation>
    </message>
    <message>
        <source>Retrieving Signature...</source>
        <translation>Signatur wird abgerufen...</translation>
    </message>
    <message>
        <source>Could not retrieve version information from the Internet.<byte value="xd"/>Error unknown.</source>
        <translation>Die Versionsinformationen ließen sich nicht aus dem Internet abrufen.<byte value="xd"/>Fehler unbekannt.</translation>
    </message>
    <message>
        <source>Could not retrieve version information from the Internet.<byte value="xd"/>Error: &quot;%1.&quot;</source>
        <translation>Die Versionsinformationen ließen sich nicht aus dem Internet abrufen.<byte value="xd"/>Fehler: „%1.“</translation>
    </message>
    <message>
        <source>Connection Error</source>
        <translation>Verbindungsfehler</translation>
    </message>
    <message>
        <source>There is no update available.</source>
        <translation>Es ist kein Update verfügbar.</translation>
    </message>
    <message>
        <source>No Update Found</source>
        <translation>Kein Update gefunden</translation>
    </message>
    <message>
        <source>Current version is %1.<byte value="xd"/>Version %2 is available.</source>
        <translation>Die aktuelle Version ist %1.<byte value="xd"/>Version %2 ist verfügbar.</translation>
    </message>
    <message>
        <source>Download the update?</source>
        <translation>Update herunterladen?</translation>
    </message>
    <message>
        <source>Update Available</source>
        <translation>Update verfügbar</translation>
    </message>
    <message>
        <source>Error occurred while downloading update.<byte value="xd"/>Error unknown.</source>
        <translation>Beim Herunterladen des Updates ist ein Fehler aufgetreten.<byte value="xd"/>Fehler unbekannt.</translation>
    </message>
    <message>
        <source>Error occurred while downloading update.<byte value="xd"/>Error: &quot;%1.&quot;</source>
        <translation>Beim Herunterladen des Updates ist ein Fehler aufgetreten.<byte value="xd"/>Fehler: „%1.“</translation>
    </message>
    <message>
        <source>Download Error</source>
        <translation>Fehler beim Herunterladen</translation>
    </message>
    <message>
        <source>Do you want to install the update now?<byte value="xd"/>File: %1<byte value="xd"/>From: %2<byte value="xd"/>Signed by: %3, key %4</source>
        <translation>Möchten Sie das Update jetzt installieren?<byte value="xd"/>Datei: %1<byte value="xd"/>Von: %2<byte value="xd"/>Signiert von: %3, Schlüssel %4</translation>
    </message>
    <message>
        <source><byte value="xd"/>This will close %1.</source>
        <translation><byte value="xd"/>%1 wird dabei geschlossen.</translation>
    </message>
    <message>
        <source>Install Update</source>
        <translation>Update installieren</translation>
    </message>
    <message>
        <source>Update Not Started</source>
        <translation>Update nicht gestartet</translation>
    </message>
    <message>
        <source>Can not start program.</source>
        <translation>Das Programm lässt sich nicht starten.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Retrieving ReadMe...</source>
        <translation>Liesmich wird abgerufen...</translation>
    </message>
    <message>
        <source>Would you like to view the ReadMe file?</source>
        <translation>Möchten Sie die Liesmich-Datei ansehen?</translation>
    </message>
    <message>
        <source>Downloading ReadMe</source>
        <translation>Liesmich wird heruntergeladen</translation>
    </message>
    <message>
        <source>The read-me %1 is not a text, HTML or PDF document; it is not opened</source>
        <translation>Die Liesmich-Datei %1 ist kein Text-, HTML- oder PDF-Dokument; sie wird nicht geöffnet</translation>
    </message>
    <message>
        <source>Cannot rename %1 to %2</source>
        <translation>%1 lässt sich nicht in %2 umbenennen</translation>
    </message>
    <message>
        <source>No viewer opened %1</source>
        <translation>Kein Anzeigeprogramm hat %1 geöffnet</translation>
    </message>
    <message>
        <source>HTTP component is busy</source>
        <translation>Die HTTP-Komponente ist beschäftigt</translation>
    </message>
    <message>
        <source>Please Wait</source>
        <translation>Bitte warten</translation>
    </message>
    <message>
        <source>Read Me</source>
        <translation>Liesmich</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>TfrmDisclaim</name>
    <message>
        <source>Disclaimer</source>
        <translation>Haftungsausschluss</translation>
    </message>
    <message>
        <source>NOTE:  While effort was made to ensure the accuracy of these calculations,</source>
        <translation>HINWEIS:  Diese Berechnungen wurden mit Sorgfalt erstellt,</translation>
    </message>
    <message>
        <source>there is  NO WARRANTY,  expressed or implied, for the accuracy or the applicability of this information to your particular financial question.</source>
        <translation>es gibt jedoch  KEINE GARANTIE,  weder ausdrücklich noch stillschweigend, für die Richtigkeit oder Eignung dieser Angaben für Ihre Finanzfrage.</translation>
    </message>
    <message>
        <source>Please consult a qualified financial advisor before making any financial decision.</source>
        <translation>Ziehen Sie vor jeder finanziellen Entscheidung einen Finanzberater hinzu.</translation>
    </message>
    <message>
        <source> &amp;OK</source>
        <translation> &amp;OK</translation>
    </message>
    <message>
        <source> Close Disclaimer</source>
        <translation> Haftungsausschluss schließen</translation>
    </message>
</context>
<context>
    <name>TfrmMain</name>
    <message>
        <source>An unidentified error has occurred.</source>
        <translation>Ein unbekannter Fehler ist aufgetreten.</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>Prin&amp;t Setup...</source>
        <translation>Drucker&amp;einrichtung...</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Disclaimer ...</source>
        <translation>&amp;Haftungsausschluss ...</translation>
    </message>
    <message>
        <source>Check for &amp;Update ...</source>
        <translation>Nach &amp;Updates suchen ...</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Über...</translation>
    </message>
    <message>
        <source>&amp;NPV Profile...</source>
        <translation>&amp;Kapitalwertprofil...</translation>
    </message>
    <message>
        <source>YEAR</source>
        <translation>JAHR</translation>
    </message>
    <message>
        <source>Cash Flows</source>
        <translation>Zahlungen</translation>
    </message>
    <message>
        <source>Discount Rate %</source>
        <translation>Zinssatz %</translation>
    </message>
    <message>
        <source>Net Present Value</source>
        <translation>Kapitalwert</translation>
    </message>
    <message>
        <source>Use this calculator to determine the present value of an investment property&apos;s cash flow and sale proceeds.  Enter each year&apos;s cash flow.  For the last year of the holding period, enter the sum of the cash flow and sale proceeds.</source>
        <translation>Dieser Rechner ermittelt den Barwert der Zahlungen und des Verkaufserlöses einer Renditeimmobilie.  Geben Sie die Zahlung jedes Jahres ein, für das letzte Jahr der Haltedauer die Summe aus Zahlung und Verkaufserlös.</translation>
    </message>
    <message>
        <source>Cash flow, year %1</source>
        <translation>Zahlung, Jahr %1</translation>
    </message>
    <message>
        <source>Discount rate %1</source>
        <translation>Zinssatz %1</translation>
    </message>
    <message>
        <source>Net present value %1</source>
        <translation>Kapitalwert %1</translation>
    </message>
    <message>
        <source> Print ...</source>
        <translation> Drucken ...</translation>
    </message>
    <message>
        <source> Print Setup ...</source>
        <translation> Druckereinrichtung ...</translation>
    </message>
    <message>
        <source> Disclaimer ...</source>
        <translation> Haftungsausschluss ...</translation>
    </message>
    <message>
        <source> Reset the calculator</source>
        <translation> Rechner zurücksetzen</translation>
    </message>
    <message>
        <source> Check for an update ...</source>
        <translation> Nach Updates suchen ...</translation>
    </message>
    <message>
        <source> Help ...</source>
        <translation> Hilfe ...</translation>
    </message>
    <message>
        <source> Exit</source>
        <translation> Beenden</translation>
    </message>
    <message>
        <source>Click to visit Corvane&apos; website!</source>
        <translation>Klicken, um die Website von Corvane zu besuchen!</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Internet</source>
        <translation>&amp;Internet</translation>
    </message>
    <message>
        <source>&amp;Corvane on the Web</source>
        <translation>&amp;Corvane im Web</translation>
    </message>
    <message>
        <source>&amp;Home Page</source>
        <translation>&amp;Startseite</translation>
    </message>
    <message>
        <source>Corvane&apos; &amp;Freeware Page</source>
        <translation>&amp;Freeware-Seite von Corvane</translation>
    </message>
    <message>
        <source>&amp;Suggestion Box</source>
        <translation>&amp;Ideen und Vorschläge</translation>
    </message>
    <message>
        <source>Contact Corvane by &amp;Email</source>
        <translation>&amp;E-Mail an Corvane</translation>
    </message>
    <message>
        <source>&amp;Send Suggestions</source>
        <translation>&amp;Vorschläge senden</translation>
    </message>
    <message>
        <source>Contact &amp;Tech Support</source>
        <translation>&amp;Technischen Support fragen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Search for Help On...</source>
        <translation>Hilfe &amp;durchsuchen...</translation>
    </message>
    <message>
        <source>&amp;How to Use Help</source>
        <translation>Hilfe &amp;verwenden</translation>
    </message>
    <message>
        <source>Contact Tech Support by &amp;Email</source>
        <translation>Technischer Support per &amp;E-Mail</translation>
    </message>
    <message>
        <source>&amp;Print ...</source>
        <translation>&amp;Drucken ...</translation>
    </message>
    <message>
        <source>Discounted Cash Flow</source>
        <translation>Abgezinste Zahlungen</translation>
    </message>
    <message>
        <source>Preview of Discounted Cash Flow</source>
        <translation>Vorschau der abgezinsten Zahlungen</translation>
    </message>
    <message>
        <source>Results of this calculation cannot be determined
using the values you have entered.

Please try again with different values.</source>
        <translation>Mit den eingegebenen Werten lässt sich
das Ergebnis nicht berechnen.

Bitte versuchen Sie es mit anderen Werten.</translation>
    </message>
</context>
<context>
    <name>TfrmPreview</name>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>Print Preview - Tallowmere Calculator - Corvane Software</source>
        <translation>Druckvorschau - Tallowmere-Rechner - Corvane Software</translation>
    </message>
    <message>
        <source>Displays previous page</source>
        <translation>Zeigt die vorige Seite</translation>
    </message>
    <message>
        <source>Displays next page</source>
        <translation>Zeigt die nächste Seite</translation>
    </message>
    <message>
        <source> Zoom &amp;Out</source>
        <translation> Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>Fits the full page into the window</source>
        <translation>Passt die ganze Seite ins Fenster ein</translation>
    </message>
    <message>
        <source> &amp;100%</source>
        <translation> &amp;100 %</translation>
    </message>
    <message>
        <source>Displays page at actual size</source>
        <translation>Zeigt die Seite in Originalgröße</translation>
    </message>
    <message>
        <source> Zoom &amp;in</source>
        <translation> Ver&amp;größern</translation>
    </message>
    <message>
        <source>Fits the width of the page into the window</source>
        <translation>Passt die Seitenbreite ins Fenster ein</translation>
    </message>
    <message>
        <source> &amp;Print</source>
        <translation> &amp;Drucken</translation>
    </message>
    <message>
        <source>Prints the document</source>
        <translation>Druckt das Dokument</translation>
    </message>
    <message>
        <source> &amp;Close</source>
        <translation> &amp;Beenden</translation>
    </message>
    <message>
        <source>Exit print preview</source>
        <translation>Schließt die Druckvorschau</translation>
    </message>
</context>
<context>
    <name>TfrmProfile</name>
    <message>
        <source>NPV Profile</source>
        <translation>Kapitalwertprofil</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>&amp;Save As...</source>
        <translation>&amp;Speichern unter...</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>NPV profile</source>
        <translation>Kapitalwertprofil</translation>
    </message>
    <message>
        <source>Preview of NPV Profile</source>
        <translation>Vorschau des Kapitalwertprofils</translation>
    </message>
    <message>
        <source>Save NPV Profile</source>
        <translation>Kapitalwertprofil speichern</translation>
    </message>
    <message>
        <source>SVG picture (*.svg);;PNG picture (*.png)</source>
        <translation>SVG-Grafik (*.svg);;PNG-Bild (*.png)</translation>
    </message>
</context>
<context>
    <name>TfrmUpdate</name>
    <message>
        <source>Corvane Software Update Center</source>
        <translation>Corvane Software Update-Center</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source> Close Update Center</source>
        <translation> Update-Center schließen</translation>
    </message>
    <message>
        <source>Retrieve Update</source>
        <translation>Update holen</translation>
    </message>
    <message>
        <source> Retrieve Update</source>
        <translation> Update holen</translation>
    </message>
    <message>
        <source>Check for Update</source>
        <translation>Update suchen</translation>
    </message>
    <message>
        <source> Check for Update</source>
        <translation> Nach Updates suchen</translation>
    </message>
    <message>
        <source>Current Application</source>
        <translation>Aktuelles Programm</translation>
    </message>
    <message>
        <source>Application Name:</source>
        <translation>Programmname:</translation>
    </message>
    <message>
        <source> Tallowmere Calculator</source>
        <translation> Tallowmere-Rechner</translation>
    </message>
    <message>
        <source>Developer:</source>
        <translation>Hersteller:</translation>
    </message>
    <message>
        <source>Current Version:</source>
        <translation>Aktuelle Version:</translation>
    </message>
    <message>
        <source> Current Version</source>
        <translation> Aktuelle Version</translation>
    </message>
    <message>
        <source>Current Compile Date:</source>
        <translation>Erstellt am:</translation>
    </message>
    <message>
        <source> Current Compile Date</source>
        <translation> Erstellungsdatum</translation>
    </message>
    <message>
        <source>Update Status:  Unknown</source>
        <translation>Update-Status:  unbekannt</translation>
    </message>
    <message>
        <source>Version on Server:</source>
        <translation>Version auf Server:</translation>
    </message>
    <message>
        <source>Status Unknown</source>
        <translation>Status unbekannt</translation>
    </message>
    <message>
        <source>Online Information:</source>
        <translation>Online-Infos:</translation>
    </message>
    <message>
        <source>Download URL:</source>
        <translation>Download-URL:</translation>
    </message>
    <message>
        <source>Compile Date:</source>
        <translation>Erstellt am:</translation>
    </message>
    <message>
        <source>Get Info failed due to:<byte value="xd"/>
%1</source>
        <translation>Die Abfrage ist fehlgeschlagen wegen:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Update Information</source>
        <translation>Update-Informationen</translation>
    </message>
    <message>
        <source>No Update Available</source>
        <translation>Kein Update verfügbar</translation>
    </message>
</context>
<context>
    <name>UpdateFiles</name>
    <message>
        <source>The address %1 names no file to save</source>
        <translation>Die Adresse %1 nennt keine Datei zum Speichern</translation>
    </message>
    <message>
        <source>The update was saved as %1 but was not started: </source>
        <translation>Das Update wurde als %1 gespeichert, aber nicht gestartet: </translation>
    </message>
    <message>
        <source>.<byte value="xd"/>Move it to a folder only you can write to and start it from there.</source>
        <translation>.<byte value="xd"/>Verschieben Sie es in einen Ordner, in den nur Sie schreiben können, und starten Sie es dort.</translation>
    </message>
    <message>
        <source>it can no longer be found</source>
        <translation>es ist nicht mehr auffindbar</translation>
    </message>
    <message>
        <source>it is no longer a plain file</source>
        <translation>es ist keine gewöhnliche Datei mehr</translation>
    </message>
    <message>
        <source>other users can replace files in the folder %1, so the file that would run might not be the file that was checked</source>
        <translation>andere Benutzer können Dateien im Ordner %1 ersetzen, daher wäre die gestartete Datei vielleicht nicht die geprüfte</translation>
    </message>
    <message>
        <source>in the shared folder %1 it belongs to another user, so the file that would run might not be the file that was checked</source>
        <translation>im gemeinsamen Ordner %1 gehört es einem anderen Benutzer, daher wäre die gestartete Datei vielleicht nicht die geprüfte</translation>
    </message>
</context>
<context>
    <name>WSocketResolve</name>
    <message>
        <source>WSocketResolveHost: &apos;%1&apos; Invalid Hostname.</source>
        <translation>WSocketResolveHost: „%1“ ist kein gültiger Hostname.</translation>
    </message>
    <message>
        <source>WSocketResolveHost: &apos;%1&apos; Invalid IP address.</source>
        <translation>WSocketResolveHost: „%1“ ist keine gültige IP-Adresse.</translation>
    </message>
    <message>
        <source>WSocketResolveHost: Cannot convert host address &apos;%1&apos;</source>
        <translation>WSocketResolveHost: Die Hostadresse „%1“ lässt sich nicht umwandeln</translation>
    </message>
    <message>
        <source>WSocketResolvePort: Invalid Port.</source>
        <translation>WSocketResolvePort: Ungültiger Port.</translation>
    </message>
    <message>
        <source>WSocketResolvePort: Cannot convert port &apos;%1&apos;</source>
        <translation>WSocketResolvePort: Der Port „%1“ lässt sich nicht umwandeln</translation>
    </message>
    <message>
        <source>WSocketResolveProto: Invalid Protocol.</source>
        <translation>WSocketResolveProto: Ungültiges Protokoll.</translation>
    </message>
    <message>
        <source>WSocketResolveProto: Cannot convert protocol &apos;%1&apos;</source>
        <translation>WSocketResolveProto: Das Protokoll „%1“ lässt sich nicht umwandeln</translation>
    </message>
</context>
<context>
    <name>Winsock</name>
    <message>
        <source>No Error</source>
        <translation>Kein Fehler</translation>
    </message>
    <message>
        <source>Interrupted system call</source>
        <translation>Unterbrochener Systemaufruf</translation>
    </message>
    <message>
        <source>Bad file number</source>
        <translation>Ungültige Dateinummer</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>Bad address</source>
        <translation>Ungültige Adresse</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Ungültiges Argument</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Zu viele offene Dateien</translation>
    </message>
    <message>
        <source>Operation would block</source>
        <translation>Operation würde blockieren</translation>
    </message>
    <message>
        <source>Operation now in progress</source>
        <translation>Operation ist jetzt in Gang</translation>
    </message>
    <message>
        <source>Operation already in progress</source>
        <translation>Operation ist bereits in Gang</translation>
    </message>
    <message>
        <source>Socket operation on non-socket</source>
        <translation>Socket-Operation auf einem Nicht-Socket</translation>
    </message>
    <message>
        <source>Destination address required</source>
        <translation>Zieladresse erforderlich</translation>
    </message>
    <message>
        <source>Message too long</source>
        <translation>Nachricht zu lang</translation>
    </message>
    <message>
        <source>Protocol wrong type for socket</source>
        <translation>Protokoll hat den falschen Typ für den Socket</translation>
    </message>
    <message>
        <source>Protocol not available</source>
        <translation>Protokoll nicht verfügbar</translation>
    </message>
    <message>
        <source>Protocol not supported</source>
        <translation>Protokoll nicht unterstützt</translation>
    </message>
    <message>
        <source>Socket type not supported</source>
        <translation>Socket-Typ nicht unterstützt</translation>
    </message>
    <message>
        <source>Operation not supported on socket</source>
        <translation>Operation auf dem Socket nicht unterstützt</translation>
    </message>
    <message>
        <source>Protocol family not supported</source>
        <translation>Protokollfamilie nicht unterstützt</translation>
    </message>
    <message>
        <source>Address family not supported by protocol family</source>
        <translation>Adressfamilie von der Protokollfamilie nicht unterstützt</translation>
    </message>
    <message>
        <source>Address already in use</source>
        <translation>Adresse wird bereits verwendet</translation>
    </message>
    <message>
        <source>Address not available</source>
        <translation>Adresse nicht verfügbar</translation>
    </message>
    <message>
        <source>Network is down</source>
        <translation>Das Netzwerk ist ausgefallen</translation>
    </message>
    <message>
        <source>Network is unreachable</source>
        <translation>Das Netzwerk ist nicht erreichbar</translation>
    </message>
    <message>
        <source>Network dropped connection on reset</source>
        <translation>Das Netzwerk hat die Verbindung beim Zurücksetzen getrennt</translation>
    </message>
    <message>
        <source>Connection aborted</source>
        <translation>Verbindung abgebrochen</translation>
    </message>
    <message>
        <source>Connection reset by peer</source>
        <translation>Verbindung von der Gegenstelle zurückgesetzt</translation>
    </message>
    <message>
        <source>No buffer space available</source>
        <translation>Kein Pufferspeicher verfügbar</translation>
    </message>
    <message>
        <source>Socket is already connected</source>
        <translation>Der Socket ist bereits verbunden</translation>
    </message>
    <message>
        <source>Socket is not connected</source>
        <translation>Der Socket ist nicht verbunden</translation>
    </message>
    <message>
        <source>Can&apos;t send after socket shutdown</source>
        <translation>Senden nach dem Herunterfahren des Sockets nicht möglich</translation>
    </message>
    <message>
        <source>Too many references: can&apos;t splice</source>
        <translation>Zu viele Verweise: Verbinden nicht möglich</translation>
    </message>
    <message>
        <source>Connection timed out</source>
        <translation>Zeitüberschreitung der Verbindung</translation>
    </message>
    <message>
        <source>Connection refused</source>
        <translation>Verbindung abgelehnt</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Zu viele Ebenen symbolischer Verknüpfungen</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Dateiname zu lang</translation>
    </message>
    <message>
        <source>Host is down</source>
        <translation>Der Host ist ausgefallen</translation>
    </message>
    <message>
        <source>No route to host</source>
        <translation>Keine Route zum Host</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Verzeichnis nicht leer</translation>
    </message>
    <message>
        <source>Too many processes</source>
        <translation>Zu viele Prozesse</translation>
    </message>
    <message>
        <source>Too many users</source>
        <translation>Zu viele Benutzer</translation>
    </message>
    <message>
        <source>Disc quota exceeded</source>
        <translation>Festplattenkontingent überschritten</translation>
    </message>
    <message>
        <source>Stale NFS file handle</source>
        <translation>Veralteter NFS-Datei-Handle</translation>
    </message>
    <message>
        <source>Too many levels of remote in path</source>
        <translation>Zu viele entfernte Ebenen im Pfad</translation>
    </message>
    <message>
        <source>Network sub-system is unusable</source>
        <translation>Das Netzwerk-Subsystem ist nicht nutzbar</translation>
    </message>
    <message>
        <source>WinSock DLL cannot support this application</source>
        <translation>Die WinSock-DLL unterstützt diese Anwendung nicht</translation>
    </message>
    <message>
        <source>WinSock not initialized</source>
        <translation>WinSock nicht initialisiert</translation>
    </message>
    <message>
        <source>Host not found</source>
        <translation>Host nicht gefunden</translation>
    </message>
    <message>
        <source>Non-authoritative host not found</source>
        <translation>Host nicht gefunden (nicht maßgeblich)</translation>
    </message>
    <message>
        <source>Non-recoverable error</source>
        <translation>Nicht behebbarer Fehler</translation>
    </message>
    <message>
        <source>No Data</source>
        <translation>Keine Daten</translation>
    </message>
    <message>
        <source>Not a WinSock error</source>
        <translation>Kein WinSock-Fehler</translation>
    </message>
</context>
<context>
    <name>tallowmere-fetch</name>
    <message>
        <source>[%1%2] %3% %4 of %5</source>
        <translation>[%1%2] %3 % %4 von %5</translation>
    </message>
    <message>
        <source>%1 received</source>
        <translation>%1 empfangen</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 lässt sich nicht schreiben: %2</translation>
    </message>
    <message>
        <source>cannot write to standard output</source>
        <translation>die Standardausgabe lässt sich nicht schreiben</translation>
    </message>
    <message>
        <source>warning: redirected from https to http; the rest is not protected</source>
        <translation>Warnung: von https zu http weitergeleitet; der Rest ist ungeschützt</translation>
    </message>
    <message>
        <source>cannot save %1: %2</source>
        <translation>%1 lässt sich nicht speichern: %2</translation>
    </message>
    <message>
        <source>cannot write to standard output: %1</source>
        <translation>die Standardausgabe lässt sich nicht schreiben: %1</translation>
    </message>
    <message>
        <source>output closed</source>
        <translation>Ausgabe geschlossen</translation>
    </message>
    <message>
        <source>request failed</source>
        <translation>Anfrage fehlgeschlagen</translation>
    </message>
    <message>
        <source>(status %1, error %2)</source>
        <translation>(Status %1, Fehler %2)</translation>
    </message>
    <message>
        <source>(status %1)</source>
        <translation>(Status %1)</translation>
    </message>
</context>
</TS>
