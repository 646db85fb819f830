<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>CloudFolderSetup</name>
    <message>
        <source>No folder was chosen.</source>
        <translation>No se eligió ninguna carpeta.</translation>
    </message>
    <message>
        <source>The cloud folder “%1” could not be made: %2.</source>
        <translation>No se pudo crear la carpeta en la nube «%1»: %2.</translation>
    </message>
    <message>
        <source>The choice could not be kept: the settings file cannot be written.</source>
        <translation>No se pudo guardar la elección: no se puede escribir el archivo de configuración.</translation>
    </message>
    <message>
        <source>Cloud folder chosen.</source>
        <translation>Carpeta en la nube elegida.</translation>
    </message>
    <message>
        <source>Added “*.nosync” to the Syncthing folder&apos;s “%1”, so that each machine keeps its own diary file.</source>
        <translation>Se añadió «*.nosync» al «%1» de la carpeta de Syncthing, para que cada equipo conserve su propio archivo del diario.</translation>
    </message>
    <message>
        <source>The Syncthing folder&apos;s “%1” already leaves out “*.nosync”.</source>
        <translation>El «%1» de la carpeta de Syncthing ya excluye «*.nosync».</translation>
    </message>
    <message>
        <source>“*.nosync” could not be added to the Syncthing folder&apos;s “%1” (%2): add the line yourself.</source>
        <translation>No se pudo añadir «*.nosync» al «%1» de la carpeta de Syncthing (%2): añada la línea usted mismo.</translation>
    </message>
    <message>
        <source>QUILLET_CLOUD_ROOT is set (“%1”) and is used while it is.</source>
        <translation>QUILLET_CLOUD_ROOT está definida («%1») y se usa mientras lo esté.</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>es un enlace simbólico</translation>
    </message>
    <message>
        <source>it is larger than a pattern file</source>
        <translation>es más grande que un archivo de patrones</translation>
    </message>
</context>
<context>
    <name>ColorPickerController</name>
    <message>
        <source>Gray</source>
        <translation>Gris</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rojo</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Naranja</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Amarillo</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
