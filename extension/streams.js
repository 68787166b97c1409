// The video streams a tab's page plays: HLS playlists and DASH manifests,
// as the page's player fetches them. One entry per stream: a player reads
// a master playlist, then one of its variants' media playlists (and reloads
// a live one over and over); all of that is the stream of the master. The
// segments themselves are no streams. A tab's list starts afresh with each
// new page it shows, and a private window's tabs are never watched.
"use strict";

const HLS_TYPES = ["application/vnd.apple.mpegurl", "application/x-mpegurl", "audio/mpegurl"];
const DASH_TYPES = ["application/dash+xml"];
// A playlist larger than this is no playlist a page's player reads.
const PLAYLIST_BYTES = 4 * 1024 * 1024;

// "HLS", "DASH", or "" for anything else, by the URL's path or the served
// type.
function streamKind(url, contentType = "") {
  const type = contentType.split(";")[0].trim().toLowerCase();
  let path = "";
  try {
    path = new URL(url).pathname.toLowerCase();
  } catch (e) {
    return "";
  }
  if (HLS_TYPES.includes(type) || path.endsWith(".m3u8")) {
    return "HLS";
  }
  if (DASH_TYPES.includes(type) || path.endsWith(".mpd")) {
    return "DASH";
  }
  return "";
}

// What a playlist's text tells: whether it is a master (and the URLs of its
// variants and renditions), the media's seconds, and its best quality.
function readHls(text, base) {
  const lines = text.split(/\r?\n/).map((l) => l.trim());
  const info = { master: false, parts: [], seconds: 0, quality: "", live: false };
  if (lines[0] !== "#EXTM3U") {
    return null;
  }
  const resolve = (uri) => {
    try {
      return withoutFragment(new URL(uri, base).href);
    } catch (e) {
      return "";
    }
  };
  let best = { height: 0, bandwidth: 0 };
  let ended = false;
  for (let i = 0; i < lines.length; i++) {
    const line = lines[i];
    if (line.startsWith("#EXT-X-STREAM-INF:")) {
      info.master = true;
      const height = Number(/RESOLUTION=\d+x(\d+)/.exec(line)?.[1] ?? 0);
      const bandwidth = Number(/[:,]BANDWIDTH=(\d+)/.exec(line)?.[1] ?? 0);
      if (height > best.height || (height === best.height && bandwidth > best.bandwidth)) {
        best = { height, bandwidth };
      }
      const uri = lines.slice(i + 1).find((l) => l && !l.startsWith("#"));
      info.parts.push(resolve(uri ?? ""));
    } else if (line.startsWith("#EXT-X-MEDIA:") || line.startsWith("#EXT-X-I-FRAME-STREAM-INF:")) {
      const uri = /URI="([^"]*)"/.exec(line)?.[1];
      if (uri) {
        info.parts.push(resolve(uri));
      }
    } else if (line.startsWith("#EXTINF:")) {
      info.seconds += Number.parseFloat(line.slice(8)) || 0;
    } else if (line === "#EXT-X-ENDLIST") {
      ended = true;
    }
  }
  info.live = !info.master && !ended;
  if (best.height > 0) {
    info.quality = `${best.height}p`;
  } else if (best.bandwidth > 0) {
    info.quality = `${Math.round(best.bandwidth / 1000)} kbit/s`;
  }
  return info;
}

// The same of a DASH manifest (its parts are the manifest alone).
function readDash(text) {
  if (!/<MPD[\s>]/.test(text)) {
    return null;
  }
  const info = { master: false, parts: [], seconds: 0, quality: "", live: /type\s*=\s*"dynamic"/.test(text) };
  const length = /mediaPresentationDuration\s*=\s*"P(?:(\d+(?:\.\d+)?)D)?T?(?:(\d+(?:\.\d+)?)H)?(?:(\d+(?:\.\d+)?)M)?(?:(\d+(?:\.\d+)?)S)?"/.exec(text);
  if (length) {
    const [d, h, m, s] = length.slice(1).map((v) => Number(v ?? 0));
    info.seconds = ((d * 24 + h) * 60 + m) * 60 + s;
  }
  const heights = [...text.matchAll(/<Representation\b[^>]*\bheight\s*=\s*"(\d+)"/g)].map((r) => Number(r[1]));
  if (heights.length) {
    info.quality = `${Math.max(...heights)}p`;
  }
  return info;
}

