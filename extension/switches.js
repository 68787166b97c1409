// The capture switches as the host last reported them, shared by the
// background and, in the Chromium family, the pages: whether a URL could be
// captured is told from them at once, without waiting for the host.
"use strict";

// Calls `use` with the stored switches now and on every change (null: no
// host, so nothing could be captured).
function watchSwitches(use) {
  const storage = (globalThis.browser ?? globalThis.chrome).storage;
  storage.local.get("switches").then((stored) => use(stored.switches ?? null), () => {});
  storage.onChanged.addListener((changes, area) => {
    if (area === "local" && changes.switches) {
      use(changes.switches.newValue ?? null);
    }
  });
}

// The URL as the server gets it: the fragment ("#...") never leaves the
// browser, so it decides nothing and is not handed over.
function withoutFragment(url) {
  const hash = url.indexOf("#");
  return hash < 0 ? url : url.slice(0, hash);
}

// The host's rule: an FTP file with "Capture All FTP", or an http, https or
// ftp URL that passes the file-type test: no "?", "=" or "&", and the text
// after its last "." is a listed type. The Chromium family's monitor
// compares the URL lower-cased, Firefox's as it is.
function couldCapture(url, switches, lowerCase) {
  if (!switches) {
    return false;
  }
  const u = withoutFragment(lowerCase ? url.toLowerCase() : url);
  const scheme = u.slice(0, u.indexOf(":") + 1).toLowerCase();
  if (scheme === "ftp:" && !u.endsWith("/") && switches.allFtp) {
    return true;
  }
  if (!switches.clicks || !["http:", "https:", "ftp:"].includes(scheme) || /[?=&]/.test(u)) {
    return false;
  }
  const dot = u.lastIndexOf(".");
  return switches.fileTypes.includes(dot < 0 ? u : u.slice(dot + 1));
}