</context>
<context>
    <name>DiaryImport</name>
    <message>
        <source>This Almanah diary is encrypted (diary.db.encrypted) and cannot be read here. Turn off encryption in Almanah&apos;s preferences, close Almanah, then import its diary.db.</source>
        <translation>Este diario de Almanah está cifrado (diary.db.encrypted) y no se puede leer aquí. Desactive el cifrado en las preferencias de Almanah, cierre Almanah y luego importe su diary.db.</translation>
    </message>
    <message>
        <source>%1 is not an Almanah diary (not an SQLite database)</source>
        <translation>%1 no es un diario de Almanah (no es una base de datos SQLite)</translation>
    </message>
    <message>
        <source>The Almanah diary cannot be opened: %1</source>
        <translation>No se puede abrir el diario de Almanah: %1</translation>
    </message>
    <message>
        <source>The Almanah diary is damaged or not Almanah&apos;s: %1</source>
        <translation>El diario de Almanah está dañado o no es de Almanah: %1</translation>
    </message>
    <message>
        <source>an entry of %1-%2-%3: no such day</source>
        <translation>una entrada del %1-%2-%3: ese día no existe</translation>
    </message>
    <message>
        <source>the entry of %1: its text is damaged</source>
        <translation>la entrada del %1: su texto está dañado</translation>
    </message>
    <message>
        <source>%1 is not a readable zip file</source>
        <translation>%1 no es un archivo zip legible</translation>
    </message>
    <message>
        <source>%1 holds no Journal.json: it is not a Day One export</source>
        <translation>%1 no contiene ningún Journal.json: no es una exportación de Day One</translation>
    </message>
    <message>
        <source>Journal.json in %1 is too large</source>
        <translation>Journal.json en %1 es demasiado grande</translation>
    </message>
    <message>
        <source>Journal.json in %1 cannot be unpacked</source>
        <translation>Journal.json en %1 no se puede descomprimir</translation>
    </message>
    <message>
        <source>Journal.json in %1 is damaged</source>
        <translation>Journal.json en %1 está dañado</translation>
    </message>
    <message>
        <source>Journal.json in %1</source>
        <translation>Journal.json en %1</translation>
    </message>
    <message>
        <source>%1 is not UTF-8 text</source>
        <translation>%1 no es texto UTF-8</translation>
    </message>
    <message>
        <source>entry %1: no creation date</source>
        <translation>entrada %1: sin fecha de creación</translation>
    </message>
    <message>
        <source>%1 is not a file that can be read</source>
        <translation>%1 no es un archivo que se pueda leer</translation>
    </message>
    <message>
        <source>%1 is too large (%2 MB) to be a diary</source>
        <translation>%1 es demasiado grande (%L2 MB) para ser un diario</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>No se puede leer %1: %2</translation>
    </message>
    <message>
        <source>%1 is not valid JSON (at byte %2: %3)</source>
        <translation>%1 no es JSON válido (en el byte %2: %3)</translation>
    </message>
    <message>
        <source>%1 is not a %2 export (no entries)</source>
        <translation>%1 no es una exportación de %2 (no hay entradas)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importación</translation>
    </message>
    <message>
        <source>%1: nothing imported: %2</source>
        <translation>%1: no se importó nada: %2</translation>
    </message>
    <message>
        <source>%1: %2 imported, %3 already there, %4 skipped</source>
        <translation>%1: %L2 importadas, %L3 ya existentes, %L4 omitidas</translation>
    </message>
    <message>
        <source>there is no format &quot;%1&quot;</source>
        <translation>no existe el formato «%1»</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 no existe</translation>
    </message>
    <message>
        <source>%1 is none of the diaries that can be imported (Almanah, RedNotebook, jrnl, Day One, a Quillet2 JSON export)</source>
        <translation>%1 no es ninguno de los diarios que se pueden importar (Almanah, RedNotebook, jrnl, Day One, una exportación JSON de Quillet2)</translation>
    </message>
    <message>
        <source>the diary is not open</source>
        <translation>el diario no está abierto</translation>
    </message>
    <message>
        <source>the diary could not take the entries (it was closed or could not be saved); %1 came in before that</source>
        <translation>el diario no pudo recibir las entradas (se cerró o no se pudo guardar); %L1 entraron antes de eso</translation>
    </message>
    <message>
        <source>the diary could not be saved</source>
        <translation>no se pudo guardar el diario</translation>
    </message>
    <message>
        <source>line %1: a date without words</source>
        <translation>línea %1: una fecha sin texto</translation>
    </message>
    <message>
        <source>line %1: &quot;%2&quot; is not a date</source>
        <translation>línea %1: «%2» no es una fecha</translation>
    </message>
    <message>
        <source>%1 is not a jrnl journal: line %2 comes before any date line</source>
        <translation>%1 no es un diario de jrnl: la línea %2 va antes de cualquier línea de fecha</translation>
    </message>
    <message>
        <source>%1 holds no jrnl entries</source>
        <translation>%1 no contiene entradas de jrnl</translation>
    </message>
    <message>
        <source>entry %1: no date or title</source>
        <translation>entrada %1: sin fecha ni título</translation>
    </message>
    <message>
        <source>%1 is not a Quillet2 JSON export</source>
        <translation>%1 no es una exportación JSON de Quillet2</translation>
    </message>
    <message>
        <source>%1 was written by a newer Quillet2 (format version %2); this one reads version %3 and older</source>
        <translation>%1 fue escrito por un Quillet2 más reciente (versión de formato %2); este lee la versión %3 y anteriores</translation>
    </message>
    <message>
        <source>entry %1: no date or text</source>
        <translation>entrada %1: sin fecha ni texto</translation>
    </message>
    <message>
        <source>%1 is not a RedNotebook month (no days in it)</source>
        <translation>%1 no es un mes de RedNotebook (no contiene días)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a day of the month</source>
        <translation>%1: «%2» no es un día del mes</translation>
    </message>
    <message>
        <source>%1 is not valid YAML (line %2: %3)</source>
        <translation>%1 no es YAML válido (línea %2: %3)</translation>
    </message>
    <message>
        <source>%1 holds no RedNotebook month files (YYYY-MM.txt)</source>
        <translation>%1 no contiene archivos de mes de RedNotebook (AAAA-MM.txt)</translation>
    </message>
    <message>
        <source>zip archives cannot be read here (%1)</source>
        <translation>aquí no se pueden leer archivos zip (%1)</translation>
    </message>
</context>
<context>
    <name>EntryExporter</name>
    <message>
        <source>The export could not be written: there is no cache folder (neither XDG_CACHE_HOME nor HOME is set).</source>
        <translation>No se pudo escribir la exportación: no hay carpeta de caché (no están definidas ni XDG_CACHE_HOME ni HOME).</translation>
    </message>
    <message>
        <source>The export “%1” could not be written: %2</source>
        <translation>No se pudo escribir la exportación «%1»: %2</translation>
    </message>
    <message>
        <source>The export was written to “%1”, but no program could open it.</source>
        <translation>La exportación se escribió en «%1», pero ningún programa pudo abrirla.</translation>
    </message>
