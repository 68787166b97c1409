#include "platform/basetexts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <vector>

namespace dromo {
namespace {

constexpr const char* kContext = "dromo";

// Texts base and the engine produce whole.
constexpr const char* kWhole[] = {
    // messages
    QT_TRANSLATE_NOOP("dromo", "Fail to start virus scanner."),
    QT_TRANSLATE_NOOP("dromo", "The selected task is running, stop it first."),
    QT_TRANSLATE_NOOP("dromo", "This file is not downloaded completely, you had better leave it alone."),
    QT_TRANSLATE_NOOP("dromo", "This file is being downloaded, you cannot open it now."),
    QT_TRANSLATE_NOOP("dromo", "File not found or moved"),
    QT_TRANSLATE_NOOP("dromo", "invalid url"),
    QT_TRANSLATE_NOOP("dromo", "The same file is being downloaded."),
    QT_TRANSLATE_NOOP("dromo", "Too many tasks were added since Dromo started. Restart Dromo to add more."),
    QT_TRANSLATE_NOOP("dromo",
                      "The browser's cookie, referrer or user agent holds a line break or another control character."),
    QT_TRANSLATE_NOOP("dromo", "The browser's cookie is longer than 8000 bytes, more than a request may carry."),
    QT_TRANSLATE_NOOP("dromo", "Nothing to download: the URL is empty or ends in \"/\"."),
    QT_TRANSLATE_NOOP("dromo", "The URL holds a line break or another control character."),
    QT_TRANSLATE_NOOP("dromo", "The task was added, but the task list could not be saved."),
    QT_TRANSLATE_NOOP("dromo", "No history."),
    QT_TRANSLATE_NOOP("dromo", "This action will permanently clear your download record so far, are you sure?"),
    QT_TRANSLATE_NOOP("dromo", "The task has started meanwhile; its properties were not changed."),
    QT_TRANSLATE_NOOP("dromo", "Another task in the list saves to this file; its properties were not changed."),
    QT_TRANSLATE_NOOP("dromo", "A category with the same extension has existed."),
    QT_TRANSLATE_NOOP("dromo", "The same proxy has existed."),
    QT_TRANSLATE_NOOP("dromo", "The same site has existed."),
    QT_TRANSLATE_NOOP("dromo", "Please enter an integer."),
    QT_TRANSLATE_NOOP("dromo", "The settings could not be saved."),
    QT_TRANSLATE_NOOP("dromo", "Dromo already starts up."),
    QT_TRANSLATE_NOOP("dromo", "None of the page's links can be downloaded."),
    QT_TRANSLATE_NOOP("dromo", "an unnamed file"),
    QT_TRANSLATE_NOOP("dromo", "Your computer will be shut down in 15 seconds."),
    QT_TRANSLATE_NOOP("dromo", "Your Internet connection will be hang up in 15 seconds."),
    // Two literals joined on purpose: one text too long for a line.
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("dromo",
                      "Shut down the computer when all downloads are done? Dromo counts down 15 seconds "
                      "first, and you can cancel then."),
    QT_TRANSLATE_NOOP("dromo",
                      "Hang up the Internet connection when all downloads are done? Dromo counts down 15 "
                      "seconds first, and you can cancel then."),
    QT_TRANSLATE_NOOP("dromo",
                      "The countdown was cancelled. Switch off \"Shut Down Computer When Done\" and \"Hang "
                      "up When Done\" too?"),
    QT_TRANSLATE_NOOP("dromo", "The countdown was cancelled. Switch off \"Shut Down Computer When Done\" too?"),
    QT_TRANSLATE_NOOP("dromo", "The countdown was cancelled. Switch off \"Hang up When Done\" too?"),
    // the legend
    QT_TRANSLATE_NOOP("dromo", "Task is in queue."),
    QT_TRANSLATE_NOOP("dromo", "Task is paused."),
    QT_TRANSLATE_NOOP("dromo", "Task is running."),
    QT_TRANSLATE_NOOP("dromo", "Task is done."),
    QT_TRANSLATE_NOOP("dromo", "Error occurs."),
    QT_TRANSLATE_NOOP("dromo", "Task is scheduled."),
    QT_TRANSLATE_NOOP("dromo", "Task has failed."),
    QT_TRANSLATE_NOOP("dromo", "Task is done and its file verified."),
    // the filter bar's state choices
    QT_TRANSLATE_NOOP("dromo", "All"),
    QT_TRANSLATE_NOOP("dromo", "Running"),
    QT_TRANSLATE_NOOP("dromo", "Queued"),
    QT_TRANSLATE_NOOP("dromo", "Paused"),
    QT_TRANSLATE_NOOP("dromo", "Done"),
    QT_TRANSLATE_NOOP("dromo", "Failed"),
    // the text colours
    QT_TRANSLATE_NOOP("dromo", "Black"),
    QT_TRANSLATE_NOOP("dromo", "Blue"),
    QT_TRANSLATE_NOOP("dromo", "Turquoise"),
    QT_TRANSLATE_NOOP("dromo", "Bright Green"),
    QT_TRANSLATE_NOOP("dromo", "Pink"),
    QT_TRANSLATE_NOOP("dromo", "Red"),
    QT_TRANSLATE_NOOP("dromo", "Yellow"),
    QT_TRANSLATE_NOOP("dromo", "White"),
    QT_TRANSLATE_NOOP("dromo", "Dark Blue"),
    QT_TRANSLATE_NOOP("dromo", "Teal"),
    QT_TRANSLATE_NOOP("dromo", "Green"),
    QT_TRANSLATE_NOOP("dromo", "Violet"),
    QT_TRANSLATE_NOOP("dromo", "Dark Red"),
    QT_TRANSLATE_NOOP("dromo", "Dark Yellow"),
    QT_TRANSLATE_NOOP("dromo", "Gray-50%"),
    QT_TRANSLATE_NOOP("dromo", "Gray-25%"),
    // the Resume, Progress and Est Time columns
    QT_TRANSLATE_NOOP("dromo", "Yes"),
    QT_TRANSLATE_NOOP("dromo", "No"),
    QT_TRANSLATE_NOOP("dromo", "N/A"),
    // what a request detail is called in the engine's refusal
    QT_TRANSLATE_NOOP("dromo", "user agent"),
    QT_TRANSLATE_NOOP("dromo", "referrer"),
    QT_TRANSLATE_NOOP("dromo", "cookie"),
    QT_TRANSLATE_NOOP("dromo", "FTP login"),
    QT_TRANSLATE_NOOP("dromo", "FTP password"),
    // desktop notices
    QT_TRANSLATE_NOOP("dromo", "Download finished"),
    QT_TRANSLATE_NOOP("dromo", "Download failed"),
    QT_TRANSLATE_NOOP("dromo", "Already downloaded"),
    // the question before a copy of a file already there
    QT_TRANSLATE_NOOP("dromo", "Open"),
    QT_TRANSLATE_NOOP("dromo", "Download Again"),
    QT_TRANSLATE_NOOP("dromo", "Cancel"),
    // the engine's status texts
    QT_TRANSLATE_NOOP("dromo", "File has been downloaded"),
    QT_TRANSLATE_NOOP("dromo", "File has already existed"),
    QT_TRANSLATE_NOOP("dromo", "Error - cancelled by user."),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: no valid status line"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: a response header too large to read"),
    QT_TRANSLATE_NOOP("dromo", "Error - out of memory"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: a partial answer that does not fit the range asked for"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: the whole file instead of a range"),
    QT_TRANSLATE_NOOP("dromo",
                      "Error in the server's answer: its partial answers do not fit the file; try again later"),
    QT_TRANSLATE_NOOP("dromo", "Error - the server keeps changing the file; try again later"),
    QT_TRANSLATE_NOOP("dromo", "Error 10053 - connection closed before the file was complete"),
    QT_TRANSLATE_NOOP("dromo",
                      "The server's partial answer does not fit the file; downloading it again from the start"),
    QT_TRANSLATE_NOOP("dromo", "The file changed on the server; downloading it again from the start"),
    QT_TRANSLATE_NOOP("dromo", "Nothing tells what the bytes on disk are; downloading the file again from the start"),
    QT_TRANSLATE_NOOP("dromo", "The file moved to an FTP server; downloading it again from the start"),
    QT_TRANSLATE_NOOP("dromo", "The address has expired"),
    QT_TRANSLATE_NOOP("dromo", "the task has no bytes on disk to compare"),
    QT_TRANSLATE_NOOP("dromo", "the bytes on disk could not be read"),
    QT_TRANSLATE_NOOP("dromo", "the new address names another length, or none"),
    QT_TRANSLATE_NOOP("dromo", "the new address names another version of the file (ETag)"),
    QT_TRANSLATE_NOOP("dromo", "the new address names another version of the file (Last-Modified)"),
    QT_TRANSLATE_NOOP("dromo", "the new address has other bytes before the resume point"),
    QT_TRANSLATE_NOOP("dromo", "the task no longer waits for a new address"),
    // One text in two literals, not two texts.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("dromo",
                      "Fail - the site refused the download: the browser's cookies for it were not kept "
                      "when Dromo restarted; start it again from the browser"),
    QT_TRANSLATE_NOOP("dromo",
                      "Fail - the keyring holds this task's password and did not give it (locked, or not running); "
                      "unlock it, or type the password in the task's properties, and start the task again"),
    // NOLINTEND(bugprone-suspicious-missing-comma)
    // the Add URL sheet's many URLs, its checksum and its video variant
    QT_TRANSLATE_NOOP("dromo", "1 task"),
    QT_TRANSLATE_NOOP("dromo", "A checksum belongs to one file: leave it empty when adding several URLs."),
    QT_TRANSLATE_NOOP("dromo",
                      "The video variant cannot be used: give best, lowest, a height (720p), a resolution "
                      "(1280x720) or a bandwidth (2500k)."),
    // a Metalink file that cannot be used, and why ("Line N: " may lead)
    QT_TRANSLATE_NOOP("dromo", "The Metalink file lists no file."),
    QT_TRANSLATE_NOOP("dromo", "This is not a Metalink file: it is empty."),
    QT_TRANSLATE_NOOP("dromo", "This is not a Metalink file: it is not well-formed XML."),
    QT_TRANSLATE_NOOP("dromo", "This is not a Metalink file: its root element is not <metalink> of Metalink 3 or 4."),
    QT_TRANSLATE_NOOP("dromo", "a Metalink file may not declare a document type or entities."),
    QT_TRANSLATE_NOOP("dromo", "a file has no name."),
    // a video stream's recording
    QT_TRANSLATE_NOOP("dromo", "Error - the recording holds no segment"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: the range lies past its end"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: its range does not fit the part asked for"),
    QT_TRANSLATE_NOOP("dromo", "one variant"),
    QT_TRANSLATE_NOOP("dromo", "out of memory"),
    QT_TRANSLATE_NOOP("dromo", "the recording holds neither video nor sound"),
    // why a playlist cannot be recorded ("Line N: " leads)
    QT_TRANSLATE_NOOP("dromo", "This is not an HLS playlist: it does not begin with #EXTM3U."),
    QT_TRANSLATE_NOOP("dromo", "the playlist mixes variant streams with media segments"),
    QT_TRANSLATE_NOOP("dromo", "EXT-X-STREAM-INF without the URI of its stream"),
    QT_TRANSLATE_NOOP("dromo", "the master playlist names no variant stream"),
    QT_TRANSLATE_NOOP("dromo", "the media playlist has no EXT-X-TARGETDURATION"),
    QT_TRANSLATE_NOOP("dromo", "a variant stream without a readable BANDWIDTH"),
    QT_TRANSLATE_NOOP("dromo", "a rendition without TYPE or GROUP-ID"),
    QT_TRANSLATE_NOOP("dromo", "an AES-128 key without a URI"),
    QT_TRANSLATE_NOOP("dromo", "EXT-X-MAP without a URI"),
    QT_TRANSLATE_NOOP("dromo", "a byte range without an offset that follows no range of the same resource"),
    QT_TRANSLATE_NOOP("dromo", "a byte range past the largest file"),
    // One text in two literals, not two texts.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("dromo",
                      "the stream changes its initialization section (EXT-X-MAP) on the way, which one file "
                      "cannot hold"),
    // NOLINTEND(bugprone-suspicious-missing-comma)
    // why a manifest cannot be recorded ("Line N: " may lead)
    QT_TRANSLATE_NOOP("dromo", "This is not a DASH manifest: it is empty."),
    QT_TRANSLATE_NOOP("dromo", "This is not a DASH manifest: it is not well-formed XML."),
    QT_TRANSLATE_NOOP("dromo", "This is not a DASH manifest: its root element is not <MPD>."),
    QT_TRANSLATE_NOOP("dromo", "a DASH manifest may not declare a document type or entities."),
    QT_TRANSLATE_NOOP("dromo", "This is a live DASH stream (type=\"dynamic\"), which Dromo does not record."),
    QT_TRANSLATE_NOOP("dromo", "the manifest has no Period"),
    QT_TRANSLATE_NOOP("dromo", "the manifest has several periods, which Dromo does not join into one file"),
    QT_TRANSLATE_NOOP("dromo", "the manifest has no video or audio representation"),
    QT_TRANSLATE_NOOP("dromo", "the stream is protected by DRM (ContentProtection), which Dromo does not record"),
    QT_TRANSLATE_NOOP("dromo", "a representation without a readable bandwidth"),
    QT_TRANSLATE_NOOP("dromo", "a SegmentTimeline entry whose t, d or r cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "a SegmentTimeline repeats to the end of a period of no known duration"),
    // NOLINTNEXTLINE(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("dromo",
                      "a SegmentTemplate without media, or with a timescale or startNumber that cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "a SegmentTemplate with neither a SegmentTimeline nor a duration and a known period"),
    QT_TRANSLATE_NOOP("dromo", "a SegmentTemplate that makes no segment"),
    QT_TRANSLATE_NOOP("dromo", "a SegmentList whose timescale or duration cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "a SegmentList without a SegmentURL"),
    QT_TRANSLATE_NOOP("dromo", "a template with an unclosed $"),
};

// A text with parts that vary. One of its parts may be a text of base or
// the engine in its own right (the reason after "cannot be recorded: ", the
// failure a retry repeats): that part is shown translated in turn, and it
// takes all it can, so the pattern's other parts are the short ones at its
// edges ("%1 (segment %2)" splits at the last " (segment ").
struct PatternText {
    // Implicit: most patterns are their English alone.
    constexpr PatternText(const char* text, int textPart = 0) : english(text), told(textPart) {}
    const char* english;
    int told;  // the number of the part that is a text itself; 0 when none is
};

// Texts with parts that vary, most particular first: the first that
// matches the whole text wins, so "Fail - %1" comes after every "Fail - ...".
constexpr PatternText kPatterns[] = {
    {QT_TRANSLATE_NOOP("dromo", "The address is not provably the task's file (%1); nothing was changed."), 1},
    QT_TRANSLATE_NOOP("dromo", "the new address did not answer with the bytes asked for (%1)"),
    QT_TRANSLATE_NOOP("dromo", "the new address did not answer: %1"),
    QT_TRANSLATE_NOOP("dromo", "Please enter an integer between %1 and %2."),
    QT_TRANSLATE_NOOP("dromo", "Please enter no more than %1 characters."),
    QT_TRANSLATE_NOOP("dromo", "%1 tasks is running"),
    QT_TRANSLATE_NOOP("dromo", "%1 tasks is in queue"),
    QT_TRANSLATE_NOOP("dromo", "Speed: %1 KB/s"),
    QT_TRANSLATE_NOOP("dromo", "%1KB/s"),
    QT_TRANSLATE_NOOP("dromo", "The page offers %1 links; Dromo takes at most %2 at once."),
    QT_TRANSLATE_NOOP("dromo", "%1 was not found."),
    QT_TRANSLATE_NOOP("dromo", "%1 contains an invalid path."),
    QT_TRANSLATE_NOOP("dromo", "Access to %1 was denied."),
    QT_TRANSLATE_NOOP("dromo", "The disk is full while accessing %1."),
    QT_TRANSLATE_NOOP("dromo", "A sharing violation occurred while accessing %1."),
    QT_TRANSLATE_NOOP("dromo", "An unexpected error occurred while accessing %1."),
    // desktop notices
    QT_TRANSLATE_NOOP("dromo", "%1 downloads finished, %2 failed"),
    QT_TRANSLATE_NOOP("dromo", "%1 download finished, %2 failed"),
    QT_TRANSLATE_NOOP("dromo", "%1 downloads finished"),
    QT_TRANSLATE_NOOP("dromo", "%1 download finished"),
    QT_TRANSLATE_NOOP("dromo", "%1 downloads failed"),
    QT_TRANSLATE_NOOP("dromo", "%1 download failed"),
    QT_TRANSLATE_NOOP("dromo", "%1 (failed: %2)"),
    QT_TRANSLATE_NOOP("dromo", "%1 (failed)"),
    QT_TRANSLATE_NOOP("dromo", "%1 already downloaded"),
    QT_TRANSLATE_NOOP("dromo", "%1 is already in %2."),
    QT_TRANSLATE_NOOP("dromo", "%1 (already downloaded)"),
    QT_TRANSLATE_NOOP("dromo", "and %1 more"),
    // a video stream's recording: a failure, or a retry, names the piece
    // it befell after the failure's own text
    {QT_TRANSLATE_NOOP("dromo", "%1 (segment %2); left out of the recording"), 1},
    {QT_TRANSLATE_NOOP("dromo", "%1 (segment %2); trying again in %3 s"), 1},
    {QT_TRANSLATE_NOOP("dromo", "%1 (the initialization section); trying again in %2 s"), 1},
    {QT_TRANSLATE_NOOP("dromo", "%1 (segment %2)"), 1},
    {QT_TRANSLATE_NOOP("dromo", "%1 (the initialization section)"), 1},
    {QT_TRANSLATE_NOOP("dromo", "%1 (the key %2)"), 1},
    {QT_TRANSLATE_NOOP("dromo", "%1; trying again"), 1},
    QT_TRANSLATE_NOOP("dromo", "Segment %1 of %2, %3 of %4"),
    QT_TRANSLATE_NOOP("dromo", "Recording live: %1 segments, %2"),
    QT_TRANSLATE_NOOP("dromo", "Recording ended by the user after %1"),
    QT_TRANSLATE_NOOP("dromo", "Making one file of %1 segments..."),
    QT_TRANSLATE_NOOP("dromo", "The live playlist could not be read %1 times: the recording ends here"),
    QT_TRANSLATE_NOOP("dromo", "Error - no connection could be made for %1"),
    QT_TRANSLATE_NOOP("dromo", "Error - segment %1 cannot be decrypted with its key %2"),
    QT_TRANSLATE_NOOP("dromo", "Error - the key %1 is not 16 bytes long"),
    QT_TRANSLATE_NOOP("dromo", "Error - %1 is larger than the %2 MB a piece of a stream may have"),
    {QT_TRANSLATE_NOOP("dromo", "Error - the recording cannot be made into one file: %1"), 1},
    QT_TRANSLATE_NOOP("dromo", "Fail - %1 answers with neither an HLS playlist nor a DASH manifest"),
    {QT_TRANSLATE_NOOP("dromo", "Fail - the playlist cannot be recorded: %1"), 1},
    {QT_TRANSLATE_NOOP("dromo", "Fail - the playlist %1 cannot be recorded: %2"), 2},
    QT_TRANSLATE_NOOP("dromo", "Fail - the playlist %1 names other playlists where its segments should be"),
    {QT_TRANSLATE_NOOP("dromo", "Fail - the manifest cannot be recorded: %1"), 1},
    QT_TRANSLATE_NOOP("dromo", "Fail - the stream's video or sound cannot go into a file named %1; name it .mkv"),
    // a mirror left during a download, and why
    {QT_TRANSLATE_NOOP("dromo", "Leaving the mirror %1: %2"), 2},
    QT_TRANSLATE_NOOP("dromo", "it brings %1 B/s, another mirror %2 B/s"),
    QT_TRANSLATE_NOOP("dromo", "it brings %1 B/s, another connection %2 B/s"),
    QT_TRANSLATE_NOOP("dromo", "its bytes %1-%2 differ from those of two other mirrors"),
    QT_TRANSLATE_NOOP("dromo", "its bytes %1-%2 differ from those of %3"),
    QT_TRANSLATE_NOOP("dromo", "piece %1 does not match its digest"),
    QT_TRANSLATE_NOOP("dromo", "a file of %1 bytes, not %2"),
    // the engine's status texts
    QT_TRANSLATE_NOOP("dromo", "Connecting to %1..."),
    QT_TRANSLATE_NOOP("dromo", "Saved as %1"),
    QT_TRANSLATE_NOOP("dromo", "Saving as %1: %2 was not written by Dromo"),
    QT_TRANSLATE_NOOP("dromo", "Saving as %1: %2 is another file"),
    QT_TRANSLATE_NOOP("dromo", "Error 407 from proxy: %1"),
    QT_TRANSLATE_NOOP("dromo", "Error %1 from server: %2"),
    QT_TRANSLATE_NOOP("dromo", "Error %1 from server"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: more than %1 response heads"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: a response head of more than %1 KB"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: it is not HTTP (%1)"),
    QT_TRANSLATE_NOOP("dromo", "Error in the server's answer: %1"),
    {QT_TRANSLATE_NOOP("dromo", "Error writing %1: %2"), 2},
    QT_TRANSLATE_NOOP("dromo", "Error renaming %1 to %2: %3"),
    QT_TRANSLATE_NOOP("dromo", "Error - no data received for %1 seconds"),
    QT_TRANSLATE_NOOP("dromo", "Error - less than one byte a second received for %1 seconds"),
    QT_TRANSLATE_NOOP("dromo", "Error 10053 - connection aborted after %1 bytes: %2"),
    QT_TRANSLATE_NOOP("dromo", "Error 10053 - connection aborted with %1 of %2 bytes: %3"),
    QT_TRANSLATE_NOOP("dromo", "Error 10053 - connection closed after %1 of %2 bytes"),
    QT_TRANSLATE_NOOP("dromo", "Error - the server refused the file: %1"),
    QT_TRANSLATE_NOOP("dromo", "Error - %1"),
    QT_TRANSLATE_NOOP("dromo", "Fail to open %1: %2"),
    QT_TRANSLATE_NOOP("dromo", "Fail to resolve %1: %2"),
    QT_TRANSLATE_NOOP("dromo", "Fail to connect to %1: no answer for %2 seconds"),
    QT_TRANSLATE_NOOP("dromo", "Fail to connect to %1: %2"),
    QT_TRANSLATE_NOOP("dromo", "Fail to write into %1: %2"),
    QT_TRANSLATE_NOOP("dromo", "Fail - no free file name beside %1"),
    QT_TRANSLATE_NOOP("dromo", "Fail - secure connection to the proxy %1 refused: %2"),
    QT_TRANSLATE_NOOP("dromo", "Fail - secure connection to %1 refused: %2"),
    QT_TRANSLATE_NOOP("dromo", "Fail - %1 offers no TLS and \"Require TLS for FTP\" is on: the login was not sent"),
    QT_TRANSLATE_NOOP("dromo", "Fail - too many redirects: %1"),
    QT_TRANSLATE_NOOP("dromo", "Fail - login denied by %1: %2"),
    QT_TRANSLATE_NOOP("dromo", "Fail - the proxy refused to connect to %1 (answer %2)"),
    QT_TRANSLATE_NOOP("dromo", "Fail - the target %1 is a folder, not a file"),
    QT_TRANSLATE_NOOP("dromo", "Fail - the target %1 exists and is not a file"),
    QT_TRANSLATE_NOOP("dromo", "Fail - %1 is a folder on the server, not a file"),
    QT_TRANSLATE_NOOP("dromo", "Fail - the cookie is %1 bytes, more than the %2 a request may carry; nothing was sent"),
    QT_TRANSLATE_NOOP("dromo", "Fail - the %1 holds a line break or another control character; nothing was sent"),
    QT_TRANSLATE_NOOP("dromo", "Fail - the file does not match its %1 checksum"),
    QT_TRANSLATE_NOOP("dromo", "Fail - %1"),
    QT_TRANSLATE_NOOP("dromo", "File has been downloaded - Verified %1"),
    QT_TRANSLATE_NOOP("dromo", "The file does not match its %1 checksum: downloading it again from zero"),
    // a Metalink file that cannot be used, and why ("Line N: " may lead)
    QT_TRANSLATE_NOOP("dromo", "The Metalink file %1 cannot be read: %2."),
    QT_TRANSLATE_NOOP("dromo", "The Metalink file is larger than %1 MB."),
    QT_TRANSLATE_NOOP("dromo", "The Metalink file lists more than %1 files."),
    QT_TRANSLATE_NOOP("dromo", "This is not a Metalink file: %1."),
    QT_TRANSLATE_NOOP("dromo", "\"%1\" is not a plain file name; Dromo saves no file outside its folder."),
    QT_TRANSLATE_NOOP("dromo", "the size \"%1\" is not a number of bytes."),
    QT_TRANSLATE_NOOP("dromo", "the piece length \"%1\" is not a number of bytes."),
    QT_TRANSLATE_NOOP("dromo", "the file \"%1\" lists more than %2 URLs."),
    QT_TRANSLATE_NOOP("dromo", "the file \"%1\" lists more than %2 pieces."),
    QT_TRANSLATE_NOOP("dromo", "the file \"%1\" has no http, https or ftp URL."),
    QT_TRANSLATE_NOOP("dromo", "the file \"%1\" has %2 piece hashes where its size needs %3."),
    QT_TRANSLATE_NOOP("dromo", "the %1 hash of \"%2\" is not %3 hexadecimal digits."),
    // the Add URL sheet's many URLs: patterns and pasted lines
    QT_TRANSLATE_NOOP("dromo", "%1 tasks"),
    QT_TRANSLATE_NOOP("dromo", "%1 of %2 URLs were added; the others were refused: %3"),
    QT_TRANSLATE_NOOP("dromo", "The pattern makes more than %1 URLs; Dromo adds at most %2 at once."),
    QT_TRANSLATE_NOOP("dromo", "The pattern makes %1 URLs; Dromo adds at most %2 at once."),
    QT_TRANSLATE_NOOP("dromo", "The lines make more than %1 URLs; Dromo adds at most %2 at once."),
    QT_TRANSLATE_NOOP("dromo", "\"%1\" is not an http, https or ftp URL of a file."),
    // One text in two literals, not two texts.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("dromo",
                      "%1 at character %2 is not a range: use numbers (\"[1-20]\", \"[001-120]\") or "
                      "letters of one case (\"[a-f]\"), with an optional step (\"[0-100:10]\")."),
    // NOLINTEND(bugprone-suspicious-missing-comma)
    QT_TRANSLATE_NOOP("dromo", "The step of %1 at character %2 must be a whole number of at least 1."),
    QT_TRANSLATE_NOOP("dromo", "%1 at character %2 has a number too large to count to."),
    QT_TRANSLATE_NOOP("dromo", "%1 at character %2 counts backwards; write \"%3\"."),
    QT_TRANSLATE_NOOP("dromo", "%1 at character %2 closes nothing; write \"%3\" for the character itself."),
    QT_TRANSLATE_NOOP("dromo", "Patterns do not nest: %1 at character %2 is inside %3 at character %4."),
    QT_TRANSLATE_NOOP("dromo", "%1 at character %2 has no closing %3."),
    QT_TRANSLATE_NOOP("dromo", "\"{}\" at character %1 offers nothing to choose from."),
    // a checksum the sheet cannot use, and why
    QT_TRANSLATE_NOOP("dromo",
                      "The checksum cannot be used: unknown checksum algorithm %1 (use sha-256, sha-512, "
                      "sha-1 or md5)."),
    QT_TRANSLATE_NOOP("dromo",
                      "The checksum cannot be used: a checksum of %1 characters fits no algorithm; write "
                      "it as sha-256=HEX."),
    QT_TRANSLATE_NOOP("dromo", "The checksum cannot be used: a %1 checksum is %2 hexadecimal digits."),
    // why a playlist cannot be recorded ("Line N: " leads)
    QT_TRANSLATE_NOOP("dromo", "The playlist is larger than %1 MB."),
    QT_TRANSLATE_NOOP("dromo", "\"%1\" is no http or https URL"),
    QT_TRANSLATE_NOOP("dromo", "\"%1\" follows neither EXTINF nor EXT-X-STREAM-INF"),
    QT_TRANSLATE_NOOP("dromo", "the attributes of %1 cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "the segment's duration \"%1\" cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "the target duration \"%1\" cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "the media sequence \"%1\" cannot be used"),
    QT_TRANSLATE_NOOP("dromo", "the resolution \"%1\" cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "the byte range \"%1\" cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "the IV \"%1\" is not 0x and 32 hex digits"),
    QT_TRANSLATE_NOOP("dromo", "the stream is encrypted with %1 (DRM), which Dromo does not record"),
    QT_TRANSLATE_NOOP("dromo", "the stream is encrypted with \"%1\", which Dromo cannot decrypt"),
    QT_TRANSLATE_NOOP("dromo",
                      "the stream's key is kept by a DRM system (KEYFORMAT \"%1\"), which Dromo does not record"),
    QT_TRANSLATE_NOOP("dromo", "more than %1 variant streams"),
    QT_TRANSLATE_NOOP("dromo", "more than %1 renditions"),
    QT_TRANSLATE_NOOP("dromo", "more than %1 keys"),
    QT_TRANSLATE_NOOP("dromo", "more than %1 EXT-X-MAP tags"),
    QT_TRANSLATE_NOOP("dromo", "more than %1 segments"),
    // why a manifest cannot be recorded ("Line N: " may lead)
    QT_TRANSLATE_NOOP("dromo", "The manifest is larger than %1 MB."),
    QT_TRANSLATE_NOOP("dromo", "This is not a DASH manifest: %1."),
    QT_TRANSLATE_NOOP("dromo", "the manifest has more than %1 elements"),
    QT_TRANSLATE_NOOP("dromo", "the manifest nests elements more than %1 deep"),
    QT_TRANSLATE_NOOP("dromo", "more than %1 representations"),
    QT_TRANSLATE_NOOP("dromo", "a representation of more than %1 segments"),
    QT_TRANSLATE_NOOP("dromo", "a SegmentTimeline of more than %1 segments"),
    QT_TRANSLATE_NOOP("dromo", "the range \"%1\" cannot be read"),
    QT_TRANSLATE_NOOP("dromo", "a template's format \"%1\" cannot be used"),
    QT_TRANSLATE_NOOP("dromo", "a template's width \"%1\" cannot be used"),
    QT_TRANSLATE_NOOP("dromo", "a template's identifier $%1$ is unknown"),
    // why a recording cannot be made into one file, or its piece kept
    QT_TRANSLATE_NOOP("dromo", "the recording cannot be read: %1"),
    QT_TRANSLATE_NOOP("dromo", "the recorded media cannot be read: %1"),
    QT_TRANSLATE_NOOP("dromo", "the file format \"%1\" cannot be written: %2"),
    QT_TRANSLATE_NOOP("dromo", "the file cannot be written: %1"),
    QT_TRANSLATE_NOOP("dromo", "a piece of %1 bytes is too large to keep"),
    // a recording's first status: the stream and its variant in words
    // (the video before the sound), and the segments a resume found
    {QT_TRANSLATE_NOOP("dromo", "%1 stream: %2, %3 segments already here"), 2},
    {QT_TRANSLATE_NOOP("dromo", "%1 stream: %2"), 2},
    QT_TRANSLATE_NOOP("dromo", "%1, sound \"%2\""),
    {QT_TRANSLATE_NOOP("dromo", "%1, sound %2 kbit/s"), 1},
    QT_TRANSLATE_NOOP("dromo", "video %1 kbit/s"),
    QT_TRANSLATE_NOOP("dromo", "sound %1 kbit/s"),
};

// A pasted list's fault names its line: "Line 3: " and a text of its own.
constexpr const char* kLinePrefix = QT_TRANSLATE_NOOP("dromo", "Line %1: %2");

struct Pattern {
    const char* english;
    int told;  // the part that is a text itself; 0: none
    QRegularExpression match;
    // The words before the first part and after the last: most texts shown
    // are told apart by these alone, without running the expression.
    QString head;
    QString tail;
    std::vector<int> order;  // the number of each captured part, left to right
};

QRegularExpression PatternExpression(const QString& english, int told, std::vector<int>& order)
{
    static const QRegularExpression marker(QStringLiteral("%([1-9])"));
    QString expression = QStringLiteral("^");
    qsizetype done = 0;
    for (auto it = marker.globalMatch(english); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int number = m.captured(1).toInt();
        expression += QRegularExpression::escape(english.mid(done, m.capturedStart() - done));
        expression += number == told ? QStringLiteral("(.+)") : QStringLiteral("(.+?)");
        order.push_back(number);
        done = m.capturedEnd();
    }
    expression += QRegularExpression::escape(english.mid(done)) + QStringLiteral("$");
    return QRegularExpression(expression, QRegularExpression::DotMatchesEverythingOption);
}

const std::vector<Pattern>& Patterns()
{
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> list;
        for (const PatternText& text : kPatterns) {
            const QString english = QString::fromUtf8(text.english);
            Pattern p{text.english, text.told, {}, {}, {}, {}};
            p.match = PatternExpression(english, text.told, p.order);
            static const QRegularExpression part(QStringLiteral("%[1-9]"));
            const qsizetype first = english.indexOf(part);
            const qsizetype last = english.lastIndexOf(part);
            p.head = first < 0 ? english : english.left(first);
            p.tail = first < 0 ? english : english.mid(last + 2);
            list.push_back(std::move(p));
        }
        return list;
    }();
    return patterns;
}

const QSet<QString>& Whole()
{
    static const QSet<QString> whole = [] {
        QSet<QString> set;
        for (const char* english : kWhole) {
            set.insert(QString::fromUtf8(english));
        }
        return set;
    }();
    return whole;
}

QString WholeText(const QString& english)
{
    return Whole().contains(english) ? QCoreApplication::translate(kContext, english.toUtf8().constData()) : english;
}

}  // namespace

