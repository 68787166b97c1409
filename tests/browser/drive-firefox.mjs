// Drives a running Firefox over WebDriver BiDi, Tessarin installed as a
// temporary add-on: node [--experimental-websocket] drive-firefox.mjs
// BIDI_URL EXTENSION_DIR ORIGIN DETAILS_LOG DOWNLOADS PHASE [DROMO_FOLDER [PAGE]]
// PHASE "present": Dromo's stand-in is on the bus, and the add-on is
// installed first; "absent": the stand-in is gone; "cookies": the real Dromo
// is on the bus, saving into DROMO_FOLDER (a seventh argument), and the
// add-on is installed first, for the site of sitecookies_test.cpp (whose TLS
// certificate is of the test's own CA); "stream": the same, for the video
// page of streams_test.cpp named by an eighth argument, with the menu hook. Prints one line per step,
// as drive.mjs does.
import { copyFileSync, existsSync, readFileSync, writeFileSync } from "node:fs";
import { dirname } from "node:path";
import { fileURLToPath } from "node:url";
import { waitFor, handedOver, saved, siteCookies, videoPage } from "./wait.mjs";

const [bidi, extensionDir, origin, detailsLog, downloads, phase, dromoFolder, videoPath] = process.argv.slice(2);

const socket = new WebSocket(`${bidi}/session`);
await new Promise((resolve, reject) => {
  socket.onopen = resolve;
  socket.onerror = () => reject(new Error(`cannot reach ${bidi}`));
});
let nextId = 1;
const answers = new Map();
socket.onmessage = (event) => {
  const message = JSON.parse(event.data);
  const answer = answers.get(message.id);
  if (answer) {
    answers.delete(message.id);
    answer(message);
  }
};
async function send(method, params = {}) {
  const id = nextId++;
  const message = await new Promise((resolve) => {
    answers.set(id, resolve);
    socket.send(JSON.stringify({ id, method, params }));
  });
  if (message.type === "error") {
    throw new Error(`${method}: ${message.error}: ${message.message}`);
  }
  return message.result;
}

await send("session.new", { capabilities: phase === "cookies" ? { alwaysMatch: { acceptInsecureCerts: true } } : {} });
if (phase === "present" || phase === "stream") {
  addMenuHook();
}
if (phase === "present" || phase === "cookies" || phase === "stream") {
  await send("webExtension.install", { extensionData: { type: "path", path: extensionDir } });
}
const context = (await send("browsingContext.getTree", {})).contexts[0].context;

const go = (url) => send("browsingContext.navigate", { context, url, wait: "complete" });
const evaluate = async (expression) =>
  (await send("script.evaluate", { expression, target: { context }, awaitPromise: true })).result;
const url = async () => (await evaluate("location.href")).value;

// Real clicks (trusted, with the page's own handlers) on the element: one,
// two for a double-click; with Ctrl held down when asked.
async function click(selector, { times = 1, ctrl = false } = {}) {
  const element = await evaluate(`document.querySelector(${JSON.stringify(selector)})`);
  const pointer = [
    { type: "pointerMove", x: 0, y: 0, origin: { type: "element", element: { sharedId: element.sharedId } } },
  ];
  for (let i = 0; i < times; i++) {
    pointer.push({ type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 });
  }
  const actions = [{ type: "pointer", id: "mouse", parameters: { pointerType: "mouse" }, actions: pointer }];
  if (ctrl) {
    // The key goes down in the first tick and up after the last.
    pointer.unshift({ type: "pause" });
    const key = [{ type: "keyDown", value: "\uE009" }, ...pointer.slice(1).map(() => ({ type: "pause" }))];
    key.push({ type: "keyUp", value: "\uE009" });
    pointer.push({ type: "pause" });
    actions.push({ type: "key", id: "keyboard", actions: key });
  }
  await send("input.performActions", { context, actions });
  await send("input.releaseActions", { context });
}
const clicks = async () => (await evaluate("window.clicks")).value;
const tabs = async () => (await send("browsingContext.getTree", { maxDepth: 0 })).contexts.length;

// A headless Firefox shows no menus, and a driver cannot reach an add-on's
// background: this copy of the add-on gets a page-side hook that calls what
// a click on a menu item calls (menu-hook.js, menu-hook-background.js).
function addMenuHook() {
  const here = dirname(fileURLToPath(import.meta.url));
  for (const name of ["menu-hook.js", "menu-hook-background.js"]) {
    copyFileSync(`${here}/${name}`, `${extensionDir}/${name}`);
  }
  const manifest = JSON.parse(readFileSync(`${extensionDir}/manifest.json`, "utf8"));
  manifest.background.scripts.push("menu-hook-background.js");
  manifest.content_scripts = [
    ...(manifest.content_scripts ?? []),
    { matches: ["http://*/*"], js: ["menu-hook.js"], run_at: "document_start" },
  ];
  writeFileSync(`${extensionDir}/manifest.json`, JSON.stringify(manifest));
}
async function menuClick(info) {
  await evaluate(`document.documentElement.removeAttribute("data-dromo-menu");
    window.postMessage(JSON.stringify({ dromoTestMenu: ${JSON.stringify(info)} }), "*")`);
  const answer = await waitFor("menu click answered", async () =>
    (await evaluate(`document.documentElement.getAttribute("data-dromo-menu")`)).value);
  if (answer !== "done") {
    console.log(`menu click: ${answer}`);
  }
}
async function menus() {
  await evaluate(`document.documentElement.removeAttribute("data-dromo-menus");
    window.postMessage(JSON.stringify({ dromoTestMenus: true }), "*")`);
  return waitFor("menus answered", async () =>
    (await evaluate(`document.documentElement.getAttribute("data-dromo-menus")`)).value);
}

