#!/usr/bin/env python3
# A local updates site for the download tests, on 127.0.0.1 with a port of the system's choosing.
# Usage: update_server.py PORT_FILE FORM_PDF
# Writes the port into PORT_FILE once it listens; ends on GET /stop, or by itself after ten minutes.
import http.server
import os
import sys
import threading

LIFETIME_SECONDS = 600

port_file, form_path = sys.argv[1], sys.argv[2]
with open(form_path, "rb") as f:
    FORM = f.read()

UPDATES_PAGE = (b"<html><body><h1>Form updates</h1>"
                b"<a href=\"new-claim.pdf\">New claim form</a>"
                b"<a href=\"/other/new-claim.pdf\">Elsewhere on the host</a>"
                b"<a href=\"missing.pdf\">Gone</a>"
                b"<a href=\"cut.pdf\">Cut short</a>"
                b"</body></html>")

# The updates page as a folder's address and as a named page in that folder.
PAGES = {
    "/updates/": UPDATES_PAGE,
    "/updates/updates.htm": UPDATES_PAGE,
    "/updates/commands.htm": b"<html><body><a href=\"app:deleteRecord?1\">Delete</a>"
                             b"<a href=\"app:toSetAddr?1\">Address</a></body></html>",
}

# Where the form is served: below the updates folder, and (for the refused redirects) outside it.
FORM_PATHS = ("/updates/new-claim.pdf", "/updates/v2/new-claim.pdf", "/other/new-claim.pdf",
              "/updatesX/new-claim.pdf", "/updates/%2e%2e/other/new-claim.pdf")

# Redirects: path -> (status, Location); "{here}" stands for this site's host and port.
REDIRECTS = {
    "/updates/moved.pdf": (302, "/updates/new-claim.pdf"),
    "/updates/relative.pdf": (301, "v2/new-claim.pdf"),
    "/updates/absolute.pdf": (307, "http://{here}/updates/v2/new-claim.pdf"),
    "/updates/chain.pdf": (303, "/updates/moved.pdf"),
    "/updates/loop.pdf": (302, "/updates/loop.pdf"),
    "/updates/away.pdf": (302, "/other/new-claim.pdf"),
    "/updates/dots.pdf": (302, "/updates/../other/new-claim.pdf"),
    "/updates/escaped-dots.pdf": (302, "/updates/%2e%2e/other/new-claim.pdf"),
    "/updates/credentials.pdf": (302, "http://{here}@{here}/updates/new-claim.pdf"),
    "/updates/prefix.pdf": (302, "/updatesX/new-claim.pdf"),
    "/updates/nowhere.pdf": (302, ""),
}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def send_body(self, status, body, content_type, declared=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body) if declared is None else declared))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def redirect(self, status, location):
        self.send_response(status)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        if path == "/stop":
            self.send_body(200, b"bye", "text/plain")
            threading.Thread(target=self.server.shutdown).start()
        elif path in PAGES:
            self.send_body(200, PAGES[path], "text/html")
        elif path in FORM_PATHS:
            self.send_body(200, FORM, "application/pdf")
        elif path == "/updates/cut.pdf":
            # Says the whole form comes, sends half of it and closes the connection.
            self.send_body(200, FORM[: len(FORM) // 2], "application/pdf", declared=len(FORM))
        elif path in REDIRECTS:
            status, location = REDIRECTS[path]
            self.redirect(status, location.replace("{here}", "127.0.0.1:%d" % self.server.server_address[1]))
        elif path.startswith("/updates/hops/"):
            # /updates/hops/N.pdf takes N redirects to reach the form.
            left = int(path[len("/updates/hops/"):-len(".pdf")])
            self.redirect(302, "/updates/new-claim.pdf" if left <= 1 else "%d.pdf" % (left - 1))
        elif path == "/updates/broken.pdf":
            self.send_body(500, b"%PDF-1.4 not a form", "application/pdf")
        else:
            self.send_body(404, b"<html><body>Not found</body></html>", "text/html")


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
timer = threading.Timer(LIFETIME_SECONDS, server.shutdown)
timer.daemon = True
timer.start()
with open(port_file + ".part", "w") as f:
    f.write(str(server.server_address[1]))
os.replace(port_file + ".part", port_file)
server.serve_forever(poll_interval=0.2)
server.server_close()
