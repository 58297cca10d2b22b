#!/usr/bin/python3
"""Loopback SMTP server for the tests (aiosmtpd). Every listener is "PORT:TLS:MECHS": TLS 1
for implicit TLS, MECHS the AUTH mechanisms it offers joined by "+" ("all" for CRAM-MD5,
LOGIN and PLAIN). Each accepted message is written as OUTDIR/NNN.eml, byte for byte as it
arrived after dot-unstuffing, with OUTDIR/NNN.json beside it: envelope, login, mechanism,
the number of the connection it came over, TLS and port. The .json is written first and the
.eml renamed into place last, so a reader that sees the .eml sees both. RCPT TO the refused
address is answered with 550. Exits on SIGTERM or after --lifetime seconds."""
import logging
logging.getLogger("mail.log").setLevel(logging.CRITICAL)   # its own deprecation notes and TLS probes
import argparse, hashlib, hmac, itertools, json, os, secrets, signal, ssl, sys, threading, time
from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

ap = argparse.ArgumentParser()
ap.add_argument("--addr", required=True)
ap.add_argument("--listener", action="append", required=True)
ap.add_argument("--cert"); ap.add_argument("--key")
ap.add_argument("--outdir", required=True)
ap.add_argument("--user", action="append", default=[], help="name:password")
ap.add_argument("--refuse", default="refused@example.org")
ap.add_argument("--lifetime", type=float, default=3600)
a = ap.parse_args()
USERS = dict(u.split(":", 1) for u in a.user)
ALL_MECHS = {"CRAM-MD5", "LOGIN", "PLAIN"}

lock = threading.Lock()
connections = itertools.count(1)
messages = itertools.count(1)


def check(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and \
        USERS.get(auth_data.login.decode("latin-1")) == auth_data.password.decode("latin-1")
    if ok:
        session.vl_mech = mechanism
    # handled=False: aiosmtpd answers 535 itself on failure
    return AuthResult(success=ok, handled=False, auth_data=auth_data if ok else None)


class NumberedSMTP(SMTP):
    def connection_made(self, transport):
        super().connection_made(transport)
        with lock:
            self.session.vl_conn = next(connections)
        self.session.vl_mech = ""


class Handler:
    def __init__(self, port, tls):
        self.port = port
        self.tls = tls

    async def auth_CRAM__MD5(self, server, args):
        challenge = f"<{secrets.token_hex(8)}.{int(time.time())}@test.invalid>"
        resp = await server.challenge_auth(challenge)
        try:
            user, digest = resp.decode("latin-1").rsplit(" ", 1)
        except Exception:
            return AuthResult(success=False, handled=False)
        pw = USERS.get(user)
        good = pw is not None and hmac.compare_digest(
            hmac.new(pw.encode("latin-1"), challenge.encode(), hashlib.md5).hexdigest(), digest.lower())
        if good:
            server.session.vl_mech = "CRAM-MD5"
        return AuthResult(success=good, handled=False,
                          auth_data=LoginPassword(user.encode("latin-1"), b"") if good else None)

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() == a.refuse.lower():
            return "550 5.1.1 Mailbox refused"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        with lock:
            n = next(messages)
        ad = session.auth_data
        meta = {
            "mail_from": envelope.mail_from,
            "rcpt_to": envelope.rcpt_tos,
            "user": ad.login.decode("latin-1") if isinstance(ad, LoginPassword) else "",
            "mechanism": getattr(session, "vl_mech", ""),
            "connection": getattr(session, "vl_conn", 0),
            "tls": self.tls,
            "port": self.port,
        }
        base = os.path.join(a.outdir, f"{n:05d}")
        with open(base + ".json", "w") as f:
            json.dump(meta, f)
        with open(base + ".tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".tmp", base + ".eml")
        return "250 2.0.0 Message accepted"


class NumberedController(Controller):
    def factory(self):
        return NumberedSMTP(self.handler, **self.SMTP_kwargs)


ctx = None
if a.cert:
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(a.cert, a.key)
os.makedirs(a.outdir, exist_ok=True)
ctrls = []
for spec in a.listener:
    port, tls, mechs = spec.split(":")
    port, tls = int(port), tls == "1"
    offered = ALL_MECHS if mechs == "all" else set(mechs.split("+"))
    kw = dict(hostname=a.addr, authenticator=check, auth_require_tls=False, auth_required=False,
              auth_exclude_mechanism=sorted(ALL_MECHS - offered))
    if tls:
        kw["ssl_context"] = ctx
    ctrls.append(NumberedController(Handler(port, tls), port=port, **kw))
for c in ctrls:
    c.start()
print("READY", flush=True)
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
try:
    time.sleep(a.lifetime)
finally:
    for c in ctrls:
        c.stop()
