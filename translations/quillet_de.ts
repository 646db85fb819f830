<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CloudFolderSetup</name>
    <message>
        <source>No folder was chosen.</source>
        <translation>Es wurde kein Ordner gewählt.</translation>
    </message>
    <message>
        <source>The cloud folder “%1” could not be made: %2.</source>
        <translation>Der Cloud-Ordner „%1“ konnte nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>The choice could not be kept: the settings file cannot be written.</source>
        <translation>Die Auswahl konnte nicht gespeichert werden: Die Einstellungsdatei ist nicht beschreibbar.</translation>
    </message>
    <message>
        <source>Cloud folder chosen.</source>
        <translation>Cloud-Ordner gewählt.</translation>
    </message>
    <message>
        <source>Added “*.nosync” to the Syncthing folder&apos;s “%1”, so that each machine keeps its own diary file.</source>
        <translation>„*.nosync“ wurde zu „%1“ des Syncthing-Ordners hinzugefügt, damit jeder Rechner seine eigene Tagebuchdatei behält.</translation>
    </message>
    <message>
        <source>The Syncthing folder&apos;s “%1” already leaves out “*.nosync”.</source>
        <translation>„%1“ des Syncthing-Ordners schließt „*.nosync“ bereits aus.</translation>
    </message>
    <message>
        <source>“*.nosync” could not be added to the Syncthing folder&apos;s “%1” (%2): add the line yourself.</source>
        <translation>„*.nosync“ konnte nicht zu „%1“ des Syncthing-Ordners hinzugefügt werden (%2): Bitte fügen Sie die Zeile selbst hinzu.</translation>
    </message>
    <message>
        <source>QUILLET_CLOUD_ROOT is set (“%1”) and is used while it is.</source>
        <translation>QUILLET_CLOUD_ROOT ist gesetzt („%1“) und wird verwendet, solange es gesetzt ist.</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>es ist ein symbolischer Link</translation>
    </message>
    <message>
        <source>it is larger than a pattern file</source>
        <translation>sie ist größer als eine Musterdatei</translation>
    </message>
</context>
<context>
    <name>ColorPickerController</name>
    <message>
        <source>Gray</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
