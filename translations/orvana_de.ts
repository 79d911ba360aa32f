<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AIReviewError</name>
    <message>
        <source>The AI provider returned an error (HTTP %1).</source>
        <translation>Der KI-Anbieter hat einen Fehler gemeldet (HTTP %1).</translation>
    </message>
    <message>
        <source>No API key configured. Add one in Settings to use AI review.</source>
        <translation>Kein API-Schlüssel eingerichtet. Zum Verwenden der KI-Prüfung einen in den Einstellungen hinzufügen.</translation>
    </message>
    <message>
        <source>The AI provider returned an unreadable response.</source>
        <translation>Der KI-Anbieter hat eine unlesbare Antwort geliefert.</translation>
    </message>
    <message>
        <source>Couldn&apos;t parse the AI provider&apos;s response.</source>
        <translation>Die Antwort des KI-Anbieters konnte nicht ausgewertet werden.</translation>
    </message>
</context>
<context>
    <name>CalDavClient</name>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>Der Server hat Benutzername oder Passwort abgelehnt.</translation>
    </message>
    <message>
        <source>The server %1 has no room left for %2.</source>
        <translation>Auf dem Server %1 ist kein Platz mehr für %2.</translation>
    </message>
    <message>
        <source>The server %1 had a problem (HTTP %2).</source>
        <translation>Beim Server %1 ist ein Problem aufgetreten (HTTP %2).</translation>
    </message>
    <message>
        <source>The server %1 did not allow this (HTTP 403) at %2.</source>
        <translation>Der Server %1 hat dies bei %2 nicht erlaubt (HTTP 403).</translation>
    </message>
    <message>
        <source>The server %1 did not allow this at %2: %3</source>
        <translation>Der Server %1 hat dies bei %2 nicht erlaubt: %3</translation>
    </message>
    <message>
        <source>Nothing was found at %1 on %2.</source>
        <translation>Unter %1 wurde auf %2 nichts gefunden.</translation>
    </message>
    <message>
        <source>The server %1 refused %2: %3</source>
        <translation>Der Server %1 hat %2 abgelehnt: %3</translation>
    </message>
    <message>
        <source>The server %1 answered HTTP %2 at %3.</source>
        <translation>Der Server %1 hat bei %3 mit HTTP %2 geantwortet.</translation>
    </message>
    <message>
        <source>No CalDAV server was found at %1.</source>
        <translation>Unter %1 wurde kein CalDAV-Server gefunden.</translation>
    </message>
    <message>
        <source>No CalDAV calendars were found for %1 at %2.</source>
        <translation>Für %1 wurden unter %2 keine CalDAV-Kalender gefunden.</translation>
    </message>
    <message>
        <source>The server refused to create the calendar “%1”: %2</source>
        <translation>Der Server hat das Anlegen des Kalenders „%1“ abgelehnt: %2</translation>
    </message>
    <message>
        <source>The server %1 listed the changes of %2 only in part.</source>
        <translation>Der Server %1 hat die Änderungen von %2 nur teilweise aufgelistet.</translation>
    </message>
</context>
<context>
    <name>CalendarObject</name>
    <message>
        <source>The server sent a calendar entry that could not be read.</source>
        <translation>Der Server hat einen Kalendereintrag gesendet, der nicht gelesen werden konnte.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>orvana: no session bus to reach the app on</source>
        <translation>orvana: kein Sitzungsbus, über den die App erreichbar wäre</translation>
    </message>
    <message>
        <source>orvana: the app could not be started</source>
        <translation>orvana: Die App konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>orvana: the app stopped while starting</source>
        <translation>orvana: Die App wurde beim Starten beendet</translation>
    </message>
    <message>
        <source>orvana: the app did not start in time</source>
        <translation>orvana: Die App wurde nicht rechtzeitig gestartet</translation>
    </message>
    <message>
        <source>export takes at most one file</source>
        <translation>export nimmt höchstens eine Datei</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Export fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>import takes exactly one file</source>
        <translation>import nimmt genau eine Datei</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Import fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Import failed: Orvana is running and holds the data store; import from the running app or quit it first.</source>
        <translation>Import fehlgeschlagen: Orvana läuft und hält den Datenspeicher; aus der laufenden App importieren oder sie zuerst beenden.</translation>
    </message>
    <message>
        <source>Imported from %1</source>
        <translation>Importiert aus %1</translation>
    </message>
    <message>
        <source>backup takes no arguments</source>
        <translation>backup nimmt keine Argumente</translation>
    </message>
    <message>
        <source>Backup failed: %1</source>
        <translation>Sicherung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Backup failed: today&apos;s backup could not be written to %1</source>
        <translation>Sicherung fehlgeschlagen: Die heutige Sicherung konnte nicht nach %1 geschrieben werden</translation>
    </message>
    <message>
        <source>today takes no arguments</source>
        <translation>today nimmt keine Argumente</translation>
    </message>
    <message>
        <source>goals takes no arguments</source>
        <translation>goals nimmt keine Argumente</translation>
    </message>
    <message>
        <source>stats takes only --json</source>
        <translation>stats nimmt nur --json</translation>
    </message>
    <message>
        <source>Total focus time: %1</source>
        <translation>Fokuszeit insgesamt: %1</translation>
    </message>
    <message numerus="yes">
        <source>Day streak: %n</source>
        <translation>
            <numerusform>Serie: %n Tag</numerusform>
            <numerusform>Serie: %n Tage</numerusform>
        </translation>
    </message>
    <message>
        <source>Active goals: %1</source>
        <translation>Aktive Ziele: %1</translation>
    </message>
    <message>
        <source>Tasks completed: %1/%2</source>
        <translation>Erledigte Aufgaben: %1/%2</translation>
    </message>
    <message>
        <source>focus takes only --goal ID</source>
        <translation>focus nimmt nur --goal ID</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a goal id (see &apos;orvana goals&apos;)</source>
        <translation>„%1“ ist keine Ziel-ID (siehe „orvana goals“)</translation>
    </message>
    <message>
        <source>quick-add takes no arguments</source>
        <translation>quick-add nimmt keine Argumente</translation>
    </message>
    <message>
        <source>write all data as JSON to FILE (or standard output)</source>
        <translation>alle Daten als JSON in FILE schreiben (oder in die
Standardausgabe)</translation>
    </message>
    <message>
        <source>merge an export document into the data</source>
        <translation>ein Exportdokument in die Daten übernehmen</translation>
    </message>
    <message>
        <source>write today&apos;s backup if missing; print its path</source>
        <translation>die heutige Sicherung schreiben, falls sie fehlt;
ihren Pfad ausgeben</translation>
    </message>
    <message>
        <source>say what Today&apos;s One Thing is</source>
        <translation>„Die eine Sache heute“ nennen</translation>
    </message>
    <message>
        <source>list active goals: id, a tab, the title</source>
        <translation>aktive Ziele auflisten: ID, Tabulator, Titel</translation>
    </message>
    <message>
        <source>overview figures (one JSON object with --json)</source>
        <translation>Kennzahlen der Übersicht (mit --json ein JSON-Objekt)</translation>
    </message>
    <message>
        <source>open the focus timer (on a goal) in the app,
starting it when needed</source>
        <translation>den Fokus-Timer (für ein Ziel) in der App öffnen
und die App bei Bedarf starten</translation>
    </message>
    <message>
        <source>open or close the quick-add field, starting the app
when needed; bind it to a key in the desktop</source>
        <translation>das Schnellerfassungsfeld öffnen oder schließen und
die App bei Bedarf starten; in der Arbeitsumgebung
einer Taste zuweisen</translation>
    </message>
    <message>
        <source>sign in to a CalDAV server to sync this data</source>
        <translation>bei einem CalDAV-Server anmelden, um diese Daten zu
synchronisieren</translation>
    </message>
    <message>
        <source>one sync with the server; exit 3
when it stopped before deleting many records here</source>
        <translation>eine Synchronisierung mit dem Server;
Exit-Status 3, wenn sie vor dem Löschen vieler
Einträge hier anhielt</translation>
    </message>
    <message>
        <source>the account, the last sync, what is pending</source>
        <translation>das Konto, die letzte Synchronisierung, was
aussteht</translation>
    </message>
    <message>
        <source>forget the account and its password; keep the data</source>
        <translation>Konto und Passwort vergessen; die Daten bleiben</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>The running app answers today, goals, import and sync itself; an
import then is one step its Ctrl+Z undoes.</source>
        <translation>Läuft die App, beantwortet sie today, goals, import und sync selbst;
ein Import ist dann ein Schritt, den Strg+Z dort rückgängig macht.</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>unbekannter Befehl „%1“</translation>
    </message>
    <message>
        <source>orvana: %1
Try &apos;orvana --help&apos;.</source>
        <translation>orvana: %1
„orvana --help“ zeigt die Hilfe.</translation>
    </message>
</context>
<context>
    <name>DataExportService</name>
    <message>
        <source>A focus session holds a duration that is not a number, so the data cannot be written as JSON.</source>
        <translation>Eine Fokussitzung enthält eine Dauer, die keine Zahl ist; die Daten können daher nicht als JSON geschrieben werden.</translation>
    </message>
    <message>
        <source>The file could not be written.</source>
        <translation>Die Datei konnte nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>DataImport</name>
    <message>
        <source>expected true or false</source>
        <translation>erwartet wurde true oder false</translation>
    </message>
    <message>
        <source>expected a number</source>
        <translation>erwartet wurde eine Zahl</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a list</source>
        <translation>„%1“ muss eine Liste sein</translation>
    </message>
    <message>
        <source>expected a list of whole numbers</source>
        <translation>erwartet wurde eine Liste ganzer Zahlen</translation>
    </message>
    <message>
        <source>the key &quot;%1&quot; is missing</source>
        <translation>der Schlüssel „%1“ fehlt</translation>
    </message>
    <message>
        <source>%1: the key &quot;%2&quot; is missing</source>
        <translation>%1: der Schlüssel „%2“ fehlt</translation>
    </message>
    <message>
        <source>expected text</source>
        <translation>erwartet wurde Text</translation>
    </message>
    <message>
        <source>expected a whole number</source>
        <translation>erwartet wurde eine ganze Zahl</translation>
    </message>
    <message>
        <source>expected a date and time like 2026-03-05T14:07:00Z</source>
        <translation>erwartet wurden Datum und Uhrzeit wie 2026-03-05T14:07:00Z</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a date and time like 2026-03-05T14:07:00Z (UTC, whole seconds)</source>
        <translation>„%1“ ist keine Angabe von Datum und Uhrzeit wie 2026-03-05T14:07:00Z (UTC, ganze Sekunden)</translation>
    </message>
    <message>
        <source>expected an identifier like 6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB</source>
        <translation>erwartet wurde eine Kennung wie 6A1F0C3E-1D2B-4C5A-9E8F-0123456789AB</translation>
    </message>
    <message>
        <source>%1[%2]: expected an object</source>
        <translation>%1[%2]: erwartet wurde ein Objekt</translation>
    </message>
    <message>
        <source>This file uses export format %1, which this version of Orvana doesn&apos;t understand.</source>
        <translation>Diese Datei verwendet das Exportformat %1, das diese Version von Orvana nicht versteht.</translation>
    </message>
    <message>
        <source>The file is not valid JSON (%1).</source>
        <translation>Die Datei ist kein gültiges JSON (%1).</translation>
    </message>
    <message>
        <source>The file is not an Orvana export: its top level is not an object.</source>
        <translation>Die Datei ist kein Orvana-Export: Ihre oberste Ebene ist kein Objekt.</translation>
    </message>
    <message>
        <source>The file is not a valid Orvana export: %1.</source>
        <translation>Die Datei ist kein gültiger Orvana-Export: %1.</translation>
    </message>
</context>
<context>
    <name>DeletedElsewhereModel</name>
    <message>
        <source>Week of %1</source>
        <translation>Woche vom %1</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation>%1 am %2</translation>
    </message>
