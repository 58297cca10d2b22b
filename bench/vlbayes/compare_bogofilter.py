#!/usr/bin/python3
"""Trains vlbayes and bogofilter on half of the public SpamAssassin corpus, scores the other
half with both, and prints spam caught, ham called spam and messages per second of scoring.

Usage: compare_bogofilter.py VLBAYES [CORPUS_DIR] [--runs N]

Ham (easy-ham-1, easy-ham-2, hard-ham-1) and spam (spam-1, spam-2) files are sorted
separately; the 1st, 3rd, 5th ... file of each list trains, the 2nd, 4th ... is scored. Four
splits are run one after the other: the lists sorted by bare file name and by full path, each
also with the training and scoring halves swapped.
A message is called spam by vlbayes when its score is at least 0.5 (the application's
junk threshold), by bogofilter when it says "S". Scoring times are wall-clock times of the
whole scoring run (process start, loading the training data, every message), the best of
--runs runs. Not run by CI.
"""
import argparse
import glob
import resource
import os
import shutil
import subprocess
import sys
import tempfile
import time

HAM = ('easy-ham-1', 'easy-ham-2', 'hard-ham-1')
SPAM = ('spam-1', 'spam-2')


def files(corpus, folders, order):
    names = []
    for folder in folders:
        names += glob.glob(os.path.join(corpus, folder, '*.txt'))
    if order == 'name':
        return sorted(names, key=lambda path: (os.path.basename(path), path))
    return sorted(names)


def timed(argv, ok=(0,)):
    """Wall-clock seconds and standard output of one run; bogofilter's exit status tells
    the verdict of the last message (0, 1, 2), so its callers accept those."""
    start = time.perf_counter()
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    result = subprocess.run(argv, stdout=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    timed.cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    if result.returncode not in ok:
        sys.exit('%s %s failed with status %d' % (argv[0], argv[1], result.returncode))
    return elapsed, result.stdout.decode('utf-8', 'replace')


def best_of(runs, argv, ok=(0,)):
    """The shortest wall-clock time of several runs (the machine may be shared), with the
    processor time of that run."""
    best, out, cpu = None, None, None
    for _ in range(runs):
        elapsed, out = timed(argv, ok)
        if best is None or elapsed < best:
            best, cpu = elapsed, timed.cpu
    best_of.cpu = cpu
    return best, out


def vlbayes_verdicts(out):
    verdicts = {}
    for line in out.splitlines():
        score, name = line.split(' ', 1)
        verdicts[name] = float(score) >= 0.5
    return verdicts


def bogofilter_verdicts(out):
    verdicts = {}
    for line in out.splitlines():
        # "<file> S 0.999999" with -v -T in bulk mode
        parts = line.rsplit(' ', 2)
        verdicts[parts[0]] = parts[1] == 'S'
    return verdicts


def report(name, verdicts, ham_test, spam_test, seconds, cpu):
    caught = sum(verdicts[f] for f in spam_test)
    false_pos = sum(verdicts[f] for f in ham_test)
    count = len(ham_test) + len(spam_test)
    print('%-10s spam caught %4d/%d (%.1f%%)  ham called spam %3d/%d (%.2f%%)  scoring %.2f s (cpu %.2f s), '
          '%.0f messages/s'
          % (name, caught, len(spam_test), 100.0 * caught / len(spam_test), false_pos, len(ham_test),
             100.0 * false_pos / len(ham_test), seconds, cpu, count / seconds))
    return count / seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('vlbayes')
    parser.add_argument('corpus', nargs='?',
                        default=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..',
                                             'corpus-cache', 'spam-assassin', 'package', 'data'))
    parser.add_argument('--runs', type=int, default=3)
    args = parser.parse_args()
    if shutil.which('bogofilter') is None:
        sys.exit('bogofilter is not installed')

    for order in ('name', 'path'):
        for swapped in (False, True):
            print('== sorted by %s%s' % ('bare file name' if order == 'name' else 'full path',
                                         ', halves swapped' if swapped else ''))
            compare(args, order, swapped)


def compare(args, order, swapped):
    ham, spam = files(args.corpus, HAM, order), files(args.corpus, SPAM, order)
    ham_train, ham_test = ham[0::2], ham[1::2]
    spam_train, spam_test = spam[0::2], spam[1::2]
    if swapped:
        ham_train, ham_test = ham_test, ham_train
        spam_train, spam_test = spam_test, spam_train
    test = ham_test + spam_test
    print('ham %d (train %d, test %d), spam %d (train %d, test %d)'
          % (len(ham), len(ham_train), len(ham_test), len(spam), len(spam_train), len(spam_test)))

    work = tempfile.mkdtemp(prefix='vlbayes-compare-')
    try:
        data = os.path.join(work, 'bayesdata.vlp')
        t_good, _ = timed([args.vlbayes, 'train-good', data] + ham_train)
        t_spam, _ = timed([args.vlbayes, 'train-spam', data] + spam_train)
        print('vlbayes    training %.2f s' % (t_good + t_spam))
        vl_seconds, vl_out = best_of(args.runs, [args.vlbayes, 'score', data] + test)
        vl_cpu = best_of.cpu

        bogodir = os.path.join(work, 'bogofilter')
        os.mkdir(bogodir)
        t_good, _ = timed(['bogofilter', '-d', bogodir, '-n', '-B'] + ham_train)
        t_spam, _ = timed(['bogofilter', '-d', bogodir, '-s', '-B'] + spam_train)
        print('bogofilter training %.2f s' % (t_good + t_spam))
        bogo_seconds, bogo_out = best_of(args.runs, ['bogofilter', '-d', bogodir, '-v', '-T', '-B'] + test,
                                         ok=(0, 1, 2))
        bogo_cpu = best_of.cpu

        vl_rate = report('vlbayes', vlbayes_verdicts(vl_out), ham_test, spam_test, vl_seconds, vl_cpu)
        bogo_rate = report('bogofilter', bogofilter_verdicts(bogo_out), ham_test, spam_test, bogo_seconds, bogo_cpu)
        print('scoring speed vlbayes / bogofilter: %.2fx' % (vl_rate / bogo_rate))
    finally:
        shutil.rmtree(work)

if __name__ == '__main__':
    main()