</context>
<context>
    <name>LostDiaryFileAlert</name>
    <message>
        <source>Save to a New File…</source>
        <translation>Guardar en un archivo nuevo…</translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation>Salir sin guardar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Ahora no</translation>
    </message>
    <message>
        <source>Save to a New File</source>
        <translation>Guardar en un archivo nuevo</translation>
    </message>
    <message>
        <source>Diary (*.sqlite)</source>
        <translation>Diario (*.sqlite)</translation>
    </message>
</context>
<context>
    <name>MessageBar</name>
    <message>
        <source>Message bar</source>
        <translation>Barra de mensajes</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Close the message</source>
        <translation>Cerrar el mensaje</translation>
    </message>
</context>
<context>
    <name>OldDataImporter</name>
    <message>
        <source>The old diary could not be imported: %1. It is tried again at the next launch.</source>
        <translation>No se pudo importar el diario antiguo: %1. Se volverá a intentar en el próximo inicio.</translation>
    </message>
</context>
<context>
    <name>PasscodeFlow</name>
    <message>
        <source>Enter your Passcode</source>
        <translation>Introduzca su código</translation>
    </message>
    <message>
        <source>Enter your new Passcode</source>
        <translation>Introduzca su nuevo código</translation>
    </message>
    <message>
        <source>Re-enter your passcode</source>
        <translation>Vuelva a introducir su código</translation>
    </message>
    <message>
        <source>Wrong passcode, try again.</source>
        <translation>Código incorrecto, inténtelo de nuevo.</translation>
    </message>
    <message>
        <source>Passcode did not match, try again.</source>
        <translation>Los códigos no coinciden, inténtelo de nuevo.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Export Entries</source>
        <translation>Exportar entradas</translation>
    </message>
    <message>
        <source>The entries could not be written to %1: %2</source>
        <translation>No se pudieron escribir las entradas en %1: %2</translation>
    </message>
    <message>
        <source>Delete the word before the cursor</source>
        <translation>Borrar la palabra antes del cursor</translation>
    </message>
    <message>
        <source>Delete the word after the cursor</source>
        <translation>Borrar la palabra después del cursor</translation>
    </message>
    <message>
        <source>Top or end of the entry</source>
        <translation>Principio o final de la entrada</translation>
    </message>
    <message>
        <source>Leave the editor for the list</source>
        <translation>Pasar del editor a la lista</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Atajos de teclado</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Orden</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Teclas</translation>
    </message>
    <message>
        <source>(no folder: HOME is not set)</source>
        <translation>(ninguna carpeta: HOME no está definida)</translation>
    </message>
    <message>
        <source>%1 %2
A diary for your desktop.

License: MIT.

</source>
        <translation>%1 %2
Un diario para su escritorio.

Licencia: MIT.

</translation>
    </message>
    <message>
        <source>Your diary: %1/entries.sqlite
</source>
        <translation>Su diario: %1/entries.sqlite
</translation>
    </message>
    <message>
        <source>Backups beside it: entries.sqlite.bak (kept when the diary moved to the cloud folder), entries.sqlite.v1 (kept before an upgrade of the file)
</source>
        <translation>Copias de seguridad al lado: entries.sqlite.bak (guardada cuando el diario se trasladó a la carpeta en la nube), entries.sqlite.v1 (guardada antes de una actualización del archivo)
</translation>
    </message>
    <message>
        <source>Daily copies: %1/backups/ (the last 7 days, then one a week for 4 weeks)
</source>
        <translation>Copias diarias: %1/backups/ (los últimos 7 días, luego una por semana durante 4 semanas)
</translation>
    </message>
    <message>
        <source>Cloud container: %1
</source>
        <translation>Contenedor en la nube: %1
</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Acerca de %1</translation>
    </message>
    <message>
        <source>%1 Help</source>
        <translation>Ayuda de %1</translation>
    </message>
    <message>
        <source>User guide</source>
        <translation>Guía del usuario</translation>
    </message>
    <message>
        <source>Website: %1
</source>
        <translation>Sitio web: %1
</translation>
    </message>
    <message>
        <source>Authors: the Quillet developers

</source>
        <translation>Autores: los desarrolladores de Quillet

</translation>
    </message>
