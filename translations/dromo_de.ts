<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>QObject</name>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Edit...</source>
        <translation>Bearbeiten …</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Enable Category</source>
        <translation>Kategorien verwenden</translation>
    </message>
    <message>
        <source>Extension</source>
        <translation>Endung</translation>
    </message>
    <message>
        <source>Save to</source>
        <translation>Speichern in</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>This place provides you the convenience to categorise the downloaded files. All the files matched the specified extension will be saved to the defined location.</source>
        <translation>Hier ordnen Sie heruntergeladene Dateien Kategorien zu. Alle Dateien mit der angegebenen Endung werden im festgelegten Ordner gespeichert.</translation>
    </message>
    <message>
        <source>All the categories are in this list, view the properties of each item by double-clicking on it.</source>
        <translation>Alle Kategorien stehen in dieser Liste. Doppelklicken Sie auf einen Eintrag, um seine Eigenschaften anzuzeigen.</translation>
    </message>
    <message>
        <source>Add a new category to the list.</source>
        <translation>Fügt der Liste eine neue Kategorie hinzu.</translation>
    </message>
    <message>
        <source>Remove an existing category from the list.</source>
        <translation>Entfernt eine vorhandene Kategorie aus der Liste.</translation>
    </message>
    <message>
        <source>Edit an existing category in the list.</source>
        <translation>Bearbeitet eine vorhandene Kategorie der Liste.</translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Enable Proxy</source>
        <translation>Proxy verwenden</translation>
    </message>
    <message>
        <source>Proxy Server</source>
        <translation>Proxy-Server</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>Hinzufügen …</translation>
    </message>
    <message>
        <source>This place provides you the convenience to configure proxy servers.</source>
        <translation>Hier richten Sie Proxy-Server ein.</translation>
    </message>
    <message>
        <source>All the proxy servers are in this list, view the properties of each item by double-clicking on it.</source>
        <translation>Alle Proxy-Server stehen in dieser Liste. Doppelklicken Sie auf einen Eintrag, um seine Eigenschaften anzuzeigen.</translation>
    </message>
    <message>
        <source>Add a new proxy server to the list.</source>
        <translation>Fügt der Liste einen neuen Proxy-Server hinzu.</translation>
    </message>
    <message>
        <source>Remove an existing proxy server from the list.</source>
        <translation>Entfernt einen vorhandenen Proxy-Server aus der Liste.</translation>
    </message>
    <message>
        <source>Edit an existing proxy server in the list.</source>
        <translation>Bearbeitet einen vorhandenen Proxy-Server der Liste.</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sicherheit</translation>
    </message>
    <message>
        <source>Enable Security</source>
        <translation>Anmeldedaten je Server verwenden</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>This place provides you the convenience to set site security individually. You can bind the pair of username and password to a site.</source>
        <translation>Hier legen Sie Anmeldedaten für einzelne Server fest. Sie können einem Server einen Benutzernamen und ein Passwort zuordnen.</translation>
    </message>
    <message>
        <source>All the sites are in this list, view the properties of each item by double-clicking on it.</source>
        <translation>Alle Server stehen in dieser Liste. Doppelklicken Sie auf einen Eintrag, um seine Eigenschaften anzuzeigen.</translation>
    </message>
    <message>
        <source>Add a new site to the list.</source>
        <translation>Fügt der Liste einen neuen Server hinzu.</translation>
    </message>
    <message>
        <source>Remove an existing site from the list.</source>
        <translation>Entfernt einen vorhandenen Server aus der Liste.</translation>
    </message>
    <message>
        <source>Edit an existing site in the list.</source>
        <translation>Bearbeitet einen vorhandenen Server der Liste.</translation>
    </message>
    <message>
        <source>Please select a folder below. Then click OK.</source>
        <translation>Bitte wählen Sie unten einen Ordner aus und klicken Sie dann auf „OK“.</translation>
    </message>
    <message>
        <source>Cannot open folder</source>
        <translation>Der Ordner kann nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>dromo</name>
    <message>
        <source>Fail to start virus scanner.</source>
        <translation>Der Virenscanner konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The selected task is running, stop it first.</source>
        <translation>Der ausgewählte Download läuft. Bitte halten Sie ihn zuerst an.</translation>
    </message>
    <message>
        <source>This file is not downloaded completely, you had better leave it alone.</source>
        <translation>Diese Datei ist noch nicht vollständig heruntergeladen. Lassen Sie sie besser unverändert.</translation>
    </message>
    <message>
        <source>This file is being downloaded, you cannot open it now.</source>
        <translation>Diese Datei wird gerade heruntergeladen und kann jetzt nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>File not found or moved</source>
        <translation>Die Datei wurde nicht gefunden oder verschoben</translation>
    </message>
    <message>
        <source>invalid url</source>
        <translation>Ungültige URL</translation>
    </message>
    <message>
        <source>The same file is being downloaded.</source>
        <translation>Dieselbe Datei wird bereits heruntergeladen.</translation>
    </message>
    <message>
        <source>Nothing to download: the URL is empty or ends in &quot;/&quot;.</source>
        <translation>Nichts herunterzuladen: Die URL ist leer oder endet auf „/“.</translation>
    </message>
    <message>
        <source>No history.</source>
        <translation>Kein Verlauf vorhanden.</translation>
    </message>
    <message>
        <source>This action will permanently clear your download record so far, are you sure?</source>
        <translation>Damit wird der bisherige Download-Verlauf endgültig gelöscht. Sind Sie sicher?</translation>
    </message>
    <message>
        <source>The task has started meanwhile; its properties were not changed.</source>
        <translation>Der Download wurde inzwischen gestartet; seine Eigenschaften wurden nicht geändert.</translation>
    </message>
    <message>
        <source>A category with the same extension has existed.</source>
        <translation>Eine Kategorie mit derselben Endung ist bereits vorhanden.</translation>
    </message>
    <message>
        <source>The same proxy has existed.</source>
        <translation>Dieser Proxy ist bereits vorhanden.</translation>
    </message>
    <message>
        <source>The same site has existed.</source>
        <translation>Dieser Server ist bereits vorhanden.</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message>
        <source>The settings could not be saved.</source>
        <translation>Die Einstellungen konnten nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Dromo already starts up.</source>
        <translation>Dromo läuft bereits.</translation>
    </message>
    <message>
        <source>None of the page&apos;s links can be downloaded.</source>
        <translation>Keiner der Links dieser Seite kann heruntergeladen werden.</translation>
    </message>
    <message>
        <source>an unnamed file</source>
        <translation>eine unbenannte Datei</translation>
    </message>
    <message>
        <source>Your computer will be shut down in 15 seconds.</source>
        <translation>Der Rechner wird in 15 Sekunden heruntergefahren.</translation>
    </message>
    <message>
        <source>Your Internet connection will be hang up in 15 seconds.</source>
        <translation>Die Internetverbindung wird in 15 Sekunden getrennt.</translation>
    </message>
    <message>
        <source>Task is in queue.</source>
        <translation>Download wartet in der Warteschlange.</translation>
    </message>
    <message>
        <source>Task is paused.</source>
        <translation>Download ist angehalten.</translation>
    </message>
    <message>
        <source>Task is running.</source>
        <translation>Download läuft.</translation>
    </message>
    <message>
        <source>Task is done.</source>
        <translation>Download ist abgeschlossen.</translation>
    </message>
    <message>
        <source>Error occurs.</source>
        <translation>Ein Fehler ist aufgetreten.</translation>
    </message>
    <message>
        <source>Task is scheduled.</source>
        <translation>Download ist geplant.</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Turquoise</source>
        <translation>Türkis</translation>
    </message>
    <message>
        <source>Bright Green</source>
        <translation>Hellgrün</translation>
    </message>
    <message>
        <source>Pink</source>
        <translation>Rosa</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Weiß</translation>
    </message>
    <message>
        <source>Dark Blue</source>
        <translation>Dunkelblau</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Blaugrün</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Violet</source>
        <translation>Violett</translation>
    </message>
    <message>
        <source>Dark Red</source>
        <translation>Dunkelrot</translation>
    </message>
    <message>
        <source>Dark Yellow</source>
        <translation>Dunkelgelb</translation>
    </message>
    <message>
        <source>Gray-50%</source>
        <translation>Grau 50 %</translation>
    </message>
    <message>
        <source>Gray-25%</source>
        <translation>Grau 25 %</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Download finished</source>
        <translation>Download abgeschlossen</translation>
    </message>
    <message>
        <source>Download failed</source>
        <translation>Download fehlgeschlagen</translation>
    </message>
    <message>
        <source>File has been downloaded</source>
        <translation>Die Datei wurde heruntergeladen</translation>
    </message>
    <message>
        <source>File has already existed</source>
        <translation>Die Datei ist bereits vorhanden</translation>
    </message>
    <message>
        <source>Error - cancelled by user.</source>
        <translation>Fehler – vom Benutzer abgebrochen.</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: no valid status line</source>
        <translation>Fehler in der Antwort des Servers: keine gültige Statuszeile</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: a partial answer that does not fit the range asked for</source>
        <translation>Fehler in der Antwort des Servers: eine Teilantwort, die nicht zum angefragten Bereich passt</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: the whole file instead of a range</source>
        <translation>Fehler in der Antwort des Servers: die ganze Datei statt eines Bereichs</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: its partial answers do not fit the file; try again later</source>
        <translation>Fehler in der Antwort des Servers: Die Teilantworten passen nicht zur Datei; versuchen Sie es später erneut</translation>
    </message>
    <message>
        <source>Error - the server keeps changing the file; try again later</source>
        <translation>Fehler – der Server ändert die Datei ständig; versuchen Sie es später erneut</translation>
    </message>
    <message>
        <source>Error 10053 - connection closed before the file was complete</source>
        <translation>Fehler 10053 – Verbindung geschlossen, bevor die Datei vollständig war</translation>
    </message>
    <message>
        <source>The server&apos;s partial answer does not fit the file; downloading it again from the start</source>
        <translation>Die Teilantwort des Servers passt nicht zur Datei; sie wird von vorn heruntergeladen</translation>
    </message>
    <message>
        <source>The file changed on the server; downloading it again from the start</source>
        <translation>Die Datei hat sich auf dem Server geändert; sie wird von vorn heruntergeladen</translation>
    </message>
    <message>
        <source>Nothing tells what the bytes on disk are; downloading the file again from the start</source>
        <translation>Die Herkunft der Daten auf dem Datenträger ist unbekannt; die Datei wird von vorn heruntergeladen</translation>
    </message>
    <message>
        <source>The file moved to an FTP server; downloading it again from the start</source>
        <translation>Die Datei liegt jetzt auf einem FTP-Server; sie wird von vorn heruntergeladen</translation>
    </message>
    <message>
        <source>Fail - the site refused the download: the browser&apos;s cookies for it were not kept when Dromo restarted; start it again from the browser</source>
        <translation>Fehlgeschlagen – der Server hat den Download abgelehnt: Die Cookies des Browsers dafür wurden beim Neustart von Dromo nicht behalten; starten Sie den Download erneut im Browser</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Bitte geben Sie eine ganze Zahl zwischen %1 und %2 ein.</translation>
    </message>
    <message>
        <source>Please enter no more than %1 characters.</source>
        <translation>Bitte geben Sie höchstens %1 Zeichen ein.</translation>
    </message>
    <message>
        <source>%1 tasks is running</source>
        <translation>Laufende Downloads: %1</translation>
    </message>
    <message>
        <source>%1 tasks is in queue</source>
        <translation>Wartende Downloads: %1</translation>
    </message>
    <message>
        <source>Speed: %1 KB/s</source>
        <translation>Geschwindigkeit: %1 KB/s</translation>
    </message>
    <message>
        <source>The page offers %1 links; Dromo takes at most %2 at once.</source>
        <translation>Die Seite bietet %1 Links an; Dromo übernimmt höchstens %2 auf einmal.</translation>
    </message>
    <message>
        <source>%1 was not found.</source>
        <translation>%1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>%1 contains an invalid path.</source>
        <translation>%1 enthält einen ungültigen Pfad.</translation>
    </message>
    <message>
        <source>Access to %1 was denied.</source>
        <translation>Der Zugriff auf %1 wurde verweigert.</translation>
    </message>
    <message>
        <source>The disk is full while accessing %1.</source>
        <translation>Der Datenträger ist voll (beim Zugriff auf %1).</translation>
    </message>
    <message>
        <source>A sharing violation occurred while accessing %1.</source>
        <translation>%1 wird von einem anderen Programm verwendet.</translation>
    </message>
    <message>
        <source>An unexpected error occurred while accessing %1.</source>
        <translation>Beim Zugriff auf %1 ist ein unerwarteter Fehler aufgetreten.</translation>
    </message>
    <message>
        <source>%1 downloads finished, %2 failed</source>
        <translation>%1 Downloads abgeschlossen, %2 fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 download finished, %2 failed</source>
        <translation>%1 Download abgeschlossen, %2 fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 downloads finished</source>
        <translation>%1 Downloads abgeschlossen</translation>
    </message>
    <message>
        <source>%1 download finished</source>
        <translation>%1 Download abgeschlossen</translation>
    </message>
    <message>
        <source>%1 downloads failed</source>
        <translation>%1 Downloads fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 download failed</source>
        <translation>%1 Download fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 (failed: %2)</source>
        <translation>%1 (fehlgeschlagen: %2)</translation>
    </message>
    <message>
        <source>%1 (failed)</source>
        <translation>%1 (fehlgeschlagen)</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>und %1 weitere</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Verbindung zu %1 wird hergestellt …</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>Gespeichert als %1</translation>
    </message>
    <message>
        <source>Saving as %1: %2 was not written by Dromo</source>
        <translation>Wird als %1 gespeichert: %2 stammt nicht von Dromo</translation>
    </message>
    <message>
        <source>Saving as %1: %2 is another file</source>
        <translation>Wird als %1 gespeichert: %2 ist eine andere Datei</translation>
    </message>
    <message>
        <source>Error 407 from proxy: %1</source>
        <translation>Fehler 407 vom Proxy: %1</translation>
    </message>
    <message>
        <source>Error %1 from server: %2</source>
        <translation>Fehler %1 vom Server: %2</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: more than %1 response heads</source>
        <translation>Fehler in der Antwort des Servers: mehr als %1 Antwortköpfe</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: a response head of more than %1 KB</source>
        <translation>Fehler in der Antwort des Servers: ein Antwortkopf von mehr als %1 KB</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: it is not HTTP (%1)</source>
        <translation>Fehler in der Antwort des Servers: Sie ist kein HTTP (%1)</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: %1</source>
        <translation>Fehler in der Antwort des Servers: %1</translation>
    </message>
    <message>
        <source>Error writing %1: %2</source>
        <translation>Fehler beim Schreiben von %1: %2</translation>
    </message>
    <message>
        <source>Error renaming %1 to %2: %3</source>
        <translation>Fehler beim Umbenennen von %1 in %2: %3</translation>
    </message>
    <message>
        <source>Error - no data received for %1 seconds</source>
        <translation>Fehler – seit %1 Sekunden keine Daten empfangen</translation>
    </message>
    <message>
        <source>Error 10053 - connection aborted after %1 bytes: %2</source>
        <translation>Fehler 10053 – Verbindung nach %1 Byte abgebrochen: %2</translation>
    </message>
    <message>
        <source>Error 10053 - connection aborted with %1 of %2 bytes: %3</source>
        <translation>Fehler 10053 – Verbindung bei %1 von %2 Byte abgebrochen: %3</translation>
    </message>
    <message>
        <source>Error 10053 - connection closed after %1 of %2 bytes</source>
        <translation>Fehler 10053 – Verbindung nach %1 von %2 Byte geschlossen</translation>
    </message>
    <message>
        <source>Error - the server refused the file: %1</source>
        <translation>Fehler – der Server hat die Datei verweigert: %1</translation>
    </message>
    <message>
        <source>Error - %1</source>
        <translation>Fehler – %1</translation>
    </message>
    <message>
        <source>Fail to open %1: %2</source>
        <translation>%1 konnte nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Fail to resolve %1: %2</source>
        <translation>%1 konnte nicht aufgelöst werden: %2</translation>
    </message>
    <message>
        <source>Fail to connect to %1: no answer for %2 seconds</source>
        <translation>Keine Verbindung zu %1: seit %2 Sekunden keine Antwort</translation>
    </message>
    <message>
        <source>Fail to connect to %1: %2</source>
        <translation>Keine Verbindung zu %1: %2</translation>
    </message>
    <message>
        <source>Fail to write into %1: %2</source>
        <translation>In %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Fail - no free file name beside %1</source>
        <translation>Fehlgeschlagen – kein freier Dateiname neben %1</translation>
    </message>
    <message>
        <source>Fail - secure connection to %1 refused: %2</source>
        <translation>Fehlgeschlagen – sichere Verbindung zu %1 abgelehnt: %2</translation>
    </message>
    <message>
        <source>Fail - too many redirects: %1</source>
        <translation>Fehlgeschlagen – zu viele Weiterleitungen: %1</translation>
    </message>
    <message>
        <source>Fail - login denied by %1: %2</source>
        <translation>Fehlgeschlagen – Anmeldung von %1 abgelehnt: %2</translation>
    </message>
    <message>
        <source>Fail - the proxy refused to connect to %1 (answer %2)</source>
        <translation>Fehlgeschlagen – der Proxy verweigert die Verbindung zu %1 (Antwort %2)</translation>
    </message>
    <message>
        <source>Fail - the target %1 is a folder, not a file</source>
        <translation>Fehlgeschlagen – das Ziel %1 ist ein Ordner, keine Datei</translation>
    </message>
    <message>
        <source>Fail - the target %1 exists and is not a file</source>
        <translation>Fehlgeschlagen – das Ziel %1 ist vorhanden und keine Datei</translation>
    </message>
    <message>
        <source>Fail - %1 is a folder on the server, not a file</source>
        <translation>Fehlgeschlagen – %1 ist auf dem Server ein Ordner, keine Datei</translation>
    </message>
    <message>
        <source>Fail - %1</source>
        <translation>Fehlgeschlagen – %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>k. A.</translation>
    </message>
    <message>
        <source>Too many tasks were added since Dromo started. Restart Dromo to add more.</source>
        <translation>Seit dem Start von Dromo wurden zu viele Downloads hinzugefügt. Starten Sie Dromo neu, um weitere hinzuzufügen.</translation>
    </message>
    <message>
        <source>The browser&apos;s cookie, referrer or user agent holds a line break or another control character.</source>
        <translation>Cookie, Referrer oder User-Agent des Browsers enthalten einen Zeilenumbruch oder ein anderes Steuerzeichen.</translation>
    </message>
    <message>
        <source>The browser&apos;s cookie is longer than 8000 bytes, more than a request may carry.</source>
        <translation>Das Cookie des Browsers ist länger als 8000 Byte, mehr als eine Anfrage tragen darf.</translation>
    </message>
    <message>
        <source>user agent</source>
        <translation>User-Agent</translation>
    </message>
    <message>
        <source>referrer</source>
        <translation>Referrer</translation>
    </message>
    <message>
        <source>cookie</source>
        <translation>Cookie</translation>
    </message>
    <message>
        <source>FTP login</source>
        <translation>FTP-Benutzername</translation>
    </message>
    <message>
        <source>FTP password</source>
        <translation>FTP-Passwort</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: a response header too large to read</source>
        <translation>Fehler in der Antwort des Servers: ein Antwortkopf, der zu groß zum Lesen ist</translation>
    </message>
    <message>
        <source>Error - out of memory</source>
        <translation>Fehler – zu wenig Arbeitsspeicher</translation>
    </message>
    <message>
        <source>Error - less than one byte a second received for %1 seconds</source>
        <translation>Fehler – seit %1 Sekunden weniger als ein Byte pro Sekunde empfangen</translation>
    </message>
    <message>
        <source>Fail - the cookie is %1 bytes, more than the %2 a request may carry; nothing was sent</source>
        <translation>Fehlgeschlagen – das Cookie ist %1 Byte groß, mehr als die %2, die eine Anfrage tragen darf; nichts wurde gesendet</translation>
    </message>
    <message>
        <source>Fail - the %1 holds a line break or another control character; nothing was sent</source>
        <translation>Fehlgeschlagen – %1 enthält einen Zeilenumbruch oder ein anderes Steuerzeichen; nichts wurde gesendet</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Laufend</translation>
    </message>
    <message>
        <source>Queued</source>
        <translation>Wartend</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>1 task</source>
        <translation>1 Download</translation>
    </message>
    <message>
        <source>A checksum belongs to one file: leave it empty when adding several URLs.</source>
        <translation>Eine Prüfsumme gehört zu einer Datei: Lassen Sie sie leer, wenn Sie mehrere URLs hinzufügen.</translation>
    </message>
    <message>
        <source>Fail - the file does not match its %1 checksum</source>
        <translation>Fehlgeschlagen – die Datei passt nicht zu ihrer %1-Prüfsumme</translation>
    </message>
    <message>
        <source>File has been downloaded - Verified %1</source>
        <translation>Die Datei wurde heruntergeladen – %1 geprüft</translation>
    </message>
    <message>
        <source>The file does not match its %1 checksum: downloading it again from zero</source>
        <translation>Die Datei passt nicht zu ihrer %1-Prüfsumme: Sie wird von vorn neu heruntergeladen</translation>
    </message>
    <message>
        <source>%1 tasks</source>
        <translation>%1 Downloads</translation>
    </message>
    <message>
        <source>The pattern makes more than %1 URLs; Dromo adds at most %2 at once.</source>
        <translation>Das Muster ergibt mehr als %1 URLs; Dromo fügt höchstens %2 auf einmal hinzu.</translation>
    </message>
    <message>
        <source>The pattern makes %1 URLs; Dromo adds at most %2 at once.</source>
        <translation>Das Muster ergibt %1 URLs; Dromo fügt höchstens %2 auf einmal hinzu.</translation>
    </message>
    <message>
        <source>The lines make more than %1 URLs; Dromo adds at most %2 at once.</source>
        <translation>Die Zeilen ergeben mehr als %1 URLs; Dromo fügt höchstens %2 auf einmal hinzu.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an http, https or ftp URL of a file.</source>
        <translation>„%1“ ist keine http-, https- oder ftp-URL einer Datei.</translation>
    </message>
    <message>
        <source>%1 at character %2 is not a range: use numbers (&quot;[1-20]&quot;, &quot;[001-120]&quot;) or letters of one case (&quot;[a-f]&quot;), with an optional step (&quot;[0-100:10]&quot;).</source>
        <translation>%1 an Zeichen %2 ist kein Bereich: Verwenden Sie Zahlen („[1-20]“, „[001-120]“) oder Buchstaben gleicher Schreibung („[a-f]“), wahlweise mit Schrittweite („[0-100:10]“).</translation>
    </message>
    <message>
        <source>The step of %1 at character %2 must be a whole number of at least 1.</source>
        <translation>Die Schrittweite von %1 an Zeichen %2 muss eine ganze Zahl von mindestens 1 sein.</translation>
    </message>
    <message>
        <source>%1 at character %2 has a number too large to count to.</source>
        <translation>%1 an Zeichen %2 enthält eine zu große Zahl.</translation>
    </message>
    <message>
        <source>%1 at character %2 counts backwards; write &quot;%3&quot;.</source>
        <translation>%1 an Zeichen %2 zählt rückwärts; schreiben Sie „%3“.</translation>
    </message>
    <message>
        <source>%1 at character %2 closes nothing; write &quot;%3&quot; for the character itself.</source>
        <translation>%1 an Zeichen %2 schließt nichts; schreiben Sie „%3“ für das Zeichen selbst.</translation>
    </message>
    <message>
        <source>Patterns do not nest: %1 at character %2 is inside %3 at character %4.</source>
        <translation>Muster lassen sich nicht verschachteln: %1 an Zeichen %2 steht in %3 an Zeichen %4.</translation>
    </message>
    <message>
        <source>%1 at character %2 has no closing %3.</source>
        <translation>%1 an Zeichen %2 hat kein schließendes %3.</translation>
    </message>
    <message>
        <source>&quot;{}&quot; at character %1 offers nothing to choose from.</source>
        <translation>„{}“ an Zeichen %1 bietet nichts zur Auswahl.</translation>
    </message>
    <message>
        <source>The checksum cannot be used: unknown checksum algorithm %1 (use sha-256, sha-512, sha-1 or md5).</source>
        <translation>Die Prüfsumme ist nicht verwendbar: unbekanntes Verfahren %1 (verwenden Sie sha-256, sha-512, sha-1 oder md5).</translation>
    </message>
    <message>
        <source>The checksum cannot be used: a checksum of %1 characters fits no algorithm; write it as sha-256=HEX.</source>
        <translation>Die Prüfsumme ist nicht verwendbar: Eine Prüfsumme aus %1 Zeichen passt zu keinem Verfahren; schreiben Sie sie als sha-256=HEX.</translation>
    </message>
    <message>
        <source>The checksum cannot be used: a %1 checksum is %2 hexadecimal digits.</source>
        <translation>Die Prüfsumme ist nicht verwendbar: Eine %1-Prüfsumme hat %2 Hexadezimalziffern.</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>Another task in the list saves to this file; its properties were not changed.</source>
        <translation>Ein anderer Download der Liste speichert in diese Datei; die Eigenschaften wurden nicht geändert.</translation>
    </message>
    <message>
        <source>The Metalink file lists no file.</source>
        <translation>Die Metalink-Datei nennt keine Datei.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: it is empty.</source>
        <translation>Dies ist keine Metalink-Datei: sie ist leer.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: it is not well-formed XML.</source>
        <translation>Dies ist keine Metalink-Datei: sie ist kein wohlgeformtes XML.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: its root element is not &lt;metalink&gt; of Metalink 3 or 4.</source>
        <translation>Dies ist keine Metalink-Datei: ihr Wurzelelement ist nicht &lt;metalink&gt; von Metalink 3 oder 4.</translation>
    </message>
    <message>
        <source>a Metalink file may not declare a document type or entities.</source>
        <translation>eine Metalink-Datei darf weder einen Dokumenttyp noch Entitäten deklarieren.</translation>
    </message>
    <message>
        <source>a file has no name.</source>
        <translation>eine Datei hat keinen Namen.</translation>
    </message>
    <message>
        <source>The Metalink file %1 cannot be read: %2.</source>
        <translation>Die Metalink-Datei %1 kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>The Metalink file is larger than %1 MB.</source>
        <translation>Die Metalink-Datei ist größer als %1 MB.</translation>
    </message>
    <message>
        <source>The Metalink file lists more than %1 files.</source>
        <translation>Die Metalink-Datei nennt mehr als %1 Dateien.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: %1.</source>
        <translation>Dies ist keine Metalink-Datei: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a plain file name; Dromo saves no file outside its folder.</source>
        <translation>„%1“ ist kein einfacher Dateiname; Dromo speichert keine Datei außerhalb ihres Ordners.</translation>
    </message>
    <message>
        <source>the size &quot;%1&quot; is not a number of bytes.</source>
        <translation>die Größe „%1“ ist keine Anzahl von Bytes.</translation>
    </message>
    <message>
        <source>the piece length &quot;%1&quot; is not a number of bytes.</source>
        <translation>die Stücklänge „%1“ ist keine Anzahl von Bytes.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; lists more than %2 URLs.</source>
        <translation>die Datei „%1“ nennt mehr als %2 URLs.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; lists more than %2 pieces.</source>
        <translation>die Datei „%1“ nennt mehr als %2 Stücke.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; has no http, https or ftp URL.</source>
        <translation>die Datei „%1“ hat keine http-, https- oder ftp-URL.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; has %2 piece hashes where its size needs %3.</source>
        <translation>die Datei „%1“ hat %2 Stück-Hashes, ihre Größe verlangt %3.</translation>
    </message>
    <message>
        <source>the %1 hash of &quot;%2&quot; is not %3 hexadecimal digits.</source>
        <translation>der %1-Hash von „%2“ hat nicht %3 Hexadezimalziffern.</translation>
    </message>
    <message>
        <source>Task has failed.</source>
        <translation>Download ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Task is done and its file verified.</source>
        <translation>Download ist abgeschlossen und die Datei geprüft.</translation>
    </message>
    <message>
        <source>Already downloaded</source>
        <translation>Bereits heruntergeladen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Download Again</source>
        <translation>Erneut herunterladen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 already downloaded</source>
        <translation>%1 bereits heruntergeladen</translation>
    </message>
    <message>
        <source>%1 is already in %2.</source>
        <translation>%1 liegt bereits in %2.</translation>
    </message>
    <message>
        <source>%1 (already downloaded)</source>
        <translation>%1 (bereits heruntergeladen)</translation>
    </message>
    <message>
        <source>Fail - the keyring holds this task&apos;s password and did not give it (locked, or not running); unlock it, or type the password in the task&apos;s properties, and start the task again</source>
        <translation>Fehlgeschlagen – der Schlüsselbund enthält das Passwort dieser Aufgabe und hat es nicht herausgegeben (gesperrt oder nicht gestartet); entsperren Sie ihn oder geben Sie das Passwort in den Eigenschaften der Aufgabe ein, und starten Sie die Aufgabe erneut</translation>
    </message>
    <message>
        <source>The URL holds a line break or another control character.</source>
        <translation>Die URL enthält einen Zeilenumbruch oder ein anderes Steuerzeichen.</translation>
    </message>
    <message>
        <source>The task was added, but the task list could not be saved.</source>
        <translation>Der Download wurde hinzugefügt, aber die Download-Liste konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>%1 of %2 URLs were added; the others were refused: %3</source>
        <translation>%1 von %2 URLs wurden hinzugefügt; die übrigen wurden abgelehnt: %3</translation>
    </message>
    <message>
        <source>Shut down the computer when all downloads are done? Dromo counts down 15 seconds first, and you can cancel then.</source>
        <translation>Den Rechner herunterfahren, wenn alle Downloads abgeschlossen sind? Dromo zählt vorher 15 Sekunden herunter; Sie können dann noch abbrechen.</translation>
    </message>
    <message>
        <source>Hang up the Internet connection when all downloads are done? Dromo counts down 15 seconds first, and you can cancel then.</source>
        <translation>Die Internetverbindung trennen, wenn alle Downloads abgeschlossen sind? Dromo zählt vorher 15 Sekunden herunter; Sie können dann noch abbrechen.</translation>
    </message>
    <message>
        <source>The countdown was cancelled. Switch off &quot;Shut Down Computer When Done&quot; and &quot;Hang up When Done&quot; too?</source>
        <translation>Der Countdown wurde abgebrochen. Auch „Nach Abschluss Rechner herunterfahren“ und „Nach Abschluss Verbindung trennen“ ausschalten?</translation>
    </message>
    <message>
        <source>The countdown was cancelled. Switch off &quot;Shut Down Computer When Done&quot; too?</source>
        <translation>Der Countdown wurde abgebrochen. Auch „Nach Abschluss Rechner herunterfahren“ ausschalten?</translation>
    </message>
    <message>
        <source>The countdown was cancelled. Switch off &quot;Hang up When Done&quot; too?</source>
        <translation>Der Countdown wurde abgebrochen. Auch „Nach Abschluss Verbindung trennen“ ausschalten?</translation>
    </message>
    <message>
        <source>%1KB/s</source>
        <translation>%1KB/s</translation>
    </message>
    <message>
        <source>The video variant cannot be used: give best, lowest, a height (720p), a resolution (1280x720) or a bandwidth (2500k).</source>
        <translation>Die Videovariante ist nicht verwendbar: Geben Sie best, lowest, eine Höhe (720p), eine Auflösung (1280x720) oder eine Bandbreite (2500k) an.</translation>
    </message>
    <message>
        <source>Fail - secure connection to the proxy %1 refused: %2</source>
        <translation>Fehlgeschlagen – sichere Verbindung zum Proxy %1 abgelehnt: %2</translation>
    </message>
    <message>
        <source>Fail - %1 offers no TLS and &quot;Require TLS for FTP&quot; is on: the login was not sent</source>
        <translation>Fehlgeschlagen – %1 bietet kein TLS an, und „TLS für FTP verlangen“ ist eingeschaltet: Die Anmeldung wurde nicht gesendet</translation>
    </message>
    <message>
        <source>Error - the recording holds no segment</source>
        <translation>Fehler – die Aufnahme enthält kein Segment</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: the range lies past its end</source>
        <translation>Fehler in der Antwort des Servers: der Bereich liegt hinter dem Ende der Datei</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: its range does not fit the part asked for</source>
        <translation>Fehler in der Antwort des Servers: sein Bereich passt nicht zum angefragten Teil</translation>
    </message>
    <message>
        <source>one variant</source>
        <translation>eine Variante</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>zu wenig Arbeitsspeicher</translation>
    </message>
    <message>
        <source>the recording holds neither video nor sound</source>
        <translation>die Aufnahme enthält weder Video noch Ton</translation>
    </message>
    <message>
        <source>This is not an HLS playlist: it does not begin with #EXTM3U.</source>
        <translation>Dies ist keine HLS-Playlist: sie beginnt nicht mit #EXTM3U.</translation>
    </message>
    <message>
        <source>the playlist mixes variant streams with media segments</source>
        <translation>die Playlist mischt Varianten-Streams mit Mediensegmenten</translation>
    </message>
    <message>
        <source>EXT-X-STREAM-INF without the URI of its stream</source>
        <translation>EXT-X-STREAM-INF ohne die URI seines Streams</translation>
    </message>
    <message>
        <source>the master playlist names no variant stream</source>
        <translation>die Master-Playlist nennt keinen Varianten-Stream</translation>
    </message>
    <message>
        <source>the media playlist has no EXT-X-TARGETDURATION</source>
        <translation>die Medien-Playlist hat kein EXT-X-TARGETDURATION</translation>
    </message>
    <message>
        <source>a variant stream without a readable BANDWIDTH</source>
        <translation>ein Varianten-Stream ohne lesbares BANDWIDTH</translation>
    </message>
    <message>
        <source>a rendition without TYPE or GROUP-ID</source>
        <translation>eine Rendition ohne TYPE oder GROUP-ID</translation>
    </message>
    <message>
        <source>an AES-128 key without a URI</source>
        <translation>ein AES-128-Schlüssel ohne URI</translation>
    </message>
    <message>
        <source>EXT-X-MAP without a URI</source>
        <translation>EXT-X-MAP ohne URI</translation>
    </message>
    <message>
        <source>a byte range without an offset that follows no range of the same resource</source>
        <translation>ein Bytebereich ohne Anfang, der auf keinen Bereich derselben Ressource folgt</translation>
    </message>
    <message>
        <source>a byte range past the largest file</source>
        <translation>ein Bytebereich über die größte mögliche Datei hinaus</translation>
    </message>
    <message>
        <source>the stream changes its initialization section (EXT-X-MAP) on the way, which one file cannot hold</source>
        <translation>der Stream wechselt unterwegs seinen Initialisierungsabschnitt (EXT-X-MAP), was eine einzelne Datei nicht aufnehmen kann</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: it is empty.</source>
        <translation>Dies ist kein DASH-Manifest: es ist leer.</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: it is not well-formed XML.</source>
        <translation>Dies ist kein DASH-Manifest: es ist kein wohlgeformtes XML.</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: its root element is not &lt;MPD&gt;.</source>
        <translation>Dies ist kein DASH-Manifest: sein Wurzelelement ist nicht &lt;MPD&gt;.</translation>
    </message>
    <message>
        <source>a DASH manifest may not declare a document type or entities.</source>
        <translation>ein DASH-Manifest darf weder einen Dokumenttyp noch Entitäten deklarieren.</translation>
    </message>
    <message>
        <source>This is a live DASH stream (type=&quot;dynamic&quot;), which Dromo does not record.</source>
        <translation>Dies ist ein Live-DASH-Stream (type=&quot;dynamic&quot;), den Dromo nicht aufnimmt.</translation>
    </message>
    <message>
        <source>the manifest has no Period</source>
        <translation>das Manifest hat keine Period</translation>
    </message>
    <message>
        <source>the manifest has several periods, which Dromo does not join into one file</source>
        <translation>das Manifest hat mehrere Perioden, die Dromo nicht zu einer Datei zusammenfügt</translation>
    </message>
    <message>
        <source>the manifest has no video or audio representation</source>
        <translation>das Manifest hat keine Video- oder Audio-Representation</translation>
    </message>
    <message>
        <source>the stream is protected by DRM (ContentProtection), which Dromo does not record</source>
        <translation>der Stream ist durch DRM (ContentProtection) geschützt; Dromo nimmt ihn nicht auf</translation>
    </message>
    <message>
        <source>a representation without a readable bandwidth</source>
        <translation>eine Representation ohne lesbare Bandbreite</translation>
    </message>
    <message>
        <source>a SegmentTimeline entry whose t, d or r cannot be read</source>
        <translation>ein SegmentTimeline-Eintrag, dessen t, d oder r nicht lesbar ist</translation>
    </message>
    <message>
        <source>a SegmentTimeline repeats to the end of a period of no known duration</source>
        <translation>eine SegmentTimeline wiederholt bis zum Ende einer Periode ohne bekannte Dauer</translation>
    </message>
    <message>
        <source>a SegmentTemplate without media, or with a timescale or startNumber that cannot be read</source>
        <translation>ein SegmentTemplate ohne media oder mit nicht lesbarem timescale oder startNumber</translation>
    </message>
    <message>
        <source>a SegmentTemplate with neither a SegmentTimeline nor a duration and a known period</source>
        <translation>ein SegmentTemplate weder mit SegmentTimeline noch mit duration und bekannter Periode</translation>
    </message>
    <message>
        <source>a SegmentTemplate that makes no segment</source>
        <translation>ein SegmentTemplate, das kein Segment ergibt</translation>
    </message>
    <message>
        <source>a SegmentList whose timescale or duration cannot be read</source>
        <translation>eine SegmentList, deren timescale oder duration nicht lesbar ist</translation>
    </message>
    <message>
        <source>a SegmentList without a SegmentURL</source>
        <translation>eine SegmentList ohne SegmentURL</translation>
    </message>
    <message>
        <source>a template with an unclosed $</source>
        <translation>eine Vorlage mit nicht geschlossenem $</translation>
    </message>
    <message>
        <source>%1 (segment %2); left out of the recording</source>
        <translation>%1 (Segment %2); in der Aufnahme ausgelassen</translation>
    </message>
    <message>
        <source>%1 (segment %2); trying again in %3 s</source>
        <translation>%1 (Segment %2); neuer Versuch in %3 s</translation>
    </message>
    <message>
        <source>%1 (the initialization section); trying again in %2 s</source>
        <translation>%1 (Initialisierungsabschnitt); neuer Versuch in %2 s</translation>
    </message>
    <message>
        <source>%1 (segment %2)</source>
        <translation>%1 (Segment %2)</translation>
    </message>
    <message>
        <source>%1 (the initialization section)</source>
        <translation>%1 (Initialisierungsabschnitt)</translation>
    </message>
    <message>
        <source>%1 (the key %2)</source>
        <translation>%1 (Schlüssel %2)</translation>
    </message>
    <message>
        <source>%1; trying again</source>
        <translation>%1; neuer Versuch</translation>
    </message>
    <message>
        <source>Segment %1 of %2, %3 of %4</source>
        <translation>Segment %1 von %2, %3 von %4</translation>
    </message>
    <message>
        <source>Recording live: %1 segments, %2</source>
        <translation>Live-Aufnahme: %1 Segmente, %2</translation>
    </message>
    <message>
        <source>Recording ended by the user after %1</source>
        <translation>Aufnahme vom Benutzer nach %1 beendet</translation>
    </message>
    <message>
        <source>Making one file of %1 segments...</source>
        <translation>Eine Datei aus %1 Segmenten wird erstellt …</translation>
    </message>
    <message>
        <source>The live playlist could not be read %1 times: the recording ends here</source>
        <translation>Die Live-Playlist konnte %1-mal nicht gelesen werden: die Aufnahme endet hier</translation>
    </message>
    <message>
        <source>Error - no connection could be made for %1</source>
        <translation>Fehler – für %1 kam keine Verbindung zustande</translation>
    </message>
    <message>
        <source>Error - segment %1 cannot be decrypted with its key %2</source>
        <translation>Fehler – Segment %1 lässt sich mit seinem Schlüssel %2 nicht entschlüsseln</translation>
    </message>
    <message>
        <source>Error - the key %1 is not 16 bytes long</source>
        <translation>Fehler – der Schlüssel %1 ist nicht 16 Bytes lang</translation>
    </message>
    <message>
        <source>Error - %1 is larger than the %2 MB a piece of a stream may have</source>
        <translation>Fehler – %1 ist größer als die %2 MB, die ein Stück eines Streams haben darf</translation>
    </message>
    <message>
        <source>Error - the recording cannot be made into one file: %1</source>
        <translation>Fehler – aus der Aufnahme lässt sich keine einzelne Datei machen: %1</translation>
    </message>
    <message>
        <source>Fail - %1 answers with neither an HLS playlist nor a DASH manifest</source>
        <translation>Fehlgeschlagen – %1 antwortet weder mit einer HLS-Playlist noch mit einem DASH-Manifest</translation>
    </message>
    <message>
        <source>Fail - the playlist cannot be recorded: %1</source>
        <translation>Fehlgeschlagen – die Playlist kann nicht aufgenommen werden: %1</translation>
    </message>
    <message>
        <source>Fail - the playlist %1 cannot be recorded: %2</source>
        <translation>Fehlgeschlagen – die Playlist %1 kann nicht aufgenommen werden: %2</translation>
    </message>
    <message>
        <source>Fail - the playlist %1 names other playlists where its segments should be</source>
        <translation>Fehlgeschlagen – die Playlist %1 nennt andere Playlists, wo ihre Segmente stehen sollten</translation>
    </message>
    <message>
        <source>Fail - the manifest cannot be recorded: %1</source>
        <translation>Fehlgeschlagen – das Manifest kann nicht aufgenommen werden: %1</translation>
    </message>
    <message>
        <source>Fail - the stream&apos;s video or sound cannot go into a file named %1; name it .mkv</source>
        <translation>Fehlgeschlagen – Video oder Ton des Streams passen nicht in eine Datei namens %1; nennen Sie sie .mkv</translation>
    </message>
    <message>
        <source>Error %1 from server</source>
        <translation>Fehler %1 vom Server</translation>
    </message>
    <message>
        <source>The playlist is larger than %1 MB.</source>
        <translation>Die Playlist ist größer als %1 MB.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no http or https URL</source>
        <translation>„%1“ ist keine http- oder https-URL</translation>
    </message>
    <message>
        <source>&quot;%1&quot; follows neither EXTINF nor EXT-X-STREAM-INF</source>
        <translation>„%1“ folgt weder auf EXTINF noch auf EXT-X-STREAM-INF</translation>
    </message>
    <message>
        <source>the attributes of %1 cannot be read</source>
        <translation>die Attribute von %1 sind nicht lesbar</translation>
    </message>
    <message>
        <source>the segment&apos;s duration &quot;%1&quot; cannot be read</source>
        <translation>die Dauer „%1“ des Segments ist nicht lesbar</translation>
    </message>
    <message>
        <source>the target duration &quot;%1&quot; cannot be read</source>
        <translation>die Zieldauer „%1“ ist nicht lesbar</translation>
    </message>
    <message>
        <source>the media sequence &quot;%1&quot; cannot be used</source>
        <translation>die Mediensequenz „%1“ ist nicht verwendbar</translation>
    </message>
    <message>
        <source>the resolution &quot;%1&quot; cannot be read</source>
        <translation>die Auflösung „%1“ ist nicht lesbar</translation>
    </message>
    <message>
        <source>the byte range &quot;%1&quot; cannot be read</source>
        <translation>der Bytebereich „%1“ ist nicht lesbar</translation>
    </message>
    <message>
        <source>the IV &quot;%1&quot; is not 0x and 32 hex digits</source>
        <translation>der IV „%1“ ist nicht 0x mit 32 Hexadezimalziffern</translation>
    </message>
    <message>
        <source>the stream is encrypted with %1 (DRM), which Dromo does not record</source>
        <translation>der Stream ist mit %1 (DRM) verschlüsselt; Dromo nimmt ihn nicht auf</translation>
    </message>
    <message>
        <source>the stream is encrypted with &quot;%1&quot;, which Dromo cannot decrypt</source>
        <translation>der Stream ist mit „%1“ verschlüsselt, das Dromo nicht entschlüsseln kann</translation>
    </message>
    <message>
        <source>the stream&apos;s key is kept by a DRM system (KEYFORMAT &quot;%1&quot;), which Dromo does not record</source>
        <translation>der Schlüssel des Streams liegt bei einem DRM-System (KEYFORMAT „%1“); Dromo nimmt ihn nicht auf</translation>
    </message>
    <message>
        <source>more than %1 variant streams</source>
        <translation>mehr als %1 Varianten-Streams</translation>
    </message>
    <message>
        <source>more than %1 renditions</source>
        <translation>mehr als %1 Renditions</translation>
    </message>
    <message>
        <source>more than %1 keys</source>
        <translation>mehr als %1 Schlüssel</translation>
    </message>
    <message>
        <source>more than %1 EXT-X-MAP tags</source>
        <translation>mehr als %1 EXT-X-MAP-Tags</translation>
    </message>
    <message>
        <source>more than %1 segments</source>
        <translation>mehr als %1 Segmente</translation>
    </message>
    <message>
        <source>The manifest is larger than %1 MB.</source>
        <translation>Das Manifest ist größer als %1 MB.</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: %1.</source>
        <translation>Dies ist kein DASH-Manifest: %1.</translation>
    </message>
    <message>
        <source>the manifest has more than %1 elements</source>
        <translation>das Manifest hat mehr als %1 Elemente</translation>
    </message>
    <message>
        <source>the manifest nests elements more than %1 deep</source>
        <translation>das Manifest verschachtelt Elemente mehr als %1 Ebenen tief</translation>
    </message>
    <message>
        <source>more than %1 representations</source>
        <translation>mehr als %1 Representations</translation>
    </message>
    <message>
        <source>a representation of more than %1 segments</source>
        <translation>eine Representation mit mehr als %1 Segmenten</translation>
    </message>
    <message>
        <source>a SegmentTimeline of more than %1 segments</source>
        <translation>eine SegmentTimeline mit mehr als %1 Segmenten</translation>
    </message>
    <message>
        <source>the range &quot;%1&quot; cannot be read</source>
        <translation>der Bereich „%1“ ist nicht lesbar</translation>
    </message>
    <message>
        <source>a template&apos;s format &quot;%1&quot; cannot be used</source>
        <translation>das Format „%1“ einer Vorlage ist nicht verwendbar</translation>
    </message>
    <message>
        <source>a template&apos;s width &quot;%1&quot; cannot be used</source>
        <translation>die Breite „%1“ einer Vorlage ist nicht verwendbar</translation>
    </message>
    <message>
        <source>a template&apos;s identifier $%1$ is unknown</source>
        <translation>der Bezeichner $%1$ einer Vorlage ist unbekannt</translation>
    </message>
    <message>
        <source>the recording cannot be read: %1</source>
        <translation>die Aufnahme ist nicht lesbar: %1</translation>
    </message>
    <message>
        <source>the recorded media cannot be read: %1</source>
        <translation>die aufgenommenen Medien sind nicht lesbar: %1</translation>
    </message>
    <message>
        <source>the file format &quot;%1&quot; cannot be written: %2</source>
        <translation>das Dateiformat „%1“ lässt sich nicht schreiben: %2</translation>
    </message>
    <message>
        <source>the file cannot be written: %1</source>
        <translation>die Datei lässt sich nicht schreiben: %1</translation>
    </message>
    <message>
        <source>a piece of %1 bytes is too large to keep</source>
        <translation>ein Stück von %1 Bytes ist zu groß zum Aufbewahren</translation>
    </message>
    <message>
        <source>%1 stream: %2, %3 segments already here</source>
        <translation>%1-Stream: %2, %3 Segmente schon vorhanden</translation>
    </message>
    <message>
        <source>%1 stream: %2</source>
        <translation>%1-Stream: %2</translation>
    </message>
    <message>
        <source>%1, sound &quot;%2&quot;</source>
        <translation>%1, Ton „%2“</translation>
    </message>
    <message>
        <source>%1, sound %2 kbit/s</source>
        <translation>%1, Ton %2 kbit/s</translation>
    </message>
    <message>
        <source>video %1 kbit/s</source>
        <translation>Video %1 kbit/s</translation>
    </message>
    <message>
        <source>sound %1 kbit/s</source>
        <translation>Ton %1 kbit/s</translation>
    </message>
    <message>
        <source>Leaving the mirror %1: %2</source>
        <translation>Der Spiegelserver %1 wird verlassen: %2</translation>
    </message>
    <message>
        <source>it brings %1 B/s, another mirror %2 B/s</source>
        <translation>er liefert %1 B/s, ein anderer Spiegelserver %2 B/s</translation>
    </message>
    <message>
        <source>it brings %1 B/s, another connection %2 B/s</source>
        <translation>er liefert %1 B/s, eine andere Verbindung %2 B/s</translation>
    </message>
    <message>
        <source>its bytes %1-%2 differ from those of two other mirrors</source>
        <translation>seine Bytes %1-%2 weichen von denen zweier anderer Spiegelserver ab</translation>
    </message>
    <message>
        <source>its bytes %1-%2 differ from those of %3</source>
        <translation>seine Bytes %1-%2 weichen von denen von %3 ab</translation>
    </message>
    <message>
        <source>piece %1 does not match its digest</source>
        <translation>Stück %1 passt nicht zu seiner Prüfsumme</translation>
    </message>
    <message>
        <source>a file of %1 bytes, not %2</source>
        <translation>eine Datei von %1 Bytes, nicht %2</translation>
    </message>
    <message>
        <source>The address has expired</source>
        <translation>Die Adresse ist abgelaufen</translation>
    </message>
    <message>
        <source>the task has no bytes on disk to compare</source>
        <translation>die Aufgabe hat keine Bytes auf der Festplatte zum Vergleichen</translation>
    </message>
    <message>
        <source>the bytes on disk could not be read</source>
        <translation>die Bytes auf der Festplatte konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>the new address names another length, or none</source>
        <translation>die neue Adresse nennt eine andere Länge oder keine</translation>
    </message>
    <message>
        <source>the new address names another version of the file (ETag)</source>
        <translation>die neue Adresse nennt eine andere Version der Datei (ETag)</translation>
    </message>
    <message>
        <source>the new address names another version of the file (Last-Modified)</source>
        <translation>die neue Adresse nennt eine andere Version der Datei (Last-Modified)</translation>
    </message>
    <message>
        <source>the new address has other bytes before the resume point</source>
        <translation>die neue Adresse hat vor der Fortsetzungsstelle andere Bytes</translation>
    </message>
    <message>
        <source>the task no longer waits for a new address</source>
        <translation>die Aufgabe wartet nicht mehr auf eine neue Adresse</translation>
    </message>
    <message>
        <source>The address is not provably the task&apos;s file (%1); nothing was changed.</source>
        <translation>Die Adresse ist nicht nachweislich die Datei der Aufgabe (%1); nichts wurde geändert.</translation>
    </message>
    <message>
        <source>the new address did not answer with the bytes asked for (%1)</source>
        <translation>die neue Adresse hat nicht mit den erbetenen Bytes geantwortet (%1)</translation>
    </message>
    <message>
        <source>the new address did not answer: %1</source>
        <translation>die neue Adresse hat nicht geantwortet: %1</translation>
    </message>
