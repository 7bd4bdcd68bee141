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
    <name>TUrlLabel</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
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
</TS>