</context>
<context>
    <name>SpellingMenu</name>
    <message>
        <source>Check Spelling While Typing</source>
        <translation>Revisar la ortografía mientras se escribe</translation>
    </message>
    <message>
        <source>No Dictionaries Installed</source>
        <translation>No hay diccionarios instalados</translation>
    </message>
</context>
<context>
    <name>StoreLocations</name>
    <message>
        <source>Alert</source>
        <translation>Aviso</translation>
    </message>
    <message>
        <source>Can&apos;t find application support folder</source>
        <translation>No se encuentra la carpeta de datos de la aplicación</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Salir</translation>
    </message>
    <message>
        <source>Expected a folder to store application data, found a file (%1).</source>
        <translation>Se esperaba una carpeta para los datos de la aplicación y se encontró un archivo (%1).</translation>
    </message>
    <message>
        <source>The folder “%1” could not be created.</source>
        <translation>No se pudo crear la carpeta «%1».</translation>
    </message>
    <message>
        <source>The folder “%1” could not be read: %2.</source>
        <translation>No se pudo leer la carpeta «%1»: %2.</translation>
    </message>
</context>
<context>
    <name>quillet::AppDelegate</name>
    <message>
        <source>Everything the diary writes to the cloud folder is encrypted under a passphrase. Choose it now; each of your other machines asks for it once. It cannot be recovered.</source>
        <translation>Todo lo que el diario escribe en la carpeta en la nube se cifra con una frase de contraseña. Elíjala ahora; cada uno de sus otros equipos la pedirá una vez. No se puede recuperar.</translation>
    </message>
    <message>
        <source>The cloud folder is sealed. Enter the passphrase chosen for it on your other machine.</source>
        <translation>La carpeta en la nube está sellada. Introduzca la frase de contraseña elegida para ella en su otro equipo.</translation>
    </message>
    <message>
        <source>Enter the cloud folder&apos;s passphrase to exchange changes with your other machines. Without it this diary stays as it is.</source>
        <translation>Introduzca la frase de contraseña de la carpeta en la nube para intercambiar cambios con sus otros equipos. Sin ella, este diario se queda como está.</translation>
    </message>
