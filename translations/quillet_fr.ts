<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>CloudFolderSetup</name>
    <message>
        <source>No folder was chosen.</source>
        <translation>Aucun dossier n’a été choisi.</translation>
    </message>
    <message>
        <source>The cloud folder “%1” could not be made: %2.</source>
        <translation>Le dossier cloud «&#xa0;%1&#xa0;» n’a pas pu être créé&#xa0;: %2.</translation>
    </message>
    <message>
        <source>The choice could not be kept: the settings file cannot be written.</source>
        <translation>Le choix n’a pas pu être conservé&#xa0;: le fichier de réglages ne peut pas être écrit.</translation>
    </message>
    <message>
        <source>Cloud folder chosen.</source>
        <translation>Dossier cloud choisi.</translation>
    </message>
    <message>
        <source>Added “*.nosync” to the Syncthing folder&apos;s “%1”, so that each machine keeps its own diary file.</source>
        <translation>«&#xa0;*.nosync&#xa0;» a été ajouté au fichier «&#xa0;%1&#xa0;» du dossier Syncthing, afin que chaque machine garde son propre fichier de journal.</translation>
    </message>
    <message>
        <source>The Syncthing folder&apos;s “%1” already leaves out “*.nosync”.</source>
        <translation>Le fichier «&#xa0;%1&#xa0;» du dossier Syncthing exclut déjà «&#xa0;*.nosync&#xa0;».</translation>
    </message>
    <message>
        <source>“*.nosync” could not be added to the Syncthing folder&apos;s “%1” (%2): add the line yourself.</source>
        <translation>«&#xa0;*.nosync&#xa0;» n’a pas pu être ajouté au fichier «&#xa0;%1&#xa0;» du dossier Syncthing (%2)&#xa0;: ajoutez la ligne vous-même.</translation>
    </message>
    <message>
        <source>QUILLET_CLOUD_ROOT is set (“%1”) and is used while it is.</source>
        <translation>QUILLET_CLOUD_ROOT est défini («&#xa0;%1&#xa0;») et est utilisé tant qu’il l’est.</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>c’est un lien symbolique</translation>
    </message>
    <message>
        <source>it is larger than a pattern file</source>
        <translation>il est plus grand qu’un fichier de motifs</translation>
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
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Jaune</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
</context>
<context>
    <name>DiaryImport</name>
    <message>
        <source>This Almanah diary is encrypted (diary.db.encrypted) and cannot be read here. Turn off encryption in Almanah&apos;s preferences, close Almanah, then import its diary.db.</source>
        <translation>Ce journal Almanah est chiffré (diary.db.encrypted) et ne peut pas être lu ici. Désactivez le chiffrement dans les préférences d’Almanah, fermez Almanah, puis importez son diary.db.</translation>
    </message>
    <message>
        <source>%1 is not an Almanah diary (not an SQLite database)</source>
        <translation>%1 n’est pas un journal Almanah (pas une base de données SQLite)</translation>
    </message>
    <message>
        <source>The Almanah diary cannot be opened: %1</source>
        <translation>Le journal Almanah ne peut pas être ouvert&#xa0;: %1</translation>
    </message>
    <message>
        <source>The Almanah diary is damaged or not Almanah&apos;s: %1</source>
        <translation>Le journal Almanah est endommagé ou n’est pas celui d’Almanah&#xa0;: %1</translation>
    </message>
    <message>
        <source>an entry of %1-%2-%3: no such day</source>
        <translation>une entrée du %1-%2-%3&#xa0;: ce jour n’existe pas</translation>
    </message>
    <message>
        <source>the entry of %1: its text is damaged</source>
        <translation>l’entrée du %1&#xa0;: son texte est endommagé</translation>
    </message>
    <message>
        <source>%1 is not a readable zip file</source>
        <translation>%1 n’est pas un fichier zip lisible</translation>
    </message>
    <message>
        <source>%1 holds no Journal.json: it is not a Day One export</source>
        <translation>%1 ne contient pas de Journal.json&#xa0;: ce n’est pas un export Day One</translation>
    </message>
    <message>
        <source>Journal.json in %1 is too large</source>
        <translation>Journal.json dans %1 est trop volumineux</translation>
    </message>
    <message>
        <source>Journal.json in %1 cannot be unpacked</source>
        <translation>Journal.json dans %1 ne peut pas être décompressé</translation>
    </message>
    <message>
        <source>Journal.json in %1 is damaged</source>
        <translation>Journal.json dans %1 est endommagé</translation>
    </message>
    <message>
        <source>Journal.json in %1</source>
        <translation>Journal.json dans %1</translation>
    </message>
    <message>
        <source>%1 is not UTF-8 text</source>
        <translation>%1 n’est pas du texte UTF-8</translation>
    </message>
    <message>
        <source>entry %1: no creation date</source>
        <translation>entrée %1&#xa0;: pas de date de création</translation>
    </message>
    <message>
        <source>%1 is not a file that can be read</source>
        <translation>%1 n’est pas un fichier lisible</translation>
    </message>
    <message>
        <source>%1 is too large (%2 MB) to be a diary</source>
        <translation>%1 est trop volumineux (%L2 Mo) pour être un journal</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 ne peut pas être lu&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 is not valid JSON (at byte %2: %3)</source>
        <translation>%1 n’est pas du JSON valide (à l’octet %2&#xa0;: %3)</translation>
    </message>
    <message>
        <source>%1 is not a %2 export (no entries)</source>
        <translation>%1 n’est pas un export %2 (aucune entrée)</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importation</translation>
    </message>
    <message>
        <source>%1: nothing imported: %2</source>
        <translation>%1&#xa0;: rien n’a été importé&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1: %2 imported, %3 already there, %4 skipped</source>
        <translation>%1&#xa0;: %L2 importées, %L3 déjà présentes, %L4 ignorées</translation>
    </message>
    <message>
        <source>there is no format &quot;%1&quot;</source>
        <translation>le format «&#xa0;%1&#xa0;» n’existe pas</translation>
    </message>
    <message>
        <source>%1 does not exist</source>
        <translation>%1 n’existe pas</translation>
    </message>
    <message>
        <source>%1 is none of the diaries that can be imported (Almanah, RedNotebook, jrnl, Day One, a Quillet2 JSON export)</source>
        <translation>%1 n’est aucun des journaux qui peuvent être importés (Almanah, RedNotebook, jrnl, Day One, un export JSON de Quillet2)</translation>
    </message>
    <message>
        <source>the diary is not open</source>
        <translation>le journal n’est pas ouvert</translation>
    </message>
    <message>
        <source>the diary could not take the entries (it was closed or could not be saved); %1 came in before that</source>
        <translation>le journal n’a pas pu recevoir les entrées (il a été fermé ou n’a pas pu être enregistré)&#xa0;; %L1 sont arrivées avant cela</translation>
    </message>
    <message>
        <source>the diary could not be saved</source>
        <translation>le journal n’a pas pu être enregistré</translation>
    </message>
    <message>
        <source>line %1: a date without words</source>
        <translation>ligne %1&#xa0;: une date sans texte</translation>
    </message>
    <message>
        <source>line %1: &quot;%2&quot; is not a date</source>
        <translation>ligne %1&#xa0;: «&#xa0;%2&#xa0;» n’est pas une date</translation>
    </message>
    <message>
        <source>%1 is not a jrnl journal: line %2 comes before any date line</source>
        <translation>%1 n’est pas un journal jrnl&#xa0;: la ligne %2 précède toute ligne de date</translation>
    </message>
    <message>
        <source>%1 holds no jrnl entries</source>
        <translation>%1 ne contient aucune entrée jrnl</translation>
    </message>
    <message>
        <source>entry %1: no date or title</source>
        <translation>entrée %1&#xa0;: pas de date ni de titre</translation>
    </message>
    <message>
        <source>%1 is not a Quillet2 JSON export</source>
        <translation>%1 n’est pas un export JSON de Quillet2</translation>
    </message>
    <message>
        <source>%1 was written by a newer Quillet2 (format version %2); this one reads version %3 and older</source>
        <translation>%1 a été écrit par un Quillet2 plus récent (version de format %2)&#xa0;; celui-ci lit la version %3 et les précédentes</translation>
    </message>
    <message>
        <source>entry %1: no date or text</source>
        <translation>entrée %1&#xa0;: pas de date ni de texte</translation>
    </message>
    <message>
        <source>%1 is not a RedNotebook month (no days in it)</source>
        <translation>%1 n’est pas un mois RedNotebook (aucun jour dedans)</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not a day of the month</source>
        <translation>%1&#xa0;: «&#xa0;%2&#xa0;» n’est pas un jour du mois</translation>
    </message>
    <message>
        <source>%1 is not valid YAML (line %2: %3)</source>
        <translation>%1 n’est pas du YAML valide (ligne %2&#xa0;: %3)</translation>
    </message>
    <message>
        <source>%1 holds no RedNotebook month files (YYYY-MM.txt)</source>
        <translation>%1 ne contient aucun fichier de mois RedNotebook (AAAA-MM.txt)</translation>
    </message>
    <message>
        <source>zip archives cannot be read here (%1)</source>
        <translation>les archives zip ne peuvent pas être lues ici (%1)</translation>
    </message>
</context>
<context>
    <name>EntryExporter</name>
    <message>
        <source>The export could not be written: there is no cache folder (neither XDG_CACHE_HOME nor HOME is set).</source>
        <translation>L’export n’a pas pu être écrit&#xa0;: il n’y a pas de dossier de cache (ni XDG_CACHE_HOME ni HOME n’est défini).</translation>
    </message>
    <message>
        <source>The export “%1” could not be written: %2</source>
        <translation>L’export «&#xa0;%1&#xa0;» n’a pas pu être écrit&#xa0;: %2</translation>
    </message>
    <message>
        <source>The export was written to “%1”, but no program could open it.</source>
        <translation>L’export a été écrit dans «&#xa0;%1&#xa0;», mais aucun programme n’a pu l’ouvrir.</translation>
    </message>
</context>
<context>
    <name>LostDiaryFileAlert</name>
    <message>
        <source>Save to a New File…</source>
        <translation>Enregistrer dans un nouveau fichier…</translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation>Quitter sans enregistrer</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Pas maintenant</translation>
    </message>
    <message>
        <source>Save to a New File</source>
        <translation>Enregistrer dans un nouveau fichier</translation>
    </message>
    <message>
        <source>Diary (*.sqlite)</source>
        <translation>Journal (*.sqlite)</translation>
    </message>
</context>
<context>
    <name>MessageBar</name>
    <message>
        <source>Message bar</source>
        <translation>Barre de messages</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Close the message</source>
        <translation>Fermer le message</translation>
    </message>
</context>
<context>
    <name>OldDataImporter</name>
    <message>
        <source>The old diary could not be imported: %1. It is tried again at the next launch.</source>
        <translation>L’ancien journal n’a pas pu être importé&#xa0;: %1. Une nouvelle tentative aura lieu au prochain lancement.</translation>
    </message>
</context>
<context>
    <name>PasscodeFlow</name>
    <message>
        <source>Enter your Passcode</source>
        <translation>Saisissez votre code</translation>
    </message>
    <message>
        <source>Enter your new Passcode</source>
        <translation>Saisissez votre nouveau code</translation>
    </message>
    <message>
        <source>Re-enter your passcode</source>
        <translation>Saisissez à nouveau votre code</translation>
    </message>
    <message>
        <source>Wrong passcode, try again.</source>
        <translation>Code erroné, réessayez.</translation>
    </message>
    <message>
        <source>Passcode did not match, try again.</source>
        <translation>Les codes ne correspondent pas, réessayez.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Export Entries</source>
        <translation>Exporter les entrées</translation>
    </message>
    <message>
        <source>The entries could not be written to %1: %2</source>
        <translation>Les entrées n’ont pas pu être écrites dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Delete the word before the cursor</source>
        <translation>Supprimer le mot avant le curseur</translation>
    </message>
    <message>
        <source>Delete the word after the cursor</source>
        <translation>Supprimer le mot après le curseur</translation>
    </message>
    <message>
        <source>Top or end of the entry</source>
        <translation>Début ou fin de l’entrée</translation>
    </message>
    <message>
        <source>Leave the editor for the list</source>
        <translation>Quitter l’éditeur pour la liste</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Raccourcis clavier</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Commande</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Touches</translation>
    </message>
    <message>
        <source>(no folder: HOME is not set)</source>
        <translation>(aucun dossier&#xa0;: HOME n’est pas défini)</translation>
    </message>
    <message>
        <source>%1 %2
A diary for your desktop.

License: MIT.

</source>
        <translation>%1 %2
Un journal pour votre bureau.

Licence&#xa0;: MIT.

</translation>
    </message>
    <message>
        <source>Your diary: %1/entries.sqlite
</source>
        <translation>Votre journal&#xa0;: %1/entries.sqlite
</translation>
    </message>
    <message>
        <source>Backups beside it: entries.sqlite.bak (kept when the diary moved to the cloud folder), entries.sqlite.v1 (kept before an upgrade of the file)
</source>
        <translation>Sauvegardes à côté&#xa0;: entries.sqlite.bak (conservé lors du déplacement du journal vers le dossier cloud), entries.sqlite.v1 (conservé avant une mise à niveau du fichier)
</translation>
    </message>
    <message>
        <source>Daily copies: %1/backups/ (the last 7 days, then one a week for 4 weeks)
</source>
        <translation>Copies quotidiennes&#xa0;: %1/backups/ (les 7 derniers jours, puis une par semaine pendant 4 semaines)
</translation>
    </message>
    <message>
        <source>Cloud container: %1
</source>
        <translation>Conteneur cloud&#xa0;: %1
</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
    </message>
    <message>
        <source>%1 Help</source>
        <translation>Aide de %1</translation>
    </message>
    <message>
        <source>User guide</source>
        <translation>Guide de l’utilisateur</translation>
    </message>
    <message>
        <source>Website: %1
</source>
        <translation>Site web : %1
</translation>
    </message>
    <message>
        <source>Authors: the Quillet developers

</source>
        <translation>Auteurs : les développeurs de Quillet

</translation>
    </message>
</context>
<context>
    <name>SpellingMenu</name>
    <message>
        <source>Check Spelling While Typing</source>
        <translation>Vérifier l’orthographe pendant la saisie</translation>
    </message>
    <message>
        <source>No Dictionaries Installed</source>
        <translation>Aucun dictionnaire installé</translation>
    </message>
</context>
<context>
    <name>StoreLocations</name>
    <message>
        <source>Alert</source>
        <translation>Alerte</translation>
    </message>
    <message>
        <source>Can&apos;t find application support folder</source>
        <translation>Impossible de trouver le dossier des données de l’application</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Expected a folder to store application data, found a file (%1).</source>
        <translation>Un dossier pour les données de l’application était attendu, un fichier a été trouvé (%1).</translation>
    </message>
    <message>
        <source>The folder “%1” could not be created.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» n’a pas pu être créé.</translation>
    </message>
    <message>
        <source>The folder “%1” could not be read: %2.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» n’a pas pu être lu&#xa0;: %2.</translation>
    </message>
</context>
<context>
    <name>quillet::AppDelegate</name>
    <message>
        <source>Everything the diary writes to the cloud folder is encrypted under a passphrase. Choose it now; each of your other machines asks for it once. It cannot be recovered.</source>
        <translation>Tout ce que le journal écrit dans le dossier cloud est chiffré avec une phrase secrète. Choisissez-la maintenant&#xa0;; chacune de vos autres machines la demandera une fois. Elle ne peut pas être récupérée.</translation>
    </message>
    <message>
        <source>The cloud folder is sealed. Enter the passphrase chosen for it on your other machine.</source>
        <translation>Le dossier cloud est scellé. Saisissez la phrase secrète choisie pour lui sur votre autre machine.</translation>
    </message>
    <message>
        <source>Enter the cloud folder&apos;s passphrase to exchange changes with your other machines. Without it this diary stays as it is.</source>
        <translation>Saisissez la phrase secrète du dossier cloud pour échanger les modifications avec vos autres machines. Sans elle, ce journal reste tel qu’il est.</translation>
    </message>
</context>
<context>
    <name>quillet::CloudSettingView</name>
    <message>
        <source>Cloud Folder</source>
        <translation>Dossier cloud</translation>
    </message>
    <message>
        <source>Your diary can live in a folder that a file-sync service keeps in step between your computers.</source>
        <translation>Votre journal peut se trouver dans un dossier qu’un service de synchronisation maintient à jour entre vos ordinateurs.</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Choose a folder that your sync service keeps in step (Syncthing, Nextcloud, ...).</source>
        <translation>Choisissez un dossier que votre service de synchronisation maintient à jour (Syncthing, Nextcloud, ...).</translation>
    </message>
    <message>
        <source>Choose Folder…</source>
        <translation>Choisir un dossier…</translation>
    </message>
    <message>
        <source>Stop Using</source>
        <translation>Ne plus utiliser</translation>
    </message>
    <message>
        <source>Last log written:</source>
        <translation>Dernier journal de modifications écrit&#xa0;:</translation>
    </message>
    <message>
        <source>Last log applied:</source>
        <translation>Dernier journal de modifications appliqué&#xa0;:</translation>
    </message>
    <message>
        <source>Diaries writing here:</source>
        <translation>Journaux qui écrivent ici&#xa0;:</translation>
    </message>
    <message>
        <source>Moving the diary</source>
        <translation>Déplacer le journal</translation>
    </message>
    <message>
        <source>Use “Move Diary to Cloud Folder” in the Migration pane.</source>
        <translation>Utilisez «&#xa0;Déplacer le journal vers le dossier cloud&#xa0;» dans le volet Migration.</translation>
    </message>
    <message>
        <source>No folder: the home folder is not known.</source>
        <translation>Aucun dossier&#xa0;: le dossier personnel n’est pas connu.</translation>
    </message>
    <message>
        <source>✓ Signed in: the cloud folder is available.</source>
        <translation>✓ Connecté&#xa0;: le dossier cloud est disponible.</translation>
    </message>
    <message>
        <source>Signed out: the cloud folder does not exist yet.</source>
        <translation>Déconnecté&#xa0;: le dossier cloud n’existe pas encore.</translation>
    </message>
    <message>
        <source>✓ Sealed: what goes into the cloud folder is encrypted under your passphrase; nothing in it is plain text.</source>
        <translation>✓ Scellé&#xa0;: ce qui va dans le dossier cloud est chiffré avec votre phrase secrète&#xa0;; rien n’y est en clair.</translation>
    </message>
    <message numerus="yes">
        <source>✓ Sealed. %n file(s) from before sealing are still plain text: each diary seals its own once it has the passphrase.</source>
        <translation>
            <numerusform>✓ Scellé. %Ln fichier d’avant le scellement est encore en clair&#xa0;: chaque journal scelle les siens dès qu’il a la phrase secrète.</numerusform>
            <numerusform>✓ Scellé. %Ln fichiers d’avant le scellement sont encore en clair&#xa0;: chaque journal scelle les siens dès qu’il a la phrase secrète.</numerusform>
        </translation>
    </message>
    <message>
        <source>Change Passphrase…</source>
        <translation>Changer la phrase secrète…</translation>
    </message>
    <message>
        <source>No diary key yet: choose a passphrase to seal the cloud folder. Until then nothing is exchanged with your other machines.</source>
        <translation>Pas encore de clé de journal&#xa0;: choisissez une phrase secrète pour sceller le dossier cloud. D’ici là, rien n’est échangé avec vos autres machines.</translation>
    </message>
    <message>
        <source>Choose Passphrase…</source>
        <translation>Choisir une phrase secrète…</translation>
    </message>
    <message>
        <source>That passphrase does not open the diary key. Nothing is exchanged until the right one is entered.</source>
        <translation>Cette phrase secrète n’ouvre pas la clé du journal. Rien n’est échangé tant que la bonne n’est pas saisie.</translation>
    </message>
    <message>
        <source>The diary&apos;s passphrase (chosen on the machine that moved it to the cloud folder) is needed on this machine. Until then nothing is exchanged; this diary stays as it is.</source>
        <translation>La phrase secrète du journal (choisie sur la machine qui l’a déplacé vers le dossier cloud) est nécessaire sur cette machine. D’ici là, rien n’est échangé&#xa0;; ce journal reste tel qu’il est.</translation>
    </message>
    <message>
        <source>Enter Passphrase…</source>
        <translation>Saisir la phrase secrète…</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Jamais</translation>
    </message>
    <message>
        <source>None yet</source>
        <translation>Aucun pour l’instant</translation>
    </message>
    <message>
        <source>This computer&apos;s clock runs about %1 minutes ahead of another one&apos;s: set it right (for example with “timedatectl set-ntp true”).</source>
        <translation>L’horloge de cet ordinateur avance d’environ %1 minutes sur celle d’un autre&#xa0;: réglez-la (par exemple avec «&#xa0;timedatectl set-ntp true&#xa0;»).</translation>
    </message>
    <message>
        <source>The clock of another computer writing here runs about %1 minutes ahead of this one&apos;s: its changes win over later ones until it is set right.</source>
        <translation>L’horloge d’un autre ordinateur qui écrit ici avance d’environ %1 minutes sur celle-ci&#xa0;: ses modifications l’emportent sur les plus récentes jusqu’à ce qu’elle soit réglée.</translation>
    </message>
    <message>
        <source>Choose the Cloud Folder</source>
        <translation>Choisir le dossier cloud</translation>
    </message>
    <message>
        <source>The chosen folder is forgotten; its files stay where they are.</source>
        <translation>Le dossier choisi est oublié&#xa0;; ses fichiers restent où ils sont.</translation>
    </message>
    <message>
        <source>The settings file cannot be written: the folder is still chosen.</source>
        <translation>Le fichier de réglages ne peut pas être écrit&#xa0;: le dossier reste choisi.</translation>
    </message>
    <message>
        <source>The new passphrase wraps the diary key; every machine that already has the key keeps it. Machines that ask later need the new one.</source>
        <translation>La nouvelle phrase secrète protège la clé du journal&#xa0;; chaque machine qui a déjà la clé la garde. Les machines qui la demanderont plus tard auront besoin de la nouvelle.</translation>
    </message>
    <message>
        <source>The passphrase could not be changed: %1</source>
        <translation>La phrase secrète n’a pas pu être changée&#xa0;: %1</translation>
    </message>
    <message>
        <source>Choose the passphrase that seals the cloud folder. Every other machine asks for it once.</source>
        <translation>Choisissez la phrase secrète qui scelle le dossier cloud. Chaque autre machine la demandera une fois.</translation>
    </message>
    <message>
        <source>Enter the passphrase chosen for this diary&apos;s cloud folder.</source>
        <translation>Saisissez la phrase secrète choisie pour le dossier cloud de ce journal.</translation>
    </message>
</context>
<context>
    <name>quillet::ColorTagSelectView</name>
    <message>
        <source>All colors</source>
        <translation>Toutes les couleurs</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Jaune</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
</context>
<context>
    <name>quillet::DiaryStore</name>
    <message>
        <source>%1 What you type stays in the window and is saved at the next pause.</source>
        <translation>%1 Ce que vous tapez reste dans la fenêtre et sera enregistré à la prochaine pause.</translation>
    </message>
    <message>
        <source>The cloud folder has no place for the diary.</source>
        <translation>Le dossier cloud n’a pas de place pour le journal.</translation>
    </message>
    <message>
        <source>There is already a diary in the cloud folder (“%1”); nothing was moved.</source>
        <translation>Il y a déjà un journal dans le dossier cloud («&#xa0;%1&#xa0;»)&#xa0;; rien n’a été déplacé.</translation>
    </message>
    <message>
        <source>The diary is not open.</source>
        <translation>Le journal n’est pas ouvert.</translation>
    </message>
</context>
<context>
    <name>quillet::EditTextView</name>
    <message>
        <source>Font</source>
        <translation>Police</translation>
    </message>
</context>
<context>
    <name>quillet::EntryRowDelegate</name>
    <message>
        <source>New entry</source>
        <translation>Nouvelle entrée</translation>
    </message>
</context>
<context>
    <name>quillet::ImportDialog</name>
    <message>
        <source>Import Entries</source>
        <translation>Importer des entrées</translation>
    </message>
    <message>
        <source>A diary file or folder</source>
        <translation>Un fichier ou un dossier de journal</translation>
    </message>
    <message>
        <source>&amp;File…</source>
        <translation>&amp;Fichier…</translation>
    </message>
    <message>
        <source>F&amp;older…</source>
        <translation>&amp;Dossier…</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Source&#xa0;:</translation>
    </message>
    <message>
        <source>Detect from the content</source>
        <translation>Détecter d’après le contenu</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format&#xa0;:</translation>
    </message>
    <message>
        <source>&amp;Import</source>
        <translation>&amp;Importer</translation>
    </message>
    <message>
        <source>Import a Diary File</source>
        <translation>Importer un fichier de journal</translation>
    </message>
    <message>
        <source>Import a Diary Folder</source>
        <translation>Importer un dossier de journal</translation>
    </message>
    <message>
        <source>Detected: %1</source>
        <translation>Détecté&#xa0;: %1</translation>
    </message>
    <message>
        <source>Not a diary that can be imported; choose the format if it is one.</source>
        <translation>Ce n’est pas un journal importable&#xa0;; choisissez le format si c’en est un.</translation>
    </message>
    <message>
        <source>Another import is under way; try again when it has ended.</source>
        <translation>Une autre importation est en cours&#xa0;; réessayez quand elle sera terminée.</translation>
    </message>
</context>
<context>
    <name>quillet::JournalControls</name>
    <message>
        <source>Type here to begin a new entry.</source>
        <translation>Tapez ici pour commencer une nouvelle entrée.</translation>
    </message>
    <message>
        <source>red</source>
        <translation>rouge</translation>
    </message>
    <message>
        <source>orange</source>
        <translation>orange</translation>
    </message>
    <message>
        <source>yellow</source>
        <translation>jaune</translation>
    </message>
    <message>
        <source>green</source>
        <translation>verte</translation>
    </message>
    <message>
        <source>blue</source>
        <translation>bleue</translation>
    </message>
    <message>
        <source>No entry contains “%1”.</source>
        <translation>Aucune entrée ne contient «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>No %1 entry contains “%2”.</source>
        <translation>Aucune entrée %1 ne contient «&#xa0;%2&#xa0;».</translation>
    </message>
    <message>
        <source>No entries in %1.

Press %2 to write one.</source>
        <translation>Aucune entrée en %1.

Appuyez sur %2 pour en écrire une.</translation>
    </message>
    <message>
        <source>No %1 entries in %2.</source>
        <translation>Aucune entrée %1 en %2.</translation>
    </message>
</context>
<context>
    <name>quillet::JournalPopovers</name>
    <message>
        <source>Move this entry to the trash?</source>
        <translation>Mettre cette entrée à la corbeille&#xa0;?</translation>
    </message>
    <message>
        <source>It is removed from the diary at once.</source>
        <translation>Elle est retirée du journal immédiatement.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Mettre à la corbeille</translation>
    </message>
    <message>
        <source>Color tag of this entry</source>
        <translation>Étiquette de couleur de cette entrée</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Date et heure</translation>
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
        <translation>&amp;Nouvelle entrée</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>&amp;Export to Text…</source>
        <translation>Exporter en &amp;texte…</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>&amp;Importer…</translation>
    </message>
    <message>
        <source>E&amp;xport…</source>
        <translation>E&amp;xporter…</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>Im&amp;primer…</translation>
    </message>
    <message>
        <source>Se&amp;ttings…</source>
        <translation>Préférence&amp;s…</translation>
    </message>
    <message>
        <source>&amp;Close Window</source>
        <translation>&amp;Fermer la fenêtre</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rétablir</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>Rec&amp;hercher</translation>
    </message>
    <message>
        <source>&amp;Trash Entry…</source>
        <translation>Mettre l’entrée à la &amp;corbeille…</translation>
    </message>
    <message>
        <source>Color &amp;Tag…</source>
        <translation>É&amp;tiquette de couleur…</translation>
    </message>
    <message>
        <source>&amp;Date and Time…</source>
        <translation>&amp;Date et heure…</translation>
    </message>
    <message>
        <source>&amp;Today</source>
        <translation>Aujourd’&amp;hui</translation>
    </message>
    <message>
        <source>&amp;Previous Month</source>
        <translation>Mois &amp;précédent</translation>
    </message>
    <message>
        <source>&amp;Next Month</source>
        <translation>Mois &amp;suivant</translation>
    </message>
    <message>
        <source>Previous &amp;Year</source>
        <translation>Année p&amp;récédente</translation>
    </message>
    <message>
        <source>Next Y&amp;ear</source>
        <translation>Année s&amp;uivante</translation>
    </message>
    <message>
        <source>&amp;Font…</source>
        <translation>&amp;Police…</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Co&amp;uper</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copier</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>C&amp;oller</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>&amp;Raccourcis clavier</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Barre d’outils</translation>
    </message>
    <message>
        <source>Show &amp;Toolbar</source>
        <translation>Afficher la &amp;barre d’outils</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Édition</translation>
    </message>
    <message>
        <source>E&amp;ntry</source>
        <translation>E&amp;ntrée</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>F&amp;ormat</source>
        <translation>F&amp;ormat</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Nouvelle</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Corbeille</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Couleur</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Aujourd’hui</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Exporter</translation>
    </message>
    <message>
        <source>Search all months</source>
        <translation>Rechercher dans tous les mois</translation>
    </message>
    <message>
        <source>Journal</source>
        <translation>Journal</translation>
    </message>
    <message>
        <source>Months and entries</source>
        <translation>Mois et entrées</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Année</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Mois</translation>
    </message>
    <message>
        <source>Color filter</source>
        <translation>Filtre de couleur</translation>
    </message>
    <message>
        <source>Entries</source>
        <translation>Entrées</translation>
    </message>
    <message>
        <source>Entry text</source>
        <translation>Texte de l’entrée</translation>
    </message>
    <message>
        <source>Font size</source>
        <translation>Taille de police</translation>
    </message>
    <message>
        <source>Lists only the entries of one color</source>
        <translation>N’affiche que les entrées d’une couleur</translation>
    </message>
    <message>
        <source>The size of the entry text</source>
        <translation>La taille du texte de l’entrée</translation>
    </message>
    <message>
        <source>Keep your diary in the cloud folder, so that your other computers see the same entries?</source>
        <translation>Garder votre journal dans le dossier cloud, pour que vos autres ordinateurs voient les mêmes entrées&#xa0;?</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Pas maintenant</translation>
    </message>
    <message>
        <source>Use the Cloud Folder</source>
        <translation>Utiliser le dossier cloud</translation>
    </message>
    <message>
        <source>Your diary lives in the cloud folder, which cannot be reached now. Make the cloud folder available again and reopen Quillet.</source>
        <translation>Votre journal se trouve dans le dossier cloud, qui est inaccessible pour l’instant. Rendez le dossier cloud à nouveau disponible et rouvrez Quillet.</translation>
    </message>
    <message>
        <source>&amp;Spelling</source>
        <translation>&amp;Orthographe</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Rechercher le &amp;suivant</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>Rechercher le &amp;précédent</translation>
    </message>
    <message>
        <source>%1 &amp;Help</source>
        <translation>&amp;Aide de %1</translation>
    </message>
</context>
<context>
    <name>quillet::MigrateSettingView</name>
    <message>
        <source>in progress...0%</source>
        <translation>en cours... 0&#xa0;%</translation>
    </message>
    <message>
        <source>Done Successfully</source>
        <translation>Terminé avec succès</translation>
    </message>
    <message>
        <source>Finished With Error</source>
        <translation>Terminé avec une erreur</translation>
    </message>
    <message>
        <source>Migration</source>
        <translation>Migration</translation>
    </message>
    <message>
        <source>Bring in entries from an earlier diary and tidy up the one you have.</source>
        <translation>Reprenez les entrées d’un journal précédent et mettez de l’ordre dans celui que vous avez.</translation>
    </message>
    <message>
        <source>Import Old Data</source>
        <translation>Importer les anciennes données</translation>
    </message>
    <message>
        <source>Copies the entries of the previous Quillet diary into this one.</source>
        <translation>Copie les entrées du précédent journal Quillet dans celui-ci.</translation>
    </message>
    <message>
        <source>Remove Duplicates</source>
        <translation>Supprimer les doublons</translation>
    </message>
    <message>
        <source>Keeps one copy of each entry that was brought in more than once.</source>
        <translation>Garde un seul exemplaire de chaque entrée reprise plus d’une fois.</translation>
    </message>
    <message>
        <source>Move Diary to Cloud Folder</source>
        <translation>Déplacer le journal vers le dossier cloud</translation>
    </message>
    <message>
        <source>Moves this diary into the cloud folder, so that your other computers share it.</source>
        <translation>Déplace ce journal dans le dossier cloud, pour que vos autres ordinateurs le partagent.</translation>
    </message>
    <message>
        <source>in progress...%1%</source>
        <translation>en cours... %1&#xa0;%</translation>
    </message>
</context>
<context>
    <name>quillet::PasscodeView</name>
    <message>
        <source>Number Only</source>
        <translation>Chiffres uniquement</translation>
    </message>
    <message>
        <source>Your diary is locked</source>
        <translation>Votre journal est verrouillé</translation>
    </message>
    <message>
        <source>Passcode Lock</source>
        <translation>Verrouillage par code</translation>
    </message>
    <message>
        <source>Ask for a four-digit passcode once each time the diary opens.</source>
        <translation>Demander un code à quatre chiffres une fois à chaque ouverture du journal.</translation>
    </message>
    <message>
        <source>The passcode lock is off.</source>
        <translation>Le verrouillage par code est désactivé.</translation>
    </message>
    <message>
        <source>Anyone who opens this diary can read it. Turn the lock on to ask for a passcode first.</source>
        <translation>Quiconque ouvre ce journal peut le lire. Activez le verrouillage pour demander d’abord un code.</translation>
    </message>
    <message>
        <source>Turn Passcode On</source>
        <translation>Activer le code</translation>
    </message>
    <message>
        <source>The passcode lock is on.</source>
        <translation>Le verrouillage par code est activé.</translation>
    </message>
    <message>
        <source>The diary asks for the passcode when it opens and stays unlocked until you quit.</source>
        <translation>Le journal demande le code à l’ouverture et reste déverrouillé jusqu’à ce que vous quittiez.</translation>
    </message>
    <message>
        <source>Turn Passcode Off</source>
        <translation>Désactiver le code</translation>
    </message>
    <message>
        <source>Change Passcode</source>
        <translation>Changer le code</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>quillet::PassphraseDialog</name>
    <message>
        <source>Choose a Passphrase</source>
        <translation>Choisir une phrase secrète</translation>
    </message>
    <message>
        <source>Enter the Passphrase</source>
        <translation>Saisir la phrase secrète</translation>
    </message>
    <message>
        <source>Passphrase:</source>
        <translation>Phrase secrète&#xa0;:</translation>
    </message>
    <message>
        <source>Again:</source>
        <translation>Confirmation&#xa0;:</translation>
    </message>
    <message>
        <source>Weak: use at least four words or sixteen characters.</source>
        <translation>Faible&#xa0;: utilisez au moins quatre mots ou seize caractères.</translation>
    </message>
    <message>
        <source>Fair: a few more words would make it strong.</source>
        <translation>Moyenne&#xa0;: quelques mots de plus la rendraient forte.</translation>
    </message>
    <message>
        <source>Strong.</source>
        <translation>Forte.</translation>
    </message>
    <message>
        <source>It cannot be recovered: without it the cloud folder cannot be read.</source>
        <translation>Elle ne peut pas être récupérée&#xa0;: sans elle, le dossier cloud ne peut pas être lu.</translation>
    </message>
    <message>
        <source>A few unrelated words are easy to remember and hard to guess.</source>
        <translation>Quelques mots sans rapport entre eux sont faciles à retenir et difficiles à deviner.</translation>
    </message>
    <message>
        <source>The two passphrases differ.</source>
        <translation>Les deux phrases secrètes diffèrent.</translation>
    </message>
</context>
<context>
    <name>quillet::SettingWindowController</name>
    <message>
        <source>Settings</source>
        <translation>Préférences</translation>
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
        <translation>Préférences — %1</translation>
    </message>
</context>
<context>
    <name>quillet::SpellMarker</name>
    <message>
        <source>No Guesses Found</source>
        <translation>Aucune suggestion</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Ajouter au dictionnaire</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorer</translation>
    </message>
</context>
<context>
    <name>quillet::StatusLabel</name>
    <message>
        <source>Import Old Data...0%</source>
        <translation>Importation des anciennes données... 0&#xa0;%</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importation</translation>
    </message>
    <message>
        <source>Import %1</source>
        <translation>Importation %1</translation>
    </message>
    <message>
        <source>%1...%2%</source>
        <translation>%1... %2&#xa0;%</translation>
    </message>
    <message>
        <source>Import Old Data...%1%</source>
        <translation>Importation des anciennes données... %1&#xa0;%</translation>
    </message>
</context>
</TS>
