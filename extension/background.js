// The Lorvane button: hands the page's address (or a link's) to lviehlp, the native messaging host
// installed with Lorvane, which shows its query dialog. The dialog and Lorvane speak to the user;
// this only speaks up when lviehlp cannot be reached or did not understand the request.
// Chrome and Edge run this as the service worker, Firefox as the background script.
const api = globalThis.browser ?? globalThis.chrome;
const HOST = "com.lorvane.lviehlp";

// A page's or a link's address.
function query(url) {
  return ask({ url: url ?? "" });
}

// The host's one reply: queried, cancelled, not-run, or error.
async function ask(message) {
  let reply;
  try {
    reply = await api.runtime.sendNativeMessage(HOST, message);
  } catch (error) {
    console.warn(`Lorvane: ${error.message}`);
    await showProblem(error.message);
    return;
  }
  console.info(`Lorvane: ${JSON.stringify(reply)}`);
  if (reply?.result === "error") await showProblem(reply.message);
}

// A page of the extension's own in a new tab: what went wrong and what to do.
function showProblem(detail) {
  const page = new URL(api.runtime.getURL("problem.html"));
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
