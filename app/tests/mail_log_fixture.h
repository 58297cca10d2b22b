#pragma once
// A mail log of five records at a fixed instant (today, yesterday, 20, 55 and 56 days back),
// written as "history.vlp" and loaded, with the recycle bin switched on.

#include "data_folder.h"
#include "vl_history.h"

#include "data/data_email.h"
#include "data/store_options.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace apptest {

inline constexpr qint64 kNow = 1796904000; // Thu 10 Dec 2026 12:00:00 UTC
inline constexpr qint64 kMidnight = kNow - kNow % 86400;
inline constexpr qint64 kDay = 86400;

struct Record {
    qint64 processed;
    const char *subject;
    int logging;
    const char *ident;
};

// Newest first, as the log keeps them.
inline const Record kLog[] = {
    {kNow - 3600, "charlie", 0x202, "today@example.org"},
    {kMidnight - 1, "alpha", 0x001, "yesterday@example.org"},
    {kMidnight - 20 * kDay, "bravo", 0x000, "twenty@example.org"},
    {kMidnight - 55 * kDay, "delta", 0x040, "fiftyfive@example.org"},
    {kMidnight - 56 * kDay, "echo", 0x008, "fiftysix@example.org"},
};

inline QByteArray endLine() {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    DataEmailSummary::terminate(buffer);
    return buffer.data();
}

// A data folder with the log above in "history.vlp", loaded, and the clock at kNow.
struct MailLogFixture {
    apptest::DataFolder folder;
    apptest::FixedClock clock{kNow};

    MailLogFixture() {
        QByteArray file;
        for (const Record &r : kLog) {
            DataEmailSummary s;
            s.uid = QString::number(r.processed);
            s.processed = long(r.processed);
            s.from = QStringLiteral("Sender <s@example.org>");
            s.to = QStringLiteral("me@example.org");
            s.subject = QLatin1String(r.subject);
            s.status = QStringLiteral("status ") + QLatin1String(r.subject);
            s.logging = r.logging;
            s.ident = QLatin1String(r.ident);
            file += s.toLine();
        }
        folder.write(QStringLiteral("history.vlp"), file + endLine());
        EXPECT_TRUE(VLHistory::self()->load().isNull());
        EXPECT_EQ(VLHistory::self()->emailList()->size(), qsizetype(std::size(kLog)));
        StoreOptions::options()->summary.allowRevovery = true;
    }
};

} // namespace apptest