// The tab's streams as the add-on lists them, and its badge's text.
async function listed() {
  await evaluate(`document.documentElement.removeAttribute("data-dromo-streams");
    window.postMessage(JSON.stringify({ dromoTestStreams: true }), "*")`);
  const answer = await waitFor("streams answered", async () =>
    (await evaluate(`document.documentElement.getAttribute("data-dromo-streams")`)).value);
  return JSON.parse(answer ?? "{}");
}

const pageUrl = `${origin}/page.html`;

if (phase === "stream") {
  await videoPage(`${origin}/${videoPath}`, dromoFolder, {
    go,
    value: async (expression) => (await evaluate(expression)).value,
    listed,
    handOver: () => menuClick({ menuItemId: "download-video" }),
  });
} else if (phase === "cookies") {
  const value = async (expression) => (await evaluate(expression)).value;
  await siteCookies(origin, dromoFolder, {
    go,
    cases: async () => JSON.parse(await value(`JSON.stringify([...document.querySelectorAll("a.case")].map((a) => a.id))`)),
    href: (id) => value(`document.getElementById(${JSON.stringify(id)}).getAttribute("href")`),
    click: (id) => click(`#${id}`),
  });
} else if (phase === "present") {
  // Members only: the session cookie comes from visiting the members page.
  await go(`${origin}/members.html`);
  await click("#members");
  await handedOver("members", detailsLog, `${origin}/members/report.zip `);

  await go(pageUrl);
  await click("#capture");
  await handedOver("capture", detailsLog, `${origin}/a.zip `);
  console.log(`after capture click: ${await url()}`);

  await click("#plain");
  await waitFor("plain", async () => (await url()) === `${origin}/other.html`);
  console.log(`after plain click: ${await url()}`);
  await go(pageUrl);

  // Downloads the browser starts by itself.
  await click("#get");
  await handedOver("query attachment", detailsLog, `${origin}/get?id=7 `);
  await click("#named");
  await handedOver("download attribute", detailsLog, `${origin}/files/blob-7 `);
  await click("#data");
  await saved("data", downloads, "inline.zip");
  await click("#send");
  await saved("post", downloads, "form.zip");
  await go(pageUrl);

  // The page cancels one click and counts another.
  await click("#cancelled");
  await click("#counted");
  await handedOver("counted", detailsLog, `${origin}/c.zip `);
  console.log(`page handler ran ${await clicks()} time(s)`);

  await evaluate(`location.href = ${JSON.stringify(`${origin}/attach/report.zip`)}`);
  await handedOver("attachment", detailsLog, `${origin}/attach/report.zip `);

  // Faults of a trial on real sites.
  await go(pageUrl);
  await click("#ctrl", { ctrl: true });
  await saved("ctrl", downloads, "b.zip");
  await click("#double", { times: 2 });
  await handedOver("double click", detailsLog, `${origin}/n09.zip `);
  await click("#fragment");
  await handedOver("fragment", detailsLog, `${origin}/n11.zip `);
  await go(pageUrl);
  await click("#renamedc");
  await handedOver("download attribute", detailsLog, `${origin}/named/c.zip `);
  await click("#blank");
  await handedOver("target _blank", detailsLog, `${origin}/g.zip `);
  await click("#open");
  await handedOver("window.open", detailsLog, `${origin}/h.zip `);
  await waitFor("the emptied tabs closed", async () => (await tabs()) === 1, 5000);
  console.log(`tabs after the new-tab cases: ${await tabs()}`);

  // The context menus.
  const listUrl = `${origin}/members/list.html`;
  await go(listUrl);
  console.log(`menus: ${await menus()}`);
  await menuClick({ menuItemId: "download-link", linkUrl: `${origin}/members/a.bin` });
  await handedOver("menu: one link", detailsLog, `${origin}/members/a.bin `);
  await menuClick({ menuItemId: "download-all-links" });
  await waitFor("menu: all links", () => existsSync(`${detailsLog.replace(/details$/, "links")}`));
} else {
  await go(pageUrl);
  await click("#absent");
  await saved("absent link", downloads, "e.zip");
  await click("#renamed");
  await saved("absent download attribute", downloads, "renamed.zip");
  await click("#counted");
  await saved("absent counted", downloads, "c.zip");
  console.log(`page handler ran ${await clicks()} time(s)`);
  await evaluate(`location.href = ${JSON.stringify(`${origin}/attach/report.zip`)}`);
  await saved("absent attachment", downloads, "report.zip");

  // "Download with Dromo" without a Dromo: the browser downloads the link.
  await go(`${origin}/members/list.html`);
  await menuClick({ menuItemId: "download-link", linkUrl: `${origin}/members/f.bin` });
  await saved("absent menu link", downloads, "f.bin");
}

await send("session.end").catch(() => {});
process.exit(0);
