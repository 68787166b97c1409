// Test only, beside the add-on's background (see menu-hook.js): calls the
// handler of the menus' clicks as the browser would, for the asking tab, and
// tells which of the add-on's menu items exist.
"use strict";

browser.runtime.onMessage.addListener((message, sender) => {
  if (message?.kind === "test-menu") {
    const info = { frameId: sender.frameId, pageUrl: sender.url, ...message.info };
    return menuClicked(info, sender.tab).then(() => "done", (e) => String(e));
  }
  if (message?.kind === "test-menus") {
    return (async () => {
      const found = [];
      for (const id of ["download-link", "download-all-links"]) {
        try {
          await browser.contextMenus.update(id, {});
          found.push(id);
        } catch (e) {
          // not there
        }
      }
      return found.join(" ");
    })();
  }
  return false;
});