</context>
<context>
    <name>DiaryImport</name>
    <message>
        <source>This Almanah diary is encrypted (diary.db.encrypted) and cannot be read here. Turn off encryption in Almanah&apos;s preferences, close Almanah, then import its diary.db.</source>
        <translation>Dieses Almanah-Tagebuch ist verschlüsselt (diary.db.encrypted) und kann hier nicht gelesen werden. Schalten Sie die Verschlüsselung in den Einstellungen von Almanah aus, schließen Sie Almanah und importieren Sie dann seine diary.db.</translation>
    </message>
    <message>
        <source>%1 is not an Almanah diary (not an SQLite database)</source>
        <translation>%1 ist kein Almanah-Tagebuch (keine SQLite-Datenbank)</translation>
    </message>
    <message>
        <source>The Almanah diary cannot be opened: %1</source>
        <translation>Das Almanah-Tagebuch kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>The Almanah diary is damaged or not Almanah&apos;s: %1</source>
        <translation>Das Almanah-Tagebuch ist beschädigt oder stammt nicht von Almanah: %1</translation>
    </message>
    <message>
        <source>an entry of %1-%2-%3: no such day</source>
        <translation>ein Eintrag vom %1-%2-%3: diesen Tag gibt es nicht</translation>
    </message>
    <message>
        <source>the entry of %1: its text is damaged</source>
        <translation>der Eintrag vom %1: sein Text ist beschädigt</translation>
    </message>
    <message>
        <source>%1 is not a readable zip file</source>
        <translation>%1 ist keine lesbare ZIP-Datei</translation>
    </message>
    <message>
        <source>%1 holds no Journal.json: it is not a Day One export</source>
        <translation>%1 enthält keine Journal.json: Es ist kein Day-One-Export</translation>
    </message>
    <message>
        <source>Journal.json in %1 is too large</source>
        <translation>Journal.json in %1 ist zu groß</translation>
    </message>
    <message>
        <source>Journal.json in %1 cannot be unpacked</source>
        <translation>Journal.json in %1 kann nicht entpackt werden</translation>
    </message>
    <message>
        <source>Journal.json in %1 is damaged</source>
        <translation>Journal.json in %1 ist beschädigt</translation>
    </message>
    <message>
        <source>Journal.json in %1</source>
        <translation>Journal.json in %1</translation>
    </message>
    <message>
        <source>%1 is not UTF-8 text</source>
        <translation>%1 ist kein UTF-8-Text</translation>
    </message>
    <message>
        <source>entry %1: no creation date</source>
        <translation>Eintrag %1: kein Erstellungsdatum</translation>
    </message>
    <message>
        <source>%1 is not a file that can be read</source>
        <translation>%1 ist keine lesbare Datei</translation>
    </message>
    <message>
        <source>%1 is too large (%2 MB) to be a diary</source>
        <translation>%1 ist zu groß (%L2 MB) für ein Tagebuch</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is not valid JSON (at byte %2: %3)</source>
        <translation>%1 ist kein gültiges JSON (bei Byte %2: %3)</translation>
    </message>
    <message>
        <source>%1 is not a %2 export (no entries)</source>
        <translation>%1 ist kein %2-Export (keine Einträge)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>%1: nothing imported: %2</source>
        <translation>%1: nichts importiert: %2</translation>
    </message>
    <message>
        <source>%1: %2 imported, %3 already there, %4 skipped</source>
        <translation>%1: %L2 importiert, %L3 schon vorhanden, %L4 übersprungen</translation>
    </message>
    <message>
        <source>there is no format &quot;%1&quot;</source>
        <translation>es gibt kein Format „%1“</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 existiert nicht</translation>
    </message>
    <message>
        <source>%1 is none of the diaries that can be imported (Almanah, RedNotebook, jrnl, Day One, a Quillet2 JSON export)</source>
        <translation>%1 ist keines der Tagebücher, die importiert werden können (Almanah, RedNotebook, jrnl, Day One, ein JSON-Export von Quillet2)</translation>
    </message>
    <message>
        <source>the diary is not open</source>
        <translation>das Tagebuch ist nicht geöffnet</translation>
    </message>
    <message>
        <source>the diary could not take the entries (it was closed or could not be saved); %1 came in before that</source>
        <translation>das Tagebuch konnte die Einträge nicht aufnehmen (es wurde geschlossen oder konnte nicht gespeichert werden); %L1 kamen vorher hinein</translation>
    </message>
    <message>
        <source>the diary could not be saved</source>
        <translation>das Tagebuch konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>line %1: a date without words</source>
        <translation>Zeile %1: ein Datum ohne Text</translation>
    </message>
    <message>
        <source>line %1: &quot;%2&quot; is not a date</source>
        <translation>Zeile %1: „%2“ ist kein Datum</translation>
    </message>
    <message>
        <source>%1 is not a jrnl journal: line %2 comes before any date line</source>
        <translation>%1 ist kein jrnl-Journal: Zeile %2 steht vor jeder Datumszeile</translation>
    </message>
    <message>
        <source>%1 holds no jrnl entries</source>
        <translation>%1 enthält keine jrnl-Einträge</translation>
    </message>
    <message>
        <source>entry %1: no date or title</source>
        <translation>Eintrag %1: kein Datum oder Titel</translation>
    </message>
    <message>
        <source>%1 is not a Quillet2 JSON export</source>
        <translation>%1 ist kein JSON-Export von Quillet2</translation>
    </message>
    <message>
        <source>%1 was written by a newer Quillet2 (format version %2); this one reads version %3 and older</source>
        <translation>%1 wurde von einem neueren Quillet2 geschrieben (Formatversion %2); dieses liest Version %3 und ältere</translation>
    </message>
    <message>
        <source>entry %1: no date or text</source>
        <translation>Eintrag %1: kein Datum oder Text</translation>
    </message>
    <message>
        <source>%1 is not a RedNotebook month (no days in it)</source>
        <translation>%1 ist kein RedNotebook-Monat (keine Tage darin)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a day of the month</source>
        <translation>%1: „%2“ ist kein Tag des Monats</translation>
    </message>
    <message>
        <source>%1 is not valid YAML (line %2: %3)</source>
        <translation>%1 ist kein gültiges YAML (Zeile %2: %3)</translation>
    </message>
    <message>
        <source>%1 holds no RedNotebook month files (YYYY-MM.txt)</source>
        <translation>%1 enthält keine RedNotebook-Monatsdateien (JJJJ-MM.txt)</translation>
    </message>
    <message>
        <source>zip archives cannot be read here (%1)</source>
        <translation>ZIP-Archive können hier nicht gelesen werden (%1)</translation>
    </message>
</context>
<context>
    <name>EntryExporter</name>
    <message>
        <source>The export could not be written: there is no cache folder (neither XDG_CACHE_HOME nor HOME is set).</source>
        <translation>Der Export konnte nicht geschrieben werden: Es gibt keinen Cache-Ordner (weder XDG_CACHE_HOME noch HOME ist gesetzt).</translation>
    </message>
    <message>
        <source>The export “%1” could not be written: %2</source>
        <translation>Der Export „%1“ konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The export was written to “%1”, but no program could open it.</source>
        <translation>Der Export wurde nach „%1“ geschrieben, aber kein Programm konnte ihn öffnen.</translation>
    </message>
