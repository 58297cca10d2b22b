#!/usr/bin/env python3
"""Writes the phrase-search data of the help book from its pages.

The book (velloran.xml) lists its pages in <keyfiles>. For every page this script reads the
visible text (the <body>, tags dropped, entities decoded), splits it into words of ASCII
letters and digits, lower-cased, and writes:

- the <keywords> section of the book: one <keyword> per distinct word, numbered from 1 in
  alphabetical order, with one <keyoccurs> per occurrence naming the page's key-file number;
- beside each page, "<page without extension>.wl": the page's word numbers in reading order,
  one per line.

One-character words are left out of both: the viewer drops them from what the user types, so
a phrase around them must still match the page's list. Needs only the Python standard library;
the output is byte-for-byte reproducible.

Usage: gen_keywords.py [--output FOLDER]   (default: write beside this script)
"""
import argparse
import html
import os
import re
import sys

BOOK = "velloran.xml"
WORD = re.compile(r"[A-Za-z0-9]+")


def page_words(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    body = re.search(r"<body[^>]*>(.*)</body>", text, re.S | re.I)
    text = body.group(1) if body else text
    text = re.sub(r"<[^>]*>", " ", text)
    text = html.unescape(text)
    return [w.lower() for w in WORD.findall(text) if len(w) > 1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--output", default=None)
    args = parser.parse_args()
    here = os.path.dirname(os.path.abspath(__file__))
    out = args.output or here

    with open(os.path.join(here, BOOK), encoding="utf-8") as f:
        book = f.read()
    pages = re.findall(r'<keyfile\s+ref="([^"]*)"\s*/>', book)
    if not pages:
        sys.exit("gen_keywords.py: %s lists no key files" % BOOK)

    words_of = [page_words(os.path.join(here, page.split("#")[0])) for page in pages]
    numbers = {w: i + 1 for i, w in enumerate(sorted({w for words in words_of for w in words}))}

    lines = []
    for word, number in sorted(numbers.items(), key=lambda item: item[1]):
        occurs = "".join('<keyoccurs id="%d"/>' % file
                         for file, words in enumerate(words_of) for w in words if w == word)
        lines.append('    <keyword id="%d" word="%s">%s</keyword>' % (number, word, occurs))
    section = "<keywords>\n" + "\n".join(lines) + "\n  </keywords>"
    book, count = re.subn(r"<keywords>.*?</keywords>", lambda _: section, book, flags=re.S)
    if count != 1:
        sys.exit("gen_keywords.py: %s needs exactly one <keywords> section" % BOOK)

    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, BOOK), "w", encoding="utf-8", newline="\n") as f:
        f.write(book)
    for page, words in zip(pages, words_of):
        name = page.split("#")[0]
        wl = name[: name.rfind(".")] + ".wl" if "." in name else name + ".wl"
        with open(os.path.join(out, wl), "w", encoding="ascii", newline="\n") as f:
            f.write("".join("%d\n" % numbers[w] for w in words))


if __name__ == "__main__":
    main()
