<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>QORNC</name>
    <message>
        <source>QOR Network Client</source>
        <translation>QOR Network Client</translation>
    </message>
    <message>
        <source>Enter information</source>
        <translation>Angaben eingeben</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>Über...</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Ende</translation>
    </message>
    <message>
        <source>Status:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>&amp;Update list</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>Online:</source>
        <translation>Online:</translation>
    </message>
    <message>
        <source>Contact list:</source>
        <translation>Kontaktliste:</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Login</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>&amp;Send message</source>
        <translation>Nachricht &amp;senden</translation>
    </message>
    <message>
        <source>Messages:</source>
        <translation>Verlauf:</translation>
    </message>
    <message>
        <source>&amp;Auto-update list</source>
        <translation>Liste automatisch a&amp;ktualisieren</translation>
    </message>
    <message>
        <source>&amp;Edit list</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Done</source>
        <translation>&amp;Fertig</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>&amp;Show password</source>
        <translation>Passwort &amp;anzeigen</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>Server IP:</source>
        <translation>Server-IP:</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber...</translation>
    </message>
    <message>
        <source>%1
Version %2
by %3</source>
        <translation>%1
Version %2
von %3</translation>
    </message>
    <message>
        <source>the QORNC developers</source>
        <translation>den QORNC-Entwicklern</translation>
    </message>
    <message>
        <source>Contact list</source>
        <translation>Kontaktliste</translation>
    </message>
    <message>
        <source>Online</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>Messages</source>
        <translation>Nachrichten</translation>
    </message>
    <message>
        <source>Message to send</source>
        <translation>Zu sendende Nachricht</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Status line</source>
        <translation>Statuszeile</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Server IP</source>
        <translation>Server-IP</translation>
    </message>
    <message>
        <source>QORNC - Not connected</source>
        <translation>QORNC - Nicht verbunden</translation>
    </message>
    <message>
        <source>QORNC - New message(s)</source>
        <translation>QORNC - Neue Nachricht(en)</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>&amp;Hide</source>
        <translation>&amp;Ausblenden</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>No status messages.</source>
        <translation>Keine Statusmeldungen.</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Verbindung zu %1 wird hergestellt...</translation>
    </message>
    <message>
        <source>Not connected: the attempt was abandoned.</source>
        <translation>Nicht verbunden: Der Versuch wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Can&apos;t connect: Error code %1.</source>
        <translation>Verbindung gescheitert: Fehlercode %1.</translation>
    </message>
    <message>
        <source>Message send error: %1.</source>
        <translation>Fehler beim Senden: %1.</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>Connection to the server lost: Error code %1.</source>
        <translation>Serververbindung verloren: Fehlercode %1.</translation>
    </message>
    <message>
        <source>Refused at login: the name or password may be wrong.</source>
        <translation>Anmeldung abgelehnt: Name oder Passwort wohl falsch.</translation>
    </message>
    <message>
        <source>Can&apos;t log in: the name and password together are too long.</source>
        <translation>Anmeldung unmöglich: Name plus Passwort zu lang.</translation>
    </message>
    <message>
        <source>Can&apos;t listen for messages: Error code %1.</source>
        <translation>Empfang unmöglich: Fehlercode %1.</translation>
    </message>
    <message>
        <source>Refused a delivery from %1: not the server&apos;s address.</source>
        <translation>Zustellung von %1 abgelehnt: nicht vom Server.</translation>
    </message>
    <message>
        <source>Unable to send message to other user.</source>
        <translation>Nachricht konnte nicht gesendet werden.</translation>
    </message>
    <message>
        <source>Not sent: the server has not yet said who is online. Press Enter again in a moment.</source>
        <translation>Nicht gesendet: Noch ist unklar, wer online ist. Gleich erneut Enter drücken.</translation>
    </message>
    <message>
        <source>Not sent: select who to send to in the Online list.</source>
        <translation>Nicht gesendet: Empfänger in der Online-Liste wählen.</translation>
    </message>
    <message>
        <source>Not sent: nobody is online to send to.</source>
        <translation>Nicht gesendet: Niemand ist online.</translation>
    </message>
    <message>
        <source>Not sent: not connected to the server.</source>
        <translation>Nicht gesendet: Keine Verbindung zum Server.</translation>
    </message>
    <message>
        <source>Message full at %1 bytes: the rest was left out.</source>
        <translation>Nachricht voll (%1 Bytes): Der Rest wurde weggelassen.</translation>
    </message>
    <message>
        <source>Contact list full: that change was not made.</source>
        <translation>Kontaktliste voll: Änderung nicht übernommen.</translation>
    </message>
    <message>
        <source>%1 older messages were dropped: too many arrived at once.</source>
        <translation>%1 ältere Nachrichten verworfen: zu viele auf einmal.</translation>
    </message>
    <message>
        <source>info.cfg is not a file that can be read; it is taken as missing.</source>
        <translation>info.cfg ist keine lesbare Datei; sie wird als fehlend behandelt.</translation>
    </message>
    <message>
        <source>list.cfg is not a file that can be read; the contact list starts empty.</source>
        <translation>list.cfg ist keine lesbare Datei; die Kontaktliste beginnt leer.</translation>
    </message>
    <message>
        <source>list.cfg holds more contacts than the list can take; only the first ones were loaded. The file is kept as it is unless you change the list.</source>
        <translation>list.cfg enthält mehr Kontakte, als die Liste aufnehmen kann; nur die ersten wurden geladen. Die Datei bleibt unverändert, solange Sie die Liste nicht ändern.</translation>
    </message>
    <message>
        <source>Error saving file</source>
        <translation>Fehler beim Speichern der Datei</translation>
    </message>
    <message>
        <source>Disconnect before setting options.</source>
        <translation>Trennen Sie die Verbindung, bevor Sie Optionen ändern.</translation>
    </message>
    <message>
        <source>QORNC already runs in the folder %1.</source>
        <translation>QORNC läuft bereits im Ordner %1.</translation>
    </message>
    <message>
        <source>Use a different name.</source>
        <translation>Verwenden Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>Use a different password.</source>
        <translation>Verwenden Sie ein anderes Passwort.</translation>
    </message>
    <message>
        <source>The name and password together are too long: at most %1 characters.</source>
        <translation>Name und Passwort sind zusammen zu lang: höchstens %1 Zeichen.</translation>
    </message>
    <message>
        <source>Specify a server IP.</source>
        <translation>Geben Sie eine Server-IP an.</translation>
    </message>
    <message>
        <source>Server IP is too long.</source>
        <translation>Die Server-IP ist zu lang.</translation>
    </message>
</context>
</TS>
