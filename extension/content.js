// Tessarin's eyes in the page (Chromium family): a link click is offered to
// Dromo's capture monitor before the browser follows it. Only links that
// could be downloads by the capture rules are held back; the host decides.
"use strict";

(() => {
  const replaying = new WeakSet();

  // What the monitor could capture: an http, https or ftp URL that is an FTP
  // one, or whose last path part has an extension and which carries no
  // query ("?", "=" or "&").
  function candidate(href) {
    let url;
    try {
      url = new URL(href);
    } catch (e) {
      return false;
    }
    if (url.protocol === "ftp:") {
      return true;
    }
    if (url.protocol !== "http:" && url.protocol !== "https:") {
      return false;
    }
    if (/[?=&]/.test(href)) {
      return false;
    }
    const last = url.pathname.slice(url.pathname.lastIndexOf("/") + 1);
    return last.includes(".");
  }

  function follow(link) {
    replaying.add(link);
    link.click();
  }

  addEventListener(
    "click",
    (event) => {
      if (event.button !== 0 || event.defaultPrevented || event.shiftKey || event.altKey || event.metaKey) {
        return;
      }
      const link = event.target instanceof Element ? event.target.closest("a[href]") : null;
      if (!link) {
        return;
      }
      if (replaying.has(link)) {
        replaying.delete(link);
        return;
      }
      const url = link.href;
      if (!candidate(url)) {
        return;
      }
      const message = { kind: "click", url, ctrl: event.ctrlKey };
      if (event.ctrlKey) {
        // Ctrl keeps the browser's own way; the monitor is still told.
        chrome.runtime.sendMessage(message).catch(() => {});
        return;
      }
      event.preventDefault();
      chrome.runtime
        .sendMessage(message)
        .then((answer) => {
          if (!(answer && answer.capture)) {
            follow(link);
          }
        })
        .catch(() => follow(link));
    },
    true);
})();
