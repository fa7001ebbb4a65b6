#include "cli/help_texts.hpp"

namespace quill::cli {

namespace {

constexpr std::string_view kProgram = R"TXT(Aufruf: quillmaskerade-cli BEFEHL [OPTIONEN] [ARGUMENTE]

Schützt E-Mail-Adressen in Webseiten vor Adresssammlern, indem es sie als
Zeichenreferenzen schreibt – als Schritt nach dem Bauen einer Website.

Befehle:
  encode   eine E-Mail-Adresse kodieren (oder einen ganzen Link bilden)
  decode   Zeichenreferenzen wieder in Text umwandeln
  run      HTML-Dateien in Ordnern oder einzeln kodieren
  audit    Dateien auf noch lesbare E-Mail-Adressen prüfen
  remote   die HTML-Dateien eines Ordners auf einem FTP-Server kodieren
  backups  die gesicherten Läufe zeigen
  undo     einen Lauf rückgängig machen

Allgemeine Optionen:
  -h, --help  diese Hilfe; "BEFEHL --help" zeigt die Hilfe eines Befehls
  --version   die Version ausgeben

Ergebnisse gehen auf die Standardausgabe, Fehler und Fortschritt auf die
Standardfehlerausgabe. Eine Einstellungsdatei wird nur mit --settings gelesen.
Vor dem ersten Ändern einer Datei legen "run" und "remote" ihren alten Inhalt
im Ordner "Sicherungen" ab, mit "Protokoll.txt"; "undo" stellt ihn wieder her.
Das installierte Programm nimmt dafür wie das Fenster den Datenordner
~/.local/share/Quillmaskerade (oder $XDG_DATA_HOME/Quillmaskerade), ein
Programm aus dem Build-Ordner den aktuellen Ordner.

Rückgabewerte:
  0  erledigt, oder nichts gefunden
  1  lesbare Adressen gefunden (audit) oder Änderungen ausstehend (--dry-run)
  2  falscher Aufruf, oder in einem Ordner passt keine Datei zu den Masken
  3  ein Lauf ist fehlgeschlagen (die Meldung steht auf der Fehlerausgabe)
  130, 143  durch Strg+C (SIGINT) oder SIGTERM beendet: die Datei in Arbeit
     wird fertig, dann nennt das Programm, was erledigt ist

Beispiele:
  quillmaskerade-cli encode info@example.com --link
  quillmaskerade-cli run --recursive public/
  quillmaskerade-cli audit --recursive public/ || exit 1
)TXT";

constexpr std::string_view kEncode =
    R"TXT(Aufruf: quillmaskerade-cli encode ADRESSE [--subject TEXT] [--link] [--page DATEI]

Gibt die kodierte E-Mail-Adresse aus: jedes Zeichen als "&#" und sein Code.

Optionen:
  --subject TEXT  Betreff für den Link (wird nicht kodiert)
  --link          statt der Adresse den ganzen kodierten Link ausgeben
  --page DATEI    zusätzlich eine HTML-Seite mit dem Link nach DATEI schreiben

Beispiele:
  quillmaskerade-cli encode info@example.com
  quillmaskerade-cli encode info@example.com --subject Anfrage --link
  quillmaskerade-cli encode info@example.com --page SpamSchutz.html
)TXT";

constexpr std::string_view kDecode = R"TXT(Aufruf: quillmaskerade-cli decode [TEXT]

Wandelt Zeichenreferenzen ("&#" und ein Code, auch mit ";") wieder in Text um. Ohne TEXT
wird die Standardeingabe gelesen; Zeilenumbrüche werden dabei entfernt.
Ein Stück, das keine Zahl ist, beendet das Programm mit der Fehlermeldung und
dem Rückgabewert 3.

Beispiele:
  quillmaskerade-cli decode '&#72&#105'
  quillmaskerade-cli decode < kodiert.txt
)TXT";

constexpr std::string_view kRun =
    R"TXT(Aufruf: quillmaskerade-cli run [--recursive] [--mask MASKE]... [--all] [--dry-run] [--json] [--verbose]
                             [--settings DATEI] [--exceptions DATEI] PFAD...

Sucht in den Dateien nach mailto-Links und kodiert jede gefundene Adresse und
jedes "mailto:" in allen Dateien, wie das Programm "Verzeichnis kodieren".
Ein PFAD ist ein Ordner (darin werden die Dateien zu den Masken gesucht) oder
eine einzelne Datei. Jede Datei wird nur einmal bearbeitet.

