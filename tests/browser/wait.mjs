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
