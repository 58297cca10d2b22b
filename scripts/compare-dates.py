#!/usr/bin/env python3
"""Compares the tolerant header-date parser with Python's email.utils on the Date headers of
a mail corpus (by default the public SpamAssassin corpus of scripts/fetch-corpus.sh).

Usage: scripts/compare-dates.py [BUILD_DIR [CORPUS_DIR]]   (defaults: build, fetched corpus)

Prints the share of headers each side reads, how often they agree on the written date and
time (time zones aside: the tolerant parser keeps the wall-clock time and ignores the zone),
and the shapes of the headers on which they differ, most frequent first, with an example.
"""
import collections
import email.utils
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NAMES = ["sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "january",
         "february", "march", "april", "may", "june", "july", "august", "september", "october",
         "november", "december", "am", "pm", "gmt", "pst", "bst", "edt", "st", "nd", "rd", "th", "ut"]


def is_name(word):
    w = word.lower()
    for name in NAMES:
        if len(name) == 2:
            if w == name:
                return True
        elif 2 < len(w) <= len(name) and name.startswith(w):
            return True
    return False


def shape(text):
    """Digits become 9s, known names N, unknown words stay as written; comments are dropped."""
    text = re.sub(r"\([^)]*\)?", "", text).strip()
    text = re.sub(r"[0-9]+", lambda m: "9" * len(m.group()), text)
    return re.sub(r"[A-Za-z]+", lambda m: "N" if is_name(m.group()) else m.group(), text)


def date_header(path):
    with open(path, "rb") as f:
        data = f.read()
    head = data.split(b"\n\n", 1)[0].replace(b"\r\n", b"\n")
    lines = head.split(b"\n")
    for i, line in enumerate(lines):
        if line[:5].lower() == b"date:":
            value = line[5:]
            for more in lines[i + 1:]:
                if more[:1] not in (b" ", b"\t"):
                    break
                value += b" " + more.strip()
            return value.strip().decode("latin-1")
    return None


def python_parse(text):
    try:
        dt = email.utils.parsedate_to_datetime(text)
    except (TypeError, ValueError, IndexError, OverflowError):
        return None
    if dt is None:
        return None
    return (dt.strftime("%Y-%m-%d"), dt.strftime("%H:%M:%S"))


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    if len(sys.argv) > 2:
        corpus = sys.argv[2]
    else:
        corpus = subprocess.run([os.path.join(ROOT, "scripts", "fetch-corpus.sh")], check=True,
                                capture_output=True, text=True).stdout.strip()
    files = sorted(os.path.join(d, f) for d, _, fs in os.walk(corpus) for f in fs if f.endswith(".txt")
                   and re.match(r"\d{5}\.", f))
    headers = [h for h in (date_header(p) for p in files) if h is not None and "\n" not in h]
    tool = os.path.join(build, "app", "tests", "date_lines")
    out = subprocess.run([tool], input="\n".join(headers).encode("latin-1") + b"\n",
                         capture_output=True, check=True).stdout.decode("latin-1").splitlines()
    assert len(out) == len(headers)

    kinds = collections.defaultdict(collections.Counter)
    examples = {}
    ours_ok = theirs_ok = agree = 0
    for text, answer in zip(headers, out):
        ours = tuple(answer.split("|")[1:]) if answer.startswith("V|") else None
        theirs = python_parse(text)
        ours_ok += ours is not None
        theirs_ok += theirs is not None
        if ours is not None and theirs is not None and ours == theirs:
            agree += 1
            continue
        if ours is None and theirs is None:
            kind = "neither reads"
        elif ours is None:
            kind = "only Python reads"
        elif theirs is None:
            kind = "only ours reads"
        else:
            kind = "both read, differ"
        s = shape(text)
        kinds[kind][s] += 1
        examples.setdefault((kind, s), (text, ours, theirs))

    n = len(headers)
    print(f"messages: {len(files)}, with a Date header: {n}")
    print(f"tolerant parser reads: {ours_ok} ({100.0 * ours_ok / n:.2f} %)")
    print(f"email.utils reads:     {theirs_ok} ({100.0 * theirs_ok / n:.2f} %)")
    print(f"same date and time:    {agree} ({100.0 * agree / n:.2f} %)")
    for kind, shapes in sorted(kinds.items()):
        print(f"\n{kind}: {sum(shapes.values())}")
        for s, count in shapes.most_common(25):
            text, ours, theirs = examples[(kind, s)]
            print(f"  {count:5d}  {s!r}\n         e.g. {text!r}: ours {ours}, Python {theirs}")


if __name__ == "__main__":
    main()
