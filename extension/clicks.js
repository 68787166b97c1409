// Tessarin's eyes in the page (Firefox): Firefox offers the add-on every
// request, but not the click behind it. Each click on a link is noted here
// as it happens, before the browser acts on it, so the background can ask
// which click a request came from: one with Ctrl held stays the browser's,
// and a download attribute names the file. Nothing leaves the page unasked.
"use strict";

(() => {
  const KEEP_MS = 10000;
  const clicks = new Map();

  // On the window, capturing: the click is noted before the page's handlers
  // run and whatever they do.
  addEventListener("click", (event) => {
    if (!event.isTrusted) {
      return;
    }
    const link = event.composedPath().find((node) => node instanceof Element && node.matches("a[href], area[href]"));
    if (!link) {
      return;
    }
    const now = Date.now();
    for (const [url, click] of clicks) {
      if (now - click.at > KEEP_MS) {
        clicks.delete(url);
      }
    }
    clicks.set(withoutFragment(link.href), { ctrl: event.ctrlKey, fileName: downloadName(link), at: now });
  }, true);

  // A frame that knows nothing of the asked URL keeps still, so the one
  // that does answers for the tab.
  browser.runtime.onMessage.addListener((message) => {
    if (message?.kind === "clickBehind") {
      const click = clicks.get(message.url);
      return click && Date.now() - click.at <= KEEP_MS
        ? Promise.resolve({ ctrl: click.ctrl, fileName: click.fileName })
        : undefined;
    }
    if (message?.kind === "links") {
      return Promise.resolve(pageLinks());
    }
    return undefined;
  });
})();
