"""What the panel's loopback tests share: a service on 127.0.0.1 that answers
each path as the test chose and records every request, the test's own
folders, and the seven columns of a control dump."""
import http.server
import json
import os
import tempfile
import threading
import urllib.parse


class Service(http.server.BaseHTTPRequestHandler):
    """Answers each path with the (status, extra headers, body bytes) chosen
    by serve(); 404 for any other."""

    answers = {}
    asked = []  # (path, query parameters, request headers) of every request
    lock = threading.Lock()

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        with Service.lock:
            Service.asked.append((url.path, dict(urllib.parse.parse_qsl(url.query)),
                                  dict(self.headers.items())))
            status, headers, body = Service.answers.get(url.path, (404, {}, b"{}"))
        self.send_response(status)
        self.send_header("Content-Type", "application/json; charset=utf-8")
        for name, value in headers.items():
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def serve(answers):
    """Answers from now on as `answers` (path -> (status, headers, body)) says
    and forgets the requests so far."""
    with Service.lock:
        Service.answers = dict(answers)
        Service.asked = []


def asked(path=None):
    """The requests since serve(), or those for `path` as (query, headers)."""
    with Service.lock:
        if path is None:
            return list(Service.asked)
        return [(q, h) for p, q, h in Service.asked if p == path]


def recorded(folder, name, status=200):
    """An answer of `status` with the recording `name` of `folder` (none: {})."""
    if not name:
        return (status, {}, b"{}")
    with open(os.path.join(folder, name), "rb") as f:
        return (status, {}, f.read())


def start():
    """Starts the service and makes the test's folders: returns the server,
    its address, the work folder (a TemporaryDirectory) and the runtime
    folder inside it."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Service)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    work = tempfile.TemporaryDirectory()
    runtime = os.path.join(work.name, "runtime")
    os.mkdir(runtime, 0o700)
    return server, "http://127.0.0.1:%d" % server.server_address[1], work, runtime


def columns(dump):
    """(day, weather, icon file, temperature) of each column in a dump."""
    controls = {}
    for line in dump.splitlines():
        control = json.loads(line)
        controls[(control["control"], control["index"])] = control
    shown = []
    for c in range(7):
        picture = controls[("Image1", c)]["picture"]
        shown.append((controls[("Label1", c)]["caption"], controls[("Label2", c)]["caption"],
                      os.path.basename(picture) if picture else None,
                      controls[("Label3", c)]["caption"]))
    return shown