</context>
<context>
    <name>dromo::CAboutDlg</name>
    <message>
        <source>About Dromo</source>
        <translation>Über Dromo</translation>
    </message>
    <message>
        <source>A download manager for HTTP, HTTPS and FTP.</source>
        <translation>Ein Download-Manager für HTTP, HTTPS und FTP.</translation>
    </message>
    <message>
        <source>Physical memory: %1</source>
        <translation>Arbeitsspeicher: %1</translation>
    </message>
</context>
<context>
    <name>dromo::CAddURL</name>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Save as:</source>
        <translation>Speichern als:</translation>
    </message>
    <message>
        <source>Checksum:</source>
        <translation>Prüfsumme:</translation>
    </message>
    <message>
        <source>optional: sha-256=… or the value sha256sum prints</source>
        <translation>optional: sha-256=… oder der Wert, den sha256sum ausgibt</translation>
    </message>
    <message>
        <source>The file is verified against this digest (SHA-256, SHA-512, SHA-1 or MD5) before it is called downloaded.</source>
        <translation>Die Datei wird mit dieser Prüfsumme (SHA-256, SHA-512, SHA-1 oder MD5) verglichen, bevor sie als heruntergeladen gilt.</translation>
    </message>
    <message>
        <source>Enter a URL first: the other tabs open once the URL and &quot;Save as&quot; are filled in.</source>
        <translation>Geben Sie zuerst eine URL ein: Die anderen Reiter öffnen sich, sobald URL und „Speichern unter“ ausgefüllt sind.</translation>
    </message>
    <message>
        <source>Video variant:</source>
        <translation>Videovariante:</translation>
    </message>
    <message>
        <source>best, or lowest, 720p, 1280x720, 2500k</source>
        <translation>best, oder lowest, 720p, 1280x720, 2500k</translation>
    </message>
    <message>
        <source>For a video stream (an HLS playlist or a DASH manifest): the variant to record. A height, resolution or bandwidth takes the best variant that does not exceed it.</source>
        <translation>Für einen Videostream (eine HLS-Playlist oder ein DASH-Manifest): die aufzuzeichnende Variante. Eine Höhe, Auflösung oder Bandbreite wählt die beste Variante, die sie nicht überschreitet.</translation>
    </message>
