#!/usr/bin/env python3
"""HTTP on 127.0.0.1 (port and pid printed): /files/<path>?charset=<name>, /redirect?to=<url>, /silent, /endless.
Ends on SIGTERM or when its parent has gone."""
import http.server
import os
import sys
import threading
import time
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    log_message = lambda *args: None

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        path = os.path.join(sys.argv[1], urllib.parse.unquote(url.path[len("/files/"):]))
        if url.path.startswith("/files/") and os.path.isfile(path):
            with open(path, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "text/html" + "".join("; charset=" + c for c in query.get("charset", [])))
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif url.path == "/redirect":
            self.send_response(302)
            self.send_header("Location", query["to"][0])
            self.end_headers()
        elif url.path == "/silent":
            time.sleep(600)
        elif url.path == "/endless":
            self.send_response(200)
            self.end_headers()
            while True:
                self.wfile.write(b"<p>board</p>" * 5000)
        else:
            self.send_error(404)


parent = os.getppid()
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
server.handle_error = lambda *args: None
threading.Thread(target=server.serve_forever, daemon=True).start()
print(server.server_address[1], os.getpid(), flush=True)
while os.getppid() == parent:
    time.sleep(0.2)
os._exit(0)