</context>
<context>
    <name>quillet::CloudSettingView</name>
    <message>
        <source>Cloud Folder</source>
        <translation>Carpeta en la nube</translation>
    </message>
    <message>
        <source>Your diary can live in a folder that a file-sync service keeps in step between your computers.</source>
        <translation>Su diario puede estar en una carpeta que un servicio de sincronización mantiene al día entre sus equipos.</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
    <message>
        <source>Choose a folder that your sync service keeps in step (Syncthing, Nextcloud, ...).</source>
        <translation>Elija una carpeta que su servicio de sincronización mantenga al día (Syncthing, Nextcloud, ...).</translation>
    </message>
    <message>
        <source>Choose Folder…</source>
        <translation>Elegir carpeta…</translation>
    </message>
    <message>
        <source>Stop Using</source>
        <translation>Dejar de usar</translation>
    </message>
    <message>
        <source>Last log written:</source>
        <translation>Último registro escrito:</translation>
    </message>
    <message>
        <source>Last log applied:</source>
        <translation>Último registro aplicado:</translation>
    </message>
    <message>
        <source>Diaries writing here:</source>
        <translation>Diarios que escriben aquí:</translation>
    </message>
    <message>
        <source>Moving the diary</source>
        <translation>Mover el diario</translation>
    </message>
    <message>
        <source>Use “Move Diary to Cloud Folder” in the Migration pane.</source>
        <translation>Use «Mover el diario a la carpeta en la nube» en el panel Migración.</translation>
    </message>
    <message>
        <source>No folder: the home folder is not known.</source>
        <translation>Ninguna carpeta: no se conoce la carpeta personal.</translation>
    </message>
    <message>
        <source>✓ Signed in: the cloud folder is available.</source>
        <translation>✓ Conectado: la carpeta en la nube está disponible.</translation>
    </message>
    <message>
        <source>Signed out: the cloud folder does not exist yet.</source>
        <translation>Desconectado: la carpeta en la nube aún no existe.</translation>
    </message>
    <message>
        <source>✓ Sealed: what goes into the cloud folder is encrypted under your passphrase; nothing in it is plain text.</source>
        <translation>✓ Sellada: lo que entra en la carpeta en la nube se cifra con su frase de contraseña; nada en ella es texto sin cifrar.</translation>
    </message>
    <message numerus="yes">
        <source>✓ Sealed. %n file(s) from before sealing are still plain text: each diary seals its own once it has the passphrase.</source>
        <translation>
            <numerusform>✓ Sellada. %Ln archivo de antes del sellado sigue sin cifrar: cada diario sella los suyos en cuanto tiene la frase de contraseña.</numerusform>
            <numerusform>✓ Sellada. %Ln archivos de antes del sellado siguen sin cifrar: cada diario sella los suyos en cuanto tiene la frase de contraseña.</numerusform>
        </translation>
    </message>
    <message>
        <source>Change Passphrase…</source>
        <translation>Cambiar la frase de contraseña…</translation>
    </message>
    <message>
        <source>No diary key yet: choose a passphrase to seal the cloud folder. Until then nothing is exchanged with your other machines.</source>
        <translation>Aún no hay clave del diario: elija una frase de contraseña para sellar la carpeta en la nube. Hasta entonces no se intercambia nada con sus otros equipos.</translation>
    </message>
    <message>
        <source>Choose Passphrase…</source>
        <translation>Elegir frase de contraseña…</translation>
    </message>
    <message>
        <source>That passphrase does not open the diary key. Nothing is exchanged until the right one is entered.</source>
        <translation>Esa frase de contraseña no abre la clave del diario. No se intercambia nada hasta que se introduzca la correcta.</translation>
    </message>
    <message>
        <source>The diary&apos;s passphrase (chosen on the machine that moved it to the cloud folder) is needed on this machine. Until then nothing is exchanged; this diary stays as it is.</source>
        <translation>Se necesita en este equipo la frase de contraseña del diario (elegida en el equipo que lo trasladó a la carpeta en la nube). Hasta entonces no se intercambia nada; este diario se queda como está.</translation>
    </message>
    <message>
        <source>Enter Passphrase…</source>
        <translation>Introducir frase de contraseña…</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nunca</translation>
    </message>
    <message>
        <source>None yet</source>
        <translation>Ninguno todavía</translation>
    </message>
    <message>
        <source>This computer&apos;s clock runs about %1 minutes ahead of another one&apos;s: set it right (for example with “timedatectl set-ntp true”).</source>
        <translation>El reloj de este equipo va unos %1 minutos adelantado respecto al de otro: póngalo en hora (por ejemplo con «timedatectl set-ntp true»).</translation>
    </message>
    <message>
        <source>The clock of another computer writing here runs about %1 minutes ahead of this one&apos;s: its changes win over later ones until it is set right.</source>
        <translation>El reloj de otro equipo que escribe aquí va unos %1 minutos adelantado respecto a este: sus cambios se imponen a los posteriores hasta que se ponga en hora.</translation>
    </message>
    <message>
        <source>Choose the Cloud Folder</source>
        <translation>Elegir la carpeta en la nube</translation>
    </message>
    <message>
        <source>The chosen folder is forgotten; its files stay where they are.</source>
        <translation>Se olvida la carpeta elegida; sus archivos se quedan donde están.</translation>
    </message>
    <message>
        <source>The settings file cannot be written: the folder is still chosen.</source>
        <translation>No se puede escribir el archivo de configuración: la carpeta sigue elegida.</translation>
    </message>
    <message>
        <source>The new passphrase wraps the diary key; every machine that already has the key keeps it. Machines that ask later need the new one.</source>
        <translation>La nueva frase de contraseña protege la clave del diario; cada equipo que ya tiene la clave la conserva. Los equipos que la pidan más tarde necesitarán la nueva.</translation>
    </message>
    <message>
        <source>The passphrase could not be changed: %1</source>
        <translation>No se pudo cambiar la frase de contraseña: %1</translation>
    </message>
    <message>
        <source>Choose the passphrase that seals the cloud folder. Every other machine asks for it once.</source>
        <translation>Elija la frase de contraseña que sella la carpeta en la nube. Cada uno de los otros equipos la pedirá una vez.</translation>
    </message>
    <message>
        <source>Enter the passphrase chosen for this diary&apos;s cloud folder.</source>
        <translation>Introduzca la frase de contraseña elegida para la carpeta en la nube de este diario.</translation>
    </message>
</context>
<context>
    <name>quillet::ColorTagSelectView</name>
    <message>
        <source>All colors</source>
        <translation>Todos los colores</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rojo</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Naranja</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Amarillo</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
</context>
<context>
    <name>quillet::DiaryStore</name>
    <message>
        <source>%1 What you type stays in the window and is saved at the next pause.</source>
        <translation>%1 Lo que escribe se queda en la ventana y se guarda en la próxima pausa.</translation>
    </message>
    <message>
        <source>The cloud folder has no place for the diary.</source>
        <translation>La carpeta en la nube no tiene sitio para el diario.</translation>
    </message>
    <message>
        <source>There is already a diary in the cloud folder (“%1”); nothing was moved.</source>
        <translation>Ya hay un diario en la carpeta en la nube («%1»); no se movió nada.</translation>
    </message>
    <message>
        <source>The diary is not open.</source>
        <translation>El diario no está abierto.</translation>
    </message>
