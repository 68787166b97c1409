// A playlist the page's player fetched, read again as the page reads it:
// with the page's cookies, its referrer and its origin, which a video site
// may ask of every request for its playlists. The background judges from it
// which of a tab's playlists are one stream (a master and its variants).
"use strict";

(() => {
  const api = globalThis.browser ?? globalThis.chrome;
  const MOST_BYTES = 4 * 1024 * 1024;
  // Firefox's content scripts fetch as the add-on unless they ask the page.
  const pageFetch = globalThis.content?.fetch?.bind(globalThis.content) ?? fetch;

  api.runtime.onMessage.addListener((message, sender, reply) => {
    if (message?.kind !== "playlist" || typeof message.url !== "string") {
      return false;
    }
    (async () => {
      try {
        // The copy the player got, where the cache still holds it.
        const response = await pageFetch(message.url, { credentials: "include", cache: "force-cache" });
        const text = response.ok ? (await response.text()).slice(0, MOST_BYTES) : null;
        reply({ text, url: response.url || message.url });
      } catch (e) {
        reply({ text: null });
      }
    })();
    return true;
  });
})();
