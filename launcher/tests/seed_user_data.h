#pragma once
// A data folder as a user of long standing has it, written through the program's own stores
// so that its files are exactly what velloran reads and writes: mail log, seen list, friends
// and blacklist, cached messages and Bayes training data. For the launcher's end-to-end tests
// and its start-up benchmark.

#include <QByteArray>
#include <QMap>
#include <QString>

struct SeedCounts {
    int logEntries = 0;
    int seenEntries = 0;
    int listEntries = 0; // split between the friends list and the blacklist
    int cachedMessages = 0;
    int bayesTokens = 0; // distinct words trained, at least this many
};

// Fills dataDir (made if missing). The process's mail log, seen list and cache take the data
// folder of their first use, so call this once per process, before anything else uses them.
// False when a file could not be written.
bool seedUserData(const QString &dataDir, const SeedCounts &counts);

// Every file under dir by its relative path, with its bytes.
QMap<QString, QByteArray> folderContents(const QString &dir);

// Copies every file of from into to (folders made as needed); false on any failure.
bool copyFolder(const QString &from, const QString &to);
