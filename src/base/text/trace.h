#pragma once

#include <string>
#include <string_view>

namespace dromo::trace {

// An opt-in account of what Dromo does, for a user or a developer asking
// why a download went as it did: timestamped lines beginning "[trace]" on
// standard error. Off unless DROMO_TRACE=1 (or "--trace") turned it on;
// silent then, and never a file. Lines never carry a password, a cookie, or
// the login or query of a URL: callers pass URLs through Url(), and Line()
// does the same to every URL its text quotes.

// Whether lines are written. The first call reads DROMO_TRACE.
bool On();
// Turns the trace on or off (the "--trace" option; tests).
void Enable(bool on);

// Writes "[trace] HH:MM:SS.mmm TOPIC: TEXT" as one line, whole even when
// threads trace at once. Line breaks inside TEXT become spaces, so a
// server's text cannot forge a line, and each URL in it goes as Url()
// gives it. Nothing when the trace is off.
void Line(std::string_view topic, std::string_view text);

// A URL fit for a trace line: its login ("user:password@") and its query
// (which often carries a token) replaced by "…".
std::string Url(std::string_view url);

// Where lines go instead of standard error while set (tests); null restores it.
using Sink = void (*)(const std::string& line);
void SetSink(Sink sink);

}  // namespace dromo::trace