</context>
<context>
    <name>GetTodaysOneThingIntent</name>
    <message>
        <source>Nothing is set as Today&apos;s One Thing yet.</source>
        <translation>Noch ist nichts als „Die eine Sache heute“ festgelegt.</translation>
    </message>
    <message>
        <source>Today&apos;s One Thing is %1.</source>
        <translation>„Die eine Sache heute“ ist %1.</translation>
    </message>
</context>
<context>
    <name>HostedAIReviewError</name>
    <message>
        <source>The hosted proxy returned an error (HTTP %1).</source>
        <translation>Der gehostete Proxy hat einen Fehler gemeldet (HTTP %1).</translation>
    </message>
    <message>
        <source>The hosted proxy URL in Settings is invalid.</source>
        <translation>Die URL des gehosteten Proxys in den Einstellungen ist ungültig.</translation>
    </message>
    <message>
        <source>Couldn&apos;t verify this device with the hosted proxy. Try again.</source>
        <translation>Dieses Gerät konnte beim gehosteten Proxy nicht bestätigt werden. Bitte erneut versuchen.</translation>
    </message>
    <message>
        <source>Couldn&apos;t register this device with the hosted proxy.</source>
        <translation>Dieses Gerät konnte beim gehosteten Proxy nicht registriert werden.</translation>
    </message>
    <message>
        <source>You&apos;ve reached the free weekly AI review limit. Add your own API key in Settings for unlimited use.</source>
        <translation>Das kostenlose wöchentliche Kontingent für KI-Prüfungen ist aufgebraucht. Für unbegrenzte Nutzung einen eigenen API-Schlüssel in den Einstellungen hinzufügen.</translation>
    </message>
    <message>
        <source>The hosted AI review service is at capacity right now. Try again later, or add your own API key in Settings.</source>
        <translation>Der gehostete KI-Prüfdienst ist gerade ausgelastet. Später erneut versuchen oder einen eigenen API-Schlüssel in den Einstellungen hinzufügen.</translation>
    </message>
    <message>
        <source>The hosted proxy returned an unreadable response.</source>
        <translation>Der gehostete Proxy hat eine unlesbare Antwort geliefert.</translation>
    </message>
    <message>
        <source>Couldn&apos;t parse the hosted proxy&apos;s response.</source>
        <translation>Die Antwort des gehosteten Proxys konnte nicht ausgewertet werden.</translation>
    </message>
</context>
<context>
    <name>LaunchAtLogin</name>
    <message>
        <source>The folder %1 could not be made.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden.</translation>
    </message>
</context>
<context>
    <name>NetworkRequestPerformer</name>
    <message>
        <source>%1. Its SHA-256 fingerprint is %2.</source>
        <translation>%1. Sein SHA-256-Fingerabdruck ist %2.</translation>
    </message>
    <message>
        <source>The answer from %1 was too large.</source>
        <translation>Die Antwort von %1 war zu groß.</translation>
    </message>
    <message>
        <source>The certificate of %1 is not trusted: %2</source>
        <translation>Dem Zertifikat von %1 wird nicht vertraut: %2</translation>
    </message>
    <message>
        <source>The request timed out after %1 seconds.</source>
        <translation>Die Anfrage wurde nach %1 Sekunden abgebrochen.</translation>
    </message>
    <message>
        <source>Couldn&apos;t reach %1 (%2).</source>
        <translation>%1 ist nicht erreichbar (%2).</translation>
    </message>
</context>
<context>
    <name>NotificationService</name>
    <message>
        <source>Reminder</source>
        <comment>the title of a task&apos;s reminder notification</comment>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>Plan your day</source>
        <translation>Den Tag planen</translation>
    </message>
    <message>
        <source>Today&apos;s One Thing isn&apos;t set yet.</source>
        <translation>„Die eine Sache heute“ ist noch nicht festgelegt.</translation>
    </message>
    <message>
        <source>Weekly review</source>
        <translation>Wochenrückblick</translation>
    </message>
    <message>
        <source>See what moved this week, and plan the next one.</source>
        <translation>Sehen, was diese Woche vorangekommen ist, und die nächste planen.</translation>
    </message>
    <message>
        <source>Focus session complete</source>
        <translation>Fokussitzung abgeschlossen</translation>
    </message>
    <message>
        <source>Work session complete — take a break</source>
        <translation>Arbeitsphase abgeschlossen – Zeit für eine Pause</translation>
    </message>
    <message>
        <source>Break&apos;s over — back to it</source>
        <translation>Pause vorbei – weiter geht’s</translation>
    </message>
    <message>
        <source>Nice work.</source>
        <translation>Gut gemacht.</translation>
    </message>
</context>
<context>
    <name>OrvanaApp</name>
    <message>
        <source>Plan personal goals and do focused work.</source>
        <translation>Persönliche Ziele planen und konzentriert arbeiten.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Diese Hilfe anzeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Die Version anzeigen und beenden.</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <source>orvana: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set). Start Orvana from a desktop session.</source>
        <translation>orvana: keine Anzeige für das Fenster (weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt). Orvana bitte aus einer Desktop-Sitzung starten.</translation>
    </message>
    <message>
        <source>Orvana is already running but does not answer: %1</source>
        <translation>Orvana läuft bereits, antwortet aber nicht: %1</translation>
    </message>
    <message>
        <source>orvana: the desktop&apos;s requests cannot reach this window: %1</source>
        <translation>orvana: Anfragen der Arbeitsumgebung erreichen dieses Fenster nicht: %1</translation>
    </message>
</context>
<context>
    <name>PersistenceController</name>
    <message>
        <source>Orvana could not set up its data store.

Store file: %1
%2</source>
        <translation>Orvana konnte seinen Datenspeicher nicht einrichten.

Speicherdatei: %1
%2</translation>
    </message>
    <message>
        <source>Orvana could not set up its data store.

Store file: %1
%2

The file has not been changed.</source>
        <translation>Orvana konnte seinen Datenspeicher nicht einrichten.

Speicherdatei: %1
%2

Die Datei wurde nicht verändert.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>%1 (Ctrl+N)</source>
        <translation>%1 (Strg+N)</translation>
    </message>
    <message>
        <source>Goal</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keines</translation>
    </message>
</context>
<context>
    <name>SecretBackend</name>
    <message>
        <source>The system keyring did not answer. If it asks for a password, enter it and try again.</source>
        <translation>Der Schlüsselbund des Systems hat nicht geantwortet. Falls er nach einem Passwort fragt, dieses eingeben und erneut versuchen.</translation>
    </message>
    <message>
        <source>The system keyring refused the request (%1).</source>
        <translation>Der Schlüsselbund des Systems hat die Anfrage abgelehnt (%1).</translation>
    </message>
    <message>
        <source>Couldn&apos;t read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 is damaged; move it away to store secrets again.</source>
        <translation>%1 ist beschädigt; die Datei verschieben, um wieder Geheimnisse speichern zu können.</translation>
    </message>
    <message>
        <source>Couldn&apos;t create the folder %1.</source>
        <translation>Der Ordner %1 konnte nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Couldn&apos;t write %1: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The secret store was closed.</source>
        <translation>Der Geheimnisspeicher wurde geschlossen.</translation>
    </message>
</context>
<context>
    <name>SidebarSection</name>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Goals</source>
        <translation>Ziele</translation>
    </message>
    <message>
        <source>Weeks</source>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>Focus Blocks</source>
        <translation>Fokusblöcke</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
</context>
<context>
    <name>SqliteStore</name>
    <message>
        <source>The path is a folder, not a store file.</source>
        <translation>Der Pfad ist ein Ordner, keine Datenspeicherdatei.</translation>
    </message>
    <message>
        <source>The file cannot be read (%1).</source>
        <translation>Die Datei kann nicht gelesen werden (%1).</translation>
    </message>
    <message>
        <source>The file is empty; it is not an Orvana data store.</source>
        <translation>Die Datei ist leer; sie ist kein Orvana-Datenspeicher.</translation>
    </message>
    <message>
        <source>The file is not an Orvana data store (unrecognised contents).</source>
        <translation>Die Datei ist kein Orvana-Datenspeicher (unbekannter Inhalt).</translation>
    </message>
    <message>
        <source>The file cannot be written (%1).</source>
        <translation>Die Datei kann nicht geschrieben werden (%1).</translation>
    </message>
    <message>
        <source>The file cannot be opened (%1).</source>
        <translation>Die Datei kann nicht geöffnet werden (%1).</translation>
    </message>
    <message>
        <source>The file is damaged or not a database (%1).</source>
        <translation>Die Datei ist beschädigt oder keine Datenbank (%1).</translation>
    </message>
    <message>
        <source>The file is a database of another program, not an Orvana data store.</source>
        <translation>Die Datei ist die Datenbank eines anderen Programms, kein Orvana-Datenspeicher.</translation>
    </message>
    <message>
        <source>The file records no schema version; it is damaged (%1).</source>
        <translation>Die Datei enthält keine Schemaversion; sie ist beschädigt (%1).</translation>
    </message>
    <message>
        <source>The store was written by a newer version of Orvana (store version %1; this version reads %2).</source>
        <translation>Der Datenspeicher wurde von einer neueren Version von Orvana geschrieben (Speicherversion %1; diese Version liest %2).</translation>
    </message>
    <message>
        <source>The store has an unsupported version (%1; this version reads %2).</source>
        <translation>Der Datenspeicher hat eine nicht unterstützte Version (%1; diese Version liest %2).</translation>
    </message>
    <message>
        <source>The store is damaged: table %1 is missing or has the wrong columns.</source>
        <translation>Der Datenspeicher ist beschädigt: Die Tabelle %1 fehlt oder hat die falschen Spalten.</translation>
    </message>
    <message>
        <source>The store cannot be created (%1).</source>
        <translation>Der Datenspeicher kann nicht angelegt werden (%1).</translation>
    </message>
    <message>
        <source>%1 is a file, not a folder.</source>
        <translation>%1 ist eine Datei, kein Ordner.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be written (%2).</source>
        <translation>In den Ordner %1 kann nicht geschrieben werden (%2).</translation>
    </message>
    <message>
        <source>The lock file %1 cannot be opened (%2).</source>
        <translation>Die Sperrdatei %1 kann nicht geöffnet werden (%2).</translation>
    </message>
    <message>
        <source>Another Orvana process is already using this store.</source>
        <translation>Ein anderer Orvana-Prozess verwendet diesen Datenspeicher bereits.</translation>
    </message>
    <message>
        <source>The store cannot be locked for writing (%1).</source>
        <translation>Der Datenspeicher kann nicht zum Schreiben gesperrt werden (%1).</translation>
    </message>
    <message>
        <source>Reading the store</source>
        <translation>Lesen des Datenspeichers</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>Preparing a statement</source>
        <translation>Vorbereiten einer Anweisung</translation>
    </message>
    <message>
        <source>Deleting a record</source>
        <translation>Löschen eines Eintrags</translation>
    </message>
    <message>
        <source>The store was opened for reading only.</source>
        <translation>Der Datenspeicher wurde nur zum Lesen geöffnet.</translation>
    </message>
    <message>
        <source>Reading the trail</source>
        <translation>Lesen der Spur</translation>
    </message>
    <message>
        <source>No sync account is set up.</source>
        <translation>Es ist kein Konto für die Synchronisierung eingerichtet.</translation>
    </message>
</context>
<context>
    <name>StartFocusSessionIntent</name>
    <message>
        <source>a goal</source>
        <translation>ein Ziel</translation>
    </message>
    <message>
        <source>Opening Orvana to start a focus session for %1.</source>
        <translation>Orvana wird geöffnet, um eine Fokussitzung für %1 zu starten.</translation>
    </message>