</context>
<context>
    <name>quillet::EditTextView</name>
    <message>
        <source>Font</source>
        <translation>Tipo de letra</translation>
    </message>
</context>
<context>
    <name>quillet::EntryRowDelegate</name>
    <message>
        <source>New entry</source>
        <translation>Entrada nueva</translation>
    </message>
</context>
<context>
    <name>quillet::ImportDialog</name>
    <message>
        <source>Import Entries</source>
        <translation>Importar entradas</translation>
    </message>
    <message>
        <source>A diary file or folder</source>
        <translation>Un archivo o una carpeta de diario</translation>
    </message>
    <message>
        <source>&amp;File…</source>
        <translation>&amp;Archivo…</translation>
    </message>
    <message>
        <source>F&amp;older…</source>
        <translation>&amp;Carpeta…</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Origen:</translation>
    </message>
    <message>
        <source>Detect from the content</source>
        <translation>Detectar por el contenido</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Formato:</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importar</translation>
    </message>
    <message>
        <source>Import a Diary File</source>
        <translation>Importar un archivo de diario</translation>
    </message>
    <message>
        <source>Import a Diary Folder</source>
        <translation>Importar una carpeta de diario</translation>
    </message>
    <message>
        <source>Detected: %1</source>
        <translation>Detectado: %1</translation>
    </message>
    <message>
        <source>Not a diary that can be imported; choose the format if it is one.</source>
        <translation>No es un diario que se pueda importar; elija el formato si lo es.</translation>
    </message>
    <message>
        <source>Another import is under way; try again when it has ended.</source>
        <translation>Hay otra importación en curso; inténtelo de nuevo cuando haya terminado.</translation>
    </message>
</context>
<context>
    <name>quillet::JournalControls</name>
    <message>
        <source>Type here to begin a new entry.</source>
        <translation>Escriba aquí para empezar una entrada nueva.</translation>
    </message>
    <message>
        <source>red</source>
        <translation>roja</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>naranja</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>amarilla</translation>
    </message>
    <message>
        <source>green</source>
        <translation>verde</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>azul</translation>
    </message>
    <message>
        <source>No entry contains “%1”.</source>
        <translation>Ninguna entrada contiene «%1».</translation>
    </message>
    <message>
        <source>No %1 entry contains “%2”.</source>
        <translation>Ninguna entrada %1 contiene «%2».</translation>
    </message>
    <message>
        <source>No entries in %1.

Press %2 to write one.</source>
        <translation>No hay entradas en %1.

Pulse %2 para escribir una.</translation>
    </message>
    <message>
        <source>No %1 entries in %2.</source>
        <translation>No hay entradas de color %1 en %2.</translation>
    </message>
</context>
<context>
    <name>quillet::JournalPopovers</name>
    <message>
        <source>Move this entry to the trash?</source>
        <translation>¿Mover esta entrada a la papelera?</translation>
    </message>
    <message>
        <source>It is removed from the diary at once.</source>
        <translation>Se quita del diario de inmediato.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Mover a la papelera</translation>
    </message>
    <message>
        <source>Color tag of this entry</source>
        <translation>Etiqueta de color de esta entrada</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Fecha y hora</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
