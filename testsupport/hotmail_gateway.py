#!/usr/bin/python3
"""Stand-in for a WebDAV mail gateway, for the web-mail client's tests.

Usage: hotmail_gateway.py ADDRESS PORT STATEDIR

Every request of every method must answer a Digest challenge (user "user@hm.test",
password "secret", qop "auth"). PROPFIND /cgi-bin/hmdata gives the page naming the inbox;
PROPFIND on the inbox lists the whole inbox with each message's size as its content length
(whatever Depth says); GET fetches a message;
MOVE records its Destination. Messages are the files of STATEDIR/mail, in name order.

STATEDIR/mode.json switches behaviour (all optional):
  "tags":    "lower" | "caps" | "missing"           (the inbox tags of the gateway page)
  "listing": "D" | "other" | "default" | "nohref" | "none" | "bad"
  "login":   "ok" | "invalid" (401 Invalid Login) | "unavailable" (503)
  "move":    "ok" | "fail207"
  "get_delay": seconds before a message is sent
Each request is appended to STATEDIR/requests.log as "METHOD PATH DESTINATION".
"""

import hashlib
import json
import os
import re
import secrets
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

ADDRESS, PORT, STATE = sys.argv[1], int(sys.argv[2]), sys.argv[3]
USER, PASSWORD, REALM = "user@hm.test", "secret", "gateway"
NONCES = set()


def md5(text):
    return hashlib.md5(text.encode("latin-1")).hexdigest()


def mode():
    try:
        with open(os.path.join(STATE, "mode.json")) as f:
            return json.load(f)
    except (OSError, ValueError):
        return {}


def messages():
    folder = os.path.join(STATE, "mail")
    return sorted(os.listdir(folder)) if os.path.isdir(folder) else []


def base():
    return "http://%s:%d" % (ADDRESS, PORT)


def listing(kind):
    names = messages()
    if kind == "bad":
        return "<D:multistatus xmlns:D=\"DAV:\"><D:response><D:href>broken"
    if kind == "none":
        return '<?xml version="1.0"?>\n<D:multistatus xmlns:D="DAV:"></D:multistatus>'
    prefix = {"other": "a:", "default": ""}.get(kind, "D:")
    ns = {"other": 'xmlns:a="DAV:"', "default": 'xmlns="DAV:"'}.get(kind, 'xmlns:D="DAV:"')
    out = ['<?xml version="1.0"?>\n<%smultistatus %s xmlns:hm="urn:schemas:httpmail:">' % (prefix, ns)]
    for i, name in enumerate(names):
        href = "" if kind == "nohref" and i == 1 else "<%shref>%s/folders/ACTIVE/%s</%shref>" % (
            prefix, base(), name, prefix)
        size = os.path.getsize(os.path.join(STATE, "mail", name))
        length = "<%sgetcontentlength>%d</%sgetcontentlength>" % (prefix, size, prefix)
        out.append("<%sresponse>%s<%spropstat><%sprop><hm:read>0</hm:read>%s</%sprop>"
                   "<%sstatus>HTTP/1.1 200 OK</%sstatus></%spropstat></%sresponse>" %
                   ((prefix, href, prefix, prefix, length) + (prefix,) * 5))
    out.append("</%smultistatus>" % prefix)
    return "\n".join(out)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, code, reason, body, headers=()):
        data = body.encode("latin-1") if isinstance(body, str) else body
        self.send_response(code, reason)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(data)
        self.close_connection = True

    def authorized(self):
        header = self.headers.get("Authorization", "")
        if not header.startswith("Digest "):
            return False
        fields = {m.group(1): m.group(2) if m.group(2) is not None else m.group(3)
                  for m in re.finditer(r'(\w+)=(?:"([^"]*)"|([^\s,]*))', header[7:])}
        if fields.get("username") != USER or fields.get("realm") != REALM or fields.get("nonce") not in NONCES:
            return False
        uri = self.path
        if fields.get("uri") != uri:
            return False
        ha1 = md5("%s:%s:%s" % (USER, REALM, PASSWORD))
        ha2 = md5("%s:%s" % (self.command, uri))
        want = md5(":".join([ha1, fields["nonce"], fields.get("nc", ""), fields.get("cnonce", ""),
                             fields.get("qop", ""), ha2]))
        return fields.get("response") == want

    def challenge(self, reason):
        nonce = secrets.token_hex(16)
        NONCES.add(nonce)
        value = 'Digest qop="auth", realm="%s", nonce="%s", opaque="%s"' % (REALM, nonce, secrets.token_hex(8))
        self.reply(401, reason, "<html>login</html>", [("WWW-Authenticate", value)])

    def handle_any(self):
        m = mode()
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        with open(os.path.join(STATE, "requests.log"), "a") as log:
            log.write("%s %s %s\n" % (self.command, self.path, self.headers.get("Destination", "")))
        if m.get("login") == "unavailable":
            return self.reply(503, "Service Unavailable", "busy")
        if m.get("login") == "invalid":
            return self.challenge("Invalid Login")
        if not self.authorized():
            return self.challenge("Unauthorized")
        xml = [("Content-Type", "text/xml")]
        path = self.path.split("?")[0]
        if self.command == "PROPFIND" and path == "/cgi-bin/hmdata":
            tags = m.get("tags", "lower")
            inbox = base() + "/folders/ACTIVE/"
            entry = {"lower": "<hm:inbox>%s</hm:inbox>", "caps": "<HM:INBOX>%s</HM:INBOX>",
                     "missing": "<hm:outbox>%s</hm:outbox>"}[tags] % inbox
            page = ('<?xml version="1.0"?>\n<D:multistatus xmlns:D="DAV:" xmlns:hm="urn:schemas:httpmail:">'
                    "<D:response><D:href>%s/cgi-bin/hmdata</D:href><D:propstat><D:prop>%s"
                    "<hm:sentitems>%s/folders/sentitems/</hm:sentitems></D:prop>"
                    "<D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response></D:multistatus>" %
                    (base(), entry, base()))
            return self.reply(207, "Multi-Status", page, xml)
        if self.command == "PROPFIND" and path == "/folders/ACTIVE/":
            return self.reply(207, "Multi-Status", listing(m.get("listing", "D")), xml)
        if self.command == "GET" and path.startswith("/folders/ACTIVE/"):
            name = path[len("/folders/ACTIVE/"):]
            if name not in messages():
                return self.reply(404, "Not Found", "")
            time.sleep(float(m.get("get_delay", 0)))
            with open(os.path.join(STATE, "mail", name), "rb") as f:
                return self.reply(200, "OK", f.read(), [("Content-Type", "message/rfc822")])
        if self.command == "MOVE":
            if m.get("move") == "fail207":
                page = ('<?xml version="1.0"?>\n<D:multistatus xmlns:D="DAV:"><D:response><D:href>%s</D:href>'
                        "<D:status>HTTP/1.1 403 Forbidden</D:status></D:response></D:multistatus>" % self.path)
                return self.reply(207, "Multi-Status", page, xml)
            return self.reply(201, "Created", "")
        return self.reply(404, "Not Found", "")

    do_GET = do_PROPFIND = do_MOVE = do_POST = handle_any


ThreadingHTTPServer.allow_reuse_address = True
ThreadingHTTPServer((ADDRESS, PORT), Handler).serve_forever()