</context>
<context>
    <name>SyncCommand</name>
    <message>
        <source>Password: </source>
        <translation>Passwort: </translation>
    </message>
    <message>
        <source>Orvana is running and holds the data store; quit it first.</source>
        <translation>Orvana läuft und hält den Datenspeicher; Orvana zuerst beenden.</translation>
    </message>
    <message>
        <source>Sign-in failed: %1</source>
        <translation>Anmeldung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>--user needs a name</source>
        <translation>--user braucht einen Namen</translation>
    </message>
    <message>
        <source>sync setup has no option &apos;%1&apos;</source>
        <translation>sync setup hat keine Option „%1“</translation>
    </message>
    <message>
        <source>sync setup takes one server address</source>
        <translation>sync setup nimmt eine Serveradresse</translation>
    </message>
    <message>
        <source>sync setup needs the server&apos;s address</source>
        <translation>sync setup braucht die Adresse des Servers</translation>
    </message>
    <message>
        <source>sync setup needs --user NAME</source>
        <translation>sync setup braucht --user NAME</translation>
    </message>
    <message>
        <source>Sign-in failed: “%1” is not a server address.</source>
        <translation>Anmeldung fehlgeschlagen: „%1“ ist keine Serveradresse.</translation>
    </message>
    <message>
        <source>Sign-in failed: plain http:// would send your password unencrypted; use https://, or --allow-insecure for a server you trust on your own network.</source>
        <translation>Anmeldung fehlgeschlagen: Über reines http:// würde das Passwort unverschlüsselt gesendet; https:// verwenden oder --allow-insecure für einen vertrauenswürdigen Server im eigenen Netzwerk.</translation>
    </message>
    <message>
        <source>Sign-in failed: no password was given (on a terminal it is asked for; otherwise give it with --password-stdin).</source>
        <translation>Anmeldung fehlgeschlagen: Kein Passwort angegeben (im Terminal wird danach gefragt; sonst mit --password-stdin übergeben).</translation>
    </message>
    <message>
        <source>Signed in to %1 as %2.</source>
        <translation>Bei %1 als %2 angemeldet.</translation>
    </message>
    <message>
        <source>sync status takes only --json</source>
        <translation>sync status nimmt nur --json</translation>
    </message>
    <message>
        <source>Sync status failed: %1</source>
        <translation>Synchronisierungsstatus fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Sync is off: no account is set up.</source>
        <translation>Synchronisierung ist aus: Kein Konto eingerichtet.</translation>
    </message>
    <message>
        <source>Account: %1
User: %2
Last sync: %3
Pending changes: %4
Open conflicts: %5
Deleted on another device (30 days): %6
Last error: %7</source>
        <translation>Konto: %1
Benutzer: %2
Letzte Synchronisierung: %3
Ausstehende Änderungen: %4
Offene Konflikte: %5
Auf einem anderen Gerät gelöscht (30 Tage): %6
Letzter Fehler: %7</translation>
    </message>
    <message>
        <source>never</source>
        <comment>last sync</comment>
        <translation>nie</translation>
    </message>
    <message>
        <source>none</source>
        <comment>last error</comment>
        <translation>keiner</translation>
    </message>
    <message>
        <source>sync signout takes no arguments</source>
        <translation>sync signout nimmt keine Argumente</translation>
    </message>
    <message>
        <source>Sign-out failed: %1</source>
        <translation>Abmeldung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Signed out, but the password is still in the secret store: %1</source>
        <translation>Abgemeldet, aber das Passwort ist noch im Passwortspeicher: %1</translation>
    </message>
    <message>
        <source>Signed out. The records on this device stay.</source>
        <translation>Abgemeldet. Die Einträge auf diesem Gerät bleiben erhalten.</translation>
    </message>
    <message>
        <source>Sync failed: %1</source>
        <translation>Synchronisierung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>sync has no option &apos;%1&apos;</source>
        <translation>sync hat keine Option „%1“</translation>
    </message>
    <message>
        <source>unknown sync command &apos;%1&apos;</source>
        <translation>unbekannter sync-Befehl „%1“</translation>
    </message>
</context>
<context>
    <name>SyncController</name>
    <message>
        <source>Sync failed: this app has no network here.</source>
        <translation>Synchronisierung fehlgeschlagen: Diese Anwendung hat hier kein Netzwerk.</translation>
    </message>
    <message>
        <source>This app cannot sync without its data store.</source>
        <translation>Ohne ihren Datenspeicher kann diese Anwendung nicht synchronisieren.</translation>
    </message>
    <message>
        <source>“%1” is not a server address.</source>
        <translation>„%1“ ist keine Serveradresse.</translation>
    </message>
    <message>
        <source>Plain http:// would send your password unencrypted. Use https://, or allow an unencrypted connection for a server you trust on your own network.</source>
        <translation>Über einfaches http:// würde das Passwort unverschlüsselt gesendet. https:// verwenden oder eine unverschlüsselte Verbindung für einen vertrauenswürdigen Server im eigenen Netzwerk erlauben.</translation>
    </message>
    <message>
        <source>Enter your user name.</source>
        <translation>Bitte den Benutzernamen eingeben.</translation>
    </message>
    <message>
        <source>Enter your password.</source>
        <translation>Bitte das Passwort eingeben.</translation>
    </message>
    <message>
        <source>Sync failed: signed out while the sync waited.</source>
        <translation>Synchronisierung fehlgeschlagen: Während die Synchronisierung wartete, wurde abgemeldet.</translation>
    </message>
</context>
<context>
    <name>SyncCycle</name>
    <message>
        <source>the password could not be kept: %1</source>
        <translation>das Passwort konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Signed out, but the password is still in the secret store: %1</source>
        <translation>Abgemeldet, aber das Passwort ist noch im Geheimnisspeicher: %1</translation>
    </message>
    <message>
        <source>Sync failed: %1</source>
        <translation>Synchronisierung fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Sync stopped: the server no longer holds this account&apos;s data (it was restored or reset, or holds another account&apos;s). Nothing was changed; run orvana sync --allow-deletions to send everything on this device to it again.</source>
        <translation>Synchronisierung angehalten: Der Server enthält die Daten dieses Kontos nicht mehr (er wurde wiederhergestellt oder zurückgesetzt oder enthält die Daten eines anderen Kontos). Es wurde nichts geändert; mit „orvana sync --allow-deletions“ wird alles auf diesem Gerät erneut an ihn gesendet.</translation>
    </message>
    <message numerus="yes">
        <source>Sync stopped: it would delete %n records on this device that another device deleted. Nothing was changed; run orvana sync --allow-deletions to delete them.</source>
        <translation>
            <numerusform>Synchronisierung angehalten: Dabei würde %n Eintrag auf diesem Gerät entfernt, den ein anderes Gerät gelöscht hat. Es wurde nichts geändert; mit „orvana sync --allow-deletions“ wird er gelöscht.</numerusform>
            <numerusform>Synchronisierung angehalten: Dabei würden %n Einträge auf diesem Gerät entfernt, die ein anderes Gerät gelöscht hat. Es wurde nichts geändert; mit „orvana sync --allow-deletions“ werden sie gelöscht.</numerusform>
        </translation>
    </message>
    <message>
        <source>Sync failed: no account is set up (orvana sync setup).</source>
        <translation>Synchronisierung fehlgeschlagen: Es ist kein Konto eingerichtet (orvana sync setup).</translation>
    </message>
    <message>
        <source>Sync failed: the password is not in the secret store; sign in again (orvana sync setup).</source>
        <translation>Synchronisierung fehlgeschlagen: Das Passwort ist nicht im Geheimnisspeicher; bitte erneut anmelden (orvana sync setup).</translation>
    </message>
    <message numerus="yes">
        <source>Sync failed: the server refused %n records (%1); the others were synced.</source>
        <translation>
            <numerusform>Synchronisierung fehlgeschlagen: Der Server hat %n Eintrag abgelehnt (%1); die übrigen wurden synchronisiert.</numerusform>
            <numerusform>Synchronisierung fehlgeschlagen: Der Server hat %n Einträge abgelehnt (%1); die übrigen wurden synchronisiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Synced: %1 received, %2 deleted here, %3 sent, %4 deleted on the server, %5 conflicts.</source>
        <translation>Synchronisiert: %1 empfangen, %2 hier gelöscht, %3 gesendet, %4 auf dem Server gelöscht, %5 Konflikte.</translation>
    </message>
</context>
<context>
    <name>SyncEngine</name>
    <message>
        <source>The calendar “%1” on the server is full: %2</source>
        <translation>Der Kalender „%1“ auf dem Server ist voll: %2</translation>
    </message>
    <message>
        <source>Sync is not set up.</source>
        <translation>Die Synchronisierung ist nicht eingerichtet.</translation>
    </message>
    <message>
        <source>The server would not list the calendar %1.</source>
        <translation>Der Server hat den Kalender %1 nicht aufgelistet.</translation>
    </message>
    <message>
        <source>That record is not among those deleted on another device.</source>
        <translation>Dieser Eintrag ist nicht unter den auf einem anderen Gerät gelöschten.</translation>
    </message>
    <message>
        <source>The record of that conflict is gone.</source>
        <translation>Der Eintrag dieses Konflikts ist nicht mehr vorhanden.</translation>
    </message>
</context>
<context>
    <name>SyncListText</name>
    <message>
        <source>Goal</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Woche</translation>
    </message>
    <message>
        <source>Week item</source>
        <translation>Wochenpunkt</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Focus block</source>
        <translation>Fokusblock</translation>
    </message>
    <message>
        <source>Focus minutes</source>
        <translation>Fokusminuten</translation>
    </message>
    <message>
        <source>Focus session</source>
        <translation>Fokussitzung</translation>
    </message>
    <message>
        <source>%1 at %2</source>
        <translation>%1 um %2</translation>
    </message>
</context>
<context>
    <name>SyncSetup</name>
    <message>
        <source>The calendar “Orvana Plan” on the server holds a damaged account mark.</source>
        <translation>Der Kalender „Orvana Plan“ auf dem Server enthält eine beschädigte Kontomarkierung.</translation>
    </message>
    <message>
        <source>The server&apos;s account mark could not be read.</source>
        <translation>Die Kontomarkierung des Servers konnte nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>SyncState</name>
    <message>
        <source>No sync account is set up.</source>
        <translation>Es ist kein Konto für die Synchronisierung eingerichtet.</translation>
    </message>
</context>
<context>
    <name>SyncStatus</name>
    <message>
        <source>Last synced just now</source>
        <translation>Gerade eben synchronisiert</translation>
    </message>
    <message numerus="yes">
        <source>Last synced %n min ago</source>
        <translation>
            <numerusform>Zuletzt vor %n Min. synchronisiert</numerusform>
            <numerusform>Zuletzt vor %n Min. synchronisiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Last synced %n h ago</source>
        <translation>
            <numerusform>Zuletzt vor %n Std. synchronisiert</numerusform>
            <numerusform>Zuletzt vor %n Std. synchronisiert</numerusform>
        </translation>
    </message>
    <message>
        <source>Last synced on %1</source>
        <translation>Zuletzt synchronisiert am %1</translation>
    </message>
    <message numerus="yes">
        <source>Trying again in %n s.</source>
        <translation>
            <numerusform>Neuer Versuch in %n s.</numerusform>
            <numerusform>Neuer Versuch in %n s.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Trying again in %n min.</source>
        <translation>
            <numerusform>Neuer Versuch in %n Min.</numerusform>
            <numerusform>Neuer Versuch in %n Min.</numerusform>
        </translation>
    </message>
    <message>
        <source>Sync is off</source>
        <translation>Synchronisierung ist aus</translation>
    </message>
    <message>
        <source>Syncing… %1 of %2 sent</source>
        <translation>Synchronisierung … %1 von %2 gesendet</translation>
    </message>
    <message>
        <source>Syncing…</source>
        <translation>Synchronisierung …</translation>
    </message>
    <message>
        <source>Sync is waiting for your answer</source>
        <translation>Die Synchronisierung wartet auf eine Antwort</translation>
    </message>
    <message>
        <source>Not synced yet</source>
        <translation>Noch nicht synchronisiert</translation>
    </message>
