// Reads header dates one per line (bytes as Latin-1) and writes what the tolerant parser
// made of each: "V|yyyy-MM-dd|hh:mm:ss" (a missing half left empty) or "X". Used by
// scripts/compare-dates.py against another parser; not a test of its own.
#include "VLDateTime.h"

#include <cstdio>
#include <iostream>
#include <string>

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        const VLDateTime dt(QString::fromLatin1(line.data(), qsizetype(line.size())));
        if (!dt.isValid()) {
            std::puts("X");
            continue;
        }
        const QDate d = dt.getDate();
        const QTime t = dt.getTime();
        std::printf("V|%s|%s\n", d.isValid() ? qPrintable(formatDate(d)) : "",
                    t.isValid() ? qPrintable(formatTime(t)) : "");
    }
    return 0;
}
