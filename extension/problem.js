// Shows the section of the problem named in the address (missing, forbidden, too-old or error;
// missing for anything else), titles the page after it, fills in the versions a too-old
// integration has and needs, and shows what the browser or lviehlp said, as text.
const params = new URLSearchParams(location.search);
const problems = ["missing", "forbidden", "too-old", "error"];
const problem = problems.includes(params.get("problem")) ? params.get("problem") : "missing";
const section = document.getElementById(problem);
section.hidden = false;
document.title = section.querySelector("h1").textContent.trim();
if (problem === "too-old") {
  const installed = params.get("installed");
  const needed = params.get("needed");
  document.getElementById("versions").textContent =
    (installed ? `The installed integration is version ${installed}` : "The installed integration is from before lviehlp named its version") +
    (needed ? `; this request needs version ${needed} or newer.` : ".");
}
if (params.get("from") === "lviehlp") document.getElementById("who").textContent = "Lorvane's browser integration";
document.getElementById("detail").textContent = params.get("detail") || "nothing more";