</context>
<context>
    <name>WebDav</name>
    <message>
        <source>The server&apos;s answer could not be read.</source>
        <translation>Die Antwort des Servers konnte nicht gelesen werden.</translation>
    </message>
</context>
<context>
    <name>orvana::AIReviewSectionModel</name>
    <message>
        <source>Using the free hosted reviewer (limited per week). Add your own key in Settings (Ctrl+,) for unlimited use.</source>
        <translation>Der kostenlose gehostete Prüfdienst wird verwendet (wöchentlich begrenzt). Für unbegrenzte Nutzung einen eigenen Schlüssel in den Einstellungen (Strg+,) hinzufügen.</translation>
    </message>
    <message>
        <source>Wording is vague</source>
        <translation>Formulierung ist vage</translation>
    </message>
    <message>
        <source>No measurable outcome</source>
        <translation>Kein messbares Ergebnis</translation>
    </message>
    <message>
        <source>Looks overcommitted</source>
        <translation>Wirkt zu viel vorgenommen</translation>
    </message>
    <message>
        <source>Looks solid</source>
        <translation>Wirkt solide</translation>
    </message>
    <message>
        <source>Couldn&apos;t save this device&apos;s identity: %1</source>
        <translation>Die Kennung dieses Geräts konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Something went wrong.</source>
        <translation>Etwas ist schiefgegangen.</translation>
    </message>
</context>
<context>
    <name>orvana::AIReviewSectionView</name>
    <message>
        <source>AI Review</source>
        <translation>KI-Prüfung</translation>
    </message>
    <message>
        <source>Reviewing…</source>
        <translation>Wird geprüft …</translation>
    </message>
</context>
<context>
    <name>orvana::AIReviewWindow</name>
    <message>
        <source>AI Review</source>
        <translation>KI-Prüfung</translation>
    </message>
    <message>
        <source>Goal or weekly plan to review:</source>
        <translation>Zu prüfendes Ziel oder zu prüfender Wochenplan:</translation>
    </message>
    <message>
        <source>For example: Run a half marathon by May — three runs a week.</source>
        <translation>Zum Beispiel: Bis Mai einen Halbmarathon laufen – drei Läufe pro Woche.</translation>
    </message>
    <message>
        <source>Text to review</source>
        <translation>Zu prüfender Text</translation>
    </message>
</context>
<context>
    <name>orvana::ApplicationBus</name>
    <message>
        <source>&apos;%1&apos; is not a goal id.</source>
        <translation>„%1“ ist keine Ziel-ID.</translation>
    </message>
    <message>
        <source>Import needs an absolute path, not &apos;%1&apos;.</source>
        <translation>Der Import braucht einen absoluten Pfad, nicht „%1“.</translation>
    </message>
</context>
<context>
    <name>orvana::BusyIndicator</name>
    <message>
        <source>Working…</source>
        <translation>Wird bearbeitet …</translation>
    </message>
</context>
<context>
    <name>orvana::DailyBarChart</name>
    <message>
        <source>Minutes per day</source>
        <translation>Minuten pro Tag</translation>
    </message>
    <message>
        <source>No focus minutes.</source>
        <translation>Keine Fokusminuten.</translation>
    </message>
    <message>
        <source>No focus minutes between %1 and %2.</source>
        <translation>Keine Fokusminuten zwischen %1 und %2.</translation>
    </message>
    <message>
        <source>Focus on 1 day, %1, with %2.</source>
        <translation>Fokus an 1 Tag, %1, mit %2.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minuten</translation>
    </message>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Focus on %n days between %1 and %2. The busiest day, %3, had %4.</source>
        <translation>
            <numerusform>Fokus an %n Tag zwischen %1 und %2. Der aktivste Tag, %3, hatte %4.</numerusform>
            <numerusform>Fokus an %n Tagen zwischen %1 und %2. Der aktivste Tag, %3, hatte %4.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::DataTransferModel</name>
    <message>
        <source>Exporting…</source>
        <translation>Wird exportiert …</translation>
    </message>
    <message>
        <source>Export failed: %1</source>
        <translation>Export fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>The records are no longer open.</source>
        <translation>Die Einträge sind nicht mehr geöffnet.</translation>
    </message>
    <message>
        <source>Exporting to %1…</source>
        <translation>Export nach %1 …</translation>
    </message>
    <message>
        <source>Exported to %1</source>
        <translation>Nach %1 exportiert</translation>
    </message>
    <message>
        <source>Export cancelled</source>
        <translation>Export abgebrochen</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>%1 wird gelesen …</translation>
    </message>
    <message>
        <source>Import failed: %1</source>
        <translation>Import fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Importing %1…</source>
        <translation>%1 wird importiert …</translation>
    </message>
    <message>
        <source>Imported from %1</source>
        <translation>Aus %1 importiert</translation>
    </message>
    <message>
        <source>Import cancelled</source>
        <translation>Import abgebrochen</translation>
    </message>
</context>
<context>
    <name>orvana::DayTaskFormModel</name>
    <message>
        <source>Edit Task</source>
        <translation>Aufgabe bearbeiten</translation>
    </message>
    <message>
        <source>New Task</source>
        <translation>Neue Aufgabe</translation>
    </message>
</context>
<context>
    <name>orvana::DayTaskFormView</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Make this today&apos;s &amp;one thing</source>
        <translation>Zu „Die &amp;eine Sache heute“ machen</translation>
    </message>
    <message>
        <source>Set a &amp;reminder</source>
        <translation>&amp;Erinnerung festlegen</translation>
    </message>
    <message>
        <source>Remind me at</source>
        <translation>Erinnern um</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>&amp;Titel</translation>
    </message>
    <message>
        <source>&amp;Date</source>
        <translation>&amp;Datum</translation>
    </message>
    <message>
        <source>&amp;Goal</source>
        <translation>&amp;Ziel</translation>
    </message>
    <message>
        <source>Remind &amp;me at</source>
        <translation>Erinnern &amp;um</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
</context>
<context>
    <name>orvana::DeletedElsewhereModel</name>
    <message>
        <source>Deleted on Another Device</source>
        <translation>Auf anderem Gerät gelöscht</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Nothing Deleted Elsewhere</source>
        <translation>Nichts anderswo gelöscht</translation>
    </message>
    <message>
        <source>Records another device deletes are listed here for 30 days, so you can bring them back.</source>
        <translation>Einträge, die ein anderes Gerät löscht, werden hier 30 Tage lang aufgeführt und können wiederhergestellt werden.</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>%1 went with it</source>
        <translation>Mitgelöscht: %1</translation>
    </message>
    <message>
        <source>It couldn&apos;t be restored: %1</source>
        <translation>Wiederherstellen nicht möglich: %1</translation>
    </message>
    <message>
        <source>%1 · deleted %2</source>
        <translation>%1 · gelöscht am %2</translation>
    </message>
    <message>
        <source>%1, deleted %2</source>
        <translation>%1, gelöscht am %2</translation>
    </message>
    <message>
        <source>%1. %2</source>
        <translation>%1. %2</translation>
    </message>
    <message numerus="yes">
        <source>%n weeks</source>
        <translation>
            <numerusform>%n Woche</numerusform>
            <numerusform>%n Wochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n week items</source>
        <translation>
            <numerusform>%n Wochenpunkt</numerusform>
            <numerusform>%n Wochenpunkte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks</source>
        <translation>
            <numerusform>%n Aufgabe</numerusform>
            <numerusform>%n Aufgaben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n focus blocks</source>
        <translation>
            <numerusform>%n Fokusblock</numerusform>
            <numerusform>%n Fokusblöcke</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n days of focus minutes</source>
        <translation>
            <numerusform>Fokusminuten von %n Tag</numerusform>
            <numerusform>Fokusminuten von %n Tagen</numerusform>
        </translation>
    </message>
    <message>
        <source>, </source>
        <comment>between the items of a list</comment>
        <translation>, </translation>
    </message>
</context>
<context>
    <name>orvana::DurationText</name>
    <message>
        <source>%1m</source>
        <comment>minutes</comment>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1h</source>
        <comment>hours</comment>
        <translation>%1 Std.</translation>
    </message>
    <message>
        <source>%1h %2m</source>
        <comment>hours and minutes</comment>
        <translation>%1 Std. %2 Min.</translation>
    </message>
</context>
<context>
    <name>orvana::ExportFile</name>
    <message>
        <source>it can only be opened once, for writing</source>
        <translation>sie kann nur einmal geöffnet werden, zum Schreiben</translation>
    </message>
    <message>
        <source>it changed while being opened</source>
        <translation>sie hat sich beim Öffnen geändert</translation>
    </message>
    <message>
        <source>not a file, a FIFO or a character device</source>
        <translation>keine Datei, kein FIFO und kein zeichenorientiertes Gerät</translation>
    </message>
</context>
<context>
    <name>orvana::FocusBlockFormModel</name>
    <message>
        <source>Edit Recurring Block</source>
        <translation>Wiederkehrenden Block bearbeiten</translation>
    </message>
    <message>
        <source>New Recurring Block</source>
        <translation>Neuer wiederkehrender Block</translation>
    </message>
    <message>
        <source>Every week, on these days at this time, the block will show up on Today waiting for a tap to start — it won&apos;t start itself.</source>
        <translation>Jede Woche erscheint der Block an diesen Tagen zu dieser Uhrzeit unter „Heute“ und wartet darauf, gestartet zu werden – von selbst startet er nicht.</translation>
    </message>
</context>
<context>
    <name>orvana::FocusBlockFormView</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Duration: </source>
        <translation>Dauer: </translation>
    </message>
    <message>
        <source> min</source>
        <translation> Min.</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Repeats On</source>
        <translation>Wiederholen am</translation>
    </message>
    <message>
        <source>Goal</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
</context>
<context>
    <name>orvana::FocusBlockListModel</name>
    <message>
        <source>unknown day</source>
        <translation>unbekannter Tag</translation>
    </message>
    <message>
        <source>%1, at %2, %3 min</source>
        <translation>%1, um %2, %3 Min.</translation>
    </message>
    <message>
        <source>Focus Blocks</source>
        <translation>Fokusblöcke</translation>
    </message>
    <message>
        <source>Add Recurring Block</source>
        <translation>Wiederkehrenden Block hinzufügen</translation>
    </message>
    <message>
        <source>No Recurring Blocks</source>
        <translation>Keine wiederkehrenden Blöcke</translation>
    </message>
    <message>
        <source>Add a block for the days/times you want to reserve. On a matching day it&apos;ll appear on Today under &quot;Today&apos;s Recurring Blocks&quot; — tap Start there to begin the session.</source>
        <translation>Einen Block für die Tage und Uhrzeiten hinzufügen, die freigehalten werden sollen. An einem passenden Tag erscheint er unter „Heute“ bei „Heutige wiederkehrende Blöcke“ – dort „Starten“ antippen, um die Sitzung zu beginnen.</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Pausiert</translation>
    </message>
    <message>
        <source>Pause</source>
        <comment>a recurring block</comment>
        <translation>Pausieren</translation>
    </message>
    <message>
        <source>Resume</source>
        <comment>a recurring block</comment>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; deleted</source>
        <translation>„%1“ gelöscht</translation>
    </message>
    <message>
        <source>S</source>
        <comment>Sunday</comment>
        <translation>S</translation>
    </message>
    <message>
        <source>M</source>
        <comment>Monday</comment>
        <translation>M</translation>
    </message>
    <message>
        <source>T</source>
        <comment>Tuesday</comment>
        <translation>D</translation>
    </message>
    <message>
        <source>W</source>
        <comment>Wednesday</comment>
        <translation>M</translation>
    </message>
    <message>
        <source>T</source>
        <comment>Thursday</comment>
        <translation>D</translation>
    </message>
    <message>
        <source>F</source>
        <comment>Friday</comment>
        <translation>F</translation>
    </message>
    <message>
        <source>S</source>
        <comment>Saturday</comment>
        <translation>S</translation>
    </message>
    <message>
        <source>%1 · %2 · %3 min</source>
        <translation>%1 · %2 · %3 Min.</translation>
    </message>
    <message>
        <source>%1, paused</source>
        <translation>%1, pausiert</translation>
    </message>