</context>
<context>
    <name>quillet::MainWindow</name>
    <message>
        <source>&amp;New Entry</source>
        <translation>&amp;Nueva entrada</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>&amp;Export to Text…</source>
        <translation>Exportar a &amp;texto…</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>&amp;Importar…</translation>
    </message>
    <message>
        <source>E&amp;xport…</source>
        <translation>E&amp;xportar…</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>Im&amp;primir…</translation>
    </message>
    <message>
        <source>Se&amp;ttings…</source>
        <translation>Pre&amp;ferencias…</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>&amp;Cerrar ventana</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rehacer</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Buscar</translation>
    </message>
    <message>
        <source>&amp;Trash Entry…</source>
        <translation>Mover la entrada a la &amp;papelera…</translation>
    </message>
    <message>
        <source>Color &amp;Tag…</source>
        <translation>&amp;Etiqueta de color…</translation>
    </message>
    <message>
        <source>&amp;Date and Time…</source>
        <translation>&amp;Fecha y hora…</translation>
    </message>
    <message>
        <source>&amp;Today</source>
        <translation>&amp;Hoy</translation>
    </message>
    <message>
        <source>&amp;Previous Month</source>
        <translation>Mes &amp;anterior</translation>
    </message>
    <message>
        <source>&amp;Next Month</source>
        <translation>Mes &amp;siguiente</translation>
    </message>
    <message>
        <source>Previous &amp;Year</source>
        <translation>Año a&amp;nterior</translation>
    </message>
    <message>
        <source>Next Y&amp;ear</source>
        <translation>Año si&amp;guiente</translation>
    </message>
    <message>
        <source>&amp;Font…</source>
        <translation>&amp;Tipo de letra…</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Cor&amp;tar</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Pe&amp;gar</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Seleccionar &amp;todo</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>Atajos de &amp;teclado</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barra de herramientas</translation>
    </message>
    <message>
        <source>Show &amp;Toolbar</source>
        <translation>Mostrar barra de &amp;herramientas</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>E&amp;ntry</source>
        <translation>E&amp;ntrada</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>F&amp;ormat</source>
        <translation>F&amp;ormato</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Nueva</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Papelera</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Hoy</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exportar</translation>
    </message>
    <message>
        <source>Search all months</source>
        <translation>Buscar en todos los meses</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Diario</translation>
    </message>
    <message>
        <source>Months and entries</source>
        <translation>Meses y entradas</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Año</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Mes</translation>
    </message>
    <message>
        <source>Color filter</source>
        <translation>Filtro de color</translation>
    </message>
    <message>
        <source>Entries</source>
        <translation>Entradas</translation>
    </message>
    <message>
        <source>Entry text</source>
        <translation>Texto de la entrada</translation>
    </message>
    <message>
        <source>Font size</source>
        <translation>Tamaño de letra</translation>
    </message>
    <message>
        <source>Lists only the entries of one color</source>
        <translation>Muestra solo las entradas de un color</translation>
    </message>
    <message>
        <source>The size of the entry text</source>
        <translation>El tamaño del texto de la entrada</translation>
    </message>
    <message>
        <source>Keep your diary in the cloud folder, so that your other computers see the same entries?</source>
        <translation>¿Guardar su diario en la carpeta en la nube, para que sus otros equipos vean las mismas entradas?</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Ahora no</translation>
    </message>
    <message>
        <source>Use the Cloud Folder</source>
        <translation>Usar la carpeta en la nube</translation>
    </message>
    <message>
        <source>Your diary lives in the cloud folder, which cannot be reached now. Make the cloud folder available again and reopen Quillet.</source>
        <translation>Su diario está en la carpeta en la nube, que ahora no está accesible. Vuelva a hacer disponible la carpeta en la nube y abra Quillet de nuevo.</translation>
    </message>
    <message>
        <source>&amp;Spelling</source>
        <translation>&amp;Ortografía</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Buscar &amp;siguiente</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>Buscar a&amp;nterior</translation>
    </message>
    <message>
        <source>%1 &amp;Help</source>
        <translation>&amp;Ayuda de %1</translation>
    </message>
</context>
<context>
    <name>quillet::MigrateSettingView</name>
    <message>
        <source>in progress...0%</source>
        <translation>en curso... 0&#xa0;%</translation>
    </message>
    <message>
        <source>Done Successfully</source>
        <translation>Terminado con éxito</translation>
    </message>
    <message>
        <source>Finished With Error</source>
        <translation>Terminado con error</translation>
    </message>
    <message>
        <source>Migration</source>
        <translation>Migración</translation>
    </message>
    <message>
        <source>Bring in entries from an earlier diary and tidy up the one you have.</source>
        <translation>Traiga entradas de un diario anterior y ordene el que tiene.</translation>
    </message>
    <message>
        <source>Import Old Data</source>
        <translation>Importar datos antiguos</translation>
    </message>
    <message>
        <source>Copies the entries of the previous Quillet diary into this one.</source>
        <translation>Copia las entradas del diario de Quillet anterior en este.</translation>
    </message>
    <message>
        <source>Remove Duplicates</source>
        <translation>Quitar duplicados</translation>
    </message>
    <message>
        <source>Keeps one copy of each entry that was brought in more than once.</source>
        <translation>Conserva una copia de cada entrada que se trajo más de una vez.</translation>
    </message>
    <message>
        <source>Move Diary to Cloud Folder</source>
        <translation>Mover el diario a la carpeta en la nube</translation>
    </message>
    <message>
        <source>Moves this diary into the cloud folder, so that your other computers share it.</source>
        <translation>Mueve este diario a la carpeta en la nube, para que sus otros equipos lo compartan.</translation>
    </message>
    <message>
        <source>in progress...%1%</source>
        <translation>en curso... %1&#xa0;%</translation>
    </message>
