// The Lorvane button: hands the page's origin (or a link's, a mail link, the selected text or a
// name typed in the address bar) to lviehlp, the native messaging host installed with Lorvane,
// which shows its query dialog. The dialog and Lorvane speak to the user; this only speaks up when
// lviehlp cannot be reached, is too old for the request, or did not understand it.
// Chrome and Edge run this as the service worker, Firefox as the background script: a plain
// script, no module.
const api = globalThis.browser ?? globalThis.chrome;
const HOST = "com.lorvane.lviehlp";

// The first lviehlp version that serves each kind of request this extension sends. Every version
// takes an address ("url"); a text ("text": a selection, a name typed after the keyword, a mail
// link) needs the first version that names itself in its replies, so that an older one's error
// can be told from a broken message. A kind added later gets the version that first serves it:
// an older lviehlp answers it with the code "unsupported".
const EVERY_VERSION = "";
const NEEDS = {
  page: EVERY_VERSION,
  link: EVERY_VERSION,
  mail: "1.0.0.4",
  selection: "1.0.0.4",
  address: "1.0.0.4",
};

// The most text one request carries: the dialog's edit holds 32 767 characters (UTF-16 units), and
// lviehlp reads a message of at most 64 KiB, as the browser writes its JSON.
const MOST_UNITS = 32767;
const MOST_BYTES = 64 * 1024 - '{"text":""}'.length;

// The longest start of text within both bounds, never half a character. A character's bytes are
// counted as the browser may write them: UTF-8, or a 6-byte \u escape for the controls, the
// characters a JSON writer may escape, and a lone surrogate.
function fitted(text) {
  let units = 0;
  let bytes = 0;
  for (const c of text) {
    const n = c.codePointAt(0);
    const escaped = n < 0x20 || '"\\<>&\'\x7f'.includes(c) || n === 0x2028 || n === 0x2029 ||
      (n >= 0xd800 && n <= 0xdfff);
    const size = escaped ? 6 : n < 0x80 ? 1 : n < 0x800 ? 2 : n < 0x10000 ? 3 : 4;
    if (units + c.length > MOST_UNITS || bytes + size > MOST_BYTES) return text.slice(0, units);
    units += c.length;
    bytes += size;
  }
  return text;
}

// Only the origin leaves the browser: scheme://host[:port] of a web address, never its path or
// query; "" for an address with no web origin (about:, file:, data:, the browser's own pages).
function origin(url) {
  try {
    const address = new URL(url);
    return ["http:", "https:", "ftp:"].includes(address.protocol) ? address.origin : "";
  } catch {
    return "";
  }
}

// What each way in sends: an address as its origin alone; a text as it is, within the bounds,
// for lviehlp to pick the address out of; a mail link as a text, so the dialog shows the mail's
// domain.
function requestFor(kind, input) {
  if (kind === "link" && /^mailto:/i.test(input)) kind = "mail";
  const isAddress = kind === "page" || kind === "link";
  return { kind, message: isAddress ? { url: origin(input) } : { text: fitted(input ?? "") } };
}

// The problem pages, and the words the button's title gives those the user must act on.
const BUTTON_SAYS = {
  missing: "Lorvane is not installed",
  forbidden: "Lorvane's browser integration is out of date",
  "too-old": "Lorvane's browser integration is too old",
};

// What a reply, or the browser's error, means: null when lviehlp took the request; else the
// problem page to show and what it says.
function problemOf(kind, reply, error) {
  if (error !== undefined) {
    // Chrome and Edge say "forbidden" when the installed host manifests do not allow this
    // extension's id (Firefox reports that host as missing), and "exited" or "communicating" when
    // lviehlp started but crashed or wrote something other than its reply.
    if (/forbidden/i.test(error)) return { problem: "forbidden", detail: error };
    if (/Native host has exited|Error when communicating with the native messaging host/i.test(error))
      return { problem: "error", detail: error };
    return { problem: "missing", detail: error };
  }
  if (reply?.result !== "error") return null;
  const installed = typeof reply.version === "string" ? reply.version : "";
  // "unsupported": a kind this lviehlp does not serve. An error without a version comes from an
  // lviehlp older than the first that names it, and so older than any a text request needs.
  if (reply.code === "unsupported" || (!installed && NEEDS[kind] !== EVERY_VERSION))
    return { problem: "too-old", detail: reply.message, from: "lviehlp", installed, needed: NEEDS[kind] };
  return { problem: "error", detail: reply.message, from: "lviehlp" };
}

// A page of the extension's own in a new tab: what went wrong and what to do.
function showProblem(found) {
  const page = new URL(api.runtime.getURL("problem.html"));
  for (const [name, value] of Object.entries(found)) page.searchParams.set(name, value ?? "");
  return api.tabs.create({ url: page.href });
}

// The button keeps saying what the user must do, after the page is closed, until a request
// succeeds. Logged, so that the state can be read from the browser's console output.
async function markButton(problem) {
  const title = BUTTON_SAYS[problem];
  const text = title ? "!" : "";
  const defaultTitle = api.runtime.getManifest().action.default_title;
  await api.action.setBadgeText({ text });
  if (title) await api.action.setBadgeBackgroundColor({ color: "#c5221f" });
  await api.action.setTitle({ title: title ? `${defaultTitle}: ${title}` : defaultTitle });
  console.info(`Lorvane: button "${text}" ${title ?? "clear"}`);
}

// Sends one request and acts on the one reply: queried, cancelled, not-run, or error.
async function ask({ kind, message }) {
  let reply;
  let error;
  try {
    reply = await api.runtime.sendNativeMessage(HOST, message);
    console.info(`Lorvane: ${JSON.stringify(reply)}`);
  } catch (failure) {
    error = String(failure?.message ?? failure);
    console.warn(`Lorvane: ${error}`);
  }
  const found = problemOf(kind, reply, error);
  if (!found) return markButton(null);
  await showProblem(found);
  if (BUTTON_SAYS[found.problem]) await markButton(found.problem);
}

api.runtime.onInstalled.addListener(() => {
  api.contextMenus?.create({ id: "query-page", title: "Query this page in Lorvane", contexts: ["page"] });
  api.contextMenus?.create({ id: "query-link", title: "Query link in Lorvane", contexts: ["link"] });
  api.contextMenus?.create({ id: "query-selection", title: 'Query "%s" in Lorvane', contexts: ["selection"] });
});

// The toolbar button, and Alt+Shift+L, which presses it.
api.action.onClicked.addListener((tab) => ask(requestFor("page", tab.url)));

// The context menu's entries (none on Firefox for Android).
api.contextMenus?.onClicked.addListener((info) => {
  if (info.menuItemId === "query-selection") return ask(requestFor("selection", info.selectionText));
  if (info.menuItemId === "query-link") return ask(requestFor("link", info.linkUrl));
  return ask(requestFor("page", info.pageUrl));
});

// The address bar: "lv example.org" and Enter. The line under it says what Enter will do; the
// browsers show it as text, so nothing that Chrome would read as markup goes into it.
api.omnibox?.setDefaultSuggestion({ description: "Query a domain, host name or IP address in Lorvane" });
api.omnibox?.onInputChanged.addListener((text) => {
  const shown = text.trim().replace(/[<>&]/g, " ");
  api.omnibox.setDefaultSuggestion({
    description: shown ? `Query "${shown}" in Lorvane` : "Query a domain, host name or IP address in Lorvane",
  });
});
api.omnibox?.onInputEntered.addListener((text) => ask(requestFor("address", text)));
