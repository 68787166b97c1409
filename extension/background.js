// Tessarin's background: one connection to the native host per browser run
// (the host is the capture monitor), and the ways downloads are seen.
// Every decision is the host's; without a host the browser goes its own way.
"use strict";

// Firefox loads switches.js beside this script; Chromium's worker here.
if (typeof importScripts === "function") {
  importScripts("switches.js");
}

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "org.tarnwick.tessarin";
const ANSWER_WITHIN_MS = 2000;
const NOTICE = "This task has been captured by Dromo.";
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
      if (message.event !== "Switches") {
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

function notice() {
  try {
    api.notifications.create({
      type: "basic",
      iconUrl: api.runtime.getURL("icon48.png"),
      title: "Dromo",
      message: NOTICE,
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

// The Cookie header the browser would send for this URL, from the store the
// request belongs to (a container in Firefox, the window's in Chromium),
// partitioned cookies included. Only this URL's cookies are read.
async function cookieHeader(url, storeId, partitionKey) {
  const queries = [{ url, storeId }];
  if (partitionKey) {
    queries.push({ url, storeId, partitionKey });
  }
  const found = new Map();
  for (const query of queries) {
    let cookies = [];
    try {
      cookies = await api.cookies.getAll(query);
    } catch (e) {
      continue;  // an older browser without partitions
    }
    for (const c of cookies) {
      found.set(`${c.name}\n${c.domain}\n${c.path}\n${c.partitionKey ? "p" : ""}`, c);
    }
  }
  // Longer paths first, as browsers send them.
  return [...found.values()]
    .sort((a, b) => b.path.length - a.path.length)
    .map((c) => `${c.name}=${c.value}`)
    .join("; ");
}

async function details(url, { storeId, partitionKey, referrer, fileName, mimeType, size }) {
  const d = { userAgent: navigator.userAgent };
  const cookie = await cookieHeader(url, storeId, partitionKey);
  if (cookie) {
    d.cookie = cookie;
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

if (!isFirefox) {
  // URLs whose click had Ctrl held: the download that follows keeps the flag.
  const ctrlHeld = new Map();

  async function storeOf(tabId) {
    try {
      const stores = await api.cookies.getAllCookieStores();
      return stores.find((s) => s.tabIds.includes(tabId))?.id;
    } catch (e) {
      return undefined;
    }
  }

  async function partitionOf(tabId, frameId) {
    try {
      return (await api.cookies.getPartitionKey({ tabId, frameId }))?.partitionKey;
    } catch (e) {
      return undefined;
    }
  }

  // A link click seen by the content script: the classic BeforeNavigate2.
  api.runtime.onMessage.addListener((message, sender, reply) => {
    if (!message || message.kind !== "click" || typeof message.url !== "string") {
      return false;
    }
    if (message.ctrl) {
      ctrlHeld.set(message.url, Date.now());
    }
    if (sender.tab?.incognito) {
      reply({ capture: false });  // private windows are the browser's
      return false;
    }
    (async () => {
      const tabId = sender.tab?.id;
      const d = message.ctrl
        ? undefined
        : await details(message.url, {
          storeId: await storeOf(tabId),
          partitionKey: await partitionOf(tabId, sender.frameId),
          referrer: message.referrer,
          fileName: message.fileName,
        });
      const answer = await ask({
        monitor: "URLMonitor", event: "BeforeNavigate2", url: message.url, ctrl: !!message.ctrl, method: "GET",
        details: d,
      });
      const capture = !!(answer && answer.capture === true);
      if (capture) {
        deliver(answer);
      }
      reply({ capture });
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
    const url = item.finalUrl || item.url;
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
    const ctrl = ctrlHeld.has(url) || ctrlHeld.has(item.url);
    (async () => {
      const d = ctrl
        ? undefined
        : await details(url, {
          storeId: "0",
          referrer: item.referrer,
          fileName: item.filename,
          mimeType: item.mime,
          size: item.fileSize > 0 ? item.fileSize : item.totalBytes,
        });
      const answer = await ask({
        monitor: "URLMonitor", event: "StatusTextChange", text: "Start downloading from site: " + url, url, ctrl,
        method: "GET", details: d,
      });
      if (answer && answer.capture === true) {
        deliver(answer);
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

  async function askFirefox(request, extra) {
    const url = request.url;
    const protocol = url.slice(0, url.indexOf(":")).toLowerCase();
    const d = await details(url, {
      storeId: request.cookieStoreId,
      partitionKey: request.frameAncestors?.length ? { topLevelSite: request.frameAncestors.at(-1).url } : undefined,
      referrer: request.originUrl || request.documentUrl,
      ...extra,
    });
    const answer = await ask({
      monitor: "NVMonitor", event: "Initialize", protocol, url, method: request.method, details: d,
    });
    if (answer && answer.retVal === 1) {
      deliver(answer);
      return { cancel: true };
    }
    return {};
  }

  const stays = (request) => request.method !== "GET" || request.incognito || !webOrFtp(request.url);

  // Every top-level request is offered to the monitor first; what the
  // switches as last reported cannot capture is let through at once.
  api.webRequest.onBeforeRequest.addListener(
    (request) => {
      if (stays(request) || (switches && !couldCapture(request.url, switches, false))) {
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
  // and drops it if Dromo takes it.
  api.downloads.onCreated.addListener(async (item) => {
    if (item.incognito || browsersOwn(item.url, item.url) || item.state !== "in_progress") {
      return;
    }
    const protocol = item.url.slice(0, item.url.indexOf(":")).toLowerCase();
    const d = await details(item.url, {
      storeId: item.cookieStoreId,
      referrer: item.referrer,
      fileName: item.filename,
      mimeType: item.mime,
      size: item.fileSize > 0 ? item.fileSize : item.totalBytes,
    });
    const answer = await ask({ monitor: "NVMonitor", event: "Initialize", protocol, url: item.url, method: "GET",
      details: d });
    if (answer && answer.retVal === 1) {
      deliver(answer);
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
