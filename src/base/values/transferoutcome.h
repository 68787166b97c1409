#pragma once

namespace dromo {

// What a transfer call came to. The worker decides retries and the next
// state by it alone (AfterFailure); the engine's text says the same in
// words, and keeps the marker each classic outcome has always carried
// (OutcomeMarker), since the Status column, the history page and stored
// profiles show those texts.
enum class TransferOutcome {
    Completed,         // the file is whole
    AlreadyExisted,    // the same file was already there: "has already existed"
    Cancelled,         // ended by Abort: "cancelled by user."
    NotFound,          // the HTTP server has no such file: " 404 "
    AccessDenied,      // the server refused the request or the login (HTTP 401 or 403, FTP 530)
    ConnectionLost,    // the connection broke mid-transfer: "10053"
    Failed,            // any other failure, tried again: a refused port, a name that did not resolve
    Gone,              // the HTTP server says the file is gone for good (410)
    ChecksumMismatch,  // a file downloaded whole from zero does not match its digest
    SecureFailure,     // the server's certificate or TLS was refused
    LocalFileError,    // the file could not be written: a full disk, a folder gone, no permission
    TimedOut,          // nothing arrived for the idle time
    ServerError,       // the server failed (HTTP 5xx) or asked to be asked later (429, 503)
    Expired,           // a resume of kept bytes refused with 403, 404 or 410: "The address has expired"
};

// The text an outcome's message always contains ("" for the outcomes that
// never had one).
const char* OutcomeMarker(TransferOutcome outcome);

// What follows a failed attempt, by the outcome alone:
// - Stopped: the user's own stop (or a schedule's end); no failure at all;
// - Final: trying again cannot help (the file is not there, the login or
//   the certificate is refused, the disk is full, a fresh download failed
//   its checksum), so the task fails at once, its attempts left unused;
// - Retried: it may work in a while (a dropped connection, a time-out, a
//   server error, an unreachable server), so the next attempt follows after
//   the task's interval, or the server's Retry-After.
// The classic rules hold within it: an FTP " 404 " is retried, and a lost
// connection is retried only while "Redial if Disconnected" is on.
enum class AfterFailure { Stopped, Final, Retried };
AfterFailure AfterFailureOf(TransferOutcome outcome, bool ftp, bool redialIfDisconnected);

// A word for the trace ("ChecksumMismatch").
const char* OutcomeName(TransferOutcome outcome);

}  // namespace dromo