</context>
<context>
    <name>LostDiaryFileAlert</name>
    <message>
        <source>Save to a New File…</source>
        <translation>In neuer Datei speichern …</translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation>Beenden ohne zu speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>Save to a New File</source>
        <translation>In neuer Datei speichern</translation>
    </message>
    <message>
        <source>Diary (*.sqlite)</source>
        <translation>Tagebuch (*.sqlite)</translation>
    </message>
</context>
<context>
    <name>MessageBar</name>
    <message>
        <source>Message bar</source>
        <translation>Meldungsleiste</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close the message</source>
        <translation>Meldung schließen</translation>
    </message>
</context>
<context>
    <name>OldDataImporter</name>
    <message>
        <source>The old diary could not be imported: %1. It is tried again at the next launch.</source>
        <translation>Das alte Tagebuch konnte nicht importiert werden: %1. Beim nächsten Start wird es erneut versucht.</translation>
    </message>
</context>
<context>
    <name>PasscodeFlow</name>
    <message>
        <source>Enter your Passcode</source>
        <translation>Geben Sie Ihren Code ein</translation>
    </message>
    <message>
        <source>Enter your new Passcode</source>
        <translation>Geben Sie Ihren neuen Code ein</translation>
    </message>
    <message>
        <source>Re-enter your passcode</source>
        <translation>Geben Sie Ihren Code erneut ein</translation>
    </message>
    <message>
        <source>Wrong passcode, try again.</source>
        <translation>Falscher Code, bitte erneut versuchen.</translation>
    </message>
    <message>
        <source>Passcode did not match, try again.</source>
        <translation>Die Codes stimmen nicht überein, bitte erneut versuchen.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Export Entries</source>
        <translation>Einträge exportieren</translation>
    </message>
    <message>
        <source>The entries could not be written to %1: %2</source>
        <translation>Die Einträge konnten nicht nach %1 geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Delete the word before the cursor</source>
        <translation>Wort vor dem Cursor löschen</translation>
    </message>
    <message>
        <source>Delete the word after the cursor</source>
        <translation>Wort nach dem Cursor löschen</translation>
    </message>
    <message>
        <source>Top or end of the entry</source>
        <translation>Anfang oder Ende des Eintrags</translation>
    </message>
    <message>
        <source>Leave the editor for the list</source>
        <translation>Vom Editor zur Liste wechseln</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>(no folder: HOME is not set)</source>
        <translation>(kein Ordner: HOME ist nicht gesetzt)</translation>
    </message>
    <message>
        <source>%1 %2
A diary for your desktop.

License: MIT.

</source>
        <translation>%1 %2
Ein Tagebuch für Ihren Desktop.

Lizenz: MIT.

</translation>
    </message>
    <message>
        <source>Your diary: %1/entries.sqlite
</source>
        <translation>Ihr Tagebuch: %1/entries.sqlite
</translation>
    </message>
    <message>
        <source>Backups beside it: entries.sqlite.bak (kept when the diary moved to the cloud folder), entries.sqlite.v1 (kept before an upgrade of the file)
</source>
        <translation>Sicherungen daneben: entries.sqlite.bak (behalten, als das Tagebuch in den Cloud-Ordner umzog), entries.sqlite.v1 (behalten vor einer Aktualisierung der Datei)
</translation>
    </message>
    <message>
        <source>Daily copies: %1/backups/ (the last 7 days, then one a week for 4 weeks)
</source>
        <translation>Tägliche Kopien: %1/backups/ (die letzten 7 Tage, danach eine pro Woche für 4 Wochen)
</translation>
    </message>
    <message>
        <source>Cloud container: %1
</source>
        <translation>Cloud-Container: %1
</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>%1 Help</source>
        <translation>%1-Hilfe</translation>
    </message>
    <message>
        <source>User guide</source>
        <translation>Benutzerhandbuch</translation>
    </message>
    <message>
        <source>Website: %1
</source>
        <translation>Website: %1
</translation>
    </message>
    <message>
        <source>Authors: the Quillet developers

</source>
        <translation>Autoren: die Quillet-Entwickler

</translation>
    </message>
</context>
<context>
    <name>SpellingMenu</name>
    <message>
        <source>Check Spelling While Typing</source>
        <translation>Rechtschreibung während der Eingabe prüfen</translation>
    </message>
    <message>
        <source>No Dictionaries Installed</source>
        <translation>Keine Wörterbücher installiert</translation>
    </message>
