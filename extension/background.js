// The Lorvane button: hands the page's origin (or a link's, or the selected text) to lviehlp, the
// native messaging host installed with Lorvane, which shows its query dialog. The dialog and
// Lorvane speak to the user; this only speaks up when lviehlp cannot be reached or did not
// understand the request.
// Chrome and Edge run this as the service worker, Firefox as the background script.
const api = globalThis.browser ?? globalThis.chrome;
const HOST = "com.lorvane.lviehlp";

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

// A page's or a link's address: its origin alone.
function query(url) {
  return ask({ url: origin(url) });
}

// The host's one reply: queried, cancelled, not-run, or error.
async function ask(message) {
  let reply;
  try {
    reply = await api.runtime.sendNativeMessage(HOST, message);
  } catch (error) {
    console.warn(`Lorvane: ${error.message}`);
    // Chrome and Edge say "forbidden" when the installed host manifests do not allow this
    // extension's id; Firefox reports that host as missing.
    await showProblem(/forbidden/i.test(error.message) ? "forbidden" : "missing", error.message);
    return;
  }
  console.info(`Lorvane: ${JSON.stringify(reply)}`);
  if (reply?.result === "error") await showProblem("error", reply.message);
}

// A page of the extension's own in a new tab: what went wrong (missing, forbidden or error) and
// what to do.
function showProblem(problem, detail) {
  const page = new URL(api.runtime.getURL("problem.html"));
  page.searchParams.set("problem", problem);
  page.searchParams.set("detail", detail ?? "");
  return api.tabs.create({ url: page.href });
}

api.runtime.onInstalled.addListener(() => {
  api.contextMenus.create({ id: "query-page", title: "Query this page in Lorvane", contexts: ["page"] });
  api.contextMenus.create({ id: "query-link", title: "Query link in Lorvane", contexts: ["link"] });
  api.contextMenus.create({ id: "query-selection", title: 'Query "%s" in Lorvane', contexts: ["selection"] });
});

// The toolbar button, and Alt+Shift+L, which presses it.
api.action.onClicked.addListener((tab) => query(tab.url));

api.contextMenus.onClicked.addListener((info) => {
  // A selection goes as it is: lviehlp picks the address out of it.
  if (info.menuItemId === "query-selection") return ask({ text: info.selectionText ?? "" });
  return query(info.menuItemId === "query-link" ? info.linkUrl : info.pageUrl);
});
