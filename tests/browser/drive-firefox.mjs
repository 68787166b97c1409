// Drives a running Firefox over WebDriver BiDi, Tessarin installed as a
// temporary add-on: node [--experimental-websocket] drive-firefox.mjs
// BIDI_URL EXTENSION_DIR ORIGIN DETAILS_LOG DOWNLOADS PHASE
// PHASE "present": Dromo's stand-in is on the bus, and the add-on is
// installed first; "absent": the stand-in is gone. Prints one line per step,
// as drive.mjs does.
import { waitFor, handedOver, saved } from "./wait.mjs";

const [bidi, extensionDir, origin, detailsLog, downloads, phase] = process.argv.slice(2);

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

await send("session.new", { capabilities: {} });
if (phase === "present") {
  await send("webExtension.install", { extensionData: { type: "path", path: extensionDir } });
}
const context = (await send("browsingContext.getTree", {})).contexts[0].context;

const go = (url) => send("browsingContext.navigate", { context, url, wait: "complete" });
const evaluate = async (expression) =>
  (await send("script.evaluate", { expression, target: { context }, awaitPromise: true })).result;
const url = async () => (await evaluate("location.href")).value;

// A real click (trusted, with the page's own handlers) on the element.
async function click(selector) {
  const element = await evaluate(`document.querySelector(${JSON.stringify(selector)})`);
  await send("input.performActions", {
    context,
    actions: [{
      type: "pointer",
      id: "mouse",
      parameters: { pointerType: "mouse" },
      actions: [
        { type: "pointerMove", x: 0, y: 0, origin: { type: "element", element: { sharedId: element.sharedId } } },
        { type: "pointerDown", button: 0 },
        { type: "pointerUp", button: 0 },
      ],
    }],
  });
}
const clicks = async () => (await evaluate("window.clicks")).value;

const pageUrl = `${origin}/page.html`;

if (phase === "present") {
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
}

await send("session.end").catch(() => {});
process.exit(0);