</context>
<context>
    <name>dromo::CCFGSch</name>
    <message>
        <source>Schedule</source>
        <translation>Zeitplan</translation>
    </message>
    <message>
        <source>Enable Schedule</source>
        <translation>Zeitplan verwenden</translation>
    </message>
    <message>
        <source>until Finished</source>
        <translation>bis zum Abschluss</translation>
    </message>
    <message>
        <source>Schedule Download</source>
        <translation>Geplanter Download</translation>
    </message>
    <message>
        <source>Start at:</source>
        <translation>Beginn um:</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>mins</source>
        <translation>Min.</translation>
    </message>
    <message>
        <source>If you check it, all the tasks will be scheduled and only run when time is up. It has no effect on running tasks.</source>
        <translation>Wenn aktiviert, werden alle Downloads eingeplant und erst zur festgelegten Zeit gestartet. Laufende Downloads sind davon nicht betroffen.</translation>
    </message>
    <message>
        <source>Set the start time for Dromo to run the task.</source>
        <translation>Legt fest, wann Dromo den Download startet.</translation>
    </message>
    <message>
        <source>If checked, Dromo will run the task until the specified file has been downloaded completely.</source>
        <translation>Wenn aktiviert, lädt Dromo so lange, bis die Datei vollständig heruntergeladen ist.</translation>
    </message>
    <message>
        <source>Set how long Dromo will run the task every time.</source>
        <translation>Legt fest, wie lange Dromo den Download jedes Mal ausführt.</translation>
    </message>
