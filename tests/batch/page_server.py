#!/usr/bin/env python3
"""HTTP on 127.0.0.1 (port and pid printed): the files of the folder given, pages named as UTF-8 in the header alone;
/redirect?to=<url>, /silent, /endless. Ends on SIGTERM or when its parent has gone."""
import functools
import http.server
import os
import sys
import threading
import time
import urllib.parse


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {".htm": "text/html; charset=utf-8"}
    log_message = lambda *args: None

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/redirect":
            self.send_response(302)
            self.send_header("Location", urllib.parse.parse_qs(url.query)["to"][0])
            self.end_headers()
        elif url.path == "/silent":
            time.sleep(600)
        elif url.path == "/endless":
            self.send_response(200)
            self.end_headers()
            while True:
                self.wfile.write(b"<p>board</p>" * 5000)
        else:
            super().do_GET()


parent = os.getppid()
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Handler, directory=sys.argv[1]))
server.daemon_threads = True
server.handle_error = lambda *args: None
threading.Thread(target=server.serve_forever, daemon=True).start()
print(server.server_address[1], os.getpid(), flush=True)
while os.getppid() == parent:
    time.sleep(0.2)
os._exit(0)