</context>
<context>
    <name>quillet::PasscodeView</name>
    <message>
        <source>Number Only</source>
        <translation>Solo números</translation>
    </message>
    <message>
        <source>Your diary is locked</source>
        <translation>Su diario está bloqueado</translation>
    </message>
    <message>
        <source>Passcode Lock</source>
        <translation>Bloqueo con código</translation>
    </message>
    <message>
        <source>Ask for a four-digit passcode once each time the diary opens.</source>
        <translation>Pedir un código de cuatro cifras una vez cada vez que se abre el diario.</translation>
    </message>
    <message>
        <source>The passcode lock is off.</source>
        <translation>El bloqueo con código está desactivado.</translation>
    </message>
    <message>
        <source>Anyone who opens this diary can read it. Turn the lock on to ask for a passcode first.</source>
        <translation>Cualquiera que abra este diario puede leerlo. Active el bloqueo para pedir antes un código.</translation>
    </message>
    <message>
        <source>Turn Passcode On</source>
        <translation>Activar el código</translation>
    </message>
    <message>
        <source>The passcode lock is on.</source>
        <translation>El bloqueo con código está activado.</translation>
    </message>
    <message>
        <source>The diary asks for the passcode when it opens and stays unlocked until you quit.</source>
        <translation>El diario pide el código al abrirse y sigue desbloqueado hasta que salga.</translation>
    </message>
    <message>
        <source>Turn Passcode Off</source>
        <translation>Desactivar el código</translation>
    </message>
    <message>
        <source>Change Passcode</source>
        <translation>Cambiar el código</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
</context>
<context>
    <name>quillet::PassphraseDialog</name>
    <message>
        <source>Choose a Passphrase</source>
        <translation>Elegir una frase de contraseña</translation>
    </message>
    <message>
        <source>Enter the Passphrase</source>
        <translation>Introducir la frase de contraseña</translation>
    </message>
    <message>
        <source>Passphrase:</source>
        <translation>Frase de contraseña:</translation>
    </message>
    <message>
        <source>Again:</source>
        <translation>Repetir:</translation>
    </message>
    <message>
        <source>Weak: use at least four words or sixteen characters.</source>
        <translation>Débil: use al menos cuatro palabras o dieciséis caracteres.</translation>
    </message>
    <message>
        <source>Fair: a few more words would make it strong.</source>
        <translation>Aceptable: unas palabras más la harían fuerte.</translation>
    </message>
    <message>
        <source>Strong.</source>
        <translation>Fuerte.</translation>
    </message>
    <message>
        <source>It cannot be recovered: without it the cloud folder cannot be read.</source>
        <translation>No se puede recuperar: sin ella no se puede leer la carpeta en la nube.</translation>
    </message>
    <message>
        <source>A few unrelated words are easy to remember and hard to guess.</source>
        <translation>Unas cuantas palabras sin relación son fáciles de recordar y difíciles de adivinar.</translation>
    </message>
    <message>
        <source>The two passphrases differ.</source>
        <translation>Las dos frases de contraseña no coinciden.</translation>
    </message>
</context>
<context>
    <name>quillet::SettingWindowController</name>
    <message>
        <source>Settings</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>Passcode</source>
        <translation>Código</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Nube</translation>
    </message>
    <message>
        <source>Migration</source>
        <translation>Migración</translation>
    </message>
    <message>
        <source>Settings — %1</source>
        <translation>Preferencias — %1</translation>
    </message>
</context>
<context>
    <name>quillet::SpellMarker</name>
    <message>
        <source>No Guesses Found</source>
        <translation>No hay sugerencias</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Añadir al diccionario</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorar</translation>
    </message>
</context>
<context>
    <name>quillet::StatusLabel</name>
    <message>
        <source>Import Old Data...0%</source>
        <translation>Importando datos antiguos... 0&#xa0;%</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importación</translation>
    </message>
    <message>
        <source>Import %1</source>
        <translation>Importación de %1</translation>
    </message>
    <message>
        <source>%1...%2%</source>
        <translation>%1... %2&#xa0;%</translation>
    </message>
    <message>
        <source>Import Old Data...%1%</source>
        <translation>Importando datos antiguos... %1&#xa0;%</translation>
    </message>
</context>
</TS>