</context>
<context>
    <name>orvana::FocusBlockListView</name>
    <message>
        <source>Edit…</source>
        <translation>Bearbeiten …</translation>
    </message>
    <message>
        <source>Pause</source>
        <comment>a recurring block</comment>
        <translation>Pausieren</translation>
    </message>
</context>
<context>
    <name>orvana::FocusTimerController</name>
    <message>
        <source>Short Break</source>
        <translation>Kurze Pause</translation>
    </message>
    <message>
        <source>Long Break</source>
        <translation>Lange Pause</translation>
    </message>
    <message>
        <source>Work %1 min, then a break — every %2th break is %3 min instead of %4. Change these in Settings.</source>
        <translation>%1 Min. arbeiten, dann eine Pause – jede %2. Pause dauert %3 Min. statt %4. Änderbar in den Einstellungen.</translation>
    </message>
    <message>
        <source>Duration: %1 min</source>
        <translation>Dauer: %1 Min.</translation>
    </message>
    <message>
        <source>%1 — Pomodoro %2 of %3</source>
        <translation>%1 – Pomodoro %2 von %3</translation>
    </message>
    <message>
        <source>Work session complete.</source>
        <translation>Arbeitsphase abgeschlossen.</translation>
    </message>
    <message>
        <source>Break&apos;s over.</source>
        <translation>Die Pause ist vorbei.</translation>
    </message>
    <message>
        <source>Start Break</source>
        <translation>Pause beginnen</translation>
    </message>
    <message>
        <source>Start Next Work Interval</source>
        <translation>Nächste Arbeitsphase beginnen</translation>
    </message>
    <message>
        <source>Stopped early</source>
        <translation>Vorzeitig beendet</translation>
    </message>
    <message>
        <source>%1 remaining</source>
        <translation>Noch %1</translation>
    </message>
    <message>
        <source>Paused, %1 remaining</source>
        <translation>Pausiert, noch %1</translation>
    </message>
    <message>
        <source>If you close this window while it&apos;s running, it pauses automatically — reopen the task to pick back up where you left off.</source>
        <translation>Wird dieses Fenster während der Sitzung geschlossen, pausiert sie automatisch – die Aufgabe erneut öffnen, um dort weiterzumachen.</translation>
    </message>
    <message>
        <source>Work</source>
        <comment>Pomodoro phase</comment>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Pause</source>
        <comment>the timer</comment>
        <translation>Pausieren</translation>
    </message>
    <message>
        <source>Resume</source>
        <comment>the timer</comment>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Completed</source>
        <comment>focus session</comment>
        <translation>Abgeschlossen</translation>
    </message>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n seconds</source>
        <translation>
            <numerusform>%n Sekunde</numerusform>
            <numerusform>%n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>minutes, then seconds</comment>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>orvana::FocusTimerView</name>
    <message>
        <source>Focus Timer</source>
        <translation>Fokus-Timer</translation>
    </message>
    <message>
        <source>Pomodoro Mode</source>
        <translation>Pomodoro-Modus</translation>
    </message>
    <message>
        <source>Duration: </source>
        <translation>Dauer: </translation>
    </message>
    <message>
        <source> min</source>
        <translation> Min.</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Start Focus Session</source>
        <translation>Fokussitzung starten</translation>
    </message>
    <message>
        <source>Start Pomodoro</source>
        <translation>Pomodoro starten</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>Verbleibende Zeit</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Pause</source>
        <comment>the timer</comment>
        <translation>Pausieren</translation>
    </message>
    <message>
        <source>Stop</source>
        <comment>the timer</comment>
        <translation>Beenden</translation>
    </message>
</context>
<context>
    <name>orvana::GoalColorTagPicker</name>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
</context>
<context>
    <name>orvana::GoalDetailView</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>T&amp;itle</source>
        <translation>T&amp;itel</translation>
    </message>
    <message>
        <source>&amp;Description</source>
        <translation>&amp;Beschreibung</translation>
    </message>
    <message>
        <source>&amp;Status</source>
        <translation>&amp;Status</translation>
    </message>
    <message>
        <source>&amp;Color</source>
        <translation>&amp;Farbe</translation>
    </message>
    <message>
        <source>Set a &amp;target date</source>
        <translation>&amp;Zieldatum festlegen</translation>
    </message>
    <message>
        <source>Target date</source>
        <translation>Zieldatum</translation>
    </message>
    <message>
        <source>Tar&amp;get date</source>
        <translation>Zielda&amp;tum</translation>
    </message>
    <message>
        <source>Goal</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Goal Trail</source>
        <translation>Spur des Ziels</translation>
    </message>
    <message>
        <source>AI Review</source>
        <translation>KI-Prüfung</translation>
    </message>
</context>
<context>
    <name>orvana::GoalFormModel</name>
    <message>
        <source>New Goal</source>
        <translation>Neues Ziel</translation>
    </message>
</context>
<context>
    <name>orvana::GoalFormView</name>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Set a &amp;target date</source>
        <translation>&amp;Zieldatum festlegen</translation>
    </message>
    <message>
        <source>Target date</source>
        <translation>Zieldatum</translation>
    </message>
    <message>
        <source>T&amp;itle</source>
        <translation>T&amp;itel</translation>
    </message>
    <message>
        <source>&amp;Description</source>
        <translation>&amp;Beschreibung</translation>
    </message>
    <message>
        <source>Tar&amp;get date</source>
        <translation>Zielda&amp;tum</translation>
    </message>
    <message>
        <source>&amp;Color</source>
        <translation>&amp;Farbe</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save (Ctrl+Return)</source>
        <translation>Speichern (Strg+Eingabe)</translation>
    </message>
</context>
<context>
    <name>orvana::GoalLabels</name>
    <message>
        <source>Active</source>
        <comment>goal status</comment>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Completed</source>
        <comment>goal status</comment>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>Archived</source>
        <comment>goal status</comment>
        <translation>Archiviert</translation>
    </message>
    <message>
        <source>None</source>
        <comment>no color tag</comment>
        <translation>Keine</translation>
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
    <message>
        <source>Purple</source>
        <translation>Lila</translation>
    </message>
    <message>
        <source>Pink</source>
        <translation>Rosa</translation>
    </message>
    <message>
        <source>Gray</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>%1d overdue</source>
        <translation>%1 T. überfällig</translation>
    </message>
    <message>
        <source>Due today</source>
        <translation>Heute fällig</translation>
    </message>
    <message>
        <source>%1d left</source>
        <translation>Noch %1 T.</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1 min logged</source>
        <translation>%1 Min. erfasst</translation>
    </message>
</context>
<context>
    <name>orvana::GoalListModel</name>
    <message>
        <source>Goals</source>
        <translation>Ziele</translation>
    </message>
    <message>
        <source>Search goals</source>
        <translation>Ziele suchen</translation>
    </message>
    <message>
        <source>Add Goal</source>
        <translation>Ziel hinzufügen</translation>
    </message>
    <message>
        <source>No Goals Yet</source>
        <translation>Noch keine Ziele</translation>
    </message>
    <message>
        <source>Everything in Orvana starts from a goal — add one, then break it into weeks and tasks from there.</source>
        <translation>In Orvana beginnt alles mit einem Ziel – eines hinzufügen und es dann in Wochen und Aufgaben aufteilen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; deleted</source>
        <translation>„%1“ gelöscht</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>orvana::GoalListView</name>
    <message>
        <source>Open</source>
        <comment>show the goal</comment>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>orvana::GoalTrailModel</name>
    <message>
        <source>%1 across %2</source>
        <comment>minutes across sessions</comment>
        <translation>%1 in %2</translation>
    </message>
    <message>
        <source>No Progress Yet</source>
        <translation>Noch kein Fortschritt</translation>
    </message>
    <message>
        <source>Complete a focus session on this goal to start building its trail.</source>
        <translation>Eine Fokussitzung zu diesem Ziel abschließen, um seine Spur zu beginnen.</translation>
    </message>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n sessions</source>
        <translation>
            <numerusform>%n Sitzung</numerusform>
            <numerusform>%n Sitzungen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::MainWindow</name>
    <message>
        <source>Sections</source>
        <translation>Bereiche</translation>
    </message>
    <message>
        <source>Save problem</source>
        <translation>Problem beim Speichern</translation>
    </message>
    <message>
        <source>Try Again</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
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
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>F&amp;ocus</source>
        <translation>F&amp;okus</translation>
    </message>
    <message>
        <source>&amp;Quick Focus Timer…</source>
        <translation>&amp;Schneller Fokus-Timer …</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>&amp;Werkzeuge</translation>
    </message>
    <message>
        <source>&amp;AI Review…</source>
        <translation>&amp;KI-Prüfung …</translation>
    </message>
    <message>
        <source>&amp;Settings…</source>
        <translation>&amp;Einstellungen …</translation>
    </message>
    <message>
        <source>Quit Orvana</source>
        <translation>Orvana beenden</translation>
    </message>
    <message>
        <source>Your latest changes couldn&apos;t be saved.</source>
        <translation>Die letzten Änderungen konnten nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Quitting now loses them unless you save a copy first.</source>
        <translation>Beim Beenden gehen sie verloren, sofern nicht zuerst eine Kopie gespeichert wird.</translation>
    </message>
    <message>
        <source>Save a Copy…</source>
        <translation>Kopie speichern …</translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation>Ohne Speichern beenden</translation>
    </message>
    <message>
        <source>Save a Copy</source>
        <translation>Kopie speichern</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>The copy couldn&apos;t be written: %1</source>
        <translation>Die Kopie konnte nicht geschrieben werden: %1</translation>
    </message>
</context>
<context>
    <name>orvana::MainWindowModel</name>
    <message>
        <source>Couldn&apos;t save your changes: %1</source>
        <translation>Die Änderungen konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Select a Section</source>
        <translation>Einen Bereich auswählen</translation>
    </message>
</context>
<context>
    <name>orvana::NavigationStack</name>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Back (Alt+Left)</source>
        <translation>Zurück (Alt+Links)</translation>
    </message>
</context>
<context>
    <name>orvana::OnboardingModel</name>
    <message>
        <source>Goals, Broken Down</source>
        <translation>Ziele, aufgeteilt</translation>
    </message>
    <message>
        <source>A Weekly Ritual</source>
        <translation>Ein Wochenritual</translation>
    </message>
    <message>
        <source>AI Is Optional</source>
        <translation>KI ist optional</translation>
    </message>
    <message>
        <source>Let&apos;s Start</source>
        <translation>Los geht’s</translation>
    </message>
    <message>
        <source>Orvana starts from your goals, not a blank inbox. Each goal breaks down into weeks, and each week breaks down into today&apos;s tasks.</source>
        <translation>Orvana beginnt mit Zielen, nicht mit einem leeren Posteingang. Jedes Ziel wird in Wochen aufgeteilt und jede Woche in die Aufgaben von heute.</translation>
    </message>
    <message>
        <source>Every week, a short guided ritual helps you set an intention and pick what actually moves each goal forward -- instead of a blank form.</source>
        <translation>Jede Woche hilft ein kurzes, geführtes Ritual dabei, eine Absicht festzulegen und auszuwählen, was jedes Ziel wirklich voranbringt – statt eines leeren Formulars.</translation>
    </message>
    <message>
        <source>You can optionally add your own AI provider key in Settings to get a quick critique on your goals and weekly plans. Everything else works fully without it.</source>
        <translation>Optional lässt sich in den Einstellungen ein eigener Schlüssel eines KI-Anbieters hinterlegen, um eine kurze Bewertung der Ziele und Wochenpläne zu erhalten. Alles andere funktioniert vollständig ohne.</translation>
    </message>
    <message>
        <source>Add your first goal to get going.</source>
        <translation>Das erste Ziel hinzufügen, um loszulegen.</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Skip Intro</source>
        <translation>Einführung überspringen</translation>
    </message>
    <message>
        <source>Create Your First Goal</source>
        <translation>Erstes Ziel erstellen</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Seite</translation>
    </message>
