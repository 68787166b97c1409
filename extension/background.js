// Tessarin's background: one connection to the native host per browser run
// (the host is the capture monitor), and the ways downloads are seen.
// Every decision is the host's; without a host the browser goes its own way.
"use strict";

// Firefox loads switches.js, cookies.js and streams.js beside this script;
// Chromium's worker here.
if (typeof importScripts === "function") {
  importScripts("switches.js", "cookies.js", "streams.js");
}

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "org.tarnwick.tessarin";
const ANSWER_WITHIN_MS = 2000;
const NOTICE = "This task has been captured by Dromo.";
// The questions whose capture the host holds until told what became of it.
const CAPTURE_EVENTS = ["BeforeNavigate2", "StatusTextChange", "Initialize"];
const isFirefox = typeof globalThis.browser !== "undefined" && !!api.runtime.getBrowserInfo;
const MONITOR = isFirefox ? "NVMonitor" : "URLMonitor";

let port = null;
let nextId = 1;
// Questions waiting for the host, by the id they went out with. An answer
// that comes after its question gave up finds nothing here and is dropped;
// the host was told to forget that capture.
const waiting = new Map();

function connect() {
  if (port) {
    return port;
  }
  try {
    port = api.runtime.connectNative(HOST);
  } catch (e) {
    port = null;
    return null;
  }
  port.onMessage.addListener((message) => {
    const answer = message && waiting.get(message.id);
    if (answer) {
      answer(message);
    }
  });
  port.onDisconnect.addListener(() => {
    void api.runtime.lastError;  // no host installed: nothing to report
    port = null;
    for (const answer of [...waiting.values()]) {
      answer(null);
    }
    rememberSwitches(null);
  });
  return port;
}

function post(message) {
  try {
    port?.postMessage(message);
  } catch (e) {
    // The host has gone; it delivers nothing without our word.
  }
}

// The host's answer, or null when it is missing or slower than the bound.
// A capture question that gives up tells the host to drop what it decided.
function ask(message) {
  return new Promise((resolve) => {
    const p = connect();
    if (!p) {
      resolve(null);
      return;
    }
    const id = nextId++;
    let timer = 0;
    const finish = (answer) => {
      if (waiting.delete(id)) {
        clearTimeout(timer);
        resolve(answer);
      }
    };
    waiting.set(id, finish);
    timer = setTimeout(() => {
      if (CAPTURE_EVENTS.includes(message.event)) {
        post({ monitor: message.monitor, event: "Cancel", id });
      }
      finish(null);
    }, ANSWER_WITHIN_MS);
    try {
      p.postMessage({ ...message, id });
    } catch (e) {
      finish(null);
    }
  });
}

// The browser has let go of the download: now the host may hand it over.
function deliver(answer) {
  post({ monitor: MONITOR, event: "Deliver", id: answer.id });
  notice();
}

function notice(message = NOTICE) {
  try {
    api.notifications.create({
      type: "basic",
      iconUrl: api.runtime.getURL("icon48.png"),
      title: "Dromo",
      message,
    });
  } catch (e) {
    // Notifications are a courtesy; the capture stands without one.
  }
}

// The switches as the host last reported them, for pages to decide clicks
// by without waiting (null: no host, nothing is held back).
function rememberSwitches(switches) {
  api.storage.local.set({ switches }).catch?.(() => {});
}

function refreshSwitches() {
  ask({ monitor: MONITOR, event: "Switches" }).then((answer) => {
    if (answer && Array.isArray(answer.fileTypes)) {
      rememberSwitches({ clicks: !!answer.clicks, allFtp: !!answer.allFtp, fileTypes: answer.fileTypes });
    }
  });
}

function webOrFtp(url) {
  return /^(https?|ftp):/i.test(url);
}

