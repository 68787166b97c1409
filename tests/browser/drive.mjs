// Drives a running Chromium (with Tessarin loaded) over the DevTools
// protocol: node drive.mjs CDP_URL PAGE_URL. Prints one line per step; the
// test that started the browser checks what reached Dromo and the disk.
import { chromium } from "playwright-core";

const [cdp, pageUrl] = process.argv.slice(2);
const origin = new URL(pageUrl).origin;
const browser = await chromium.connectOverCDP(cdp);
const context = browser.contexts()[0];

// The extension's worker runs, and with it the host.
const deadline = Date.now() + 15000;
while (!context.serviceWorkers().some((w) => w.url().startsWith("chrome-extension://"))) {
  if (Date.now() > deadline) {
    console.log("no extension worker");
    process.exit(1);
  }
  await new Promise((r) => setTimeout(r, 100));
}

// Playwright takes downloads over on connecting, and the browser then never
// asks extensions about them: give them back to the browser.
const session = await browser.newBrowserCDPSession();
await session.send("Browser.setDownloadBehavior", { behavior: "default" });

const page = context.pages()[0] ?? (await context.newPage());
await page.goto(pageUrl);

// A click on a captured type: the page stays where it is.
await page.click("#capture");
await page.waitForTimeout(1500);
console.log(`after capture click: ${page.url()}`);

// A plain link is followed as ever.
await page.click("#plain");
await page.waitForURL(`${origin}/other.html`, { timeout: 10000 });
console.log(`after plain click: ${page.url()}`);
await page.goto(pageUrl);

// Ctrl+click: the browser's own way (a download in a new tab).
await page.click("#ctrl", { modifiers: ["Control"] });
await page.waitForTimeout(2500);
console.log("after ctrl click");

// A download the page starts by itself (Content-Disposition: attachment).
await page.evaluate((url) => {
  location.href = url;
}, `${origin}/attach/report.zip`);
await page.waitForTimeout(2500);
console.log("after attachment");

await browser.close().catch(() => {});
process.exit(0);
