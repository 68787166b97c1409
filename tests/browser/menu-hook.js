// Test only, added to the copy of the add-on that drive-firefox.mjs installs:
// the page asks, by a posted message, for what a click on one of the
// add-on's menu items does (a headless Firefox shows no menus); the answer
// lands on the page's root element for the driver to read.
"use strict";

window.addEventListener("message", (event) => {
  let asked;
  try {
    asked = JSON.parse(event.data);
  } catch (e) {
    return;
  }
  const root = document.documentElement;
  if (asked.dromoTestMenu) {
    browser.runtime.sendMessage({ kind: "test-menu", info: asked.dromoTestMenu }).then(
      (answer) => root.setAttribute("data-dromo-menu", answer ?? "no answer"),
      (e) => root.setAttribute("data-dromo-menu", String(e)));
  } else if (asked.dromoTestStreams) {
    browser.runtime.sendMessage({ kind: "test-streams" }).then(
      (answer) => root.setAttribute("data-dromo-streams", answer),
      (e) => root.setAttribute("data-dromo-streams", JSON.stringify({ error: String(e) })));
  } else if (asked.dromoTestMenus) {
    browser.runtime.sendMessage({ kind: "test-menus" }).then(
      (answer) => root.setAttribute("data-dromo-menus", answer),
      (e) => root.setAttribute("data-dromo-menus", String(e)));
  }
});