// What goes with a URL to Dromo. The Cookie header stays beside the jar
// for a Dromo that reads only the header, and holds what a jar cut to its
// bound left out.
async function details(url, { storeId, partitionKey, frameTop, redirects = [], referrer, fileName, mimeType, size }) {
  const d = { userAgent: navigator.userAgent };
  const cookie = await cookieHeader(url, storeId, partitionKey);
  if (cookie) {
    d.cookie = cookie;
  }
  const jar = await cookieJarOf([url, ...redirects], storeId, frameTop);
  if (jar) {
    d.cookieJar = jar;
  }
  if (referrer && webOrFtp(referrer)) {
    d.referrer = referrer;
  }
  if (fileName) {
    d.fileName = fileName.slice(fileName.lastIndexOf("/") + 1);
  }
  if (mimeType) {
    d.mimeType = mimeType;
  }
  if (size > 0) {
    d.size = size;
  }
  return d;
}

// The browser's start is the monitor's creation: connect at once, so "Start
// with Browser" can start Dromo.
connect();
refreshSwitches();
api.runtime.onStartup?.addListener(refreshSwitches);

function forget(map, ms) {
  const now = Date.now();
  for (const [key, at] of map) {
    if (now - at > ms) {
      map.delete(key);
    }
  }
}

// Requests sent with another method than GET: their downloads cannot be
// fetched again by URL alone, so they stay the browser's.
const notGet = new Map();
api.webRequest.onBeforeRequest.addListener(
  (request) => {
    if (request.method !== "GET") {
      forget(notGet, 60000);
      notGet.set(request.url, Date.now());
    }
  },
  { urls: ["<all_urls>"], types: ["main_frame", "sub_frame"] });

// What only this browser can fetch (blob:, data:, file:, a POST's answer).
function browsersOwn(url, originalUrl) {
  return !webOrFtp(url) || notGet.has(url) || notGet.has(originalUrl);
}

// One click gesture, one task. A double-click follows a link twice, and
// each time the browser offers the URL again: while the first offer is
// young, a repeat of a URL it captured is captured again (the browser's copy
// dropped) but not handed over again. A URL the host let go is asked about
// afresh, as a later way may tell more (a served file name).
const GESTURE_MS = 1000;
const AGAIN = "again";
const offers = new Map();

// `question` asks the host; the answer when it captured, AGAIN for a repeat
// of a capture, null when the browser keeps the URL.
async function offerOnce(url, question) {
  const now = Date.now();
  for (const [key, offer] of offers) {
    if (now - offer.at > GESTURE_MS) {
      offers.delete(key);
    }
  }
  const earlier = offers.get(url);
  if (earlier && (await earlier.captured)) {
    return AGAIN;
  }
  const captured = question().then(capturedBy, () => null);
  offers.set(url, { at: now, captured });
  return captured;
}

// The host's answer when it captured, else null.
function capturedBy(answer) {
  return answer && (answer.capture === true || answer.retVal === 1) ? answer : null;
}

// The cookie store of a tab: a Firefox container's, or the Chromium
// family's store holding the tab.
async function storeOfTab(tab) {
  if (tab?.cookieStoreId) {
    return tab.cookieStoreId;
  }
  try {
    const stores = await api.cookies.getAllCookieStores();
    return stores.find((s) => s.tabIds.includes(tab?.id))?.id;
  } catch (e) {
    return undefined;
  }
}

// The partition a frame's cookies live in, if the browser partitions them.
async function partitionOf(tabId, frameId, topLevelUrl) {
  if (isFirefox) {
    return frameId > 0 && topLevelUrl ? { topLevelSite: topLevelUrl } : undefined;
  }
  try {
    return (await api.cookies.getPartitionKey({ tabId, frameId }))?.partitionKey;
  } catch (e) {
    return undefined;
  }
}

// The menus: a link, or all links of a page (its frame), for Dromo. They
// are the user's own choice, so the capture switches do not apply; private
// windows stay the browser's all the same.
const MENU_LINK = "download-link";
const MENU_PAGE = "download-all-links";
const MENU_VIDEO = "download-video";
const WEB_PAGES = ["http://*/*", "https://*/*"];
// Every link a page offers fits one native message; a page with more
// offers the first of them.
const MOST_LINKS = 10000;
const MESSAGE_BYTES = 1024 * 1024 - 4096;
const PRIVATE = "Dromo does not take downloads from private windows.";
const NO_LINKS = "This page has no links Dromo could download.";
const NO_DROMO = "Dromo is not running and cannot be started.";
const NO_VIDEO = "This page has played no video stream Dromo could download.";

