// The extension's decisions, under Node's own test runner (node --test), with extension/background.js
// run against a stand-in for the browser's extension API: which request each way in sends, what
// each reply or browser error shows (problem page, the button's badge and title), and the address
// bar's suggestion line.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import vm from "node:vm";

const source = readFileSync(new URL("../../extension/background.js", import.meta.url), "utf8");

// The background script in a fresh stand-in browser whose host answers answer(): a reply, or the
// browser's error text, which sendNativeMessage rejects with. Calls not listed here do nothing.
function load(answer = () => ({})) {
  const seen = { sent: [], pages: [], badge: "", title: "", suggestion: "" };
  const on = {};
  const does = {
    "runtime.getURL": (path) => `chrome-extension://id/${path}`,
    "runtime.getManifest": () => ({ action: { default_title: "Query in Lorvane" } }),
    "runtime.sendNativeMessage": async (host, message) => {
      seen.sent.push(JSON.stringify(message));
      if (typeof answer() === "string") throw new Error(answer());
      return answer();
    },
    "tabs.create": async ({ url }) => seen.pages.push(Object.fromEntries(new URL(url).searchParams)),
    "action.setBadgeText": async ({ text }) => { seen.badge = text; },
    "action.setTitle": async ({ title }) => { seen.title = title; },
    "omnibox.setDefaultSuggestion": ({ description }) => { seen.suggestion = description; },
  };
  const member = (path) => new Proxy(() => {}, {
    get: (_, key) => (key === "addListener" ? (f) => { on[path] = f; } : member(path ? `${path}.${key}` : key)),
    apply: (_, __, args) => does[path]?.(...args),
  });
  vm.runInContext(source, vm.createContext({ chrome: member(""), URL, console: { info() {}, warn() {} } }));
  const menu = (menuItemId, key) => (value) => on["contextMenus.onClicked"]({ menuItemId, [key]: value });
  const ways = {
    button: (url) => on["action.onClicked"]({ url }),
    page: menu("query-page", "pageUrl"),
    link: menu("query-link", "linkUrl"),
    selection: menu("query-selection", "selectionText"),
    address: (text) => on["omnibox.onInputEntered"](text, "currentTab"),
  };
  return { seen, ways, on };
}

test("each way in sends its request, and the address bar's line says what Enter does", async () => {
  for (const [way, input, sends] of [
    ["button", "http://user:pw@www.shop.co.example:8080/a?q=private", { url: "http://www.shop.co.example:8080" }],
    ["page", "about:blank", { url: "" }],
    ["link", "https://www.example.org/about.html#top", { url: "https://www.example.org" }],
    ["link", "mailto:abuse@example.net", { text: "mailto:abuse@example.net" }],
    ["selection", "(192.0.2.7).", { text: "(192.0.2.7)." }],
    ["selection", "a".repeat(70000), { text: "a".repeat(32767) }],
    ["selection", "a".repeat(32766) + "\u{1f600}", { text: "a".repeat(32766) }],
    ["selection", "\u5b57".repeat(40000), { text: "\u5b57".repeat(21841) }],
    ["selection", "<".repeat(20000), { text: "<".repeat(10920) }],
    ["address", "whois.shop.co.example", { text: "whois.shop.co.example" }],
  ]) {
    const { seen, ways } = load();
    await ways[way](input);
    assert.deepEqual(seen.sent, [JSON.stringify(sends)], `${way} ${input.slice(0, 40)}`);
  }
  const { seen, on } = load();
  assert.equal(seen.suggestion, "Query a domain, host name or IP address in Lorvane");
  for (const [text, line] of [[" whois.shop.co.example ", 'Query "whois.shop.co.example" in Lorvane'],
    ["<b>x&y", 'Query " b x y" in Lorvane'], ["", "Query a domain, host name or IP address in Lorvane"]]) {
    on["omnibox.onInputChanged"](text);
    assert.equal(seen.suggestion, line);
  }
});

test("each reply or browser error gives its page, and the button keeps the problem until a request succeeds", async () => {
  const missing = ["!", "Query in Lorvane: Lorvane is not installed"];
  const tooOld = ["!", "Query in Lorvane: Lorvane's browser integration is too old"];
  const clear = ["", "Query in Lorvane"];
  const old = "the message has no \"url\" string";
  const v = "1.0.0.4";
  let reply;
  const { seen, ways } = load(() => reply);
  // In order, in one browser: each row's button is what the rows before it left.
  for (const [way, answer, page, button] of [
    ["page", "Specified native messaging host not found.", { problem: "missing" }, missing],
    ["selection", "Native host has exited.", { problem: "error" }, missing],
    ["selection", "Error when communicating with the native messaging host.", { problem: "error" }, missing],
    ["page", { result: "cancelled", version: v }, null, clear],
    ["page", "Access to the specified native messaging host is forbidden.", { problem: "forbidden" },
      ["!", "Query in Lorvane: Lorvane's browser integration is out of date"]],
    ["selection", { result: "error", message: old }, { problem: "too-old", installed: "", needed: v }, tooOld],
    ["page", { result: "error", message: old }, { problem: "error" }, tooOld],
    ["address", { result: "queried", as: "domain", query: "shop.co.example", version: v }, null, clear],
    ["address", { result: "error", code: "unsupported", message: "m", version: v },
      { problem: "too-old", installed: v, needed: v }, tooOld],
    ["selection", { result: "error", code: "bad-message", message: "m", version: v }, { problem: "error" }, tooOld],
    ["page", "No such native application com.lorvane.lviehlp", { problem: "missing" }, missing],
    ["selection", { result: "not-run", version: v }, null, clear],
  ]) {
    [reply, seen.pages.length] = [answer, 0];
    await ways[way]("http://www.shop.co.example/");
    const what = `${way} ${JSON.stringify(answer)}`;
    // What the browser or lviehlp said is shown as it came, and said to come from whom.
    const said = typeof answer === "string" ? { detail: answer } : { detail: answer.message, from: "lviehlp" };
    assert.deepEqual(seen.pages, page ? [{ ...page, ...said }] : [], what);
    assert.deepEqual([seen.badge, seen.title], button, what);
  }
});
