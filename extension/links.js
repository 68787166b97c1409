// What the page says about its links, in the page: the name a link's
// download attribute gives its file, and every link of the page for
// "Download all links with Dromo...".
"use strict";

// A download attribute names the file only for a link of the page's own
// origin, as the browser takes it.
function downloadName(link) {
  const name = link.getAttribute("download");
  if (!name) {
    return "";
  }
  try {
    return new URL(link.href).origin === location.origin ? name : "";
  } catch (e) {
    return "";
  }
}

// The page's http, https and ftp links in the page's order, each URL once
// (without its fragment), with the names their download attributes give.
function pageLinks() {
  const seen = new Set();
  const links = [];
  for (const link of document.querySelectorAll("a[href], area[href]")) {
    const url = withoutFragment(link.href);
    if (!/^(https?|ftp):/i.test(url) || seen.has(url)) {
      continue;
    }
    seen.add(url);
    const fileName = downloadName(link);
    links.push(fileName ? { url, fileName } : { url });
  }
  return { referrer: location.href, links };
}