</context>
<context>
    <name>StoreLocations</name>
    <message>
        <source>Alert</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Can&apos;t find application support folder</source>
        <translation>Der Ordner für Anwendungsdaten wurde nicht gefunden</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Expected a folder to store application data, found a file (%1).</source>
        <translation>Erwartet wurde ein Ordner für Anwendungsdaten, gefunden wurde eine Datei (%1).</translation>
    </message>
    <message>
        <source>The folder “%1” could not be created.</source>
        <translation>Der Ordner „%1“ konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The folder “%1” could not be read: %2.</source>
        <translation>Der Ordner „%1“ konnte nicht gelesen werden: %2.</translation>
    </message>
</context>
<context>
    <name>quillet::AppDelegate</name>
    <message>
        <source>Everything the diary writes to the cloud folder is encrypted under a passphrase. Choose it now; each of your other machines asks for it once. It cannot be recovered.</source>
        <translation>Alles, was das Tagebuch in den Cloud-Ordner schreibt, wird mit einer Passphrase verschlüsselt. Wählen Sie sie jetzt; jeder Ihrer anderen Rechner fragt einmal danach. Sie kann nicht wiederhergestellt werden.</translation>
    </message>
    <message>
        <source>The cloud folder is sealed. Enter the passphrase chosen for it on your other machine.</source>
        <translation>Der Cloud-Ordner ist versiegelt. Geben Sie die Passphrase ein, die auf Ihrem anderen Rechner dafür gewählt wurde.</translation>
    </message>
    <message>
        <source>Enter the cloud folder&apos;s passphrase to exchange changes with your other machines. Without it this diary stays as it is.</source>
        <translation>Geben Sie die Passphrase des Cloud-Ordners ein, um Änderungen mit Ihren anderen Rechnern auszutauschen. Ohne sie bleibt dieses Tagebuch, wie es ist.</translation>
    </message>
