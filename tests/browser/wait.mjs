// What the browser drivers wait on: each step's own outcome, polled, up to a
// bound; a step that times out says so and the run goes on, so the test
// reports every case.
import { existsSync, readdirSync, readFileSync } from "node:fs";

export async function waitFor(what, check, ms = 10000) {
  const deadline = Date.now() + ms;
  for (;;) {
    let got;
    try {
      got = await check();
    } catch (e) {
      got = undefined;
    }
    if (got) {
      return got;
    }
    if (Date.now() > deadline) {
      console.log(`${what}: timed out`);
      return undefined;
    }
    await new Promise((r) => setTimeout(r, 100));
  }
}

// A line of the stand-in's details log that starts with `prefix`.
export async function handedOver(what, log, prefix) {
  const line = await waitFor(what, () =>
    existsSync(log) && readFileSync(log, "utf8").split("\n").find((l) => l.startsWith(prefix)));
  if (line) {
    console.log(`${what}: handed over`);
  }
}

// A file the browser finished saving.
export async function saved(what, folder, name) {
  if (await waitFor(what, () => existsSync(`${folder}/${name}`))) {
    console.log(`${what}: kept by the browser`);
  } else {
    console.log(`${what}: the folder holds ${readdirSync(folder).join(", ")}`);
  }
}

// The site of sitecookies_test.cpp, in a browser `b` (go to a URL, the ids
// of the page's cases, a link's href, a click on it): signed in over https
// (the Secure session), the page's own cookies over http, then each case's
// link clicked on a fresh copy of the page and its file awaited in Dromo's
// folder.
export async function siteCookies(origin, dromoFolder, b) {
  await b.go(`${origin}/login.html`);
  await b.go(`${origin}/cookies.html`);
  for (const id of await b.cases()) {
    await b.go(`${origin}/cookies.html`);
    const href = await b.href(id);
    await b.click(id);
    const name = href.slice(href.lastIndexOf("/") + 1);
    if (await waitFor(`cookies ${href}`, () => existsSync(`${dromoFolder}/${name}`))) {
      console.log(`cookies ${href}: in Dromo's folder`);
    }
  }
}

// A video page of streams_test.cpp, in a browser `b` (go to a URL, a
// value of the page's, the add-on's account of the tab `{count, badge}`, the
// hand-over by "Download video with Dromo" or the popup): the page plays its
// stream until a segment came, the add-on's account is printed, the stream
// is handed over and its file awaited in Dromo's folder; then another page
// in the tab, and the account again.
export async function videoPage(videoUrl, dromoFolder, b) {
  const origin = new URL(videoUrl).origin;
  await b.go(videoUrl);
  if (await waitFor("a segment played", () => b.value("window.segments > 0"), 30000)) {
    console.log(`played by ${await b.value("window.player")}`);
  }
  const seen = await b.listed(videoUrl);
  console.log(`streams listed: ${seen?.count}, badge: "${seen?.badge}"`);
  await b.handOver(videoUrl);
  await waitFor("video file", () => readdirSync(dromoFolder).find((f) => f.endsWith(".mp4")), 60000);
  console.log(`video: Dromo's folder holds ${readdirSync(dromoFolder).join(", ")}`);
  const otherUrl = `${origin}/other.html`;
  await b.go(otherUrl);
  const after = await b.listed(otherUrl);
  console.log(`after another page: ${after?.count}, badge: "${after?.badge}"`);
}
