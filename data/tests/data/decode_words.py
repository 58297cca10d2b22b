# Oracle for encoded words: each input line is a header value in hex (its bytes); each
# output line is the hex of the UTF-8 text that email.header decodes it to, or ERR.
import sys
from email.header import decode_header, make_header

for line in sys.stdin:
    value = bytes.fromhex(line.strip()).decode("latin-1")
    try:
        text = str(make_header(decode_header(value)))
        print(text.encode("utf-8").hex())
    except Exception:
        print("ERR")