async function createMenus() {
  const ignore = () => void api.runtime.lastError;
  try {
    await api.contextMenus.removeAll();
  } catch (e) {
    // none yet
  }
  api.contextMenus.create({
    id: MENU_LINK, title: "Download with Dromo", contexts: ["link"],
    targetUrlPatterns: [...WEB_PAGES, "ftp://*/*"],
  }, ignore);
  api.contextMenus.create({
    id: MENU_PAGE, title: "Download all links with Dromo\u2026", contexts: ["page", "frame"],
    documentUrlPatterns: WEB_PAGES,
  }, ignore);
  api.contextMenus.create({
    id: MENU_VIDEO, title: "Download video with Dromo", contexts: ["page", "frame", "video"],
    documentUrlPatterns: WEB_PAGES,
  }, ignore);
}

// What a click on one of the menu items does.
async function menuClicked(info, tab) {
  if (info.menuItemId === MENU_LINK) {
    await downloadLink(info, tab);
  } else if (info.menuItemId === MENU_PAGE) {
    await downloadAllLinks(info, tab);
  } else if (info.menuItemId === MENU_VIDEO) {
    await downloadVideo(tab);
  }
}

// As a captured download would go: with the link's cookies (its Cookie
// header and its site's jar), the page as referrer and the browser's user
// agent. When Dromo cannot take it, the browser downloads it.
async function downloadLink(info, tab) {
  const url = withoutFragment(info.linkUrl ?? "");
  if (!webOrFtp(url)) {
    return;
  }
  if (tab?.incognito) {
    notice(PRIVATE);
    return;
  }
  const d = await details(url, {
    storeId: await storeOfTab(tab),
    partitionKey: await partitionOf(tab?.id, info.frameId ?? 0, info.pageUrl),
    referrer: info.frameUrl || info.pageUrl,
  });
  const answer = await ask({ monitor: MONITOR, event: "AddDownload", url, details: d });
  if (answer?.taken === true) {
    notice();
    return;
  }
  try {
    await api.downloads.download({ url: info.linkUrl });
  } catch (e) {
    // a URL the browser will not download either
  }
}

// The tab's stream (the first its page played) for Dromo to record.
async function downloadVideo(tab) {
  if (tab?.id === undefined || tab.id < 0) {
    return;
  }
  if (tab.incognito) {
    notice(PRIVATE);
    return;
  }
  const [first] = await tabStreams.list(tab.id);
  if (!first) {
    notice(NO_VIDEO);
    return;
  }
  await handStream(tab, first.url);
}

// A stream goes as a captured download does (its playlist's cookies, the
// page as referrer, the user agent), named after the page's title. Whether
// Dromo took it.
async function handStream(tab, url) {
  if (tab.incognito) {
    notice(PRIVATE);
    return false;
  }
  const d = await details(url, {
    storeId: await storeOfTab(tab),
    partitionKey: await partitionOf(tab.id, 0, tab.url),
    referrer: tab.url,
    fileName: videoFileName(tab.title, url),
  });
  const answer = await ask({ monitor: MONITOR, event: "AddDownload", url, details: d });
  const taken = answer?.taken === true;
  notice(taken ? NOTICE : NO_DROMO);
  return taken;
}

