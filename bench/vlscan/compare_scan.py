#!/usr/bin/python3
"""Scanning speed of the whole scanner beside the classifier alone and bogofilter.

Usage: compare_scan.py VLSCAN VLBAYES [CORPUS] [--runs N] [--cpu N]

Splits the corpus as compare_bogofilter.py does, prepares a data folder with `vlscan
prepare` (classifier trained on the training half, friends list and blacklist, 20
filters), trains vlbayes and bogofilter on the same half, then times `vlscan scan`,
`vlbayes score` and `bogofilter -B` on the test half, each pinned to one processor, and
finally times the scanner on hostile one-megabyte bodies.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'vlbayes'))
import compare_bogofilter as cb  # noqa: E402


def pinned(cpu, argv):
    return ['taskset', '-c', str(cpu)] + argv


def quiet_best_of(runs, argv, ok=(0,)):
    """best_of with the scanner's trace lines sent away."""
    best, out = None, None
    for _ in range(runs):
        start = time.perf_counter()
        result = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
        if result.returncode not in ok:
            sys.exit('%s failed with status %d' % (' '.join(argv[:4]), result.returncode))
        if best is None or elapsed < best:
            best, out = elapsed, result.stdout.decode('utf-8', 'replace')
    return best, out


def hostile(work):
    big = 1 << 20
    bodies = {
        'disposition': 'Content-Disposition: attachment\n' + ('x' * 70 + '\n') * (big // 71),
        'word-then-at': 'a' * big + '@',
        'word-at-word': ('a' * 1000 + '@b') * (big // 1002),
    }
    names = []
    for name, body in bodies.items():
        path = os.path.join(work, 'hostile-' + name)
        with open(path, 'w') as f:
            f.write('From: someone@example.org\nSubject: big\n\n' + body)
        names.append(path)
    return names


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('vlscan')
    parser.add_argument('vlbayes')
    parser.add_argument('corpus', nargs='?',
                        default=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..',
                                             'corpus-cache', 'spam-assassin', 'package', 'data'))
    parser.add_argument('--runs', type=int, default=3)
    parser.add_argument('--cpu', type=int, default=0)
    args = parser.parse_args()

    ham, spam = cb.files(args.corpus, cb.HAM, 'name'), cb.files(args.corpus, cb.SPAM, 'name')
    ham_train, ham_test = ham[0::2], ham[1::2]
    spam_train, spam_test = spam[0::2], spam[1::2]
    test = ham_test + spam_test
    count = len(test)
    print('test half: %d messages' % count)

    work = tempfile.mkdtemp(prefix='vlscan-compare-')
    try:
        data = os.path.join(work, 'data')
        os.mkdir(data)
        for name, names in (('ham.list', ham_train), ('spam.list', spam_train)):
            with open(os.path.join(work, name), 'w') as f:
                f.write('\n'.join(names) + '\n')
        subprocess.run([args.vlscan, 'prepare', data, os.path.join(work, 'ham.list'),
                        os.path.join(work, 'spam.list')], check=True, stderr=subprocess.DEVNULL)

        bayes = os.path.join(work, 'bayesdata.vlp')
        cb.timed([args.vlbayes, 'train-good', bayes] + ham_train)
        cb.timed([args.vlbayes, 'train-spam', bayes] + spam_train)
        have_bogo = shutil.which('bogofilter') is not None
        if have_bogo:
            bogodir = os.path.join(work, 'bogofilter')
            os.mkdir(bogodir)
            cb.timed(['bogofilter', '-d', bogodir, '-n', '-B'] + ham_train)
            cb.timed(['bogofilter', '-d', bogodir, '-s', '-B'] + spam_train)

        scan_s, scan_out = quiet_best_of(args.runs, pinned(args.cpu, [args.vlscan, 'scan', data] + test))
        bayes_s, _ = quiet_best_of(args.runs, pinned(args.cpu, [args.vlbayes, 'score', bayes] + test))
        klasses = {}
        for line in scan_out.splitlines():
            k = line.split(' ', 1)[0]
            klasses[k] = klasses.get(k, 0) + 1
        print('vlscan scan     %.2f s  %6.0f messages/s  classes %s' % (scan_s, count / scan_s,
                                                                        dict(sorted(klasses.items()))))
        print('vlbayes score   %.2f s  %6.0f messages/s' % (bayes_s, count / bayes_s))
        print('scanner / classifier alone: %.0f%%' % (100.0 * bayes_s / scan_s))
        if have_bogo:
            bogo_s, _ = quiet_best_of(args.runs, pinned(args.cpu, ['bogofilter', '-d', bogodir, '-v', '-T', '-B']
                                                        + test), ok=(0, 1, 2))
            print('bogofilter -B   %.2f s  %6.0f messages/s' % (bogo_s, count / bogo_s))

        for path in hostile(work):
            start = time.perf_counter()
            result = subprocess.run(pinned(args.cpu, [args.vlscan, 'scan', data, path]), stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
            elapsed = time.perf_counter() - start
            slowest = [l for l in result.stderr.decode().splitlines() if l.startswith('vlscan: slowest')]
            print('%-28s %s (process %.0f ms)' % (os.path.basename(path), slowest[0] if slowest else '?',
                                                 elapsed * 1000))
        result = subprocess.run(pinned(args.cpu, [args.vlscan, 'patterns'] + hostile(work)), stdout=subprocess.PIPE,
                                check=True)
        print(result.stdout.decode().replace(work + '/', ''), end='')
    finally:
        shutil.rmtree(work)


if __name__ == '__main__':
    main()
