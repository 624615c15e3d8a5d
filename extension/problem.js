// Shows what the browser or lviehlp said, as text.
const detail = new URLSearchParams(location.search).get("detail");
document.getElementById("detail").textContent = detail || "nothing more";
