#!/usr/bin/python3
"""Independent reference of the message score, used by the differential test.

Reads cases from standard input, one field per tab:
    case <legit messages> <junk messages>
    t <id> <context> <text> <legit count> <junk count>    training entry
    m <id> <context> <text>                               token of the message
    end
and prints the score of every case, one per line, in repr form.
"""
import math
import sys

LAST_WORD_ID = 1023


def key(token_id, context, text):
    # Traits are told apart by their number alone.
    if token_id > LAST_WORD_ID:
        return (token_id, "", "")
    return (token_id, context, text)


def score(legit_messages, junk_messages, legit, junk, message):
    s, x = 1.0, 0.5
    p, q = 1.0, 1.0
    p_exp, q_exp = 0, 0
    n = 0
    for k in sorted(set(message)):
        b = legit.get(k, 0)
        c = junk.get(k, 0)
        if b + c == 0 and k[0] <= LAST_WORD_ID and k[1] == "subject":
            body = (0, "", k[2])
            b = legit.get(body, 0)
            c = junk.get(body, 0)
        if b + c == 0:
            continue
        bs = float(b)
        if legit_messages != 0:
            bs = bs * float(junk_messages) / float(legit_messages)
        f = (s * x + float(c)) / (s + float(c) + bs)
        if 0.45 < f < 0.55:
            continue
        n += 1
        p *= f
        q *= 1.0 - f
        if p < 1e-200:
            m, e = math.frexp(p)
            p, p_exp = m, p_exp + e
        if q < 1e-200:
            m, e = math.frexp(q)
            q, q_exp = m, q_exp + e
    if n == 0:
        return 0.0
    a = 1.0 - math.exp((math.log(2.0) * p_exp + math.log(p)) / n)
    b = 1.0 - math.exp((math.log(2.0) * q_exp + math.log(q)) / n)
    return ((b - a) / (b + a) + 1.0) / 2.0


def main():
    legit, junk, message = {}, {}, []
    counts = (0, 0)
    for line in sys.stdin.read().split("\n"):
        if not line:
            continue
        fields = line.split("\t")
        if fields[0] == "case":
            legit, junk, message = {}, {}, []
            counts = (int(fields[1]), int(fields[2]))
        elif fields[0] == "t":
            k = key(int(fields[1]), fields[2], fields[3])
            legit[k] = int(fields[4])
            junk[k] = int(fields[5])
        elif fields[0] == "m":
            message.append(key(int(fields[1]), fields[2], fields[3]))
        elif fields[0] == "end":
            print(repr(score(counts[0], counts[1], legit, junk, message)))
        else:
            raise SystemExit("bad input line: " + line)


main()
