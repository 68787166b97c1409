// Tessarin's background: one connection to the native host per browser run
// (the host is the capture monitor), and the two ways downloads are seen.
// Every decision is the host's; without a host the browser goes its own way.
"use strict";

const api = globalThis.browser ?? globalThis.chrome;
const HOST = "org.tarnwick.tessarin";
const ANSWER_WITHIN_MS = 2000;
const NOTICE = "This task has been captured by Dromo.";
const isFirefox = typeof globalThis.browser !== "undefined" && !!api.runtime.getBrowserInfo;

let port = null;
// Resolvers in the order the questions went out: the host answers in order,
// so a late answer still belongs to the question that gave up on it.
const waiting = [];

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
    const answer = waiting.shift();
    if (answer) {
      answer(message);
    }
  });
  port.onDisconnect.addListener(() => {
    void api.runtime.lastError;  // no host installed: nothing to report
    port = null;
    while (waiting.length) {
      waiting.shift()(null);
    }
  });
  return port;
}

// The host's answer, or null when it is missing or slower than the bound.
function ask(message) {
  return new Promise((resolve) => {
    const p = connect();
    if (!p) {
      resolve(null);
      return;
    }
    let done = false;
    const finish = (answer) => {
      if (!done) {
        done = true;
        resolve(answer);
      }
    };
    waiting.push(finish);
    try {
      p.postMessage(message);
    } catch (e) {
      finish(null);
    }
    setTimeout(() => finish(null), ANSWER_WITHIN_MS);
  });
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

// The browser's start is the monitor's creation: connect at once, so "Start
// with Browser" can start Dromo.
connect();
api.runtime.onStartup?.addListener(connect);

if (!isFirefox) {
  // URLs whose click had Ctrl held: the download that follows keeps the flag.
  const ctrlHeld = new Map();

  // A link click seen by the content script: the classic BeforeNavigate2.
  api.runtime.onMessage.addListener((message, sender, reply) => {
    if (!message || message.kind !== "click" || typeof message.url !== "string") {
      return false;
    }
    if (message.ctrl) {
      ctrlHeld.set(message.url, Date.now());
    }
    ask({ monitor: "URLMonitor", event: "BeforeNavigate2", url: message.url, ctrl: !!message.ctrl }).then(
      (answer) => {
        const capture = !!(answer && answer.capture === true);
        if (capture) {
          notice();
        }
        reply({ capture });
      });
    return true;
  });

  // A download the browser starts by itself: the status text it would show.
  api.downloads.onDeterminingFilename.addListener((item, suggest) => {
    if (item.byExtensionId) {
      return false;  // another extension's download is left alone
    }
    const url = item.finalUrl || item.url;
    const now = Date.now();
    for (const [held, at] of ctrlHeld) {
      if (now - at > 30000) {
        ctrlHeld.delete(held);
      }
    }
    const ctrl = ctrlHeld.has(url) || ctrlHeld.has(item.url);
    ask({ monitor: "URLMonitor", event: "StatusTextChange", text: "Start downloading from site: " + url, ctrl }).then(
      (answer) => {
        if (answer && answer.capture === true) {
          api.downloads.cancel(item.id, () => {
            void api.runtime.lastError;
            api.downloads.erase({ id: item.id });
          });
          notice();
        }
        suggest();
      });
    return true;
  });
} else {
  // Firefox: every top-level request is offered to the monitor first.
  api.webRequest.onBeforeRequest.addListener(
    (details) => {
      const protocol = details.url.slice(0, details.url.indexOf(":")).toLowerCase();
      return ask({ monitor: "NVMonitor", event: "Initialize", protocol, url: details.url }).then((answer) => {
        if (answer && answer.retVal === 1) {
          ask({ monitor: "NVMonitor", event: "Open", url: details.url });
          notice();
          return { cancel: true };
        }
        return {};
      });
    },
    { urls: ["http://*/*", "https://*/*", "ftp://*/*"], types: ["main_frame"] },
    ["blocking"]);
}
