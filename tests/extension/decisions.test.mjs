// The extension's decisions, under Node's own test runner (node --test), with extension/background.js
// run against a stand-in for the browser's extension API: which request each way in sends, what
// each reply or browser error shows (problem page, the button's badge and title), the address
// bar's suggestion line, and the versions each kind of request needs.
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import vm from "node:vm";

const source = readFileSync(new URL("../../extension/background.js", import.meta.url), "utf8");
const event = () => ({ listeners: [], addListener(f) { this.listeners.push(f); } });

// The background script in a fresh stand-in browser whose host answers with answer(): a reply, or
// an Error, which the browser's sendNativeMessage rejects with.
function load(answer = () => ({})) {
  const seen = { sent: [], pages: [], badge: "", title: "", suggestion: "" };
  const chrome = {
    runtime: {
      onInstalled: event(),
      getURL: (path) => `chrome-extension://id/${path}`,
      getManifest: () => ({ action: { default_title: "Query in Lorvane" } }),
      sendNativeMessage: async (host, message) => {
        seen.sent.push(JSON.stringify(message));
        const reply = answer();
        if (reply instanceof Error) throw reply;
        return reply;
      },
    },
    tabs: { create: async ({ url }) => seen.pages.push(Object.fromEntries(new URL(url).searchParams)) },
    action: {
      onClicked: event(),
      setBadgeText: async ({ text }) => { seen.badge = text; },
      setBadgeBackgroundColor: async () => {},
      setTitle: async ({ title }) => { seen.title = title; },
    },
    contextMenus: { create() {}, onClicked: event() },
    omnibox: {
      setDefaultSuggestion({ description }) { seen.suggestion = description; },
      onInputChanged: event(),
      onInputEntered: event(),
    },
  };
  const context = vm.createContext({ chrome, URL, console: { info() {}, warn() {} } });
  vm.runInContext(source, context);
  const menu = (info) => chrome.contextMenus.onClicked.listeners[0](info);
  const ways = {
    button: (url) => chrome.action.onClicked.listeners[0]({ url }),
    page: (pageUrl) => menu({ menuItemId: "query-page", pageUrl }),
    link: (linkUrl) => menu({ menuItemId: "query-link", linkUrl }),
    selection: (selectionText) => menu({ menuItemId: "query-selection", selectionText }),
    address: (text) => chrome.omnibox.onInputEntered.listeners[0](text, "currentTab"),
  };
  return { seen, ways, chrome, context };
}

test("each way in sends its request", async () => {
  const rows = [
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
  ];
  for (const [way, input, sends] of rows) {
    const { seen, ways } = load();
    await ways[way](input);
    assert.deepEqual(seen.sent, [JSON.stringify(sends)], `${way} ${input.slice(0, 40)}`);
  }
});

test("each reply or browser error gives its page, and the button keeps the problem until a request succeeds", async () => {
  const missing = { badge: "!", title: "Query in Lorvane: Lorvane is not installed" };
  const tooOld = { badge: "!", title: "Query in Lorvane: Lorvane's browser integration is too old" };
  const clear = { badge: "", title: "Query in Lorvane" };
  const unnamed = "the message has no \"url\" string";
  // In order, in one browser: each row's button is what the rows before it left.
  const rows = [
    ["page", new Error("Specified native messaging host not found."),
      { problem: "missing", detail: "Specified native messaging host not found." }, missing],
    ["selection", new Error("Native host has exited."), { problem: "error", detail: "Native host has exited." }, missing],
    ["selection", new Error("Error when communicating with the native messaging host."),
      { problem: "error", detail: "Error when communicating with the native messaging host." }, missing],
    ["page", { result: "cancelled", version: "1.0.0.4" }, null, clear],
    ["page", new Error("Access to the specified native messaging host is forbidden."),
      { problem: "forbidden", detail: "Access to the specified native messaging host is forbidden." },
      { badge: "!", title: "Query in Lorvane: Lorvane's browser integration is out of date" }],
    ["selection", { result: "error", message: unnamed },
      { problem: "too-old", detail: unnamed, from: "lviehlp", installed: "", needed: "1.0.0.4" }, tooOld],
    ["page", { result: "error", message: "the message is not JSON" },
      { problem: "error", detail: "the message is not JSON", from: "lviehlp" }, tooOld],
    ["address", { result: "queried", as: "domain", query: "shop.co.example", version: "1.0.0.4" }, null, clear],
    ["address", { result: "error", code: "unsupported", message: "m", version: "1.0.0.4" },
      { problem: "too-old", detail: "m", from: "lviehlp", installed: "1.0.0.4", needed: "1.0.0.4" }, tooOld],
    ["selection", { result: "error", code: "bad-message", message: "the message is too long", version: "1.0.0.4" },
      { problem: "error", detail: "the message is too long", from: "lviehlp" }, tooOld],
    ["page", new Error("No such native application com.lorvane.lviehlp"),
      { problem: "missing", detail: "No such native application com.lorvane.lviehlp" }, missing],
    ["selection", { result: "not-run", version: "1.0.0.4" }, null, clear],
  ];
  let answer;
  const { seen, ways } = load(() => answer);
  for (const [way, reply, page, button] of rows) {
    answer = reply;
    seen.pages.length = 0;
    await ways[way]("http://www.shop.co.example/");
    const what = `${way} ${JSON.stringify(reply?.message ?? reply)}`;
    assert.deepEqual(seen.pages, page ? [page] : [], what);
    assert.deepEqual({ badge: seen.badge, title: seen.title }, button, what);
  }
});

test("the address bar's line says what Enter does, and each kind of request names the version it needs", () => {
  const { seen, chrome, context } = load();
  const typed = chrome.omnibox.onInputChanged.listeners[0];
  for (const [text, line] of [
    ["", "Query a domain, host name or IP address in Lorvane"],
    [" whois.shop.co.example ", 'Query "whois.shop.co.example" in Lorvane'],
    ["<b>x&y", 'Query " b x y" in Lorvane'],
  ]) {
    typed(text);
    assert.equal(seen.suggestion, line);
  }
  assert.deepEqual({ ...vm.runInContext("NEEDS", context) },
    { page: "", link: "", mail: "1.0.0.4", selection: "1.0.0.4", address: "1.0.0.4" });
});
