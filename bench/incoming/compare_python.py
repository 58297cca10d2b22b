#!/usr/bin/env python3
"""Mail-check speed: our POP3/IMAP4 clients against Python's poplib/imaplib.

Starts the test Dovecot with one mailbox of N messages (vl_dovecot_fixture), makes one
warm-up pass, then runs our client (vl_incoming_bench) and Python's client with the same
commands alternately, best of R rounds, for POP3, POP3S, IMAP and IMAPS. Prints messages per
second and the client's own CPU seconds for both, and whether ours reaches at least 1.1 times
Python's rate at no more than half its CPU.

    bench/incoming/compare_python.py [--build build] [--messages 10000] [--rounds 3]
"""
import argparse
import imaplib
import os
import poplib
import re
import ssl
import subprocess
import sys
import time

LINES = 200


def python_pop3(host, port, user, password, context):
    p = poplib.POP3_SSL(host, port, context=context) if context else poplib.POP3(host, port)
    p.user(user)
    p.pass_(password)
    _, listing, _ = p.uidl()
    count = 0
    for line in listing:
        number = line.split()[0].decode()
        p.top(number, LINES)
        count += 1
    p.close()
    return count


def python_imap(host, port, user, password, context):
    m = imaplib.IMAP4_SSL(host, port, ssl_context=context) if context else imaplib.IMAP4(host, port)
    m.login(user, password)
    _, data = m.select("INBOX")
    exists = int(data[0])
    _, listing = m.fetch("1:%d" % exists, "(FLAGS UID RFC822.SIZE)")
    uids = [re.search(rb"UID (\d+)", item).group(1).decode() for item in listing if isinstance(item, bytes)]
    count = 0
    for uid in uids:
        m.uid("FETCH", uid, "(UID BODY.PEEK[]<0.8000> RFC822.SIZE)")
        count += 1
    m.shutdown()
    return count


def run_python(kind, tls, host, port, user, password, cafile):
    context = ssl.create_default_context(cafile=cafile) if tls else None
    cpu0, wall0 = time.process_time(), time.perf_counter()
    count = (python_pop3 if kind == "pop3" else python_imap)(host, port, user, password, context)
    wall, cpu = time.perf_counter() - wall0, time.process_time() - cpu0
    return count, count / wall, cpu


def run_ours(bench, kind, tls, host, port, user, password, cafile):
    env = dict(os.environ, SSL_CERT_FILE=cafile)
    out = subprocess.run([bench, kind, "tls" if tls else "plain", host, str(port), user, password, str(LINES)],
                         env=env, capture_output=True, text=True, check=True).stdout
    fields = out.split()
    values = dict(zip(fields[0::2], fields[1::2]))
    return int(values["messages"]), float(values["rate"]), float(values["cpu"])


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default=os.path.join(os.path.dirname(__file__), "..", "..", "build"))
    ap.add_argument("--messages", type=int, default=10000)
    ap.add_argument("--rounds", type=int, default=3)
    a = ap.parse_args()
    bench = os.path.join(a.build, "bench", "incoming", "vl_incoming_bench")
    fixture = os.path.join(a.build, "bench", "incoming", "vl_dovecot_fixture")
    server = subprocess.Popen([fixture, str(a.messages)], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        host, pop3, pop3s, imap, imaps, user, password, cafile = server.stdout.readline().split()
        rows = [("POP3", "pop3", False, int(pop3)), ("POP3S", "pop3", True, int(pop3s)),
                ("IMAP", "imap", False, int(imap)), ("IMAPS", "imap", True, int(imaps))]
        # Warm-up: the server builds its indexes and caches on the first pass.
        for _, kind, tls, port in rows:
            run_ours(bench, kind, tls, host, port, user, password, cafile)
        print("| row | ours msg/s | Python msg/s | rate ratio | ours CPU s | Python CPU s | CPU ratio | target |")
        print("|---|---|---|---|---|---|---|---|")
        for name, kind, tls, port in rows:
            ours, theirs = [], []
            for _ in range(a.rounds):
                ours.append(run_ours(bench, kind, tls, host, port, user, password, cafile))
                theirs.append(run_python(kind, tls, host, port, user, password, cafile))
            for count, _, _ in ours + theirs:
                if count != a.messages:
                    sys.exit("%s: fetched %d of %d messages" % (name, count, a.messages))
            best_ours = max(ours, key=lambda r: r[1])
            best_theirs = max(theirs, key=lambda r: r[1])
            cpu_ours = min(r[2] for r in ours)
            cpu_theirs = min(r[2] for r in theirs)
            rate_ratio = best_ours[1] / best_theirs[1]
            cpu_ratio = cpu_ours / cpu_theirs
            met = "met" if rate_ratio >= 1.1 and cpu_ratio <= 0.5 else "NOT met"
            print("| %s | %.0f | %.0f | %.2f | %.2f | %.2f | %.2f | %s |" % (
                name, best_ours[1], best_theirs[1], rate_ratio, cpu_ours, cpu_theirs, cpu_ratio, met))
    finally:
        server.stdin.close()
        server.wait(timeout=30)


if __name__ == "__main__":
    main()