</context>
<context>
    <name>quillet::CloudSettingView</name>
    <message>
        <source>Cloud Folder</source>
        <translation>Cloud-Ordner</translation>
    </message>
    <message>
        <source>Your diary can live in a folder that a file-sync service keeps in step between your computers.</source>
        <translation>Ihr Tagebuch kann in einem Ordner liegen, den ein Synchronisationsdienst zwischen Ihren Rechnern abgleicht.</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Choose a folder that your sync service keeps in step (Syncthing, Nextcloud, ...).</source>
        <translation>Wählen Sie einen Ordner, den Ihr Synchronisationsdienst abgleicht (Syncthing, Nextcloud, ...).</translation>
    </message>
    <message>
        <source>Choose Folder…</source>
        <translation>Ordner wählen …</translation>
    </message>
    <message>
        <source>Stop Using</source>
        <translation>Nicht mehr verwenden</translation>
    </message>
    <message>
        <source>Last log written:</source>
        <translation>Letztes geschriebenes Protokoll:</translation>
    </message>
    <message>
        <source>Last log applied:</source>
        <translation>Letztes übernommenes Protokoll:</translation>
    </message>
    <message>
        <source>Diaries writing here:</source>
        <translation>Tagebücher, die hier schreiben:</translation>
    </message>
    <message>
        <source>Moving the diary</source>
        <translation>Das Tagebuch verschieben</translation>
    </message>
    <message>
        <source>Use “Move Diary to Cloud Folder” in the Migration pane.</source>
        <translation>Verwenden Sie „Tagebuch in den Cloud-Ordner verschieben“ im Bereich Migration.</translation>
    </message>
    <message>
        <source>No folder: the home folder is not known.</source>
        <translation>Kein Ordner: Der Benutzerordner ist nicht bekannt.</translation>
    </message>
    <message>
        <source>✓ Signed in: the cloud folder is available.</source>
        <translation>✓ Angemeldet: Der Cloud-Ordner ist verfügbar.</translation>
    </message>
    <message>
        <source>Signed out: the cloud folder does not exist yet.</source>
        <translation>Abgemeldet: Der Cloud-Ordner existiert noch nicht.</translation>
    </message>
    <message>
        <source>✓ Sealed: what goes into the cloud folder is encrypted under your passphrase; nothing in it is plain text.</source>
        <translation>✓ Versiegelt: Was in den Cloud-Ordner geht, wird mit Ihrer Passphrase verschlüsselt; nichts darin ist Klartext.</translation>
    </message>
    <message numerus="yes">
        <source>✓ Sealed. %n file(s) from before sealing are still plain text: each diary seals its own once it has the passphrase.</source>
        <translation>
            <numerusform>✓ Versiegelt. %Ln Datei von vor dem Versiegeln ist noch Klartext: Jedes Tagebuch versiegelt seine eigenen, sobald es die Passphrase hat.</numerusform>
            <numerusform>✓ Versiegelt. %Ln Dateien von vor dem Versiegeln sind noch Klartext: Jedes Tagebuch versiegelt seine eigenen, sobald es die Passphrase hat.</numerusform>
        </translation>
    </message>
    <message>
        <source>Change Passphrase…</source>
        <translation>Passphrase ändern …</translation>
    </message>
    <message>
        <source>No diary key yet: choose a passphrase to seal the cloud folder. Until then nothing is exchanged with your other machines.</source>
        <translation>Noch kein Tagebuchschlüssel: Wählen Sie eine Passphrase, um den Cloud-Ordner zu versiegeln. Bis dahin wird nichts mit Ihren anderen Rechnern ausgetauscht.</translation>
    </message>
    <message>
        <source>Choose Passphrase…</source>
        <translation>Passphrase wählen …</translation>
    </message>
    <message>
        <source>That passphrase does not open the diary key. Nothing is exchanged until the right one is entered.</source>
        <translation>Diese Passphrase öffnet den Tagebuchschlüssel nicht. Bis die richtige eingegeben ist, wird nichts ausgetauscht.</translation>
    </message>
    <message>
        <source>The diary&apos;s passphrase (chosen on the machine that moved it to the cloud folder) is needed on this machine. Until then nothing is exchanged; this diary stays as it is.</source>
        <translation>Die Passphrase des Tagebuchs (gewählt auf dem Rechner, der es in den Cloud-Ordner verschoben hat) wird auf diesem Rechner benötigt. Bis dahin wird nichts ausgetauscht; dieses Tagebuch bleibt, wie es ist.</translation>
    </message>
    <message>
        <source>Enter Passphrase…</source>
        <translation>Passphrase eingeben …</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>None yet</source>
        <translation>Noch keine</translation>
    </message>
    <message>
        <source>This computer&apos;s clock runs about %1 minutes ahead of another one&apos;s: set it right (for example with “timedatectl set-ntp true”).</source>
        <translation>Die Uhr dieses Rechners geht etwa %1 Minuten vor gegenüber der eines anderen: Stellen Sie sie richtig (zum Beispiel mit „timedatectl set-ntp true“).</translation>
    </message>
    <message>
        <source>The clock of another computer writing here runs about %1 minutes ahead of this one&apos;s: its changes win over later ones until it is set right.</source>
        <translation>Die Uhr eines anderen Rechners, der hier schreibt, geht etwa %1 Minuten vor gegenüber dieser: Seine Änderungen setzen sich gegen spätere durch, bis sie richtig gestellt ist.</translation>
    </message>
    <message>
        <source>Choose the Cloud Folder</source>
        <translation>Cloud-Ordner wählen</translation>
    </message>
    <message>
        <source>The chosen folder is forgotten; its files stay where they are.</source>
        <translation>Der gewählte Ordner wird vergessen; seine Dateien bleiben, wo sie sind.</translation>
    </message>
    <message>
        <source>The settings file cannot be written: the folder is still chosen.</source>
        <translation>Die Einstellungsdatei ist nicht beschreibbar: Der Ordner bleibt gewählt.</translation>
    </message>
    <message>
        <source>The new passphrase wraps the diary key; every machine that already has the key keeps it. Machines that ask later need the new one.</source>
        <translation>Die neue Passphrase schützt den Tagebuchschlüssel; jeder Rechner, der den Schlüssel schon hat, behält ihn. Rechner, die später fragen, brauchen die neue.</translation>
    </message>
    <message>
        <source>The passphrase could not be changed: %1</source>
        <translation>Die Passphrase konnte nicht geändert werden: %1</translation>
    </message>
    <message>
        <source>Choose the passphrase that seals the cloud folder. Every other machine asks for it once.</source>
        <translation>Wählen Sie die Passphrase, die den Cloud-Ordner versiegelt. Jeder andere Rechner fragt einmal danach.</translation>
    </message>
    <message>
        <source>Enter the passphrase chosen for this diary&apos;s cloud folder.</source>
        <translation>Geben Sie die Passphrase ein, die für den Cloud-Ordner dieses Tagebuchs gewählt wurde.</translation>
    </message>
</context>
<context>
    <name>quillet::ColorTagSelectView</name>
    <message>
        <source>All colors</source>
        <translation>Alle Farben</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
