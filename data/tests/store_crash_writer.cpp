// Child of the crash-safety test: loads the test record through a store over the folder
// given as the argument, says "ready", then saves new contents as fast as it can until it
// is killed. Every saved record is self-consistent (see crashPayload), so a torn file shows.
#include "crash_payload.h"
#include "store.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        fprintf(stderr, "usage: store_crash_writer <folder>\n");
        return 2;
    }
    vltest::TestRecord record;
    Store store(QString::fromLocal8Bit(argv[1]), QStringLiteral("crash"), &record);
    if (!store.loadFromStore(QString())) {
        fprintf(stderr, "store_crash_writer: nothing to load\n");
        return 3;
    }
    fputs("ready\n", stdout);
    fflush(stdout);
    // Bounded in case nobody kills it.
    for (int round = record.number + 1; round < record.number + 100000; ++round) {
        vltest::fillCrashRecord(record, round);
        store.setChanged(false);
        const QString result = store.saveToStore();
        if (!result.isNull()) {
            fprintf(stderr, "store_crash_writer: %s\n", qPrintable(result));
            return 4;
        }
    }
    return 0;
}