</context>
<context>
    <name>orvana::OverviewModel</name>
    <message>
        <source>Overview</source>
        <translation>Übersicht</translation>
    </message>
    <message>
        <source>Focus Over Time (30 days)</source>
        <translation>Fokus im Zeitverlauf (30 Tage)</translation>
    </message>
    <message>
        <source>Focus by Goal</source>
        <translation>Fokus nach Ziel</translation>
    </message>
    <message>
        <source>Nothing to Show Yet</source>
        <translation>Noch nichts anzuzeigen</translation>
    </message>
    <message>
        <source>Add a goal and start a focus session — your overview builds itself from there.</source>
        <translation>Ein Ziel hinzufügen und eine Fokussitzung starten – die Übersicht entsteht von da an von selbst.</translation>
    </message>
    <message>
        <source>total focus time</source>
        <translation>Fokuszeit gesamt</translation>
    </message>
    <message>
        <source>tasks completed</source>
        <translation>Aufgaben erledigt</translation>
    </message>
    <message>
        <source>%1, just logged</source>
        <translation>%1, gerade erfasst</translation>
    </message>
    <message numerus="yes">
        <source>active goals</source>
        <comment>stat card label under the number</comment>
        <translation>
            <numerusform>aktives Ziel</numerusform>
            <numerusform>aktive Ziele</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 %2</source>
        <comment>a card&apos;s number, then its label</comment>
        <translation>%1 %2</translation>
    </message>
    <message numerus="yes">
        <source>day streak</source>
        <comment>stat card label under the number of days</comment>
        <translation>
            <numerusform>Tag in Serie</numerusform>
            <numerusform>Tage in Serie</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::PlanWeekDialog</name>
    <message>
        <source>Plan a Week</source>
        <translation>Woche planen</translation>
    </message>
    <message>
        <source>Any day in that week</source>
        <translation>Ein beliebiger Tag dieser Woche</translation>
    </message>
    <message>
        <source>&amp;Any day in that week</source>
        <translation>Ein &amp;beliebiger Tag dieser Woche</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Plan</source>
        <comment>button: create the week</comment>
        <translation>Planen</translation>
    </message>
</context>
<context>
    <name>orvana::PlannedWeekDialog</name>
    <message>
        <source>Done</source>
        <comment>button: close the dialog</comment>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>orvana::PortalGlobalShortcuts</name>
    <message>
        <source>Quick Add to Today</source>
        <translation>Schnell zu Heute hinzufügen</translation>
    </message>
</context>
<context>
    <name>orvana::QuickAddModel</name>
    <message>
        <source>Quick Add to Today</source>
        <translation>Schnell zu „Heute“ hinzufügen</translation>
    </message>
    <message>
        <source>What needs doing?</source>
        <translation>Was ist zu tun?</translation>
    </message>
</context>
<context>
    <name>orvana::QuickAddView</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>orvana::RecordListScreen</name>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>orvana::SettingsModel</name>
    <message>
        <source>Using your own API key -- unlimited AI review.</source>
        <translation>Eigener API-Schlüssel wird verwendet – unbegrenzte KI-Prüfung.</translation>
    </message>
    <message>
        <source>Using Orvana&apos;s free hosted AI review (limited per week).</source>
        <translation>Orvanas kostenlose gehostete KI-Prüfung wird verwendet (wöchentlich begrenzt).</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the key: %1</source>
        <translation>Der Schlüssel konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Removed</source>
        <translation>Entfernt</translation>
    </message>
    <message>
        <source>Couldn&apos;t remove the key: %1</source>
        <translation>Der Schlüssel konnte nicht entfernt werden: %1</translation>
    </message>
    <message>
        <source>it&apos;s stored in %1 (readable only by you, as no system keyring was found)</source>
        <translation>er wird in %1 gespeichert (nur für den eigenen Benutzer lesbar, da kein Schlüsselbund des Systems gefunden wurde)</translation>
    </message>
    <message>
        <source>it&apos;s stored in your system keyring</source>
        <translation>er wird im Schlüsselbund des Systems gespeichert</translation>
    </message>
    <message>
        <source>Without a key, AI review uses Orvana&apos;s free hosted proxy (rate-limited per week). Add your own OpenRouter-compatible key for unlimited use -- %1 and used only to call your chosen provider directly from this app. AI review is entirely optional either way.</source>
        <translation>Ohne Schlüssel verwendet die KI-Prüfung Orvanas kostenlosen gehosteten Proxy (wöchentlich begrenzt). Für unbegrenzte Nutzung einen eigenen OpenRouter-kompatiblen Schlüssel hinzufügen – %1 und nur verwendet, um den gewählten Anbieter direkt aus dieser Anwendung aufzurufen. Die KI-Prüfung ist in jedem Fall freiwillig.</translation>
    </message>
    <message>
        <source>Export saves everything to a JSON file you control. Import merges one back in -- a record with a matching ID is overwritten with the imported version; anything else is added alongside what&apos;s already here. A backup like this is also written automatically once a day to %1, kept for 14 days.</source>
        <translation>Der Export speichert alles in einer eigenen JSON-Datei. Der Import führt eine solche Datei wieder zusammen – ein Eintrag mit derselben ID wird durch die importierte Fassung überschrieben, alles andere wird zum Vorhandenen hinzugefügt. Eine solche Sicherung wird außerdem einmal täglich automatisch nach %1 geschrieben und 14 Tage lang aufbewahrt.</translation>
    </message>
    <message>
        <source>Import %1?</source>
        <translation>%1 importieren?</translation>
    </message>
    <message>
        <source>this file</source>
        <translation>diese Datei</translation>
    </message>
    <message>
        <source>Anything in here that matches something you already have will be overwritten with the imported version. This can be undone with Ctrl+Z right after.</source>
        <translation>Alles, was hier mit bereits Vorhandenem übereinstimmt, wird durch die importierte Fassung überschrieben. Direkt danach lässt sich das mit Strg+Z rückgängig machen.</translation>
    </message>
    <message>
        <source>Sign out of %1?</source>
        <translation>Von %1 abmelden?</translation>
    </message>
    <message>
        <source>Everything on this device stays here, and so does everything on the server. This device stops syncing and forgets the account and its password.</source>
        <translation>Alles auf diesem Gerät bleibt hier, ebenso alles auf dem Server. Dieses Gerät synchronisiert nicht mehr und vergisst das Konto und sein Passwort.</translation>
    </message>
    <message>
        <source>Couldn&apos;t sign out: %1</source>
        <translation>Abmelden nicht möglich: %1</translation>
    </message>
    <message>
        <source>The password is kept in %1, readable only by you.</source>
        <translation>Das Passwort wird in %1 aufbewahrt, nur für den eigenen Benutzer lesbar.</translation>
    </message>
    <message>
        <source>The password is kept in your system keyring.</source>
        <translation>Das Passwort wird im Schlüsselbund des Systems aufbewahrt.</translation>
    </message>
    <message>
        <source>Keeps your goals, plans, tasks and focus time the same on every device signed in to the same CalDAV server (Nextcloud, Radicale, Fastmail or any other); a phone&apos;s own task and calendar apps show the tasks and focus blocks too. %1</source>
        <translation>Hält Ziele, Pläne, Aufgaben und Fokuszeit auf jedem Gerät gleich, das am selben CalDAV-Server angemeldet ist (Nextcloud, Radicale, Fastmail oder ein anderer); die Aufgaben- und Kalender-Apps eines Telefons zeigen die Aufgaben und Fokusblöcke ebenfalls. %1</translation>
    </message>
    <message>
        <source> min</source>
        <translation> Min.</translation>
    </message>
    <message>
        <source>Short break: </source>
        <translation>Kurze Pause: </translation>
    </message>
    <message>
        <source>Short break</source>
        <translation>Kurze Pause</translation>
    </message>
    <message>
        <source>Long break: </source>
        <translation>Lange Pause: </translation>
    </message>
    <message>
        <source>Long break</source>
        <translation>Lange Pause</translation>
    </message>
    <message>
        <source>Cycles before long break: </source>
        <translation>Durchgänge vor langer Pause: </translation>
    </message>
    <message>
        <source>Cycles before long break</source>
        <translation>Durchgänge vor langer Pause</translation>
    </message>
    <message>
        <source>Couldn&apos;t update Launch at Login: %1</source>
        <translation>„Beim Anmelden starten“ konnte nicht geändert werden: %1</translation>
    </message>
    <message>
        <source>Ctrl+Alt+Space</source>
        <translation>Strg+Alt+Leertaste</translation>
    </message>
    <message>
        <source>Where the desktop does not let apps claim this key (on Wayland, for one), bind the command “orvana quick-add” to a key in your desktop&apos;s keyboard settings: it opens the same field.</source>
        <translation>Wo die Arbeitsumgebung Anwendungen diese Taste nicht belegen lässt (etwa unter Wayland), den Befehl „orvana quick-add“ in den Tastatureinstellungen der Arbeitsumgebung einer Taste zuweisen: Er öffnet dasselbe Feld.</translation>
    </message>
    <message>
        <source>Work: </source>
        <comment>the work part of a pomodoro</comment>
        <translation>Arbeit: </translation>
    </message>
    <message>
        <source>Work</source>
        <comment>the work part of a pomodoro</comment>
        <translation>Arbeit</translation>
    </message>
