// Drives a running Chromium (with Tessarin loaded) over the DevTools
// protocol: node drive.mjs CDP_URL ORIGIN DETAILS_LOG DOWNLOADS PHASE [DROMO_FOLDER].
// PHASE "present": Dromo's stand-in is on the bus; "absent": it is gone;
// "real": the real Dromo is on the bus, saving into DROMO_FOLDER (a sixth
// argument); "cookies": the same, on the site of sitecookies_test.cpp;
// "stream": the same, on the video page of streams_test.cpp named by a
// seventh argument, the stream handed over by the menu item or, with an
// eighth argument "popup", by the toolbar button's popup.
// Prints one line per step; the test that started the browser checks what
// reached Dromo and the disk. Each step waits for its own outcome (a line in
// the stand-in's log, a file the browser saved) up to a bound, and goes on.
import { chromium } from "playwright-core";
import { existsSync } from "node:fs";
import { waitFor, handedOver, saved, siteCookies, videoPage } from "./wait.mjs";

const [cdp, origin, detailsLog, downloads, phase, dromoFolder, videoPath, handOverBy] = process.argv.slice(2);
const browser = await chromium.connectOverCDP(cdp);
const context = browser.contexts()[0];

// The extension's worker runs, and with it the host.
let worker;
await waitFor("extension worker", () =>
  (worker = context.serviceWorkers().find((w) => w.url().startsWith("chrome-extension://"))));
// The switches the host reported, which pages decide clicks by.
await waitFor("switches", () => worker.evaluate(async () => (await chrome.storage.local.get("switches")).switches));

// Playwright takes downloads over on connecting, and the browser then never
// asks extensions about them: give them back to the browser.
const session = await browser.newBrowserCDPSession();
const giveBack = () => session.send("Browser.setDownloadBehavior", { behavior: "default", downloadPath: downloads });
await giveBack();

const page = context.pages()[0] ?? (await context.newPage());
// Once more now that Playwright has taken up the page, in case it set its own
// behaviour on doing so.
await page.goto("about:blank");
await giveBack();
const pageUrl = `${origin}/page.html`;
const clicks = () => page.evaluate(() => window.clicks);

// The extension's context menu items that exist.
const menus = () =>
  worker.evaluate(async () => {
    const found = [];
    for (const id of ["download-link", "download-all-links"]) {
      try {
        if (await new Promise((r) => chrome.contextMenus.update(id, {}, () => r(!chrome.runtime.lastError)))) {
          found.push(id);
        }
      } catch (e) {
        // no menus at all
      }
    }
    return found.join(" ");
  });
// What a click on a menu item does, in the tab showing `tabUrl`.
const menuClick = (info, tabUrl) =>
  worker
    .evaluate(async ([info, tabUrl]) => {
      const tab = (await chrome.tabs.query({})).find((t) => t.url === tabUrl);
      await menuClicked({ frameId: 0, ...info }, tab);
    }, [info, tabUrl])
    .catch((e) => console.log(`menu click: ${e.message.split("\n")[0]}`));