</context>
<context>
    <name>quillet::DiaryStore</name>
    <message>
        <source>%1 What you type stays in the window and is saved at the next pause.</source>
        <translation>%1 Was Sie tippen, bleibt im Fenster und wird bei der nächsten Pause gespeichert.</translation>
    </message>
    <message>
        <source>The cloud folder has no place for the diary.</source>
        <translation>Im Cloud-Ordner ist kein Platz für das Tagebuch.</translation>
    </message>
    <message>
        <source>There is already a diary in the cloud folder (“%1”); nothing was moved.</source>
        <translation>Im Cloud-Ordner liegt bereits ein Tagebuch („%1“); nichts wurde verschoben.</translation>
    </message>
    <message>
        <source>The diary is not open.</source>
        <translation>Das Tagebuch ist nicht geöffnet.</translation>
    </message>
</context>
<context>
    <name>quillet::EditTextView</name>
    <message>
        <source>Font</source>
        <translation>Schrift</translation>
    </message>
</context>
<context>
    <name>quillet::EntryRowDelegate</name>
    <message>
        <source>New entry</source>
        <translation>Neuer Eintrag</translation>
    </message>
</context>
<context>
    <name>quillet::ImportDialog</name>
    <message>
        <source>Import Entries</source>
        <translation>Einträge importieren</translation>
    </message>
    <message>
        <source>A diary file or folder</source>
        <translation>Eine Tagebuchdatei oder ein Ordner</translation>
    </message>
    <message>
        <source>&amp;File…</source>
        <translation>&amp;Datei …</translation>
    </message>
    <message>
        <source>F&amp;older…</source>
        <translation>&amp;Ordner …</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Quelle:</translation>
    </message>
    <message>
        <source>Detect from the content</source>
        <translation>Am Inhalt erkennen</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importieren</translation>
    </message>
    <message>
        <source>Import a Diary File</source>
        <translation>Tagebuchdatei importieren</translation>
    </message>
    <message>
        <source>Import a Diary Folder</source>
        <translation>Tagebuchordner importieren</translation>
    </message>
    <message>
        <source>Detected: %1</source>
        <translation>Erkannt: %1</translation>
    </message>
    <message>
        <source>Not a diary that can be imported; choose the format if it is one.</source>
        <translation>Kein Tagebuch, das importiert werden kann; wählen Sie das Format, falls es doch eines ist.</translation>
    </message>
    <message>
        <source>Another import is under way; try again when it has ended.</source>
        <translation>Ein anderer Import läuft gerade; versuchen Sie es erneut, wenn er beendet ist.</translation>
    </message>
</context>
<context>
    <name>quillet::JournalControls</name>
    <message>
        <source>Type here to begin a new entry.</source>
        <translation>Tippen Sie hier, um einen neuen Eintrag zu beginnen.</translation>
    </message>
    <message>
        <source>red</source>
        <translation>rot</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>orange</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>gelb</translation>
    </message>
    <message>
        <source>green</source>
        <translation>grün</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>blau</translation>
    </message>
    <message>
        <source>No entry contains “%1”.</source>
        <translation>Kein Eintrag enthält „%1“.</translation>
    </message>
    <message>
        <source>No %1 entry contains “%2”.</source>
        <translation>Kein Eintrag mit der Farbe %1 enthält „%2“.</translation>
    </message>
    <message>
        <source>No entries in %1.

Press %2 to write one.</source>
        <translation>Keine Einträge im %1.

Drücken Sie %2, um einen zu schreiben.</translation>
    </message>
    <message>
        <source>No %1 entries in %2.</source>
        <translation>Keine Einträge mit der Farbe %1 im %2.</translation>
    </message>