// The links of the page (the frame the menu was opened on), each with the
// cookies for its own URL and the jar of its own site, for the user to
// choose from in Dromo.
async function downloadAllLinks(info, tab) {
  if (tab?.id === undefined || tab.id < 0) {
    return;
  }
  if (tab.incognito) {
    notice(PRIVATE);
    return;
  }
  let page = null;
  try {
    page = await api.tabs.sendMessage(tab.id, { kind: "links" }, { frameId: info.frameId ?? 0 });
  } catch (e) {
    page = null;  // a page loaded before the extension, or none of ours
  }
  const links = (page?.links ?? []).filter((l) => typeof l?.url === "string" && webOrFtp(l.url)).slice(0, MOST_LINKS);
  if (links.length === 0) {
    notice(NO_LINKS);
    return;
  }
  const storeId = await storeOfTab(tab);
  const partitionKey = await partitionOf(tab.id, info.frameId ?? 0, info.pageUrl);
  // Links of one host share their site's jar.
  const jars = new Map();
  for (const link of links) {
    link.cookie = await cookieHeader(link.url, storeId, partitionKey);
    const host = hostOf(link.url);
    if (!jars.has(host)) {
      jars.set(host, await cookieJarOf([link.url], storeId));
    }
    link.cookieJar = jars.get(host);
  }
  const shared = { userAgent: navigator.userAgent };
  if (typeof page.referrer === "string" && webOrFtp(page.referrer)) {
    shared.referrer = page.referrer;
  }
  let kept = links.length;
  let message = linksMessage(shared, links);
  while (kept > 1 && new TextEncoder().encode(JSON.stringify(message)).length > MESSAGE_BYTES) {
    kept = Math.floor(kept * 0.9);
    message = linksMessage(shared, links.slice(0, kept));
  }
  const answer = await ask(message);
  if (answer?.taken !== true) {
    notice(NO_DROMO);
  }
}

// The host's AddDownloads: the links share one table of Cookie headers and
// one of cookie jars, as many links of a page share them.
function linksMessage(shared, links) {
  const tables = { cookies: [], cookieJars: [] };
  const indexes = { cookies: new Map(), cookieJars: new Map() };
  const indexIn = (table, text) => {
    if (!indexes[table].has(text)) {
      indexes[table].set(text, tables[table].length);
      tables[table].push(text);
    }
    return indexes[table].get(text);
  };
  const listed = links.map(({ url, fileName, cookie, cookieJar }) => {
    const link = { url };
    if (fileName) {
      link.fileName = String(fileName);
    }
    if (cookie) {
      link.cookie = indexIn("cookies", cookie);
    }
    if (cookieJar) {
      link.cookieJar = indexIn("cookieJars", cookieJar);
    }
    return link;
  });
  return { monitor: MONITOR, event: "AddDownloads", details: shared, ...tables, links: listed };
}

createMenus();
api.contextMenus.onClicked.addListener((info, tab) => {
  menuClicked(info, tab);
});

// The streams each tab's page plays, counted on the toolbar button.
const toolbarButton = api.action ?? api.browserAction;
const tabStreams = new TabStreams(api, (tabId, count) => {
  try {
    toolbarButton.setBadgeText({ tabId, text: count > 0 ? String(count) : "" })?.catch?.(() => {});
  } catch (e) {
    // the tab has gone
  }
});
// A tab's list starts afresh with each page the tab shows: a page's answer,
// not a download the tab led to.
function showsPage(header) {
  return !/^\s*attachment/i.test(header("content-disposition")) &&
    /^(text\/|application\/xhtml\+xml|$)/i.test(header("content-type").trim());
}

api.webRequest.onHeadersReceived.addListener(
  (response) => {
    if (response.incognito || response.tabId < 0 || response.statusCode < 200 || response.statusCode > 299 ||
        response.type === "sub_frame") {
      return;
    }
    const header = (name) =>
      response.responseHeaders?.find((h) => h.name.toLowerCase() === name)?.value ?? "";
    if (response.type !== "main_frame") {
      tabStreams.seen(response.tabId, response.frameId, response.url, header("content-type"));
    } else if (showsPage(header)) {
      tabStreams.clear(response.tabId);
    }
  },
  { urls: WEB_PAGES },
  ["responseHeaders"]);
api.tabs.onRemoved.addListener((tabId) => tabStreams.forgetTab(tabId));