Optionen:
  -r, --recursive    auch Unterordner durchsuchen
  --mask MASKE       Dateimaske, mehrfach möglich (ohne: "*.htm" und "*.html")
  -a, --all          alle E-Mail-Adressen schützen, nicht nur die in Links
  -n, --dry-run      nichts schreiben, die Änderungen als Unified-Diff zeigen
                     (Rückgabewert 1, wenn sich etwas ändern würde)
  --no-backup        die alten Inhalte nicht sichern (ohne: gesichert, außer
                     die Einstellungsdatei sagt "Sicherung=Nein")
  --json             ein JSON-Objekt statt der Textzeilen ausgeben ("format": 1,
                     mit Summen unter "totals")
  --settings DATEI   Masken aus der Endungsliste "Endungen.qmk" neben DATEI,
                     Ausnahmen aus "Ausnahmen.qmk" daneben
  --exceptions DATEI Ausnahmen aus DATEI: je Zeile eine Adresse, die lesbar
                     bleiben soll ("info@example.org", auch "*@example.org"),
                     oder ein Pfadmuster wie "impressum.html" oder
                     "intern/*.html"; "#" beginnt einen Kommentar
  --verbose          auch die Funde zeigen, die eine Ausnahme erlaubt

Ausgabe: je geänderter Datei eine Zeile "geändert: PFAD (N Stellen)", dann
die Abschlussmeldung, dann noch lesbare Adressen wie bei "audit". Findet in
einem Ordner keine Maske eine Datei, endet der Aufruf mit Rückgabewert 2.

Beispiele:
  quillmaskerade-cli run --recursive public/
  quillmaskerade-cli run --dry-run --mask '*.php' public/ kontakt.html
  quillmaskerade-cli run --json --recursive public/ > bericht.json
)TXT";

constexpr std::string_view kAudit =
    R"TXT(Aufruf: quillmaskerade-cli audit [--recursive] [--mask MASKE]... [--json] [--verbose]
                               [--settings DATEI] [--exceptions DATEI] PFAD...

Prüft die Dateien auf E-Mail-Adressen, die ein Adresssammler noch lesen kann,
und schreibt je Fund eine Zeile "PFAD:ZEILE:SPALTE: ADRESSE (Art)"; die Spalte
zählt Zeichen. Rückgabewert 1, wenn etwas gefunden wurde – geeignet als
Prüfschritt im Build. Findet in einem Ordner keine Maske eine Datei, ist der
Rückgabewert 2, damit ein Tippfehler nicht als bestanden gilt. Funde, die eine
Ausnahme erlaubt, zählen nicht.

Optionen:
  -r, --recursive    auch Unterordner durchsuchen
  --mask MASKE       Dateimaske, mehrfach möglich (ohne: "*.htm" und "*.html")
  --json             ein JSON-Objekt statt der Textzeilen ausgeben ("format": 1,
                     mit Summen unter "totals")
  --settings DATEI   Masken aus "Endungen.qmk" und Ausnahmen aus "Ausnahmen.qmk"
                     neben DATEI
  --exceptions DATEI Ausnahmen aus DATEI (wie bei "run --help" beschrieben)
  --verbose          auch die Funde zeigen, die eine Ausnahme erlaubt

Beispiele:
  quillmaskerade-cli audit --recursive public/
  quillmaskerade-cli audit --json index.html
)TXT";

constexpr std::string_view kRemote =
    R"TXT(Aufruf: quillmaskerade-cli remote --host SERVER --user NAME [--password-env VARIABLE | --password-file DATEI] [OPTIONEN]

Lädt die passenden Dateien eines Ordners vom FTP- oder SFTP-Server, kodiert sie
wie "run" und lädt sie wieder hoch. Mit --recursive auch die Unterordner auf dem Server;
dann kommen nur die Dateien zurück, die sich geändert haben.
Das Passwort steht nie auf der Befehlszeile: es kommt aus einer
Umgebungsvariablen, aus einer Datei (erste Zeile) oder aus --settings;
ohne diese fragt das Programm am Terminal danach, ohne es anzuzeigen.

