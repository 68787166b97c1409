// The toolbar button's popup: the streams the current tab's page has played,
// each with a button that hands it to Dromo.
"use strict";

(async () => {
  const api = globalThis.browser ?? globalThis.chrome;
  const [tab] = await api.tabs.query({ active: true, currentWindow: true });
  const answer = tab ? await api.runtime.sendMessage({ kind: "streams", tabId: tab.id }) : null;
  const status = document.getElementById("status");
  if (answer?.private) {
    document.getElementById("private").hidden = false;
    return;
  }
  const streams = answer?.streams ?? [];
  document.getElementById("empty").hidden = streams.length > 0;
  const list = document.getElementById("streams");
  for (const stream of streams) {
    const item = document.createElement("li");
    const what = document.createElement("div");
    what.className = "what";
    const name = document.createElement("div");
    name.className = "name";
    name.textContent = stream.name;
    name.title = stream.url;
    const facts = document.createElement("div");
    facts.className = "facts";
    facts.textContent = [stream.kind, stream.live ? "live" : duration(stream.seconds), stream.quality]
      .filter(Boolean).join(" \u00b7 ");
    what.append(name, facts);
    const button = document.createElement("button");
    button.textContent = "Download with Dromo";
    button.addEventListener("click", async () => {
      button.disabled = true;
      const handed = await api.runtime.sendMessage({ kind: "hand-stream", tabId: tab.id, url: stream.url });
      if (handed?.taken) {
        window.close();
      } else {
        status.textContent = "Dromo is not running and cannot be started.";
        button.disabled = false;
      }
    });
    item.append(what, button);
    list.append(item);
  }
})();

// "1:05:03", "4:07"; "" when the length is not known.
function duration(seconds) {
  if (!(seconds > 0)) {
    return "";
  }
  const s = Math.round(seconds);
  const mm = String(Math.floor(s / 60) % 60);
  const ss = String(s % 60).padStart(2, "0");
  return s >= 3600 ? `${Math.floor(s / 3600)}:${mm.padStart(2, "0")}:${ss}` : `${mm}:${ss}`;
}