// The popup's questions: a tab's streams, and one of them for Dromo. Only
// the add-on's own pages ask.
api.runtime.onMessage.addListener((message, sender, reply) => {
  if (sender.id !== api.runtime.id || sender.tab || !["streams", "hand-stream"].includes(message?.kind)) {
    return false;
  }
  (async () => {
    const tab = await api.tabs.get(message.tabId).catch(() => null);
    if (!tab || tab.incognito) {
      reply({ private: !!tab?.incognito, streams: [] });
      return;
    }
    const streams = await tabStreams.list(tab.id);
    if (message.kind === "streams") {
      reply({
        private: false,
        streams: streams.map(({ url, kind, name, seconds, quality, live }) => ({ url, kind, name, seconds, quality, live })),
      });
    } else {
      const known = streams.some((s) => s.url === message.url);
      reply({ taken: known && (await handStream(tab, message.url)) });
    }
  })();
  return true;
});

if (!isFirefox) {
  // URLs whose click had Ctrl held: the download that follows keeps the flag.
  const ctrlHeld = new Map();

  // A link click seen by the content script: the classic BeforeNavigate2.
  api.runtime.onMessage.addListener((message, sender, reply) => {
    if (!message || message.kind !== "click" || typeof message.url !== "string") {
      return false;
    }
    const url = withoutFragment(message.url);
    if (message.ctrl) {
      ctrlHeld.set(url, Date.now());
    }
    if (sender.tab?.incognito) {
      reply({ capture: false });  // private windows are the browser's
      return false;
    }
    (async () => {
      const question = async () => {
        const d = message.ctrl
          ? undefined
          : await details(url, {
            storeId: await storeOfTab(sender.tab),
            partitionKey: await partitionOf(sender.tab?.id, sender.frameId, sender.tab?.url),
            frameTop: sender.frameId > 0 ? hostOf(sender.tab?.url ?? "") : undefined,
            referrer: message.referrer,
            fileName: message.fileName,
          });
        return ask({
          monitor: "URLMonitor", event: "BeforeNavigate2", url, ctrl: !!message.ctrl, method: "GET", details: d,
        });
      };
      const outcome = message.ctrl ? capturedBy(await question()) : await offerOnce(url, question);
      if (outcome && outcome !== AGAIN) {
        deliver(outcome);
      }
      reply({ capture: !!outcome });
      refreshSwitches();
    })();
    return true;
  });

  // A link the host let go: the browser downloads it under the page's name.
  // (With a name-deciding listener about, the browser takes the name only
  // from that listener's suggestion: see below.)
  const named = new Map();
  api.runtime.onMessage.addListener((message) => {
    if (message && message.kind === "download" && typeof message.url === "string") {
      if (message.fileName) {
        named.set(message.url, message.fileName);
      }
      api.downloads.download({ url: message.url }).catch(() => named.delete(message.url));
    }
    return false;
  });

  // A download the browser starts by itself: the status text it would show.
  api.downloads.onDeterminingFilename.addListener((item, suggest) => {
    const url = withoutFragment(item.finalUrl || item.url);
    if (item.byExtensionId === api.runtime.id && named.has(item.url)) {
      // A plain name in the download folder, as the page's own would be.
      const filename = named.get(item.url).replace(/[\\/:*?"<>|\u0000-\u001f]/g, "_").replace(/^[.\s]+/, "");
      named.delete(item.url);
      try {
        suggest(filename ? { filename, conflictAction: "uniquify" } : undefined);
      } catch (e) {
        suggest();  // a name this system cannot take: the browser's own
      }
      return false;
    }
    // Another extension's (or our own hand-back), a private window's, and
    // what only this browser can fetch stay.
    if (item.byExtensionId || item.incognito || browsersOwn(url, item.url)) {
      return false;
    }
    forget(ctrlHeld, 30000);
    const ctrl = ctrlHeld.has(url) || ctrlHeld.has(withoutFragment(item.url));
    (async () => {
      const question = async () => {
        const d = ctrl
          ? undefined
          : await details(url, {
            storeId: "0",
            redirects: [withoutFragment(item.url)],
            referrer: item.referrer,
            fileName: item.filename,
            mimeType: item.mime,
            size: item.fileSize > 0 ? item.fileSize : item.totalBytes,
          });
        return ask({
          monitor: "URLMonitor", event: "StatusTextChange", text: "Start downloading from site: " + url, url, ctrl,
          method: "GET", details: d,
        });
      };
      const outcome = ctrl ? capturedBy(await question()) : await offerOnce(url, question);
      if (outcome) {
        if (outcome !== AGAIN) {
          deliver(outcome);
        }
        api.downloads.cancel(item.id, () => {
          void api.runtime.lastError;
          api.downloads.erase({ id: item.id });
        });
      }
      suggest();
    })();
    return true;
  });
} else {
  let switches = null;
  watchSwitches((latest) => {
    switches = latest;
  });
  const captureOn = () => !switches || switches.clicks || switches.allFtp;

  // The click behind each request, as the page noted it (clicks.js), by
  // request and by URL: its redirects and the download that follows it
  // keep it. Asked as the request starts, when the click has been noted.
  const clicks = new Map();

  async function clickBehind(request) {
    const url = withoutFragment(request.url);
    const askTab = (tabId) =>
      tabId >= 0 ? api.tabs.sendMessage(tabId, { kind: "clickBehind", url }).catch(() => undefined) : undefined;
    let click = await askTab(request.tabId);
    if (!click && request.type === "main_frame" && request.tabId >= 0) {
      // A link opened in a new tab (Ctrl, target=_blank) was clicked in the
      // tab that opened it.
      const opener = await api.tabs.get(request.tabId).then((tab) => tab.openerTabId, () => undefined);
      click = opener === undefined ? undefined : await askTab(opener);
    }
    return click ?? null;
  }

  function noteClick(request) {
    const now = Date.now();
    for (const [key, noted] of clicks) {
      if (now - noted.at > 30000) {
        clicks.delete(key);
      }
    }
    const click = clicks.get(request.requestId)?.click ?? clickBehind(request);
    clicks.set(request.requestId, { at: now, click });
    clicks.set(withoutFragment(request.url), { at: now, click });
  }

  async function clickOf(key) {
    return (await clicks.get(key)?.click) ?? null;
  }

  // Tabs a page opened (target=_blank, window.open, Ctrl+click), with the
  // first top-level request each made. When that request is captured, the
  // tab never showed anything and never will: it is closed.
  const firstRequests = new Map();
  api.tabs.onRemoved.addListener((tabId) => firstRequests.delete(tabId));

  function noteFirstRequest(request) {
    if (request.type === "main_frame" && request.tabId >= 0 && !firstRequests.has(request.tabId)) {
      firstRequests.set(request.tabId, request.requestId);
    }
  }

  async function closeIfEmptied(request) {
    if (request.type !== "main_frame" || firstRequests.get(request.tabId) !== request.requestId) {
      return;
    }
    const tab = await api.tabs.get(request.tabId).catch(() => null);
    // A page's URL shows only where the add-on may read it: an empty new
    // tab's (about:blank) does not.
    if (tab && tab.openerTabId !== undefined && (tab.url === undefined || tab.url === "about:blank")) {
      await api.tabs.remove(tab.id).catch(() => {});
    }
  }

  // Where each request was redirected from: their sites' cookies go with
  // the jar too.
  const redirected = new Map();
  api.webRequest.onBeforeRedirect.addListener(
    (request) => {
      for (const [key, seen] of redirected) {
        if (Date.now() - seen.at > 30000) {
          redirected.delete(key);
        }
      }
      const earlier = redirected.get(request.requestId)?.urls ?? [];
      redirected.set(request.requestId, { at: Date.now(), urls: [...earlier, withoutFragment(request.url)] });
    },
    { urls: ["http://*/*", "https://*/*"], types: ["main_frame", "sub_frame"] });

  async function askFirefox(request, extra) {
    const url = withoutFragment(request.url);
    const click = await clickOf(request.requestId);
    if (click?.ctrl) {
      return {};  // Ctrl+click stays the browser's
    }
    const outcome = await offerOnce(url, async () => {
      const protocol = url.slice(0, url.indexOf(":")).toLowerCase();
      const d = await details(url, {
        storeId: request.cookieStoreId,
        partitionKey: request.frameAncestors?.length ? { topLevelSite: request.frameAncestors.at(-1).url } : undefined,
        frameTop: request.frameAncestors?.length ? hostOf(request.frameAncestors.at(-1).url) : undefined,
        redirects: redirected.get(request.requestId)?.urls ?? [],
        referrer: request.originUrl || request.documentUrl,
        ...extra,
        // The served name first, then the page's, as the browser names it.
        fileName: extra.fileName || click?.fileName,
      });
      return ask({ monitor: "NVMonitor", event: "Initialize", protocol, url, method: request.method, details: d });
    });
    if (!outcome) {
      return {};
    }
    if (outcome !== AGAIN) {
      deliver(outcome);
    }
    closeIfEmptied(request);
    return { cancel: true };
  }

  const stays = (request) => request.method !== "GET" || request.incognito || !webOrFtp(request.url);

  // Every top-level request is offered to the monitor first; what the
  // switches as last reported cannot capture is let through at once.
  api.webRequest.onBeforeRequest.addListener(
    (request) => {
      if (stays(request) || !captureOn()) {
        return {};
      }
      noteFirstRequest(request);
      noteClick(request);
      if (switches && !couldCapture(request.url, switches, false)) {
        return {};
      }
      return askFirefox(request, {});
    },
    { urls: ["http://*/*", "https://*/*", "ftp://*/*"], types: ["main_frame", "sub_frame"] },
    ["blocking"]);

  // An attachment: its served name can tell a type its URL hides.
  api.webRequest.onHeadersReceived.addListener(
    (response) => {
      if (stays(response) || response.statusCode < 200 || response.statusCode > 299 || !switches?.clicks) {
        return {};
      }
      const header = (name) =>
        response.responseHeaders?.find((h) => h.name.toLowerCase() === name)?.value ?? "";
      const disposition = header("content-disposition");
      if (!/^\s*attachment/i.test(disposition)) {
        return {};
      }
      return askFirefox(response, {
        fileName: servedName(disposition),
        mimeType: header("content-type").split(";")[0].trim(),
        size: Number(header("content-length")),
      });
    },
    { urls: ["http://*/*", "https://*/*"], types: ["main_frame", "sub_frame"] },
    ["blocking", "responseHeaders"]);

  // What neither of those saw as a download (a link's download attribute,
  // a type the browser will not show): the browser has started saving it,
  // and drops it if Dromo takes it. The add-on's own downloads (a menu's
  // link Dromo could not take) stay.
  api.downloads.onCreated.addListener(async (item) => {
    if (item.incognito || item.byExtensionId || browsersOwn(item.url, item.url) || item.state !== "in_progress") {
      return;
    }
    const url = withoutFragment(item.url);
    if ((await clickOf(url))?.ctrl) {
      return;
    }
    const outcome = await offerOnce(url, async () => {
      const protocol = url.slice(0, url.indexOf(":")).toLowerCase();
      const d = await details(url, {
        storeId: item.cookieStoreId,
        referrer: item.referrer,
        fileName: item.filename,
        mimeType: item.mime,
        size: item.fileSize > 0 ? item.fileSize : item.totalBytes,
      });
      return ask({ monitor: "NVMonitor", event: "Initialize", protocol, url, method: "GET", details: d });
    });
    if (outcome) {
      if (outcome !== AGAIN) {
        deliver(outcome);
      }
      try {
        await api.downloads.cancel(item.id);
      } catch (e) {
        // finished already: its file goes below
      }
      await api.downloads.removeFile(item.id).catch(() => {});
      await api.downloads.erase({ id: item.id }).catch(() => {});
    }
  });
}

// The file name a Content-Disposition header gives: filename* (RFC 5987)
// before filename.
function servedName(disposition) {
  const extended = /filename\*\s*=\s*([^']*)'[^']*'([^;]+)/i.exec(disposition);
  if (extended) {
    try {
      return decodeURIComponent(extended[2].trim());
    } catch (e) {
      // fall through to the plain name
    }
  }
  const plain = /filename\s*=\s*("((?:[^"\\]|\\.)*)"|[^;]+)/i.exec(disposition);
  if (!plain) {
    return "";
  }
  return plain[2] !== undefined ? plain[2].replace(/\\(.)/g, "$1") : plain[1].trim();
}
