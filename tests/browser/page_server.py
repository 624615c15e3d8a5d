#!/usr/bin/env python3
"""The shop's page for the real-browser road, on 127.0.0.1 only: answers GET /index.html, and
/selection.html (prose whose address the page selects as it loads), asked directly or as a proxy is
asked ("GET http://www.shop.co.example/index.html"), and 404 to anything else. Prints the port it
listens on, then serves until killed.

Run: python3 page_server.py
"""
import http.server
import sys
import urllib.parse

PAGE = b"""<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Shop test page</title></head>
<body style="font: 20px sans-serif; margin: 3em">
<h1>www.shop.co.example</h1><p>A page to query in Lorvane.</p>
<p><a href="http://www.example.org/about.html">A link</a></p>
</body></html>
"""

# The words a user would select, with the prose's brackets and full stop, selected as the page loads.
SELECTION = b"""<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Shop test page</title></head>
<body style="font: 20px sans-serif; margin: 3em">
<p>The shop moved to <span id="pick">(whois.shop.co.example).</span> Please update your links.</p>
<script>
const range = document.createRange();
range.selectNodeContents(document.getElementById("pick"));
getSelection().removeAllRanges();
getSelection().addRange(range);
</script>
</body></html>
"""
PAGES = {"/index.html": PAGE, "/selection.html": SELECTION}


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        page = PAGES.get(urllib.parse.urlsplit(self.path).path)
        if page is None:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(page)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(page)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
