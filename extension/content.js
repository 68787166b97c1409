// Tessarin's eyes in the page (Chromium family): a link click is offered to
// Dromo's capture monitor before the browser follows it. Only links the
// host's switches could capture are held back; the host decides.
//
// The page comes first: the decision is taken after the page's own click
// handlers have run (on the window, bubbling), a click the page cancelled is
// left alone, and a link the host lets go is followed by navigating, never by
// clicking it again (the page's handlers run once).
"use strict";

(() => {
  // As the host last reported them; null: no host, nothing held back.
  let switches = null;
  watchSwitches((latest) => {
    switches = latest;
  });

  // Where the link would have opened, had the page not been held back.
  function follow(link, url) {
    if (link.hasAttribute("download")) {
      chrome.runtime.sendMessage({ kind: "download", url, fileName: downloadName(link) }).catch(() => {});
      return;
    }
    const target = (link.target || document.querySelector("base[target]")?.target || "_self").toLowerCase();
    if (target === "_self") {
      location.assign(url);
    } else if (target === "_parent") {
      parent.location.assign(url);
    } else if (target === "_top") {
      top.location.assign(url);
    } else {
      const rel = (link.rel || "").toLowerCase().split(/\s+/);
      const features = rel.includes("noopener") || rel.includes("noreferrer") || target === "_blank" ? "noopener" : "";
      window.open(url, target, features);
    }
  }

  function onClick(event) {
    if (event.button !== 0 || event.defaultPrevented || !event.isTrusted || event.shiftKey || event.altKey ||
        event.metaKey) {
      return;
    }
    const link = event.composedPath().find((node) => node instanceof Element && node.matches("a[href], area[href]"));
    if (!link) {
      return;
    }
    const url = link.href;
    if (!couldCapture(url, switches, true)) {
      return;
    }
    // The fragment is no part of the request: the link is offered without it
    // and, let go, followed with it.
    const message = {
      kind: "click", url: withoutFragment(url), ctrl: event.ctrlKey, referrer: location.href,
      fileName: downloadName(link),
    };
    if (event.ctrlKey) {
      // Ctrl keeps the browser's own way; the monitor is still told.
      ask(message);
      return;
    }
    event.preventDefault();
    ask(message).then((answer) => {
      if (!(answer && answer.capture)) {
        follow(link, url);
      }
    });
  }

  // The background's answer, or null; an extension that was reloaded or
  // removed under the page answers null too.
  function ask(message) {
    try {
      return chrome.runtime.sendMessage(message).catch(() => null);
    } catch (e) {
      return Promise.resolve(null);
    }
  }

  // "Download all links with Dromo...": the background asks the frame the
  // menu was opened on.
  chrome.runtime.onMessage.addListener((message, sender, reply) => {
    if (message?.kind === "links") {
      reply(pageLinks());
    }
    return false;
  });

  // Listeners on the window run in the order they were added: ours moves to
  // the end once the page's scripts have added theirs.
  const last = () => {
    removeEventListener("click", onClick);
    addEventListener("click", onClick);
  };
  last();
  addEventListener("DOMContentLoaded", last, { once: true });
  addEventListener("load", last, { once: true });
})();
