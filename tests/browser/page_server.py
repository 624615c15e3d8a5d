#!/usr/bin/env python3
"""The shop's page for the real-browser road, on 127.0.0.1 only: answers GET /index.html, asked
directly or as a proxy is asked ("GET http://www.shop.co.example/index.html"), and 404 to anything
else. Prints the port it listens on, then serves until killed.

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


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if urllib.parse.urlsplit(self.path).path != "/index.html":
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(PAGE)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(PAGE)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