</context>
<context>
    <name>orvana::SettingsView</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>OpenRouter API Key</source>
        <translation>OpenRouter-API-Schlüssel</translation>
    </message>
    <message>
        <source>Save Key</source>
        <translation>Schlüssel speichern</translation>
    </message>
    <message>
        <source>Remove Key</source>
        <translation>Schlüssel entfernen</translation>
    </message>
    <message>
        <source>Model ID</source>
        <translation>Modell-ID</translation>
    </message>
    <message>
        <source>Proxy URL</source>
        <translation>Proxy-URL</translation>
    </message>
    <message>
        <source>Export Data…</source>
        <translation>Daten exportieren …</translation>
    </message>
    <message>
        <source>Import Data…</source>
        <translation>Daten importieren …</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Server Address</source>
        <translation>Serveradresse</translation>
    </message>
    <message>
        <source>https://dav.example.org</source>
        <translation>https://dav.example.org</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation>Unverschlüsselte Verbindung erlauben</translation>
    </message>
    <message>
        <source>Sign In</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>Signing in…</source>
        <translation>Anmeldung läuft …</translation>
    </message>
    <message>
        <source>Sync Now</source>
        <translation>Jetzt synchronisieren</translation>
    </message>
    <message>
        <source>Sign Out</source>
        <translation>Abmelden</translation>
    </message>
    <message>
        <source>Signing out…</source>
        <translation>Abmeldung läuft …</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Signed in as</source>
        <translation>Angemeldet als</translation>
    </message>
    <message>
        <source>Calendars</source>
        <translation>Kalender</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Launch at Login</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <source>Quick Add Task</source>
        <translation>Aufgabe schnell hinzufügen</translation>
    </message>
    <message>
        <source>Daily Planning Nudge</source>
        <translation>Tägliche Planungserinnerung</translation>
    </message>
    <message>
        <source>Weekly Ritual Nudge</source>
        <translation>Erinnerung an das Wochenritual</translation>
    </message>
    <message>
        <source>Show Guidance Tips</source>
        <translation>Hinweise anzeigen</translation>
    </message>
    <message>
        <source>AI Review</source>
        <translation>KI-Prüfung</translation>
    </message>
    <message>
        <source>Hosted Proxy (Advanced)</source>
        <translation>Gehosteter Proxy (erweitert)</translation>
    </message>
    <message>
        <source>Defaults to a local development server. Update this once the hosted proxy is actually deployed.</source>
        <translation>Standardmäßig ein lokaler Entwicklungsserver. Ändern, sobald der gehostete Proxy tatsächlich bereitsteht.</translation>
    </message>
    <message>
        <source>Data Export</source>
        <translation>Datenexport</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Synchronisierung</translation>
    </message>
    <message>
        <source>Pomodoro Timer</source>
        <translation>Pomodoro-Timer</translation>
    </message>
    <message>
        <source>Used when a focus session is started in Pomodoro mode. Doesn&apos;t change the plain timer.</source>
        <translation>Gilt, wenn eine Fokussitzung im Pomodoro-Modus gestartet wird. Der einfache Timer bleibt unverändert.</translation>
    </message>
    <message>
        <source>Where the desktop has a tray, closing the main window keeps Orvana running there; File → Quit (Ctrl+Q) ends it.</source>
        <translation>Wo die Arbeitsumgebung einen Systemabschnitt der Kontrollleiste hat, läuft Orvana nach dem Schließen des Hauptfensters dort weiter; Datei → Beenden (Strg+Q) beendet es.</translation>
    </message>
    <message>
        <source>Startup</source>
        <translation>Programmstart</translation>
    </message>
    <message>
        <source>Off by default. Turn this on to have Orvana start automatically when you log in -- useful since the tray icon (streak, today&apos;s one thing) is only there once the app is running.</source>
        <translation>Standardmäßig aus. Einschalten, damit Orvana beim Anmelden automatisch startet – nützlich, weil das Symbol in der Kontrollleiste (Serie, die eine Sache heute) nur bei laufender Anwendung da ist.</translation>
    </message>
    <message>
        <source>Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Works from anywhere on your desktop, even when Orvana isn&apos;t the frontmost app -- opens a small floating field, type a title, press Return to add it to Today.</source>
        <translation>Funktioniert überall auf der Arbeitsfläche, auch wenn Orvana nicht im Vordergrund ist – öffnet ein kleines schwebendes Feld: Titel eingeben und mit der Eingabetaste zu Heute hinzufügen.</translation>
    </message>
    <message>
        <source>Daily Nudge</source>
        <translation>Tägliche Erinnerung</translation>
    </message>
    <message>
        <source>Off by default. If turned on, one reminder fires at this time — only if Today&apos;s One Thing hasn&apos;t been set yet. Never fires once you&apos;ve already planned your day.</source>
        <translation>Standardmäßig aus. Eingeschaltet erscheint zu dieser Zeit eine Erinnerung – nur, wenn „Die eine Sache heute“ noch nicht festgelegt ist. Nie, wenn der Tag bereits geplant ist.</translation>
    </message>
    <message>
        <source>Weekly Nudge</source>
        <translation>Wöchentliche Erinnerung</translation>
    </message>
    <message>
        <source>Off by default. If turned on, a reminder points you to the weekly ritual on this day — skipped entirely if that week&apos;s ritual is already done.</source>
        <translation>Standardmäßig aus. Eingeschaltet weist an diesem Tag eine Erinnerung auf das Wochenritual hin – sie entfällt, wenn das Wochenritual dieser Woche schon erledigt ist.</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Shows short explanations on empty screens and under sections throughout the app -- what a button does, or what happens after you tap it. Turn this off once you know your way around.</source>
        <translation>Zeigt überall in der Anwendung kurze Erklärungen auf leeren Ansichten und unter Abschnitten – was ein Knopf bewirkt oder was nach dem Klicken passiert. Ausschalten, sobald alles vertraut ist.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Export Data</source>
        <translation>Daten exportieren</translation>
    </message>
    <message>
        <source>JSON files (*.json)</source>
        <translation>JSON-Dateien (*.json)</translation>
    </message>
    <message>
        <source>Import Data</source>
        <translation>Daten importieren</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>At</source>
        <comment>at a time of day</comment>
        <translation>Um</translation>
    </message>
    <message>
        <source>On</source>
        <comment>on a day of the week</comment>
        <translation>Am</translation>
    </message>
</context>
<context>
    <name>orvana::SyncConflictsModel</name>
    <message>
        <source>Sync Conflicts</source>
        <translation>Synchronisierungskonflikte</translation>
    </message>
    <message>
        <source>Use This Value</source>
        <translation>Diesen Wert verwenden</translation>
    </message>
    <message>
        <source>No Sync Conflicts</source>
        <translation>Keine Synchronisierungskonflikte</translation>
    </message>
    <message>
        <source>When two devices change the same field before they sync, the later change stays and the other one is listed here, so you can use it instead.</source>
        <translation>Ändern zwei Geräte vor dem Synchronisieren dasselbe Feld, bleibt die spätere Änderung bestehen; die andere wird hier aufgeführt und kann stattdessen verwendet werden.</translation>
    </message>
    <message>
        <source>Week of %1</source>
        <translation>Woche vom %1</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Target date</source>
        <translation>Zieldatum</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Position in the list</source>
        <translation>Position in der Liste</translation>
    </message>
    <message>
        <source>First day</source>
        <translation>Erster Tag</translation>
    </message>
    <message>
        <source>Last day</source>
        <translation>Letzter Tag</translation>
    </message>
    <message>
        <source>Intention</source>
        <translation>Absicht</translation>
    </message>
    <message>
        <source>Reflection</source>
        <translation>Rückblick</translation>
    </message>
    <message>
        <source>Weekly ritual done</source>
        <translation>Wochenritual erledigt</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Woche</translation>
    </message>
    <message>
        <source>Goal</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Today&apos;s one thing</source>
        <translation>Die eine Sache heute</translation>
    </message>
    <message>
        <source>Focus block</source>
        <translation>Fokusblock</translation>
    </message>
    <message>
        <source>Week item</source>
        <translation>Wochenpunkt</translation>
    </message>
    <message>
        <source>Reminder</source>
        <translation>Erinnerung</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Aktiv</translation>
    </message>
    <message>
        <source>Days</source>
        <translation>Tage</translation>
    </message>
    <message>
        <source>Hour</source>
        <translation>Stunde</translation>
    </message>
    <message>
        <source>Minute</source>
        <translation>Minute</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>No reminder</source>
        <translation>Keine Erinnerung</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>Not done</source>
        <translation>Nicht erledigt</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>Pausiert</translation>
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
        <source>No days</source>
        <translation>Keine Tage</translation>
    </message>
    <message>
        <source>Another device&apos;s value was kept</source>
        <translation>Der Wert des anderen Geräts wurde übernommen</translation>
    </message>
    <message>
        <source>This device&apos;s value was kept</source>
        <translation>Der Wert dieses Geräts wurde übernommen</translation>
    </message>
    <message>
        <source>The value couldn&apos;t be used: %1</source>
        <translation>Der Wert konnte nicht verwendet werden: %1</translation>
    </message>
    <message>
        <source>another device</source>
        <translation>anderes Gerät</translation>
    </message>
    <message>
        <source>this device</source>
        <translation>dieses Gerät</translation>
    </message>
    <message>
        <source>%1 · %2</source>
        <translation>%1 · %2</translation>
    </message>
    <message>
        <source>Kept (%1): %2</source>
        <translation>Übernommen (%1): %2</translation>
    </message>
    <message>
        <source>Not kept (%1): %2</source>
        <translation>Nicht übernommen (%1): %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1. %2, %3. Not kept, %4.</source>
        <translation>%1. %2, %3. Nicht übernommen: %4.</translation>
    </message>
    <message>
        <source>A goal that is no longer here</source>
        <translation>Ein Ziel, das nicht mehr vorhanden ist</translation>
    </message>
    <message>
        <source>A week that is no longer here</source>
        <translation>Eine Woche, die nicht mehr vorhanden ist</translation>
    </message>
    <message>
        <source>A week item that is no longer here</source>
        <translation>Ein Wochenpunkt, der nicht mehr vorhanden ist</translation>
    </message>
    <message>
        <source>A task that is no longer here</source>
        <translation>Eine Aufgabe, die nicht mehr vorhanden ist</translation>
    </message>
    <message>
        <source>A focus block that is no longer here</source>
        <translation>Ein Fokusblock, der nicht mehr vorhanden ist</translation>
    </message>
    <message>
        <source>A focus minutes that is no longer here</source>
        <translation>Fokusminuten, die nicht mehr vorhanden sind</translation>
    </message>
    <message>
        <source>A focus session that is no longer here</source>
        <translation>Eine Fokussitzung, die nicht mehr vorhanden ist</translation>
    </message>
    <message>
        <source>Empty</source>
        <comment>a field that holds no value</comment>
        <translation>Leer</translation>
    </message>
</context>
<context>
    <name>orvana::SyncGuardDialog</name>
    <message>
        <source>Sync</source>
        <translation>Synchronisierung</translation>
    </message>
    <message>
        <source>Sync needs your answer</source>
        <translation>Die Synchronisierung braucht eine Antwort</translation>
    </message>
    <message>
        <source>The server no longer holds this account&apos;s data.</source>
        <translation>Der Server enthält die Daten dieses Kontos nicht mehr.</translation>
    </message>
    <message>
        <source>It was restored or reset, or holds another account&apos;s data. Nothing was changed on this device. Send everything on this device to the server again?</source>
        <translation>Er wurde wiederhergestellt oder zurückgesetzt oder enthält die Daten eines anderen Kontos. Auf diesem Gerät wurde nichts geändert. Alles auf diesem Gerät erneut an den Server senden?</translation>
    </message>
    <message>
        <source>Send Everything Again</source>
        <translation>Alles erneut senden</translation>
    </message>
    <message>
        <source>Not Now</source>
        <translation>Nicht jetzt</translation>
    </message>
    <message numerus="yes">
        <source>Another device deleted %n records that are on this device.</source>
        <translation>
            <numerusform>Ein anderes Gerät hat %n Eintrag gelöscht, der sich auf diesem Gerät befindet.</numerusform>
            <numerusform>Ein anderes Gerät hat %n Einträge gelöscht, die sich auf diesem Gerät befinden.</numerusform>
        </translation>
    </message>
    <message>
        <source>They are in %1. Nothing was changed yet. Delete them here too, or keep them and put them back on the server?</source>
        <translation>Sie befinden sich in %1. Noch wurde nichts geändert. Auch hier löschen oder behalten und wieder auf den Server stellen?</translation>
    </message>
    <message>
        <source>Delete Them</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Keep Them Here</source>
        <translation>Hier behalten</translation>
    </message>
</context>
<context>
    <name>orvana::SyncListPage</name>
    <message>
        <source>Problem</source>
        <translation>Problem</translation>
    </message>
