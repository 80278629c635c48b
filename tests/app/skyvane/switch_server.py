#!/usr/bin/env python3
"""A loopback weather service whose behaviour a test switches while the panel
runs, and which logs every request it gets.

usage: switch_server.py FORECAST_JSON MODE_FILE LOG_FILE

Prints its port on the first line of standard output, then serves until it is
killed. Before each answer it reads MODE_FILE (a missing or empty file counts
as "good"):
  good    200 with FORECAST_JSON
  bad     503 with an HTML error page
  drop    closes the connection without a word (a fetch without an answer)
  hold    keeps the request waiting until the mode is another, then answers
          as that one says
  busy    503 with "Retry-After: 2"
Each request's path is appended to LOG_FILE as one line, before the answer,
and the wall-clock time it came in (seconds since the epoch) to
LOG_FILE.times. The forecast is read afresh for each answer, so a test may
replace it.
"""
import http.server
import sys
import time

forecast_file, mode_file, log_file = sys.argv[1:4]
ERROR_PAGE = b"<html><body><h1>503 Service Unavailable</h1></body></html>"


def mode():
    try:
        with open(mode_file, encoding="ascii") as f:
            return f.read().strip() or "good"
    except FileNotFoundError:
        return "good"


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(log_file, "a", encoding="utf-8") as log:
            log.write(self.path + "\n")
        with open(log_file + ".times", "a", encoding="utf-8") as log:
            log.write("%.3f\n" % time.time())
        now = mode()
        while now == "hold":
            time.sleep(0.05)
            now = mode()
        if now == "drop":
            self.close_connection = True
            return
        if now in ("bad", "busy"):
            status, body, kind = 503, ERROR_PAGE, "text/html"
        else:
            with open(forecast_file, "rb") as f:
                status, body, kind = 200, f.read(), "application/json"
        self.send_response(status)
        if now == "busy":
            self.send_header("Retry-After", "2")
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