Optionen:
  --host SERVER          FTP-Server; "sftp://SERVER[:PORT]" wählt SFTP,
                         "ftp://SERVER[:PORT]" FTP
  --port PORT            Port des Servers (ohne: 21, bei SFTP 22)
  --sftp                 SFTP statt FTP; angemeldet wird zuerst mit den
                         Schlüsseln aus ssh-agent und ~/.ssh, dann mit dem
                         Passwort (bei SFTP nicht nötig, wenn ein Schlüssel passt)
  --user NAME            Benutzername
  --password-env VAR     Passwort aus der Umgebungsvariablen VAR
  --password-file DATEI  Passwort aus der ersten Zeile von DATEI (nur für den
                         Besitzer lesbar, chmod 600)
  --folder ORDNER        Ordner auf dem Server (ohne: der Ordner nach der Anmeldung)
  --active               aktiver Modus statt Passiv-Modus
  --tls                  verschlüsselte Verbindung (FTPS); das Zertifikat muss der
                         Server mit einer anerkannten Stelle belegen, sonst gilt
                         nur der Fingerabdruck aus --fingerprint oder --settings
  --fingerprint HEX      SHA-256-Fingerabdruck des Zertifikats, das ohne
                         Bestätigung angenommen wird (mit --tls); bei SFTP
                         SHA256:… des Serverschlüssels, wie ssh-keygen -l ihn
                         zeigt, falls ~/.ssh/known_hosts ihn nicht kennt
  -r, --recursive        auch die Unterordner auf dem Server bearbeiten
  --mask MASKE           Dateimaske, mehrfach möglich (ohne: "*.htm" und "*.html")
  -a, --all              alle E-Mail-Adressen schützen, nicht nur die in Links
  -n, --dry-run          nichts hochladen, die Änderungen als Unified-Diff zeigen
  --json                 der Bericht als ein JSON-Objekt, Seiten mit ihren
                         Pfaden auf dem Server
  --no-backup            die Seiten des Servers nicht vorher sichern
  --verbose              auch die Funde zeigen, die eine Ausnahme erlaubt
  --settings DATEI       FTP-Daten aus dieser Einstellungsdatei, Masken aus
                         "Endungen.qmk" und Ausnahmen aus "Ausnahmen.qmk"
                         daneben; Optionen haben Vorrang
  --exceptions DATEI     Ausnahmen aus DATEI (wie bei "audit")

Beispiele:
  FTP_PASSWORT=geheim quillmaskerade-cli remote --host ftp.example.com --user web --password-env FTP_PASSWORT --folder /htdocs
  quillmaskerade-cli remote --settings Einstellungen.qmk --dry-run
  quillmaskerade-cli remote --tls --fingerprint AB:CD:… --host ftp.example.com --user web --password-file pw.txt
  quillmaskerade-cli remote --host sftp://web.example.com --user web --folder htdocs
)TXT";

constexpr std::string_view kBackups = R"TXT(Aufruf: quillmaskerade-cli backups [--json]

Zeigt die gesicherten Läufe im Ordner "Sicherungen", den neuesten zuerst: je
Lauf eine Zeile mit seinem Namen (der Zeit des Laufs), der Art (lokal oder FTP),
dem Ort und der Zahl der gesicherten Dateien. "undo" macht einen davon
rückgängig.

Beispiele:
  quillmaskerade-cli backups
  quillmaskerade-cli backups --json
)TXT";

constexpr std::string_view kUndo = R"TXT(Aufruf: quillmaskerade-cli undo [LAUF] [ANMELDEOPTIONEN]

Macht einen gesicherten Lauf rückgängig: ohne LAUF den neuesten, der noch nicht
rückgängig gemacht wurde ("backups" zeigt alle). Eine Datei wird nur
wiederhergestellt, wenn sie noch genau so ist, wie der Lauf sie geschrieben hat;
jede andere wird genannt und bleibt, wie sie ist (Rückgabewert 1).

Ein Lauf auf einem FTP- oder SFTP-Server wird dort rückgängig gemacht: jede
Seite wird erst verglichen, dann wird ihr alter Inhalt wie beim Lauf unter
einem vorläufigen Namen hochgeladen und an ihre Stelle gesetzt. Angemeldet wird
wie bei "remote" mit --port, --user, --password-env, --password-file, --active,
--tls, --sftp, --fingerprint und --settings; ohne --host gilt der Server des
Laufs, ein anderer wird abgelehnt.

Beispiele:
  quillmaskerade-cli backups
  quillmaskerade-cli undo 2026-05-04_10-15-00
  FTP_PASSWORT=geheim quillmaskerade-cli undo --user web --password-env FTP_PASSWORT
)TXT";

constexpr std::string_view kVersion = "quillmaskerade-cli " QUILL_VERSION "\n";

}  // namespace

std::string_view helpText(Command command) {
    switch (command) {
        case Command::Encode:
            return kEncode;
        case Command::Decode:
            return kDecode;
        case Command::Run:
            return kRun;
        case Command::Audit:
            return kAudit;
        case Command::Remote:
            return kRemote;
        case Command::Backups:
            return kBackups;
        case Command::Undo:
            return kUndo;
        case Command::Program:
            break;
    }
    return kProgram;
}

std::string_view versionText() {
    return kVersion;
}

}  // namespace quill::cli
