#pragma once
// The contents that the crash-safety writer saves in round n: every part derives from n, so
// a record read back shows whether it is whole.

#include "test_record.h"

namespace vltest {

inline void fillCrashRecord(TestRecord &record, int round) {
    record.number = round;
    record.title = QStringLiteral("round %1").arg(round);
    record.big = long(round) * 1000003L;
    // Large enough that a kill often lands while the file is being written.
    record.body = QStringLiteral("line %1 of the body\n").arg(round).repeated(8000);
    record.items.clear();
    for (int i = 0; i < round % 7; ++i) {
        TestItem item;
        item.text = QStringLiteral("item %1").arg(round);
        item.count = i;
        record.items.append(item);
    }
}

// True when the record is exactly what round record.number wrote.
inline bool isWholeCrashRecord(const TestRecord &record) {
    TestRecord expected;
    fillCrashRecord(expected, record.number);
    return record.number > 0 && record == expected;
}

} // namespace vltest
