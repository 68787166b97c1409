// The browser's cookies that go with a download to Dromo: the Cookie header
// the browser would send for the URL, and the cookie jar of the URL's site,
// which lets Dromo send on every hop of a redirect what the browser would
// (the https leg its Secure cookies, each path its own, no path another's).
// Both are read from the store the request belongs to (a Firefox container,
// the Chromium window's), so no other container's cookies are mixed in.
"use strict";

const JAR_BYTES = 64 * 1024;
const HTTP_ONLY = "#HttpOnly_";

function cookieStore() {
  return (globalThis.browser ?? globalThis.chrome).cookies;
}

// The Cookie header the browser would send for this URL, partitioned
// cookies of the frame included, longer paths first as browsers send them.
async function cookieHeader(url, storeId, partitionKey) {
  const queries = [{ url, storeId }];
  if (partitionKey) {
    queries.push({ url, storeId, partitionKey });
  }
  const found = new Map();
  for (const query of queries) {
    let cookies = [];
    try {
      cookies = await cookieStore().getAll(query);
    } catch (e) {
      continue;  // an older browser without partitions
    }
    for (const c of cookies) {
      found.set(`${c.name}\n${c.domain}\n${c.path}\n${c.partitionKey ? "p" : ""}`, c);
    }
  }
  return [...found.values()]
    .sort((a, b) => b.path.length - a.path.length)
    .map((c) => `${c.name}=${c.value}`)
    .join("; ");
}

function hostOf(url) {
  try {
    return new URL(url).hostname.replace(/\.$/, "");
  } catch (e) {
    return "";
  }
}

// The host and its parents down to two labels ("a.b.example.org",
// "b.example.org", "example.org"); an address or a one-label name alone.
function hostChain(host) {
  if (!host || host.startsWith("[") || /^[0-9.]+$/.test(host) || !host.includes(".")) {
    return host ? [host] : [];
  }
  const labels = host.split(".");
  return labels.slice(0, -1).map((_, i) => labels.slice(i).join("."));
}

const bareDomain = (cookie) => cookie.domain.replace(/^\./, "");
const within = (host, domain) => host === domain || host.endsWith(`.${domain}`);

// Whether the browser reads the cookie on a page whose top-level host is
// `top`: an unpartitioned cookie always, a partitioned one in its top-level
// site's partition only; with Firefox's first-party isolation, the cookies
// of that first party (or of none).
function readUnder(cookie, top) {
  const site = cookie.partitionKey?.topLevelSite;
  const firstParty = cookie.firstPartyDomain;
  return (!site || hostChain(top).includes(hostOf(site))) && (!firstParty || within(top, firstParty));
}

// The store's cookies of `domain` and its subdomains, in every partition.
// Browsers before partitions refuse the partition's word, and Firefox with
// first-party isolation wants one about the first party.
async function storedUnder(domain, storeId) {
  const plain = { domain, storeId };
  const queries = [{ ...plain, partitionKey: {} }, plain];
  if (typeof globalThis.browser !== "undefined") {
    queries.push({ ...plain, partitionKey: {}, firstPartyDomain: null }, { ...plain, firstPartyDomain: null });
  }
  for (const query of queries) {
    try {
      return await cookieStore().getAll(query);
    } catch (e) {
      // the next, plainer question
    }
  }
  return [];
}

// The cookies of a host's site as read under the top-level host `top`. The
// site is the widest parent of the host that holds a domain cookie (the
// browser let that be set there, and sets none on a public suffix such as
// co.uk or github.io), else the host itself.
async function siteCookies(host, storeId, top) {
  const chain = hostChain(host);
  if (chain.length === 0) {
    return [];
  }
  const read = (await storedUnder(chain.at(-1), storeId)).filter((c) => readUnder(c, top));
  const site = [...chain].reverse().find((s) => read.some((c) => !c.hostOnly && bareDomain(c) === s)) ?? chain[0];
  return read.filter((c) => within(bareDomain(c), site));
}

// One cookie as a line of libcurl's cookie file, tab-separated:
//   [#HttpOnly_][.]DOMAIN TRUE|FALSE PATH TRUE|FALSE EXPIRY NAME VALUE
// (a host-only cookie without the dot and with FALSE, a session cookie with
// expiry 0); "" for one that has expired or that no line can hold as Dromo
// reads it (a control character, a name with "=" or ";"), since one bad
// line would refuse the whole jar.
function jarLine(c) {
  const bare = bareDomain(c);
  const expiry = c.session || !(c.expirationDate > 0) ? 0 : Math.max(1, Math.floor(c.expirationDate));
  if (!c.name || /[=;]/.test(c.name) || c.value.includes(";") || /[\u0000-\u001f\u007f]/.test(c.name + c.value) ||
      !/^[A-Za-z0-9._:[\]-]+$/.test(bare) || !c.path?.startsWith("/") || /[\u0000-\u001f\u007f]/.test(c.path) ||
      (expiry && expiry * 1000 < Date.now())) {
    return "";
  }
  return [
    `${c.httpOnly ? HTTP_ONLY : ""}${c.hostOnly ? "" : "."}${bare}`, c.hostOnly ? "FALSE" : "TRUE", c.path,
    c.secure ? "TRUE" : "FALSE", expiry, c.name, c.value,
  ].join("\t");
}

// Whether the cookie goes to the host at all (by domain).
function goesTo(cookie, host) {
  return cookie.hostOnly ? bareDomain(cookie) === host : within(host, bareDomain(cookie));
}

// The jar for `urls` (a URL and those it was redirected from), read under
// `frameTop` for a frame's request and under each URL's own host for a
// page's. At most JAR_BYTES of whole lines: what goes to the first URL's
// host first, when a site holds more.
async function cookieJarOf(urls, storeId, frameTop) {
  const found = new Map();
  for (const url of urls) {
    const host = hostOf(url);
    for (const c of await siteCookies(host, storeId, frameTop || host)) {
      found.set(`${c.name}\n${c.domain}\n${c.hostOnly}\n${c.path}\n${c.partitionKey?.topLevelSite ?? ""}`, c);
    }
  }
  const host = hostOf(urls[0]);
  const cookies = [...found.values()];
  const encoder = new TextEncoder();
  let jar = "";
  let bytes = 0;
  for (const c of [...cookies.filter((c) => goesTo(c, host)), ...cookies.filter((c) => !goesTo(c, host))]) {
    const line = jarLine(c);
    const size = line ? encoder.encode(line).length + 1 : 0;
    if (line && bytes + size <= JAR_BYTES) {
      jar += `${line}\n`;
      bytes += size;
    }
  }
  return jar;
}