</context>
<context>
    <name>quillet::JournalPopovers</name>
    <message>
        <source>Move this entry to the trash?</source>
        <translation>Diesen Eintrag in den Papierkorb verschieben?</translation>
    </message>
    <message>
        <source>It is removed from the diary at once.</source>
        <translation>Er wird sofort aus dem Tagebuch entfernt.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>In den Papierkorb</translation>
    </message>
    <message>
        <source>Color tag of this entry</source>
        <translation>Farbmarkierung dieses Eintrags</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>quillet::MainWindow</name>
    <message>
        <source>&amp;New Entry</source>
        <translation>&amp;Neuer Eintrag</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Export to Text…</source>
        <translation>Als &amp;Text exportieren …</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>&amp;Importieren …</translation>
    </message>
    <message>
        <source>E&amp;xport…</source>
        <translation>E&amp;xportieren …</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken …</translation>
    </message>
    <message>
        <source>Se&amp;ttings…</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>Fenster s&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Trash Entry…</source>
        <translation>Eintrag in den &amp;Papierkorb …</translation>
    </message>
    <message>
        <source>Color &amp;Tag…</source>
        <translation>&amp;Farbmarkierung …</translation>
    </message>
    <message>
        <source>&amp;Date and Time…</source>
        <translation>&amp;Datum und Uhrzeit …</translation>
    </message>
    <message>
        <source>&amp;Today</source>
        <translation>&amp;Heute</translation>
    </message>
    <message>
        <source>&amp;Previous Month</source>
        <translation>&amp;Vorheriger Monat</translation>
    </message>
    <message>
        <source>&amp;Next Month</source>
        <translation>&amp;Nächster Monat</translation>
    </message>
    <message>
        <source>Previous &amp;Year</source>
        <translation>Vorheriges &amp;Jahr</translation>
    </message>
    <message>
        <source>Next Y&amp;ear</source>
        <translation>Nächstes J&amp;ahr</translation>
    </message>
    <message>
        <source>&amp;Font…</source>
        <translation>&amp;Schrift …</translation>
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
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Alles auswählen</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>&amp;Tastenkürzel</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Show &amp;Toolbar</source>
        <translation>&amp;Werkzeugleiste anzeigen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>E&amp;ntry</source>
        <translation>E&amp;intrag</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>F&amp;ormat</source>
        <translation>F&amp;ormat</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Papierkorb</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <source>Search all months</source>
        <translation>Alle Monate durchsuchen</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Tagebuch</translation>
    </message>
    <message>
        <source>Months and entries</source>
        <translation>Monate und Einträge</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Color filter</source>
        <translation>Farbfilter</translation>
    </message>
    <message>
        <source>Entries</source>
        <translation>Einträge</translation>
    </message>
    <message>
        <source>Entry text</source>
        <translation>Text des Eintrags</translation>
    </message>
    <message>
        <source>Font size</source>
        <translation>Schriftgröße</translation>
    </message>
    <message>
        <source>Lists only the entries of one color</source>
        <translation>Zeigt nur die Einträge einer Farbe</translation>
    </message>
    <message>
        <source>The size of the entry text</source>
        <translation>Die Größe des Eintragstexts</translation>
    </message>
    <message>
        <source>Keep your diary in the cloud folder, so that your other computers see the same entries?</source>
        <translation>Ihr Tagebuch im Cloud-Ordner aufbewahren, damit Ihre anderen Rechner dieselben Einträge sehen?</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message>
        <source>Use the Cloud Folder</source>
        <translation>Cloud-Ordner verwenden</translation>
    </message>
    <message>
        <source>Your diary lives in the cloud folder, which cannot be reached now. Make the cloud folder available again and reopen Quillet.</source>
        <translation>Ihr Tagebuch liegt im Cloud-Ordner, der gerade nicht erreichbar ist. Machen Sie den Cloud-Ordner wieder verfügbar und öffnen Sie Quillet erneut.</translation>
    </message>
    <message>
        <source>&amp;Spelling</source>
        <translation>&amp;Rechtschreibung</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>&amp;Nächster Treffer</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>&amp;Voriger Treffer</translation>
    </message>
    <message>
        <source>%1 &amp;Help</source>
        <translation>%1-&amp;Hilfe</translation>
    </message>
</context>
<context>
    <name>quillet::MigrateSettingView</name>
    <message>
        <source>in progress...0%</source>
        <translation>läuft ... 0&#xa0;%</translation>
    </message>
    <message>
        <source>Done Successfully</source>
        <translation>Erfolgreich abgeschlossen</translation>
    </message>
    <message>
        <source>Finished With Error</source>
        <translation>Mit Fehler beendet</translation>
    </message>
    <message>
        <source>Migration</source>
        <translation>Migration</translation>
    </message>
    <message>
        <source>Bring in entries from an earlier diary and tidy up the one you have.</source>
        <translation>Übernehmen Sie Einträge aus einem früheren Tagebuch und räumen Sie Ihr jetziges auf.</translation>
    </message>
    <message>
        <source>Import Old Data</source>
        <translation>Alte Daten importieren</translation>
    </message>
    <message>
        <source>Copies the entries of the previous Quillet diary into this one.</source>
        <translation>Kopiert die Einträge des früheren Quillet-Tagebuchs in dieses.</translation>
    </message>
    <message>
        <source>Remove Duplicates</source>
        <translation>Duplikate entfernen</translation>
    </message>
    <message>
        <source>Keeps one copy of each entry that was brought in more than once.</source>
        <translation>Behält eine Kopie jedes Eintrags, der mehr als einmal übernommen wurde.</translation>
    </message>
    <message>
        <source>Move Diary to Cloud Folder</source>
        <translation>Tagebuch in den Cloud-Ordner verschieben</translation>
    </message>
    <message>
        <source>Moves this diary into the cloud folder, so that your other computers share it.</source>
        <translation>Verschiebt dieses Tagebuch in den Cloud-Ordner, damit Ihre anderen Rechner es teilen.</translation>
    </message>
    <message>
        <source>in progress...%1%</source>
        <translation>läuft ... %1&#xa0;%</translation>
    </message>
