#!/usr/bin/env python3
"""Names every signal connection without a context object in the given C++ files.

A connection to a lambda or a free function with no receiver outlives whatever the functor
uses; Qt's own switch against it is unknown to older Qt releases, so the check is made here.
A connection is flagged when its signal is a member-function pointer and it has no receiver:
three arguments, or four with a connection type last.
"""
import re
import sys

CALL = re.compile(r'\bconnect\s*\(')


def split_args(text, start):
    """The top-level arguments of the call whose '(' is at start, or None if unbalanced."""
    depth, args, current, i = 0, [], [], start + 1
    pairs = {'(': ')', '[': ']', '{': '}'}
    closing = set(pairs.values())
    while i < len(text):
        c = text[i]
        if c in '"\'':
            end = i + 1
            while end < len(text) and text[end] != c:
                end += 2 if text[end] == '\\' else 1
            current.append(text[i:end + 1])
            i = end + 1
            continue
        if c in pairs:
            depth += 1
        elif c in closing:
            if depth == 0:
                args.append(''.join(current).strip())
                return args
            depth -= 1
        elif c == ',' and depth == 0:
            args.append(''.join(current).strip())
            current = []
            i += 1
            continue
        current.append(c)
        i += 1
    return None


def strip_comments(text):
    text = re.sub(r'/\*.*?\*/', lambda m: re.sub(r'[^\n]', ' ', m.group()), text, flags=re.S)
    return re.sub(r'//[^\n]*', '', text)


def main(paths):
    found = 0
    for path in paths:
        try:
            text = strip_comments(open(path, encoding='utf-8', errors='replace').read())
        except OSError:
            continue
        for m in CALL.finditer(text):
            args = split_args(text, m.end() - 1)
            if not args or len(args) < 3 or not args[1].startswith('&'):
                continue
            if len(args) == 3 or (len(args) == 4 and args[3].startswith('Qt::')):
                line = text.count('\n', 0, m.start()) + 1
                print(f'{path}:{line}: connection without a context object', file=sys.stderr)
                found += 1
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