QString BaseTexts::Shown(const std::string& english)
{
    static const QRegularExpression line(QStringLiteral("^Line (\\d+): (.+)$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    if (const QRegularExpressionMatch m = line.match(QString::fromStdString(english)); m.hasMatch()) {
        return QCoreApplication::translate(kContext, kLinePrefix)
            .arg(m.captured(1), Shown(m.captured(2).toStdString()));
    }
    QString text = QString::fromStdString(english);
    if (text.isEmpty() || Whole().contains(text)) {
        return WholeText(text);
    }
    for (const Pattern& p : Patterns()) {
        if (!text.startsWith(p.head) || !text.endsWith(p.tail)) {
            continue;
        }
        const QRegularExpressionMatch m = p.match.match(text);
        if (!m.hasMatch()) {
            continue;
        }
        // The parts in the order of their numbers; a part that is itself a
        // known text ("an unnamed file") is shown translated too, the
        // pattern's text part with its own parts.
        QStringList parts(static_cast<qsizetype>(p.order.size()));
        for (std::size_t i = 0; i < p.order.size(); ++i) {
            const QString part = m.captured(static_cast<int>(i) + 1);
            parts[p.order[i] - 1] = p.order[i] == p.told ? Shown(part.toStdString()) : WholeText(part);
        }
        QString shown = QCoreApplication::translate(kContext, p.english);
        switch (parts.size()) {
        case 0: return shown;
        case 1: return shown.arg(parts[0]);
        case 2: return shown.arg(parts[0], parts[1]);
        case 3: return shown.arg(parts[0], parts[1], parts[2]);
        default: return shown.arg(parts[0], parts[1], parts[2], parts[3]);
        }
    }
    return text;
}

QString BaseTexts::Status(const std::string& english)
{
    // "HH:MM:SS " from StatusTimeStamp, then the text.
    static const QRegularExpression stamp(QStringLiteral("^(\\d{1,2}:\\d{1,2}:\\d{1,2} )(.*)$"),
                                          QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = stamp.match(QString::fromStdString(english));
    return m.hasMatch() ? m.captured(1) + Shown(m.captured(2).toStdString()) : Shown(english);
}

QString BaseTexts::Lines(const std::string& english)
{
    QStringList lines = QString::fromStdString(english).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line = Shown(line.toStdString());
    }
    return lines.join(QLatin1Char('\n'));
}

QString BaseTexts::Count(const std::string& english)
{
    static const QRegularExpression count(QStringLiteral("^(\\d+) of (\\d+)$"));
    const QRegularExpressionMatch m = count.match(QString::fromStdString(english));
    return m.hasMatch() ? QCoreApplication::translate("dromo", "%1 of %2").arg(m.captured(1), m.captured(2))
                        : QString::fromStdString(english);
}

}  // namespace dromo
