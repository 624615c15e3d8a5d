// Shows the section of the problem named in the address (missing, forbidden or error; missing for
// anything else), titles the page after it, and shows what the browser or lviehlp said, as text.
const params = new URLSearchParams(location.search);
const problem = ["missing", "forbidden", "error"].includes(params.get("problem")) ? params.get("problem") : "missing";
const section = document.getElementById(problem);
section.hidden = false;
document.title = section.querySelector("h1").textContent.trim();
if (section.id === "error") document.getElementById("who").textContent = "Lorvane's browser integration";
document.getElementById("detail").textContent = params.get("detail") || "nothing more";