</context>
<context>
    <name>dromo::CCFGSnd</name>
    <message>
        <source>Sounds</source>
        <translation>Klänge</translation>
    </message>
    <message>
        <source>Enable Sound</source>
        <translation>Klänge abspielen</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keiner</translation>
    </message>
    <message>
        <source>Change...</source>
        <translation>Ändern …</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Ereignis</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Klang</translation>
    </message>
    <message>
        <source>File Added</source>
        <translation>Datei hinzugefügt</translation>
    </message>
    <message>
        <source>Start Download</source>
        <translation>Download beginnt</translation>
    </message>
    <message>
        <source>Job Done</source>
        <translation>Download fertig</translation>
    </message>
    <message>
        <source>Encounter Error</source>
        <translation>Fehler aufgetreten</translation>
    </message>
    <message>
        <source>This place provides you the convenience to add sound alert for four events.</source>
        <translation>Hier legen Sie Klänge für vier Ereignisse fest.</translation>
    </message>
    <message>
        <source>All the events are in this list, change each item by double-clicking on it.</source>
        <translation>Alle Ereignisse stehen in dieser Liste. Doppelklicken Sie auf einen Eintrag, um ihn zu ändern.</translation>
    </message>
    <message>
        <source>Play the sound file associated with this event.</source>
        <translation>Spielt die Klangdatei dieses Ereignisses ab.</translation>
    </message>
    <message>
        <source>Remove the sound file associated with this event.</source>
        <translation>Entfernt die Klangdatei dieses Ereignisses.</translation>
    </message>
    <message>
        <source>Change the sound file associated with this event.</source>
        <translation>Ändert die Klangdatei dieses Ereignisses.</translation>
    </message>
    <message>
        <source>Wave Audio Files (*.wav)</source>
        <translation>Wave-Audiodateien (*.wav)</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgAuto</name>
    <message>
        <source>Automation</source>
        <translation>Automatisierung</translation>
    </message>
    <message>
        <source>Capture Clicks in Chromium, Chrome, Edge and Brave</source>
        <translation>Klicks in Chromium, Chrome, Edge und Brave übernehmen</translation>
    </message>
    <message>
        <source>Capture Clicks in Firefox</source>
        <translation>Klicks in Firefox übernehmen</translation>
    </message>
    <message>
        <source>Capture All FTP</source>
        <translation>Alle FTP-Downloads übernehmen</translation>
    </message>
    <message>
        <source>Start with Browser</source>
        <translation>Mit dem Browser starten</translation>
    </message>
    <message>
        <source>Browser Integration</source>
        <translation>Browser-Integration</translation>
    </message>
    <message>
        <source>File Types:</source>
        <translation>Dateitypen:</translation>
    </message>
    <message>
        <source>Capture the download of the files in Chromium-family browsers (Chromium, Chrome, Edge, Brave), whose type is defined in File Types field.</source>
        <translation>Übernimmt in Browsern der Chromium-Familie (Chromium, Chrome, Edge, Brave) den Download von Dateien, deren Typ im Feld „Dateitypen“ steht.</translation>
    </message>
    <message>
        <source>Capture the download of the files in Firefox, whose type is defined in File Types field.</source>
        <translation>Übernimmt in Firefox den Download von Dateien, deren Typ im Feld „Dateitypen“ steht.</translation>
    </message>
    <message>
        <source>Capture all the FTP download.</source>
        <translation>Übernimmt alle FTP-Downloads.</translation>
    </message>
    <message>
        <source>Start Dromo when browser starts up.</source>
        <translation>Startet Dromo zusammen mit dem Browser.</translation>
    </message>
    <message>
        <source>Specify the file extensions that can be captured by Dromo,  delimitated by blank space.</source>
        <translation>Geben Sie die Dateiendungen an, die Dromo übernehmen soll, getrennt durch Leerzeichen.</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <source>When a link to a file of a type in File Types field is copied, Dromo offers to download it: the Add URL dialog, or a notice while its window is hidden.</source>
        <translation>Wird ein Link auf eine Datei eines Typs aus dem Feld „Dateitypen“ kopiert, bietet Dromo den Download an: mit dem Dialog „URL hinzufügen“ oder, solange sein Fenster verborgen ist, mit einer Benachrichtigung.</translation>
    </message>
    <message>
        <source>Offer copied links to files of the types in File Types (none yet) for download</source>
        <translation>Kopierte Links auf Dateien der Typen unter „Dateitypen“ (noch keine) zum Herunterladen anbieten</translation>
    </message>
    <message>
        <source>Offer copied links to files of these types for download: %1</source>
        <translation>Kopierte Links auf Dateien dieser Typen zum Herunterladen anbieten: %1</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgConn</name>
    <message>
        <source>Connection</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Thread limits</source>
        <translation>Grenzen</translation>
    </message>
    <message>
        <source>Max downloading tasks:</source>
        <translation>Gleichzeitige Downloads:</translation>
    </message>
    <message>
        <source>Connections per task:</source>
        <translation>Verbindungen je Download:</translation>
    </message>
    <message>
        <source>Error Control</source>
        <translation>Fehlerbehandlung</translation>
    </message>
    <message>
        <source>Max Error Count:</source>
        <translation>Höchstzahl der Versuche:</translation>
    </message>
    <message>
        <source>Interval between Retries:</source>
        <translation>Pause zwischen Versuchen:</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Time Out</source>
        <translation>Zeitüberschreitung</translation>
    </message>
    <message>
        <source>Max Idle Time:</source>
        <translation>Höchste Wartezeit:</translation>
    </message>
    <message>
        <source>Specify the max amount of the tasks that can run at the same time, which can range from 1 to 12.</source>
        <translation>Legt fest, wie viele Downloads gleichzeitig laufen dürfen (1 bis 12).</translation>
    </message>
    <message>
        <source>Specify how many connections a task may open to download one large file, which can range from 1 to 16. A server that refuses extra connections gets fewer.</source>
        <translation>Legt fest, wie viele Verbindungen ein Download für eine große Datei öffnen darf (1 bis 16). Ein Server, der zusätzliche Verbindungen ablehnt, erhält weniger.</translation>
    </message>
    <message>
        <source>Specify how many times Dromo will retry the tasks that encounter error</source>
        <translation>Legt fest, wie oft Dromo einen fehlgeschlagenen Download erneut versucht</translation>
    </message>
    <message>
        <source>Specify how long Dromo will wait till next try.</source>
        <translation>Legt fest, wie lange Dromo bis zum nächsten Versuch wartet.</translation>
    </message>
    <message>
        <source>Specify the max idle time for each task. It means if a running task doesn&apos;t receive anything for the specified seconds, it will stop and make next try if possible.</source>
        <translation>Legt die höchste Wartezeit je Download fest: Empfängt ein laufender Download so viele Sekunden lang nichts, bricht er ab und versucht es, wenn möglich, erneut.</translation>
    </message>
    <message>
        <source>Control the download speed. In most cases, leave it alone.</source>
        <translation>Begrenzt die Download-Geschwindigkeit. Meist können Sie dies unverändert lassen.</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgGen</name>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Alle löschen</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Save to:</source>
        <translation>Speichern in:</translation>
    </message>
    <message>
        <source>Identity</source>
        <translation>Anmeldung</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>Max ListBox Item:</source>
        <translation>Einträge in der Adressleiste:</translation>
    </message>
    <message>
        <source>Delete task from list after done</source>
        <translation>Abgeschlossene Downloads aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Resume all tasks after running</source>
        <translation>Alle Downloads beim Start fortsetzen</translation>
    </message>
    <message>
        <source>Enable cookie</source>
        <translation>Cookies verwenden</translation>
    </message>
    <message>
        <source>Popup Add URL dialog</source>
        <translation>Dialog „URL hinzufügen“ öffnen</translation>
    </message>
    <message>
        <source>Notify when downloads are done</source>
        <translation>Benachrichtigen, wenn Downloads abgeschlossen sind</translation>
    </message>
    <message>
        <source>Keep the computer awake while downloading</source>
        <translation>Ruhezustand während des Downloads verhindern</translation>
    </message>
    <message>
        <source>Enter the default location to store the downloaded files.</source>
        <translation>Geben Sie den Standardordner für heruntergeladene Dateien ein.</translation>
    </message>
    <message>
        <source>Open the Browse for Folder dialog to select a folder.</source>
        <translation>Öffnet einen Dialog zur Auswahl eines Ordners.</translation>
    </message>
    <message>
        <source>Enter the default user id used in each FTP session.</source>
        <translation>Geben Sie den Standard-Benutzernamen für FTP-Sitzungen ein.</translation>
    </message>
    <message>
        <source>Enter the default password used in each FTP session.</source>
        <translation>Geben Sie das Standard-Passwort für FTP-Sitzungen ein.</translation>
    </message>
    <message>
        <source>Enter the max value for the items in address bar, the acceptable range is 5 to 20.</source>
        <translation>Geben Sie an, wie viele Einträge die Adressleiste höchstens behält (5 bis 20).</translation>
    </message>
    <message>
        <source>Clear all the content in address bar.</source>
        <translation>Löscht alle Einträge der Adressleiste.</translation>
    </message>
    <message>
        <source>Determine whether you want to remove all the successful task from list immediately.</source>
        <translation>Legt fest, ob erfolgreich abgeschlossene Downloads sofort aus der Liste entfernt werden.</translation>
    </message>
    <message>
        <source>Determine whether you want to start all the unfinished tasks once Dromo starts.</source>
        <translation>Legt fest, ob alle unvollständigen Downloads beim Start von Dromo fortgesetzt werden.</translation>
    </message>
    <message>
        <source>Allow Dromo to retrieve proper cookies from IE and send them to remote host.</source>
        <translation>Erlaubt Dromo, die passenden Cookies des Browsers an den Server zu senden.</translation>
    </message>
    <message>
        <source>Determine whether you want the AddURL dialog to popup when Dromo captures the downloading from browsers.</source>
        <translation>Legt fest, ob der Dialog „URL hinzufügen“ erscheint, wenn Dromo einen Download aus dem Browser übernimmt.</translation>
    </message>
    <message>
        <source>Show a desktop notification when downloads finish or fail for good.</source>
        <translation>Zeigt eine Desktop-Benachrichtigung, wenn Downloads abgeschlossen oder endgültig fehlgeschlagen sind.</translation>
    </message>
    <message>
        <source>Keep the computer from suspending when idle while a download runs.</source>
        <translation>Verhindert, dass der Rechner bei Untätigkeit in den Ruhezustand wechselt, solange ein Download läuft.</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgPro</name>
    <message>
        <source>Protocol</source>
        <translation>Protokoll</translation>
    </message>
    <message>
        <source>PASV Mode</source>
        <translation>Passiver Modus (PASV)</translation>
    </message>
    <message>
        <source>FTP</source>
        <translation>FTP</translation>
    </message>
    <message>
        <source>HTTP</source>
        <translation>HTTP</translation>
    </message>
    <message>
        <source>HTTP/1.1</source>
        <translation>HTTP/1.1</translation>
    </message>
    <message>
        <source>HTTP/1.0</source>
        <translation>HTTP/1.0</translation>
    </message>
    <message>
        <source>HTTP/0.9</source>
        <translation>HTTP/0.9</translation>
    </message>
    <message>
        <source>User Agent:</source>
        <translation>User-Agent:</translation>
    </message>
    <message>
        <source>You check it if you encounter problem to use ftp through some Firewall.</source>
        <translation>Aktivieren Sie dies, wenn FTP hinter einer Firewall Probleme bereitet.</translation>
    </message>
    <message>
        <source>Set the HTTP version to 1.1 when Dromo is connecting to remote host.</source>
        <translation>Dromo verwendet HTTP-Version 1.1 für Verbindungen zum Server.</translation>
    </message>
    <message>
        <source>Set the HTTP version to 1.0 when Dromo is connecting to remote host.</source>
        <translation>Dromo verwendet HTTP-Version 1.0 für Verbindungen zum Server.</translation>
    </message>
    <message>
        <source>Set the HTTP version to 0.9 when Dromo is connecting to remote host.</source>
        <translation>Dromo verwendet HTTP-Version 0.9 für Verbindungen zum Server.</translation>
    </message>
    <message>
        <source>Choose an User Agent for Dromo.</source>
        <translation>Wählen Sie den User-Agent, mit dem sich Dromo ausweist.</translation>
    </message>
    <message>
        <source>&amp;Require TLS for FTP</source>
        <translation>TLS für FTP &amp;verlangen</translation>
    </message>
    <message>
        <source>FTP logs in inside TLS whenever the server offers it. Check it to refuse servers that offer no TLS: the task fails instead of sending your name and password in clear.</source>
        <translation>FTP meldet sich innerhalb von TLS an, wann immer der Server es anbietet. Aktivieren Sie dies, um Server ohne TLS abzulehnen: Der Download schlägt dann fehl, statt Ihren Namen und Ihr Passwort im Klartext zu senden.</translation>
    </message>
    <message>
        <source>FTP over TLS (ftps://, or a server that offers TLS) is always passive, whatever this says.</source>
        <translation>FTP über TLS (ftps:// oder ein Server, der TLS anbietet) ist immer passiv, was hier auch eingestellt ist.</translation>
    </message>
    <message>
        <source>HTTP/2</source>
        <translation>HTTP/2</translation>
    </message>
    <message>
        <source>Use HTTP/2 with servers that offer it over HTTPS, and HTTP/1.1 with all others.</source>
        <translation>HTTP/2 mit Servern, die es über HTTPS anbieten, und HTTP/1.1 mit allen anderen verwenden.</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgSys</name>
    <message>
        <source>System</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Allow Multi Instances</source>
        <translation>Mehrere Instanzen erlauben</translation>
    </message>
    <message>
        <source>Enable Log</source>
        <translation>Verlauf aufzeichnen</translation>
    </message>
    <message>
        <source>Auto Save</source>
        <translation>Automatisch speichern</translation>
    </message>
    <message>
        <source>Auto Save per:</source>
        <translation>Speichern alle:</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisierung</translation>
    </message>
    <message>
        <source>Refresh every:</source>
        <translation>Aktualisieren alle:</translation>
    </message>
    <message>
        <source>00 msecs</source>
        <translation>00 ms</translation>
    </message>
    <message>
        <source>Text Color:</source>
        <translation>Textfarbe:</translation>
    </message>
    <message>
        <source>Specify the rule for Dromo to flush the downloaded data from memory to disk. Generally, if you have a fast connection to Internet, it is wise to set a larger value, if not, set it smaller.</source>
        <translation>Legt fest, wann Dromo heruntergeladene Daten aus dem Speicher auf den Datenträger schreibt. Bei einer schnellen Internetverbindung ist ein größerer Wert sinnvoll, sonst ein kleinerer.</translation>
    </message>
    <message>
        <source>Specify how often Dromo will refresh the download progress. The value ranges from 1 to 50, which means 0.1s and 5s.</source>
        <translation>Legt fest, wie oft Dromo den Fortschritt aktualisiert. Der Wert reicht von 1 bis 50, also von 0,1 s bis 5 s.</translation>
    </message>
    <message>
        <source>Set the foreground color of the window.</source>
        <translation>Legt die Textfarbe der Liste fest.</translation>
    </message>
    <message>
        <source>Specify whether more than one Dromo instance will be allowed or not, it is recommended to leave it empty.</source>
        <translation>Legt fest, ob mehr als eine Instanz von Dromo laufen darf. Es wird empfohlen, dies nicht zu aktivieren.</translation>
    </message>
    <message>
        <source>Specify whether trace the download history.</source>
        <translation>Legt fest, ob der Download-Verlauf aufgezeichnet wird.</translation>
    </message>
    <message>
        <source>= %1 ms</source>
        <translation>= %1 ms</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgVirus</name>
    <message>
        <source>Virus Check</source>
        <translation>Virenprüfung</translation>
    </message>
    <message>
        <source>Enable Virus Check</source>
        <translation>Dateien auf Viren prüfen</translation>
    </message>
    <message>
        <source>&lt;&lt;</source>
        <translation>&lt;&lt;</translation>
    </message>
    <message>
        <source>Virus Scanner</source>
        <translation>Virenscanner</translation>
    </message>
    <message>
        <source>Program:</source>
        <translation>Programm:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>Program Files (*)</source>
        <translation>Programmdateien (*)</translation>
    </message>
    <message>
        <source>If checked, all the downloaded files will be scaned by the anti-virus engine specified below.</source>
        <translation>Wenn aktiviert, werden alle heruntergeladenen Dateien mit dem unten angegebenen Virenscanner geprüft.</translation>
    </message>
    <message>
        <source>Specify the location of the anti-virus engine program file.</source>
        <translation>Geben Sie den Pfad zum Programm des Virenscanners an.</translation>
    </message>
    <message>
        <source>Specify the additional command line parameters here.</source>
        <translation>Geben Sie hier zusätzliche Befehlszeilenparameter an.</translation>
    </message>
    <message>
        <source>Display the Open file dialog.</source>
        <translation>Öffnet den Dialog zur Dateiauswahl.</translation>
    </message>
</context>
<context>
    <name>dromo::CConnPage</name>
    <message>
        <source>Connection</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Time Out</source>
        <translation>Zeitüberschreitung</translation>
    </message>
    <message>
        <source>Max Idle Time:</source>
        <translation>Höchste Wartezeit:</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Connections</source>
        <translation>Verbindungen</translation>
    </message>
    <message>
        <source>Connections:</source>
        <translation>Verbindungen:</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgCategory</name>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Category:</source>
        <translation>Kategorie:</translation>
    </message>
    <message>
        <source>Extension:</source>
        <translation>Endung:</translation>
    </message>
    <message>
        <source>Savepath:</source>
        <translation>Speicherort:</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgImport</name>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>&lt;&lt;</source>
        <translation>&lt;&lt;</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Enter the URL and the file first: the other tabs open once both are filled in.</source>
        <translation>Geben Sie zuerst URL und Datei ein: Die anderen Reiter öffnen sich, sobald beide ausgefüllt sind.</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgProxy</name>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Proxy Address</source>
        <translation>Proxy-Adresse</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgSite</name>
    <message>
        <source>Site</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
</context>
<context>
    <name>dromo::CDropBasket</name>
    <message>
        <source>Drop Basket</source>
        <translation>Ablagekorb</translation>
    </message>
</context>
<context>
    <name>dromo::CErrPage</name>
    <message>
        <source>Exception</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Error Control</source>
        <translation>Fehlerbehandlung</translation>
    </message>
    <message>
        <source>Max Error Count:</source>
        <translation>Höchstzahl der Versuche:</translation>
    </message>
    <message>
        <source>Interval between Retries:</source>
        <translation>Pause zwischen Versuchen:</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
</context>
<context>
    <name>dromo::CIDPage</name>
    <message>
        <source>Identity</source>
        <translation>Anmeldung</translation>
    </message>
    <message>
        <source>Enable Authentication</source>
        <translation>Anmeldung verwenden</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
</context>
<context>
    <name>dromo::CLegendDlg</name>
    <message>
        <source>Legend</source>
        <translation>Legende</translation>
    </message>
    <message>
        <source>Icon Lenend</source>
        <translation>Symbole</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>dromo::CMainFrame</name>
    <message>
        <source>0 tasks is running</source>
        <translation>Laufende Downloads: 0</translation>
    </message>
    <message>
        <source>0 tasks is in queue</source>
        <translation>Wartende Downloads: 0</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Nicht gespeichert: %1</translation>
    </message>
    <message>
        <source>Add URL</source>
        <translation>URL hinzufügen</translation>
    </message>
    <message>
        <source>Task Properties</source>
        <translation>Download-Eigenschaften</translation>
    </message>
    <message>
        <source>Import Broken File</source>
        <translation>Abgebrochene Datei importieren</translation>
    </message>
    <message>
        <source>Save Download List</source>
        <translation>Download-Liste speichern</translation>
    </message>
    <message>
        <source>Download List Files (*.lst)</source>
        <translation>Download-Listen (*.lst)</translation>
    </message>
    <message>
        <source>Load Download List</source>
        <translation>Download-Liste laden</translation>
    </message>
    <message>
        <source>There is task running, exit anyway?</source>
        <translation>Es laufen noch Downloads. Trotzdem beenden?</translation>
    </message>
    <message>
        <source>Dromo could not save its settings and task list before ending. %1</source>
        <translation>Dromo konnte Einstellungen und Download-Liste vor dem Beenden nicht speichern. %1</translation>
    </message>
    <message>
        <source>The settings were not saved. %1 Dromo keeps trying.</source>
        <translation>Die Einstellungen wurden nicht gespeichert. %1 Dromo versucht es weiter.</translation>
    </message>
    <message>
        <source>The help pages are not installed.</source>
        <translation>Die Hilfeseiten sind nicht installiert.</translation>
    </message>
    <message>
        <source>Main Window</source>
        <translation>Hauptfenster</translation>
    </message>
    <message>
        <source>Speed Bar</source>
        <translation>Geschwindigkeitsanzeige</translation>
    </message>
    <message>
        <source>Drop Basket</source>
        <translation>Ablagekorb</translation>
    </message>
    <message>
        <source>Add URL...</source>
        <translation>URL hinzufügen …</translation>
    </message>
    <message>
        <source>Stop All</source>
        <translation>Alle anhalten</translation>
    </message>
    <message>
        <source>Options...</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>Über …</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>Dat&amp;ei</translation>
    </message>
    <message>
        <source>&amp;Add URL...</source>
        <translation>URL &amp;hinzufügen …</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Load Broken File...</source>
        <translation>Abgebrochene Datei laden …</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Import a broken file to Dromo</source>
        <translation>Eine abgebrochene Datei in Dromo übernehmen</translation>
    </message>
    <message>
        <source>Import Broken File..</source>
        <translation>Abgebrochene Datei importieren …</translation>
    </message>
    <message>
        <source>Save Download List...</source>
        <translation>Download-Liste speichern …</translation>
    </message>
    <message>
        <source>Load Download List...</source>
        <translation>Download-Liste laden …</translation>
    </message>
    <message>
        <source>View History</source>
        <translation>Verlauf anzeigen</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>Verlauf löschen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Select All in Progress</source>
        <translation>Alle laufenden auswählen</translation>
    </message>
    <message>
        <source>Delete Selected</source>
        <translation>Ausgewählte löschen</translation>
    </message>
    <message>
        <source>Alt+Del</source>
        <translation>Alt+Del</translation>
    </message>
    <message>
        <source>Save Settings Now</source>
        <translation>Einstellungen jetzt speichern</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>Auto Dial-up</source>
        <translation>Automatisch einwählen</translation>
    </message>
    <message>
        <source>Hang up When Done</source>
        <translation>Nach Abschluss Verbindung trennen</translation>
    </message>
    <message>
        <source>Shut Down Computer When Done</source>
        <translation>Nach Abschluss Rechner herunterfahren</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Tool Bar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Address Bar</source>
        <translation>Adressleiste</translation>
    </message>
    <message>
        <source>Wall Paper</source>
        <translation>Hintergrundbild</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>Kein Hintergrundbild</translation>
    </message>
    <message>
        <source>Customize...</source>
        <translation>Anpassen …</translation>
    </message>
    <message>
        <source>Grid Line</source>
        <translation>Gitterlinien</translation>
    </message>
    <message>
        <source>View or change the options</source>
        <translation>Einstellungen anzeigen oder ändern</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>&amp;Hilfethemen</translation>
    </message>
    <message>
        <source>&amp;Legend...</source>
        <translation>&amp;Legende …</translation>
    </message>
    <message>
        <source>&amp;About Dromo...</source>
        <translation>Über &amp;Dromo</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Open Containing Folder</source>
        <translation>Enthaltenden Ordner öffnen</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>Find Tasks</source>
        <translation>Downloads suchen</translation>
    </message>
    <message>
        <source>Metalink Files (*.meta4 *.metalink)</source>
        <translation>Metalink-Dateien (*.meta4 *.metalink)</translation>
    </message>
    <message>
        <source>The filter was cleared to show the new download.</source>
        <translation>Der Filter wurde geleert, damit der neue Download zu sehen ist.</translation>
    </message>
    <message>
        <source>Left out of the list: %1 of the selected tasks. A value of theirs (the save path, the login, the proxy) holds a line break, which a list file cannot carry.</source>
        <translation>Nicht in die Liste aufgenommen: %1 der ausgewählten Downloads. Einer ihrer Werte (Speicherpfad, Anmeldung, Proxy) enthält einen Zeilenumbruch, den eine Download-Liste nicht aufnehmen kann.</translation>
    </message>
    <message>
        <source>Tasks</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>The downloads, one row each: file, state and progress first. Return opens a finished file, Shift+F10 opens the row&apos;s menu.</source>
        <translation>Die Downloads, einer je Zeile: zuerst Datei, Zustand und Fortschritt. Eingabe öffnet eine fertige Datei, Umschalt+F10 das Menü der Zeile.</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Type a URL and press Return to download it (Ctrl+L, F6 or Alt+D).</source>
        <translation>Geben Sie eine URL ein und drücken Sie Eingabe, um sie herunterzuladen (Strg+L, F6 oder Alt+D).</translation>
    </message>
    <message>
        <source>Menu Bar</source>
        <translation>Menüleiste</translation>
    </message>
    <message>
        <source>Status Bar</source>
        <translation>Statusleiste</translation>
    </message>
    <message>
        <source>Switch it off in the Download menu.</source>
        <translation>Im Menü „Herunterladen“ ausschalten.</translation>
    </message>
    <message>
        <source>Switched on: %1</source>
        <translation>Eingeschaltet: %1</translation>
    </message>
    <message>
        <source>No program to show web pages was found. The guide is in %1; open index.html there with a web browser.</source>
        <translation>Es wurde kein Programm zum Anzeigen von Webseiten gefunden. Die Anleitung liegt in %1; öffnen Sie dort index.html mit einem Webbrowser.</translation>
    </message>
    <message>
        <source>Do&amp;wnload</source>
        <translation>Herunter&amp;laden</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Ctrl+T</source>
        <translation>Ctrl+T</translation>
    </message>
    <message>
        <source>Go to the Address Bar</source>
        <translation>Zur Adressleiste</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Alt+D</source>
        <translation>Alt+D</translation>
    </message>
    <message>
        <source>The task %1 continues from its new address.</source>
        <translation>Die Aufgabe %1 wird von ihrer neuen Adresse fortgesetzt.</translation>
    </message>
    <message>
        <source>Click the download of %1 again on its page; the task continues from the new address.</source>
        <translation>Klicken Sie auf der Seite erneut auf den Download von %1; die Aufgabe wird von der neuen Adresse fortgesetzt.</translation>
    </message>
    <message>
        <source>Refresh Address</source>
        <translation>Adresse erneuern</translation>
    </message>
    <message>
        <source>The new address of %1:</source>
        <translation>Die neue Adresse von %1:</translation>
    </message>
    <message>
        <source>Refresh Address…</source>
        <translation>Adresse erneuern…</translation>
    </message>
    <message>
        <source>Re&amp;fresh Address…</source>
        <translation>Adresse &amp;erneuern…</translation>
    </message>
</context>
<context>
    <name>dromo::CMainView</name>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
</context>
<context>
    <name>dromo::CMirrorsPage</name>
    <message>
        <source>Mirrors</source>
        <translation>Spiegelserver</translation>
    </message>
    <message>
        <source>Priority</source>
        <translation>Priorität</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Standort</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
</context>
<context>
    <name>dromo::CMiscPage</name>
    <message>
        <source>Misc</source>
        <translation>Sonstiges</translation>
    </message>
    <message>
        <source>Auto Save</source>
        <translation>Automatisch speichern</translation>
    </message>
    <message>
        <source>Auto Save per:</source>
        <translation>Speichern alle:</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>KB</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisierung</translation>
    </message>
</context>
<context>
    <name>dromo::CPropSheet</name>
    <message>
        <source>Options</source>
        <translation>Einstellungen</translation>
    </message>
</context>
<context>
    <name>dromo::CProxysPage</name>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Enable Proxy</source>
        <translation>Proxy verwenden</translation>
    </message>
    <message>
        <source>Proxy:</source>
        <translation>Proxy:</translation>
    </message>
</context>
<context>
    <name>dromo::CSpeedBar</name>
    <message>
        <source>Speed Bar</source>
        <translation>Geschwindigkeitsanzeige</translation>
    </message>
    <message>
        <source>%1 KB/s</source>
        <translation>%1 KB/s</translation>
    </message>
</context>
<context>
    <name>dromo::CWallpaperDlg</name>
    <message>
        <source>Tile</source>
        <translation>Kacheln</translation>
    </message>
    <message>
        <source>Wall Paper</source>
        <translation>Hintergrundbild</translation>
    </message>
    <message>
        <source>Image in Local Drive or from Internet</source>
        <translation>Bild auf diesem Rechner oder aus dem Internet</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <source>Text Color:</source>
        <translation>Textfarbe:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Image Files (*.bmp *.gif *.jpg *.png)</source>
        <translation>Bilddateien (*.bmp *.gif *.jpg *.png)</translation>
    </message>
</context>
<context>
    <name>dromo::ClipboardOffers</name>
    <message>
        <source>Download the copied link?</source>
        <translation>Den kopierten Link herunterladen?</translation>
    </message>
</context>
<context>
    <name>dromo::DesktopNotifier</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
</context>
<context>
    <name>dromo::LinkListDialog</name>
    <message>
        <source>Download Links</source>
        <translation>Links herunterladen</translation>
    </message>
    <message>
        <source>Choose the links to download:</source>
        <translation>Wählen Sie die herunterzuladenden Links:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>&amp;Keine auswählen</translation>
    </message>
    <message>
        <source>%1 of %2 chosen</source>
        <translation>%1 von %2 ausgewählt</translation>
    </message>
</context>
<context>
    <name>dromo::LogindInhibitor</name>
    <message>
        <source>Downloading files</source>
        <translation>Dateien werden heruntergeladen</translation>
    </message>
</context>
<context>
    <name>dromo::SpeedLimitGroup</name>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>Unlimited</source>
        <translation>Unbegrenzt</translation>
    </message>
    <message>
        <source>KB/s</source>
        <translation>KB/s</translation>
    </message>
</context>
<context>
    <name>dromo::TaskFilterBar</name>
    <message>
        <source>Find tasks by URL, file name or status (Ctrl+F)</source>
        <translation>Downloads nach URL, Dateiname oder Status suchen (Ctrl+F)</translation>
    </message>
    <message>
        <source>Show the tasks in this state</source>
        <translation>Die Downloads in diesem Zustand anzeigen</translation>
    </message>
    <message>
        <source>%1 of %2 shown</source>
        <translation>%1 von %2 angezeigt</translation>
    </message>
    <message>
        <source>Find tasks</source>
        <translation>Downloads suchen</translation>
    </message>
    <message>
        <source>Clear the filter</source>
        <translation>Filter leeren</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
</context>
<context>
    <name>dromo::TaskListModel</name>
    <message>
        <source>Target</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Size(KB)</source>
        <translation>Größe (KB)</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzbar</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Est Time</source>
        <translation>Restzeit</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Versuch</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Datei: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>%1. %2 Progress %3.</source>
        <translation>%1. %2 Fortschritt %3.</translation>
    </message>
</context>
</TS>
