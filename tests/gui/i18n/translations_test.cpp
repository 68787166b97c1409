// The window in the user's language: the translations built into the
// program, loaded for a locale, reach the real menus, the list and the
// texts base produces; English stays exactly as base and the sources say.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>

#include <optional>
#include <set>
#include <system_error>

#include "base/forms/brokenfile.h"
#include "base/forms/fieldcheck.h"
#include "base/text/hlsplaylist.h"
#include "base/text/streamtracks.h"
#include "base/values/taskstate.h"
#include "engine/httpresponse.h"
#include "engine/mpdxml.h"
#include "engine/responsedecision.h"
#include "gui/dialogs/task/caddprop.h"
#include "gui/dialogs/task/caddurl.h"
#include "gui/i18n/translations.h"
#include "platform/basetexts.h"
#include "tests/gui/mainwindow/windowrig.h"

namespace dromo {
namespace {

QStringList MenuTitles(CMainFrame& frame)
{
    QStringList titles;
    for (QAction* action : frame.menuBar()->actions()) {
        titles << action->text();
    }
    return titles;
}

QMenu* MenuAt(CMainFrame& frame, int index)
{
    return frame.menuBar()->actions().at(index)->menu();
}

// The letter after "&" in the text, lower case; none when it has none.
QChar Accelerator(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&')) {
            if (text[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return text[i + 1].toLower();
        }
    }
    return {};
}

// Every accelerator of the menu (or the bar) chosen once: Alt+letter must
// reach one item only.
void ExpectUniqueAccelerators(const QList<QAction*>& actions, const QString& where)
{
    QSet<QChar> used;
    for (const QAction* action : actions) {
        const QChar key = Accelerator(action->text());
        if (key.isNull()) {
            continue;
        }
        EXPECT_FALSE(used.contains(key)) << where.toStdString() << ": " << action->text().toStdString();
        used.insert(key);
    }
}

struct Language {
    QLocale locale;
    QStringList menus;  // the menu bar, left to right
    QString addUrl;     // the File menu's first item
    QString target;     // the list's first heading
    QString running;    // the status bar's second pane
};

const Language kLanguages[] = {
    {QLocale(QLocale::German, QLocale::Germany),
     {"Dat&ei", "&Bearbeiten", "Herunter&laden", "&Ansicht", "&Hilfe"},  // Alt+D: the address bar
     QString::fromUtf8("URL &hinzufügen …"),
     "Ziel",
     "Laufende Downloads: 0"},
    {QLocale(QLocale::French, QLocale::France),
     {"&Fichier", QString::fromUtf8("Éd&ition"), QString::fromUtf8("&Téléchargement"), "&Affichage", "Aid&e"},
     QString::fromUtf8("&Ajouter une URL…"),
     "Cible",
     QString::fromUtf8("Téléchargements en cours\u00a0: 0")},
    {QLocale(QLocale::English, QLocale::UnitedStates),
     {"&File", "&Edit", "Do&wnload", "&View", "&Help"},
     "&Add URL...",
     "Target",
     "0 tasks is running"},
};

TEST(Translations, TheWindowSpeaksTheLanguageOfTheLocale)
{
    for (const Language& language : kLanguages) {
        SCOPED_TRACE(language.locale.name().toStdString());
        const Translations translations(language.locale);
        EXPECT_EQ(translations.Loaded(), language.locale.language() != QLocale::English);
        test::Window w;
        CMainFrame& frame = *w.frame;
        EXPECT_EQ(MenuTitles(frame), language.menus);
        EXPECT_EQ(MenuAt(frame, 0)->actions().at(0)->text(), language.addUrl);
        EXPECT_EQ(w.model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), language.target);
        EXPECT_EQ(frame.PaneText(1), language.running);
        ExpectUniqueAccelerators(frame.menuBar()->actions(), QStringLiteral("menu bar"));
        for (QAction* title : frame.menuBar()->actions()) {
            ExpectUniqueAccelerators(title->menu()->actions(), title->text());
            // Alt+D goes to the address bar, as in a browser, in every language.
            EXPECT_NE(QKeySequence::mnemonic(title->text()), QKeySequence(Qt::ALT | Qt::Key_D))
                << title->text().toStdString();
        }
    }
}

TEST(Translations, ALanguageWithoutTranslationStaysEnglish)
{
    const Translations translations(QLocale(QLocale::Japanese, QLocale::Japan));
    EXPECT_FALSE(translations.Loaded());
    test::Window w;
    EXPECT_EQ(MenuTitles(*w.frame).value(0), "&File");
}

// Texts made by base's own code, so a change of base's wording that the
// table no longer matches shows here rather than as English in a German
// window.
struct BaseCase {
    std::string english;
    const char* german;
};

constexpr const char* kPlaylist = "http://v.example/a.m3u8";

// Why base refuses to record a playlist or a manifest, in its words.
std::string HlsRefusal(const std::string& playlist)
{
    return ReadHlsPlaylist(playlist, kPlaylist).error;
}

std::string TrackRefusal(const std::string& playlist)
{
    std::string why;
    EXPECT_FALSE(TrackOfHls(ReadHlsPlaylist(playlist, kPlaylist).media, kPlaylist, why));
    return why;
}

std::string DashRefusal(const std::string& periodBody, const std::string& attributes = "")
{
    return MpdXml::Read("<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\"" + attributes +
                            " mediaPresentationDuration=\"PT10S\">\n<Period>\n" + periodBody + "</Period>\n</MPD>\n",
                        "http://v.example/a.mpd")
        .error;
}

// A server's answer to a segment, as the recording repeats it.
std::string ServerAnswer(const char* statusLine)
{
    HttpResponse response;
    response.AddLine(statusLine);
    return DecideHttpAnswer(response, ResumeState{}).reason;
}

std::vector<BaseCase> BaseCases()
{
    int value = 0;
    const std::string unavailable = ServerAnswer("HTTP/1.1 503 Service Unavailable");
    const std::string missing = ServerAnswer("HTTP/1.1 404 Not Found");
    return {
        {*CheckInteger("x", 1, 12, value), "Bitte geben Sie eine ganze Zahl ein."},
        {*CheckInteger("40", 1, 12, value), "Bitte geben Sie eine ganze Zahl zwischen 1 und 12 ein."},
        {*CheckLength(std::string(300, 'a'), 255), "Bitte geben Sie höchstens 255 Zeichen ein."},
        {FileErrorText(std::make_error_code(std::errc::no_such_file_or_directory), "an unnamed file"),
         "eine unbenannte Datei wurde nicht gefunden."},
        {FileErrorText(std::make_error_code(std::errc::permission_denied), "/home/a/b.iso"),
         "Der Zugriff auf /home/a/b.iso wurde verweigert."},
        {StateLegendText(kImageScheduled), "Download ist geplant."},
        {"3 tasks is running", "Laufende Downloads: 3"},
        {"Speed: 12.5 KB/s", "Geschwindigkeit: 12.5 KB/s"},
        {"Error 404 from server: Not Found", "Fehler 404 vom Server: Not Found"},
        {"Fail to connect to files.example:80: Connection refused",
         "Keine Verbindung zu files.example:80: Connection refused"},
        {"Fail - too many redirects: Number of redirects hit maximum amount",
         "Fehlgeschlagen – zu viele Weiterleitungen: Number of redirects hit maximum amount"},
        {"Fail - the server said no", "Fehlgeschlagen – the server said no"},
        {"The video variant cannot be used: give best, lowest, a height (720p), a resolution (1280x720) or a "
         "bandwidth (2500k).",
         "Die Videovariante ist nicht verwendbar: Geben Sie best, lowest, eine Höhe (720p), eine Auflösung "
         "(1280x720) oder eine Bandbreite (2500k) an."},
        {"Fail - 127.0.0.1:2121 offers no TLS and \"Require TLS for FTP\" is on: the login was not sent",
         "Fehlgeschlagen – 127.0.0.1:2121 bietet kein TLS an, und „TLS für FTP verlangen“ ist eingeschaltet: Die "
         "Anmeldung wurde nicht gesendet"},
        {"Fail - secure connection to the proxy 127.0.0.1:3128 refused: SSL certificate problem",
         "Fehlgeschlagen – sichere Verbindung zum Proxy 127.0.0.1:3128 abgelehnt: SSL certificate problem"},
        {"HTTP/1.1 206 Partial Content", "HTTP/1.1 206 Partial Content"},  // the server's own words
        {"", ""},
        // A mirror left during a download: the reason is a text of its own.
        {"Leaving the mirror http://m.example/f.iso: " + missing,
         "Der Spiegelserver http://m.example/f.iso wird verlassen: Fehler 404 vom Server: Not Found"},
        {"Leaving the mirror http://m.example/f.iso: it brings 2000 B/s, another mirror 64000 B/s",
         "Der Spiegelserver http://m.example/f.iso wird verlassen: er liefert 2000 B/s, ein anderer Spiegelserver "
         "64000 B/s"},
        {"Leaving the mirror ftp://m.example/f.iso: its bytes 0-1023 differ from those of two other mirrors",
         "Der Spiegelserver ftp://m.example/f.iso wird verlassen: seine Bytes 0-1023 weichen von denen zweier "
         "anderer Spiegelserver ab"},
        {"Leaving the mirror http://m.example/f.iso: its bytes 512-1023 differ from those of http://n.example/f.iso",
         "Der Spiegelserver http://m.example/f.iso wird verlassen: seine Bytes 512-1023 weichen von denen von "
         "http://n.example/f.iso ab"},
        {"Leaving the mirror http://m.example/f.iso: piece 7 does not match its digest",
         "Der Spiegelserver http://m.example/f.iso wird verlassen: Stück 7 passt nicht zu seiner Prüfsumme"},
        {"Leaving the mirror http://m.example/f.iso: a file of 100 bytes, not 200",
         "Der Spiegelserver http://m.example/f.iso wird verlassen: eine Datei von 100 Bytes, nicht 200"},
        // A recording's status and failure texts, built as the engine builds
        // them around the words of base and the server; the part that is
        // itself a text is shown translated in its place.
        {"Segment 12 of 40, 0:48 of 2:40", "Segment 12 von 40, 0:48 von 2:40"},
        {"Recording live: 8 segments, 0:32", "Live-Aufnahme: 8 Segmente, 0:32"},
        {"Recording ended by the user after 1:02:03", "Aufnahme vom Benutzer nach 1:02:03 beendet"},
        {"Making one file of 120 segments...", "Eine Datei aus 120 Segmenten wird erstellt …"},
        {"The live playlist could not be read 10 times: the recording ends here",
         "Die Live-Playlist konnte 10-mal nicht gelesen werden: die Aufnahme endet hier"},
        {"HLS stream: one variant", "HLS-Stream: eine Variante"},
        {"HLS stream: 1280x720, 2500 kbit/s, sound \"English, US\", 12 segments already here",
         "HLS-Stream: 1280x720, 2500 kbit/s, Ton „English, US“, 12 Segmente schon vorhanden"},
        {"DASH stream: video 2500 kbit/s, sound 128 kbit/s", "DASH-Stream: Video 2500 kbit/s, Ton 128 kbit/s"},
        {"DASH stream: 1920x1080 4800 kbit/s, sound 128 kbit/s, 3 segments already here",
         "DASH-Stream: 1920x1080 4800 kbit/s, Ton 128 kbit/s, 3 Segmente schon vorhanden"},
        {"DASH stream: sound 128 kbit/s", "DASH-Stream: Ton 128 kbit/s"},
        {unavailable + " (segment 7); trying again in 4 s",
         "Fehler 503 vom Server: Service Unavailable (Segment 7); neuer Versuch in 4 s"},
        {missing + " (segment 12); left out of the recording",
         "Fehler 404 vom Server: Not Found (Segment 12); in der Aufnahme ausgelassen"},
        {missing + " (the initialization section)", "Fehler 404 vom Server: Not Found (Initialisierungsabschnitt)"},
        {missing + " (the key http://v.example/k (1).bin)",
         "Fehler 404 vom Server: Not Found (Schlüssel http://v.example/k (1).bin)"},
        {unavailable + "; trying again", "Fehler 503 vom Server: Service Unavailable; neuer Versuch"},
        {"Error in the server's answer: the range lies past its end (segment 3)",
         "Fehler in der Antwort des Servers: der Bereich liegt hinter dem Ende der Datei (Segment 3)"},
        {"Error - segment 4 cannot be decrypted with its key http://v.example/k.bin",
         "Fehler – Segment 4 lässt sich mit seinem Schlüssel http://v.example/k.bin nicht entschlüsseln"},
        {"Error - the key http://v.example/k.bin is not 16 bytes long",
         "Fehler – der Schlüssel http://v.example/k.bin ist nicht 16 Bytes lang"},
        {"Error - the recording cannot be made into one file: the recording holds neither video nor sound",
         "Fehler – aus der Aufnahme lässt sich keine einzelne Datei machen: die Aufnahme enthält weder Video noch "
         "Ton"},
        {"Error - the recording cannot be made into one file: the recorded media cannot be read: Invalid data",
         "Fehler – aus der Aufnahme lässt sich keine einzelne Datei machen: die aufgenommenen Medien sind nicht "
         "lesbar: Invalid data"},
        {"Error writing /home/a/v.mp4.part: a piece of 70000000 bytes is too large to keep",
         "Fehler beim Schreiben von /home/a/v.mp4.part: ein Stück von 70000000 Bytes ist zu groß zum Aufbewahren"},
        {"Fail - https://v.example/page answers with neither an HLS playlist nor a DASH manifest",
         "Fehlgeschlagen – https://v.example/page antwortet weder mit einer HLS-Playlist noch mit einem "
         "DASH-Manifest"},
        {"Fail - the stream's video or sound cannot go into a file named clip.webm; name it .mkv",
         "Fehlgeschlagen – Video oder Ton des Streams passen nicht in eine Datei namens clip.webm; nennen Sie sie "
         ".mkv"},
        {"Fail - the playlist " + std::string(kPlaylist) + " cannot be recorded: " +
             HlsRefusal("#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXT-X-KEY:METHOD=SAMPLE-AES,URI=\"k\"\n#EXTINF:4,\na.ts\n"),
         "Fehlgeschlagen – die Playlist http://v.example/a.m3u8 kann nicht aufgenommen werden: Zeile 3: der Stream "
         "ist mit SAMPLE-AES (DRM) verschlüsselt; Dromo nimmt ihn nicht auf"},
        {"Fail - the playlist cannot be recorded: " +
             HlsRefusal("#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI=\"k\",KEYFORMAT=\"com.example.drm\"\n"),
         "Fehlgeschlagen – die Playlist kann nicht aufgenommen werden: Zeile 2: der Schlüssel des Streams liegt bei "
         "einem DRM-System (KEYFORMAT „com.example.drm“); Dromo nimmt ihn nicht auf"},
        {"Fail - the playlist cannot be recorded: " + HlsRefusal("<html></html>"),
         "Fehlgeschlagen – die Playlist kann nicht aufgenommen werden: Dies ist keine HLS-Playlist: sie beginnt "
         "nicht mit #EXTM3U."},
        {"Fail - the playlist " + std::string(kPlaylist) + " cannot be recorded: " +
             TrackRefusal("#EXTM3U\n#EXT-X-TARGETDURATION:4\n#EXT-X-MAP:URI=\"i1.mp4\"\n#EXTINF:4,\na.m4s\n"
                          "#EXT-X-MAP:URI=\"i2.mp4\"\n#EXTINF:4,\nb.m4s\n#EXT-X-ENDLIST\n"),
         "Fehlgeschlagen – die Playlist http://v.example/a.m3u8 kann nicht aufgenommen werden: der Stream wechselt "
         "unterwegs seinen Initialisierungsabschnitt (EXT-X-MAP), was eine einzelne Datei nicht aufnehmen kann"},
        {"Fail - the playlist " + std::string(kPlaylist) + " names other playlists where its segments should be",
         "Fehlgeschlagen – die Playlist http://v.example/a.m3u8 nennt andere Playlists, wo ihre Segmente stehen "
         "sollten"},
        {"Fail - the manifest cannot be recorded: " + DashRefusal("", " type=\"dynamic\""),
         "Fehlgeschlagen – das Manifest kann nicht aufgenommen werden: Dies ist ein Live-DASH-Stream "
         "(type=\"dynamic\"), den Dromo nicht aufnimmt."},
        {"Fail - the manifest cannot be recorded: " +
             DashRefusal("<AdaptationSet mimeType=\"video/mp4\">\n<ContentProtection schemeIdUri=\"urn:x\"/>\n"
                         "<Representation id=\"v\" bandwidth=\"1\"/>\n</AdaptationSet>\n"),
         "Fehlgeschlagen – das Manifest kann nicht aufgenommen werden: Zeile 3: der Stream ist durch DRM "
         "(ContentProtection) geschützt; Dromo nimmt ihn nicht auf"},
    };
}

TEST(BaseTexts, BaseTextsAreShownInGermanAndStayEnglishWithoutATranslation)
{
    for (const BaseCase& c : BaseCases()) {
        EXPECT_EQ(BaseTexts::Shown(c.english).toStdString(), c.english) << "English must stay byte-identical";
    }
    const Translations german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(german.Loaded());
    for (const BaseCase& c : BaseCases()) {
        EXPECT_EQ(BaseTexts::Shown(c.english), QString::fromUtf8(c.german)) << c.english;
    }
}

TEST(BaseTexts, StatusCountsAndNoticeLinesKeepTheirVaryingParts)
{
    const Translations german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(german.Loaded());
    EXPECT_EQ(BaseTexts::Status("15:18:40 File has been downloaded"), "15:18:40 Die Datei wurde heruntergeladen");
    EXPECT_EQ(BaseTexts::Status("9:05:01 Connecting to h.example:443..."),
              QString::fromUtf8("9:05:01 Verbindung zu h.example:443 wird hergestellt …"));
    EXPECT_EQ(BaseTexts::Status("File has been downloaded"), "Die Datei wurde heruntergeladen");
    EXPECT_EQ(BaseTexts::Count("412160 of 645120"), "412160 von 645120");
    EXPECT_EQ(BaseTexts::Count("0"), "0");
    EXPECT_EQ(BaseTexts::Shown("2 downloads finished, 1 failed"), "2 Downloads abgeschlossen, 1 fehlgeschlagen");
    EXPECT_EQ(BaseTexts::Lines("a.zip\nb.zip (failed: Error - x)\nand 3 more"),
              QString::fromUtf8("a.zip\nb.zip (fehlgeschlagen: Error - x)\nund 3 weitere"));
    // The Add URL sheet's count and faults, the checksum's verdicts; a
    // pasted list's fault names its line in front of a text of its own.
    const std::pair<const char*, const char*> sheet[] = {
        {"1 task", "1 Download"},
        {"120 tasks", "120 Downloads"},
        {"Line 3: \"x\" is not an http, https or ftp URL of a file.",
         "Zeile 3: „x“ ist keine http-, https- oder ftp-URL einer Datei."},
        {"Patterns do not nest: \"[\" at character 9 is inside \"{\" at character 5.",
         "Muster lassen sich nicht verschachteln: \"[\" an Zeichen 9 steht in \"{\" an Zeichen 5."},
        {"File has been downloaded - Verified SHA-256", "Die Datei wurde heruntergeladen – SHA-256 geprüft"},
        {"Fail - the file does not match its SHA-256 checksum",
         "Fehlgeschlagen – die Datei passt nicht zu ihrer SHA-256-Prüfsumme"},
        {"Line 2: a line of its own", "Zeile 2: a line of its own"},
    };
    for (const auto& [english, shown] : sheet) {
        EXPECT_EQ(BaseTexts::Shown(english), QString::fromUtf8(shown)) << english;
    }
}

TEST(BaseTexts, TheListShowsRowsTranslatedButKeepsBaseData)
{
    const Translations german(QLocale(QLocale::German, QLocale::Germany));
    test::Window w;
    w.adder.AddTask("http://files.example/a.zip", "");
    w.table.SetText(0, kColSize, "5120 of 5120");
    w.table.SetText(0, kColResume, "Yes");
    w.table.SetText(0, kColEstTime, "N/A");
    w.table.SetText(0, kColStatus, "15:18:40 File has been downloaded");
    w.model.Flush();
    EXPECT_EQ(w.model.index(0, kColSize).data().toString(), "5120 von 5120");
    EXPECT_EQ(w.model.index(0, kColResume).data().toString(), "Ja");
    EXPECT_EQ(w.model.index(0, kColEstTime).data().toString(), "k. A.");
    EXPECT_EQ(w.model.index(0, kColStatus).data().toString(), "15:18:40 Die Datei wurde heruntergeladen");
    EXPECT_EQ(w.model.headerData(kColResume, Qt::Horizontal, Qt::DisplayRole).toString(), "Fortsetzbar");
    auto guard = w.table.Lock();
    EXPECT_EQ(w.table.RowCopy(0).texts[kColStatus], "15:18:40 File has been downloaded");
}

// Whoever handed a URL over on the bus hears English, as base and the
// sources say it, whatever language the window speaks: here when the task
// list could not be saved after the add, by the quick add and by the Add
// URL sheet's many URLs.
TEST(BaseTexts, BusAnswersStayEnglishInAGermanWindow)
{
    const Translations german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(german.Loaded());
    const std::string notSaved = "The task was added, but the task list could not be saved.";
    const struct {
        const char* what;
        bool popup;
        std::string answer;
    } cases[] = {
        {"quick add", false, notSaved},
        {"the sheet's two URLs, one refused", true,
         "1 of 2 URLs were added; the others were refused: The same file is being downloaded.\n" + notSaved},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::Window w;
        w.settings.options.popupDialog = c.popup ? 1 : 0;
        w.profile.flushResult = false;
        w.profile.flushError = "No space left on device";
        // A running task fetches the first URL into the download folder.
        ASSERT_EQ(w.adder.AddTask("http://h/a.zip", ""), AddResult::Added);
        w.table.SetState(0, TaskState::Running);
        w.frame->SetSheetDriver([](CPropertySheet& sheet) {
            static_cast<CAddProp&>(sheet).UrlPage()->UrlEdit()->setText("http://h/a.zip\nhttp://h/b.zip");
            sheet.accept();
        });
        std::optional<QString> answer;
        w.frame->Desk().HandOverUrl("http://h/c.zip", [&answer](const QString& refusal) { answer = refusal; });
        ASSERT_TRUE(QTest::qWaitFor([&answer] { return answer.has_value(); }));
        EXPECT_EQ(answer->toStdString(), c.answer);
    }
}

}  // namespace
}  // namespace dromo
