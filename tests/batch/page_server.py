#!/usr/bin/env python3
"""A small HTTP server for the batch tests, on 127.0.0.1 at a free port, which it prints first on stdout.

  /files/<path>?charset=<name>  the file under the root folder, as text/html with that charset in the
                                Content-Type header (no charset parameter without the query)
  /redirect?to=<path>           302 to <path>; /redirect?to=<path>&hops=<n> redirects n times first
  /silent                       accepts the request and never answers
  /endless                      a page that never ends: chunks of markup until the client goes away
  anything else                 404

It ends when its standard input is closed, so it never outlives the test that started it.
"""
import http.server
import os
import sys
import threading
import time
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    root = "."

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        if url.path.startswith("/files/"):
            name = urllib.parse.unquote(url.path[len("/files/"):])
            path = os.path.realpath(os.path.join(self.root, name))
            if not path.startswith(os.path.realpath(self.root) + os.sep) or not os.path.isfile(path):
                return self.send_error(404)
            with open(path, "rb") as f:
                body = f.read()
            content_type = "text/html"
            if "charset" in query:
                content_type += "; charset=" + query["charset"][0]
            self.send_response(200)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif url.path == "/redirect":
            hops = int(query.get("hops", ["0"])[0])
            target = query["to"][0]
            if hops > 0:
                target = "/redirect?" + urllib.parse.urlencode({"to": target, "hops": hops - 1})
            self.send_response(302)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif url.path == "/silent":
            time.sleep(600)
        elif url.path == "/endless":
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.end_headers()
            chunk = b"<p>board</p>" * 5000
            try:
                while True:
                    self.wfile.write(chunk)
            except OSError:
                pass
        else:
            self.send_error(404)


def main():
    Handler.root = sys.argv[1] if len(sys.argv) > 1 else "."
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print(server.server_address[1], flush=True)
    sys.stdin.read()
    os._exit(0)


if __name__ == "__main__":
    main()