</context>
<context>
    <name>orvana::SyncStatusFooter</name>
    <message>
        <source>Sync status</source>
        <translation>Synchronisierungsstatus</translation>
    </message>
    <message>
        <source>Records sent</source>
        <translation>Gesendete Einträge</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Erneut versuchen</translation>
    </message>
    <message>
        <source>Sync again now</source>
        <translation>Jetzt erneut synchronisieren</translation>
    </message>
    <message>
        <source>Show the sync conflicts</source>
        <translation>Synchronisierungskonflikte anzeigen</translation>
    </message>
    <message>
        <source>Show the records deleted on another device</source>
        <translation>Auf anderem Gerät gelöschte Einträge anzeigen</translation>
    </message>
    <message numerus="yes">
        <source>%n conflicts</source>
        <translation>
            <numerusform>%n Konflikt</numerusform>
            <numerusform>%n Konflikte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n deleted on another device</source>
        <translation>
            <numerusform>%n auf anderem Gerät gelöscht</numerusform>
            <numerusform>%n auf anderem Gerät gelöscht</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::TodayModel</name>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Search tasks</source>
        <translation>Aufgaben suchen</translation>
    </message>
    <message>
        <source>Add Task</source>
        <translation>Aufgabe hinzufügen</translation>
    </message>
    <message>
        <source>Nothing Planned Today</source>
        <translation>Heute nichts geplant</translation>
    </message>
    <message>
        <source>Tap + to add a task, or plan your week first from the Weeks tab and pull items in from there.</source>
        <translation>+ antippen, um eine Aufgabe hinzuzufügen, oder zuerst unter „Wochen“ die Woche planen und Wochenpunkte von dort übernehmen.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; deleted</source>
        <translation>„%1“ gelöscht</translation>
    </message>
    <message>
        <source>Overdue</source>
        <translation>Überfällig</translation>
    </message>
    <message>
        <source>These didn&apos;t get done on their original day and stay here until you move them or check them off — nothing is deleted automatically.</source>
        <translation>Diese wurden an ihrem ursprünglichen Tag nicht erledigt und bleiben hier, bis sie verschoben oder abgehakt werden – nichts wird automatisch gelöscht.</translation>
    </message>
    <message>
        <source>Today&apos;s One Thing</source>
        <translation>Die eine Sache heute</translation>
    </message>
    <message>
        <source>Today&apos;s Recurring Blocks</source>
        <translation>Heutige wiederkehrende Blöcke</translation>
    </message>
    <message>
        <source>Recurring block, %1 min</source>
        <translation>Wiederkehrender Block, %1 Min.</translation>
    </message>
    <message>
        <source>Start</source>
        <comment>begin a recurring block&apos;s focus session</comment>
        <translation>Starten</translation>
    </message>
    <message>
        <source>From your Focus Blocks. Tap Start to create today&apos;s task and begin the timer — it only appears here once, even if you come back later today.</source>
        <translation>Aus den Fokusblöcken. „Starten“ antippen, um die heutige Aufgabe anzulegen und den Timer zu starten – sie erscheint hier nur einmal, auch bei einer Rückkehr später am Tag.</translation>
    </message>
    <message>
        <source>Also Today</source>
        <translation>Außerdem heute</translation>
    </message>
    <message>
        <source>Tap the circle to mark a task done, or the timer to start a focus session on it.</source>
        <translation>Den Kreis antippen, um eine Aufgabe als erledigt zu markieren, oder den Timer, um eine Fokussitzung dazu zu starten.</translation>
    </message>
    <message>
        <source>%1, done</source>
        <translation>%1, erledigt</translation>
    </message>
    <message>
        <source>Move to Today</source>
        <translation>Nach „Heute“ verschieben</translation>
    </message>
</context>
<context>
    <name>orvana::TodayRowDelegate</name>
    <message>
        <source>Start a focus session</source>
        <translation>Fokussitzung starten</translation>
    </message>
</context>
<context>
    <name>orvana::TodayView</name>
    <message>
        <source>Mark as Done</source>
        <translation>Als erledigt markieren</translation>
    </message>
    <message>
        <source>Move to Today</source>
        <translation>Nach „Heute“ verschieben</translation>
    </message>
    <message>
        <source>Start a focus session</source>
        <translation>Fokussitzung starten</translation>
    </message>
    <message>
        <source>Edit…</source>
        <translation>Bearbeiten …</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Mark as Not Done</source>
        <translation>Als nicht erledigt markieren</translation>
    </message>
    <message>
        <source>Start</source>
        <comment>begin a focus session on the task</comment>
        <translation>Starten</translation>
    </message>
</context>
<context>
    <name>orvana::TrailAcknowledgment</name>
    <message>
        <source>%1 min logged to %2</source>
        <translation>%1 Min. für %2 erfasst</translation>
    </message>
    <message>
        <source>your goal</source>
        <translation>das Ziel</translation>
    </message>
</context>
<context>
    <name>orvana::TrayIcon</name>
    <message>
        <source>Orvana</source>
        <translation>Orvana</translation>
    </message>
    <message>
        <source>Open Orvana</source>
        <translation>Orvana öffnen</translation>
    </message>
    <message>
        <source>Quick Add…</source>
        <translation>Schnell hinzufügen …</translation>
    </message>
    <message>
        <source>Start Focus Session</source>
        <translation>Fokussitzung starten</translation>
    </message>
    <message>
        <source>Sync Now</source>
        <translation>Jetzt synchronisieren</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message numerus="yes">
        <source>Orvana — %n overdue tasks</source>
        <translation>
            <numerusform>Orvana – %n überfällige Aufgabe</numerusform>
            <numerusform>Orvana – %n überfällige Aufgaben</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::TraySummaryModel</name>
    <message>
        <source>Today&apos;s One Thing</source>
        <translation>Die eine Sache heute</translation>
    </message>
    <message>
        <source>Nothing set for today</source>
        <translation>Für heute nichts festgelegt</translation>
    </message>
    <message>
        <source>Mark a task as Today&apos;s One Thing in the main window to see it here.</source>
        <translation>Im Hauptfenster eine Aufgabe als „Die eine Sache heute“ markieren, um sie hier zu sehen.</translation>
    </message>
    <message>
        <source>Open Orvana</source>
        <translation>Orvana öffnen</translation>
    </message>
    <message numerus="yes">
        <source>%n days streak</source>
        <translation>
            <numerusform>Serie: %n Tag</numerusform>
            <numerusform>Serie: %n Tage</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orvana::TraySummaryPopup</name>
    <message>
        <source>Orvana</source>
        <translation>Orvana</translation>
    </message>
</context>
<context>
    <name>orvana::UndoToast</name>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
</context>
<context>
    <name>orvana::WeekDetailModel</name>
    <message>
        <source>Ritual done</source>
        <translation>Ritual erledigt</translation>
    </message>
    <message>
        <source>Ritual not started</source>
        <translation>Ritual nicht begonnen</translation>
    </message>
    <message>
        <source>What&apos;s the focus this week?</source>
        <translation>Worauf liegt diese Woche der Fokus?</translation>
    </message>
    <message>
        <source>Add an item</source>
        <translation>Wochenpunkt hinzufügen</translation>
    </message>
    <message>
        <source>Items are your plan for the week — they won&apos;t show up on the Today tab by themselves. Tap &quot;Add to Today&quot; on one when you&apos;re ready to actually work on it.</source>
        <translation>Wochenpunkte sind der Plan für die Woche – unter „Heute“ erscheinen sie nicht von selbst. Bei einem Wochenpunkt „Zu Heute hinzufügen“ antippen, sobald die Arbeit daran beginnen soll.</translation>
    </message>
    <message>
        <source>on today</source>
        <translation>für heute geplant</translation>
    </message>
    <message>
        <source>%1, done</source>
        <translation>%1, erledigt</translation>
    </message>
</context>
<context>
    <name>orvana::WeekDetailView</name>
    <message>
        <source>Intention</source>
        <translation>Absicht</translation>
    </message>
    <message>
        <source>Items</source>
        <translation>Wochenpunkte</translation>
    </message>
    <message>
        <source>Goal</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Mark as Done</source>
        <translation>Als erledigt markieren</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keines</translation>
    </message>
    <message>
        <source>Mark as Not Done</source>
        <translation>Als nicht erledigt markieren</translation>
    </message>
</context>
<context>
    <name>orvana::WeekItemRowDelegate</name>
    <message>
        <source>Add to Today</source>
        <translation>Zu Heute hinzufügen</translation>
    </message>
    <message>
        <source>On Today</source>
        <translation>Für heute geplant</translation>
    </message>
</context>
<context>
    <name>orvana::WeekListModel</name>
    <message>
        <source>Weeks</source>
        <translation>Wochen</translation>
    </message>
    <message>
        <source>Plan a Week</source>
        <translation>Woche planen</translation>
    </message>
    <message>
        <source>Start This Week&apos;s Ritual</source>
        <translation>Wochenritual beginnen</translation>
    </message>
    <message>
        <source>This Week</source>
        <translation>Diese Woche</translation>
    </message>
    <message>
        <source>Weekly ritual completed</source>
        <translation>Wochenritual abgeschlossen</translation>
    </message>
    <message>
        <source>Week deleted</source>
        <translation>Woche gelöscht</translation>
    </message>
    <message>
        <source>No Weeks Yet</source>
        <translation>Noch keine Wochen</translation>
    </message>
    <message>
        <source>Tap the sparkles to run this week&apos;s ritual (set an intention, plan items per goal), or the + to plan any week — this one, or one coming up.</source>
        <translation>Die Funken antippen, um das Wochenritual dieser Woche durchzuführen (Absicht festlegen, Wochenpunkte pro Ziel planen), oder +, um eine beliebige Woche zu planen – diese oder eine kommende.</translation>
    </message>
    <message>
        <source>ritual done</source>
        <translation>Ritual erledigt</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Ritual</source>
        <comment>badge: the weekly ritual is done</comment>
        <translation>Ritual</translation>
    </message>
</context>
<context>
    <name>orvana::WeekListView</name>
    <message>
        <source>Open</source>
        <comment>show the week</comment>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>orvana::WeeklyRitualModel</name>
    <message>
        <source>What Moved Last Week</source>
        <translation>Was letzte Woche vorankam</translation>
    </message>
    <message>
        <source>Set Your Intention</source>
        <translation>Absicht festlegen</translation>
    </message>
    <message>
        <source>Plan Your Goals</source>
        <translation>Ziele planen</translation>
    </message>
    <message>
        <source>Review &amp; Finish</source>
        <translation>Prüfen und abschließen</translation>
    </message>
    <message>
        <source>%1, done</source>
        <translation>%1, erledigt</translation>
    </message>
    <message>
        <source>%1, not done</source>
        <translation>%1, nicht erledigt</translation>
    </message>
</context>
<context>
    <name>orvana::WeeklyRitualView</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Schließen (Esc)</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Abschließen</translation>
    </message>
    <message>
        <source>Next (Ctrl+Return)</source>
        <translation>Weiter (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Finish (Ctrl+Return)</source>
        <translation>Abschließen (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Nothing was planned last week</source>
        <translation>Letzte Woche war nichts geplant</translation>
    </message>
    <message>
        <source>What Moved</source>
        <translation>Was vorankam</translation>
    </message>
    <message>
        <source>Reflection</source>
        <translation>Rückblick</translation>
    </message>
    <message>
        <source>A short reflection on last week</source>
        <translation>Ein kurzer Rückblick auf die letzte Woche</translation>
    </message>
    <message>
        <source>What moved for you?</source>
        <translation>Was ist vorangekommen?</translation>
    </message>
    <message>
        <source>Intention</source>
        <translation>Absicht</translation>
    </message>
    <message>
        <source>e.g. Ship the onboarding flow</source>
        <translation>z. B. Die Einführung fertigstellen</translation>
    </message>
    <message>
        <source>What&apos;s the focus this week?</source>
        <translation>Worauf liegt diese Woche der Fokus?</translation>
    </message>
    <message>
        <source>No Active Goals</source>
        <translation>Keine aktiven Ziele</translation>
    </message>
    <message>
        <source>Add a goal first, then come back to plan this week.</source>
        <translation>Zuerst ein Ziel hinzufügen und dann zurückkehren, um diese Woche zu planen.</translation>
    </message>
    <message>
        <source>Nothing planned yet</source>
        <translation>Noch nichts geplant</translation>
    </message>
    <message>
        <source>This Week&apos;s Items</source>
        <translation>Wochenpunkte dieser Woche</translation>
    </message>
    <message>
        <source>AI Review</source>
        <translation>KI-Prüfung</translation>
    </message>
    <message>
        <source>Add an item for this goal</source>
        <translation>Wochenpunkt für dieses Ziel hinzufügen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>No intention set</source>
        <translation>Keine Absicht festgelegt</translation>
    </message>
    <message>
        <source>Add an item to %1</source>
        <translation>Wochenpunkt zu %1 hinzufügen</translation>
    </message>
</context>
<context>
    <name>orvana::weeks</name>
    <message>
        <source>No items yet</source>
        <translation>Noch keine Wochenpunkte</translation>
    </message>
    <message numerus="yes">
        <source>%1/%n items done</source>
        <translation>
            <numerusform>%1/%n Wochenpunkt erledigt</numerusform>
            <numerusform>%1/%n Wochenpunkte erledigt</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 – %2</source>
        <comment>a week&apos;s first and last day</comment>
        <translation>%1 – %2</translation>
    </message>
</context>
</TS>
