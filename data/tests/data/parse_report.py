# Parses one message (bytes on standard input) with Python's email package and prints
# what a test needs to know about it as JSON.
import email
import json
import sys
from email import policy


def headers(m):
    return [[k, str(v)] for k, v in m.items()]


def describe(m):
    d = {
        "type": m.get_content_type(),
        "headers": headers(m),
        "params": {k: v for k, v in (m.get_params() or [])},
        "defects": [type(x).__name__ for x in m.defects],
    }
    payload = m.get_payload()
    if isinstance(payload, list):
        if m.get_content_type() == "message/delivery-status":
            d["blocks"] = [headers(b) for b in payload]
        else:
            d["parts"] = [describe(p) for p in payload]
    else:
        d["text"] = payload
    return d


msg = email.message_from_bytes(sys.stdin.buffer.read(), policy=policy.compat32)
print(json.dumps(describe(msg)))
