// Test only, beside the add-on's background (see menu-hook.js): calls the
// handler of the menus' clicks as the browser would, for the asking tab,
// tells which of the add-on's menu items exist, and what the add-on holds
// of the tab's streams (their count and the toolbar button's badge).
"use strict";

browser.runtime.onMessage.addListener((message, sender) => {
  if (message?.kind === "test-menu") {
    const info = { frameId: sender.frameId, pageUrl: sender.url, ...message.info };
    return menuClicked(info, sender.tab).then(() => "done", (e) => String(e));
  }
  if (message?.kind === "test-streams") {
    return (async () => {
      const streams = await tabStreams.list(sender.tab.id);
      const badge = await browser.browserAction.getBadgeText({ tabId: sender.tab.id });
      return JSON.stringify({ count: streams.length, badge });
    })();
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