if (phase === "stream") {
  // What the add-on holds for the tab showing `tabUrl`: its streams listed
  // (once what the tab fetched has been judged) and the badge's text.
  const listed = (tabUrl) =>
    worker.evaluate(async (tabUrl) => {
      const tab = (await chrome.tabs.query({})).find((t) => t.url === tabUrl);
      const streams = await tabStreams.list(tab.id);
      return { count: streams.length, badge: await chrome.action.getBadgeText({ tabId: tab.id }) };
    }, tabUrl);
  // The toolbar button's popup, opened over the tab: its rows, and a click
  // on the first row's button.
  const popup = async () => {
    await page.bringToFront();
    await worker.evaluate(() => chrome.action.openPopup());
    // Playwright leaves a popup that opens while it is connected alone: a
    // second connection finds it among the pages.
    const targets = async () => (await (await fetch(`${cdp}/json/list`)).json()).map((t) => t.url);
    await waitFor("popup opened", async () => (await targets()).some((u) => u.endsWith("/popup.html")));
    const second = await chromium.connectOverCDP(cdp);
    const shown = second.contexts()[0].pages().find((p) => p.url().endsWith("/popup.html"));
    await shown.waitForSelector("li button");
    const rows = await shown.$$eval("li", (items) =>
      items.map((li) => `${li.querySelector(".name").textContent} | ${li.querySelector(".facts").textContent}`));
    console.log(`popup: ${rows.join("; ")}`);
    await shown.click("li button");
  };
  await videoPage(`${origin}/${videoPath}`, dromoFolder, {
    go: (url) => page.goto(url),
    value: (expression) => page.evaluate(expression),
    listed,
    handOver: (tabUrl) =>
      handOverBy === "popup"
        ? popup().catch((e) => console.log(`popup: ${e.message.split("\n")[0]}`))
        : menuClick({ menuItemId: "download-video", pageUrl: tabUrl }, tabUrl),
  });
} else if (phase === "cookies") {
  await siteCookies(origin, dromoFolder, {
    go: (url) => page.goto(url),
    cases: () => page.evaluate(() => [...document.querySelectorAll("a.case")].map((a) => a.id)),
    href: (id) => page.getAttribute(`#${id}`, "href"),
    click: (id) => page.click(`#${id}`),
  });
} else if (phase === "real") {
  // The real Dromo takes them: the test watches its download folder.
  await page.goto(`${origin}/members.html`);
  await page.click("#members");
  await page.goto(pageUrl);
  await page.click("#get");
  await saved("real members file", dromoFolder, "report.zip");
  await saved("real query attachment", dromoFolder, "report.pdf");
} else if (phase === "present") {
  // Members only: the session cookie comes from visiting the members page.
  await page.goto(`${origin}/members.html`);
  await page.click("#members");
  await handedOver("members", detailsLog, `${origin}/members/report.zip `);

  await page.goto(pageUrl);
  await page.click("#capture");
  await handedOver("capture", detailsLog, `${origin}/a.zip `);
  console.log(`after capture click: ${page.url()}`);

  // A plain link is followed as ever.
  await page.click("#plain");
  await page.waitForURL(`${origin}/other.html`, { timeout: 10000 });
  console.log(`after plain click: ${page.url()}`);
  await page.goto(pageUrl);

  // Ctrl+click: the browser's own way (a download in a new tab).
  await page.click("#ctrl", { modifiers: ["Control"] });
  await saved("ctrl", downloads, "b.zip");

  // Downloads the browser starts by itself.
  await page.click("#get");
  await handedOver("query attachment", detailsLog, `${origin}/get?id=7 `);
  await page.click("#named");
  await handedOver("download attribute", detailsLog, `${origin}/files/blob-7 `);
  await page.click("#data");
  await saved("data", downloads, "inline.zip");
  await page.click("#send");
  await saved("post", downloads, "form.zip");
  await page.goto(pageUrl);

  // The page cancels one click and counts another.
  await page.click("#cancelled");
  await page.click("#counted");
  await handedOver("counted", detailsLog, `${origin}/c.zip `);
  console.log(`page handler ran ${await clicks()} time(s)`);

  await page.evaluate((url) => {
    location.href = url;
  }, `${origin}/attach/report.zip`);
  await handedOver("attachment", detailsLog, `${origin}/attach/report.zip `);

  // Faults of a trial on real sites.
  await page.goto(pageUrl);
  await page.dblclick("#double");
  await handedOver("double click", detailsLog, `${origin}/n09.zip `);
  await page.click("#fragment");
  await handedOver("fragment", detailsLog, `${origin}/n11.zip `);
  await page.click("#renamedc");
  await handedOver("download attribute", detailsLog, `${origin}/named/c.zip `);
  await page.click("#blank");
  await handedOver("target _blank", detailsLog, `${origin}/g.zip `);
  await page.click("#open");
  await handedOver("window.open", detailsLog, `${origin}/h.zip `);
  await waitFor("the emptied tabs closed", () => context.pages().length === 1, 5000);
  console.log(`tabs after the new-tab cases: ${context.pages().length}`);

  // The context menus, as a click on their items calls them (a headless
  // browser shows no menus).
  const listUrl = `${origin}/members/list.html`;
  await page.goto(listUrl);
  console.log(`menus: ${await menus()}`);
  await menuClick({ menuItemId: "download-link", linkUrl: `${origin}/members/a.bin`, pageUrl: listUrl }, listUrl);
  await handedOver("menu: one link", detailsLog, `${origin}/members/a.bin `);
  await menuClick({ menuItemId: "download-all-links", pageUrl: listUrl }, listUrl);
  await waitFor("menu: all links", () => existsSync(`${detailsLog.replace(/details$/, "links")}`));
} else {
  // Nothing can take a download: the browser keeps each, the page's
  // handler having run once.
  await page.goto(pageUrl);
  await page.click("#absent");
  await saved("absent link", downloads, "e.zip");
  await page.click("#renamed");
  await saved("absent download attribute", downloads, "renamed.zip");
  await page.click("#counted");
  await saved("absent counted", downloads, "c.zip");
  console.log(`page handler ran ${await clicks()} time(s)`);
  await page.evaluate((url) => {
    location.href = url;
  }, `${origin}/attach/report.zip`);
  await saved("absent attachment", downloads, "report.zip");

  // "Download with Dromo" without a Dromo: the browser downloads the link.
  const listUrl = `${origin}/members/list.html`;
  await page.goto(listUrl);
  await menuClick({ menuItemId: "download-link", linkUrl: `${origin}/members/f.bin`, pageUrl: listUrl }, listUrl);
  await saved("absent menu link", downloads, "f.bin");
}

process.exit(0);