</context>
<context>
    <name>quillet::PasscodeView</name>
    <message>
        <source>Number Only</source>
        <translation>Nur Ziffern</translation>
    </message>
    <message>
        <source>Your diary is locked</source>
        <translation>Ihr Tagebuch ist gesperrt</translation>
    </message>
    <message>
        <source>Passcode Lock</source>
        <translation>Code-Sperre</translation>
    </message>
    <message>
        <source>Ask for a four-digit passcode once each time the diary opens.</source>
        <translation>Bei jedem Öffnen des Tagebuchs einmal nach einem vierstelligen Code fragen.</translation>
    </message>
    <message>
        <source>The passcode lock is off.</source>
        <translation>Die Code-Sperre ist aus.</translation>
    </message>
    <message>
        <source>Anyone who opens this diary can read it. Turn the lock on to ask for a passcode first.</source>
        <translation>Jeder, der dieses Tagebuch öffnet, kann es lesen. Schalten Sie die Sperre ein, damit zuerst nach einem Code gefragt wird.</translation>
    </message>
    <message>
        <source>Turn Passcode On</source>
        <translation>Code einschalten</translation>
    </message>
    <message>
        <source>The passcode lock is on.</source>
        <translation>Die Code-Sperre ist an.</translation>
    </message>
    <message>
        <source>The diary asks for the passcode when it opens and stays unlocked until you quit.</source>
        <translation>Das Tagebuch fragt beim Öffnen nach dem Code und bleibt entsperrt, bis Sie es beenden.</translation>
    </message>
    <message>
        <source>Turn Passcode Off</source>
        <translation>Code ausschalten</translation>
    </message>
    <message>
        <source>Change Passcode</source>
        <translation>Code ändern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>quillet::PassphraseDialog</name>
    <message>
        <source>Choose a Passphrase</source>
        <translation>Passphrase wählen</translation>
    </message>
    <message>
        <source>Enter the Passphrase</source>
        <translation>Passphrase eingeben</translation>
    </message>
    <message>
        <source>Passphrase:</source>
        <translation>Passphrase:</translation>
    </message>
    <message>
        <source>Again:</source>
        <translation>Wiederholen:</translation>
    </message>
    <message>
        <source>Weak: use at least four words or sixteen characters.</source>
        <translation>Schwach: Verwenden Sie mindestens vier Wörter oder sechzehn Zeichen.</translation>
    </message>
    <message>
        <source>Fair: a few more words would make it strong.</source>
        <translation>Mittel: Ein paar Wörter mehr würden sie stark machen.</translation>
    </message>
    <message>
        <source>Strong.</source>
        <translation>Stark.</translation>
    </message>
    <message>
        <source>It cannot be recovered: without it the cloud folder cannot be read.</source>
        <translation>Sie kann nicht wiederhergestellt werden: Ohne sie kann der Cloud-Ordner nicht gelesen werden.</translation>
    </message>
    <message>
        <source>A few unrelated words are easy to remember and hard to guess.</source>
        <translation>Ein paar Wörter ohne Zusammenhang sind leicht zu merken und schwer zu erraten.</translation>
    </message>
    <message>
        <source>The two passphrases differ.</source>
        <translation>Die beiden Passphrasen unterscheiden sich.</translation>
    </message>
</context>
<context>
    <name>quillet::SettingWindowController</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Passcode</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Cloud</translation>
    </message>
    <message>
        <source>Migration</source>
        <translation>Migration</translation>
    </message>
    <message>
        <source>Settings — %1</source>
        <translation>Einstellungen — %1</translation>
    </message>
</context>
<context>
    <name>quillet::SpellMarker</name>
    <message>
        <source>No Guesses Found</source>
        <translation>Keine Vorschläge gefunden</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Zum Wörterbuch hinzufügen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
</context>
<context>
    <name>quillet::StatusLabel</name>
    <message>
        <source>Import Old Data...0%</source>
        <translation>Alte Daten importieren ... 0&#xa0;%</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Import %1</source>
        <translation>Import %1</translation>
    </message>
    <message>
        <source>%1...%2%</source>
        <translation>%1 ... %2&#xa0;%</translation>
    </message>
    <message>
        <source>Import Old Data...%1%</source>
        <translation>Alte Daten importieren ... %1&#xa0;%</translation>
    </message>
</context>
</TS>