// The playlist as the page's player got it, read for what it tells; null
// when it cannot be had. Asked of the frame that fetched it first (with the
// page's cookies and referrer), then of the add-on (with the cookies alone).
async function readStream(api, url, kind, tabId, frameId) {
  const read = (text, base) => (kind === "HLS" ? readHls(text, base) : readDash(text));
  try {
    const answer = await api.tabs.sendMessage(tabId, { kind: "playlist", url }, { frameId });
    if (typeof answer?.text === "string") {
      return read(answer.text, answer.url || url);
    }
  } catch (e) {
    // a frame without the add-on's script (loaded before it)
  }
  try {
    const response = await fetch(url, { credentials: "include", cache: "force-cache" });
    if (!response.ok || Number(response.headers.get("content-length")) > PLAYLIST_BYTES) {
      return null;
    }
    return read((await response.text()).slice(0, PLAYLIST_BYTES), response.url || url);
  } catch (e) {
    return null;
  }
}

// The streams of every watched tab: tab id -> { streams: [entry] }, each
// entry { url, kind, name, seconds, quality, live, parts }. Chromium's worker
// may be stopped between events, so the lists live in the browser's session
// storage too.
class TabStreams {
  constructor(api, onChange) {
    this.api = api;
    this.onChange = onChange;
    this.tabs = new Map();
    // Each tab's events in turn: a variant's playlist is judged once its
    // master has been read.
    this.queues = new Map();
    this.loaded = this.load();
  }

  async load() {
    try {
      const stored = (await this.api.storage.session?.get("streams"))?.streams ?? {};
      for (const [tabId, streams] of Object.entries(stored)) {
        if (!this.tabs.has(Number(tabId))) {
          this.tabs.set(Number(tabId), streams);
        }
      }
    } catch (e) {
      // no session storage: the lists live as long as the background
    }
  }

  save() {
    const all = Object.fromEntries(this.tabs);
    this.api.storage.session?.set({ streams: all }).catch?.(() => {});
  }

  // Runs `work` after the tab's earlier events.
  queue(tabId, work) {
    const done = (this.queues.get(tabId) ?? this.loaded).then(work, work);
    this.queues.set(tabId, done.catch(() => {}));
    return done;
  }

  // The tab's streams, once what it has fetched so far has been judged.
  list(tabId) {
    return this.queue(tabId, () => this.tabs.get(tabId) ?? []);
  }

  // A new page in the tab: its streams are gone.
  clear(tabId) {
    return this.queue(tabId, () => {
      if (this.tabs.delete(tabId)) {
        this.save();
      }
      this.onChange(tabId, 0);
    });
  }

  forgetTab(tabId) {
    this.queue(tabId, () => {
      this.tabs.delete(tabId);
      this.queues.delete(tabId);
      this.save();
    });
  }

  // A request of the tab's page (its frame `frameId`) for `url`, served as
  // `contentType`.
  seen(tabId, frameId, url, contentType) {
    const kind = streamKind(url, contentType);
    if (!kind || tabId < 0) {
      return;
    }
    url = withoutFragment(url);
    this.queue(tabId, async () => {
      const tab = await this.api.tabs.get(tabId).catch(() => null);
      if (!tab || tab.incognito) {
        return;
      }
      const streams = this.tabs.get(tabId) ?? [];
      const known = streams.find((s) => s.url === url || s.parts.includes(url));
      if (known && (known.url === url ? known.read : known.partsRead.includes(url))) {
        return;  // a live playlist reloaded, or the page asking again
      }
      const info = await readStream(this.api, url, kind, tabId, frameId);
      if (known) {
        // A variant's playlist tells the length its master does not.
        if (info && !info.master) {
          known.seconds = known.seconds || info.seconds;
          known.live = info.live;
        }
        if (known.url === url) {
          known.read = !!info;
        } else if (info) {
          known.partsRead.push(url);
        }
      } else {
        streams.push({
          url, kind, name: streamName(url), seconds: info?.seconds ?? 0, quality: info?.quality ?? "",
          live: !!info?.live, parts: info?.parts ?? [], partsRead: [], read: !!info,
        });
      }
      this.tabs.set(tabId, streams);
      this.save();
      this.onChange(tabId, streams.length);
    });
  }
}

// The last part of a URL's path, as the popup names a stream by it.
function streamName(url) {
  try {
    const path = new URL(url).pathname;
    return decodeURIComponent(path.slice(path.lastIndexOf("/") + 1)) || url;
  } catch (e) {
    return url;
  }
}

// The file a stream is saved as: the page's title made a plain file name
// (Dromo applies its own rules on top), else the playlist's name.
function videoFileName(title, url) {
  let name = String(title ?? "").replace(/[\\/:*?"<>|\u0000-\u001f\u007f]/g, "_").replace(/\s+/g, " ").trim();
  name = name.replace(/^[.\s]+/, "").slice(0, 150).trim();
  if (!name) {
    name = streamName(url).replace(/\.(m3u8|mpd)$/i, "").replace(/[\\/:*?"<>|\u0000-\u001f\u007f]/g, "_") || "video";
  }
  return `${name}.mp4`;
}
