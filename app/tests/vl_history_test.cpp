// The mail log: merging processed messages, the keep period, and reading its file back
// (current file, else backup) with the end line as proof that the file is whole.

#include "data_folder.h"

#include "app/vl_history.h"

#include <QBuffer>
#include <QDir>

#include <gtest/gtest.h>

namespace {

using apptest::DataFolder;
using apptest::FixedClock;

constexpr qint64 Now = 1'800'000'000; // 2027-01-15

DataEmailMessage message(const char *uid, const char *messageID, const char *subject = "Hello") {
    DataEmailMessage m;
    m.uid = QLatin1String(uid);
    m.messageID = QLatin1String(messageID);
    m.subject = QLatin1String(subject);
    m.from = QStringLiteral("Ann <ann@example.org>");
    return m;
}

DataEmailStatus status(const char *text, int logging) {
    DataEmailStatus s;
    s.status = QLatin1String(text);
    s.logging = logging;
    return s;
}

QStringList uidsOf(const VLHistory &history) {
    QStringList uids;
    for (const DataEmailSummary *entry : *history.emailList())
        uids << entry->uid;
    return uids;
}

QByteArray lineOf(const char *uid, long processed, const char *ident = "id") {
    DataEmailSummary s;
    s.uid = QLatin1String(uid);
    s.processed = processed;
    s.ident = QLatin1String(ident);
    s.status = QStringLiteral("Spam");
    return s.toLine();
}

QByteArray endLine() {
    DataEmailSummary s;
    s.magic = DataEmailSummary::SentinelMagic;
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    DataEmailSummary::terminate(buf);
    return buf.data();
}

} // namespace

TEST(VLHistory, UpdateMergesOneMessageAndKeepsOthersApart) {
    DataFolder folder;
    FixedClock clock(Now);
    VLHistory *history = VLHistory::self();
    struct Case {
        const char *name;
        const char *secondUid;
        const char *secondId;
        int entries;
        int frontLogging;
        const char *frontStatus;
    } cases[] = {
        {"same message: one entry, bits ORed, second text", "u1", "m1@x", 1, 0x201, "Bounced"},
        {"same uid of another account: two entries", "u1", "m2@x", 2, 0x001, "Bounced"},
        {"another uid, same identity: two entries", "u2", "m1@x", 2, 0x001, "Bounced"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        history->clear();
        history->update(message("u1", "m1@x"), status("Probably spam", 0x200), 0);
        history->update(message(c.secondUid, c.secondId), status("Bounced", 0x001), 0);
        ASSERT_EQ(history->emailList()->size(), c.entries);
        const DataEmailSummary *front = history->emailList()->first();
        EXPECT_EQ(front->logging, c.frontLogging);
        EXPECT_EQ(front->status, QLatin1String(c.frontStatus));
        EXPECT_EQ(front->processed, Now) << "time 0 is now";
        EXPECT_EQ(front->uid, QLatin1String(c.secondUid));
    }

    // A merge keeps the entry's time and place.
    history->clear();
    history->update(message("a", "a@x"), status("Spam", 0x10), 100);
    history->update(message("b", "b@x"), status("Spam", 0x10), 200);
    history->update(message("a", "a@x"), status("Friend", 0x40), 300);
    EXPECT_EQ(uidsOf(*history), (QStringList{"b", "a"}));
    EXPECT_EQ(history->emailList()->last()->processed, 100);
    EXPECT_EQ(history->emailList()->last()->logging, 0x50);
}

TEST(VLHistory, RoundTripKeepsNewestFirstAndTheFields) {
    DataFolder folder;
    FixedClock clock(Now);
    VLHistory *history = VLHistory::self();
    DataEmailMessage odd = message("u&1", "odd@x", "Grüße & 100% \"spam\"");
    odd.from = QStringLiteral("Jörg <j@example.de>");
    history->update(odd, status("Spam", 0x283), Now - 30);
    history->update(message("u2", "", "No id"), status("Legit", 0x40), Now - 20);
    history->update(message("u3", "c@x"), status("", 0), Now - 10);
    history->dump(86400);
    ASSERT_TRUE(folder.exists("history.vlp"));

    history->clear();
    ASSERT_TRUE(history->load().isNull());
    EXPECT_EQ(uidsOf(*history), (QStringList{"u3", "u2", "u&1"}));
    const DataEmailSummary *back = history->emailList()->last();
    EXPECT_EQ(back->subject, odd.subject);
    EXPECT_EQ(back->from, odd.from);
    EXPECT_EQ(back->logging, 0x283);
    EXPECT_EQ(back->processed, Now - 30);
    EXPECT_EQ(back->ident, QLatin1String("odd@x"));
    EXPECT_EQ(history->emailList()->at(1)->ident, QLatin1String("No id_")) << "subject _ date";

    // Loaded entries are found by later updates.
    history->update(odd, status("Deleted", 0x002), 0);
    EXPECT_EQ(history->emailList()->size(), 3);
    EXPECT_EQ(back->logging, 0x283);
}

TEST(VLHistory, ClearThenDumpWritesOnlyTheEndLine) {
    DataFolder folder;
    VLHistory *history = VLHistory::self();
    history->update(message("u1", "a@x"), status("Spam", 1), 0);
    history->dump();
    history->clear();
    history->dump(0);
    EXPECT_EQ(folder.read("history.vlp"), endLine());
    history->update(message("u1", "a@x"), status("Spam", 1), 0);
    EXPECT_TRUE(history->load().isNull());
    EXPECT_TRUE(history->emailList()->isEmpty());
}

TEST(VLHistory, LoadFallsBackToTheBackupAndSkipsDamagedLines) {
    DataFolder folder;
    VLHistory *history = VLHistory::self();
    const QByteArray backup = lineOf("b1", 1) + lineOf("b2", 2) + endLine();
    struct Case {
        const char *name;
        QByteArray current;
        QStringList expected;
        bool fromBackup;
    } cases[] = {
        {"whole file", lineOf("c1", 1) + lineOf("c2", 2) + endLine(), {"c1", "c2"}, false},
        {"cut before the end line", lineOf("c1", 1) + lineOf("c2", 2), {"b1", "b2"}, true},
        {"cut inside the last line", lineOf("c1", 1) + lineOf("c2", 2).left(20), {"b1", "b2"}, true},
        {"damaged middle line",
         lineOf("c1", 1) + "garbage&line\n" + lineOf("c3", 3) + endLine(),
         {"c1", "c3"},
         false},
        {"bad version", lineOf("c1", 1) + "300" + lineOf("c2", 2).mid(3) + endLine(), {"c1"}, false},
        {"damaged line and no end line", lineOf("c1", 1) + "garbage\n", {"b1", "b2"}, true},
        {"over-long line", lineOf("c1", 1) + QByteArray(20000, 'x') + "\n" + endLine(), {"c1"}, false},
        {"empty file", QByteArray(), {"b1", "b2"}, true},
        {"only the end line", endLine(), {}, false},
        {"end line, then more", endLine() + lineOf("c1", 1), {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        folder.write("history.vlp", c.current);
        folder.write("history.bak", backup);
        EXPECT_TRUE(history->load().isNull());
        EXPECT_EQ(uidsOf(*history), c.expected);
    }

    // Neither file whole: the error, and nothing of the failed current file remains.
    folder.write("history.vlp", lineOf("c1", 1));
    folder.write("history.bak", lineOf("b1", 1));
    EXPECT_EQ(history->load(), QLatin1String("history: cannot load"));
    EXPECT_EQ(uidsOf(*history), QStringList{"b1"});
    QFile::remove(folder.file("history.bak"));
    EXPECT_EQ(history->load(), QLatin1String("history: cannot load"));
    EXPECT_TRUE(history->emailList()->isEmpty());
}

TEST(VLHistory, DumpDropsEntriesOlderThanTheKeepPeriod) {
    DataFolder folder;
    FixedClock clock(Now);
    VLHistory *history = VLHistory::self();
    // Processing times, oldest last as the log holds them.
    const struct {
        const char *uid;
        qint64 processed;
    } entries[] = {{"future", Now + 500},  {"now", Now},   {"1s", Now - 1},           {"1d", Now - 86400},
                   {"1d+1s", Now - 86401}, {"ancient", 1}, {"pre-1970", -86400 * 365}};
    auto fill = [&] {
        history->clear();
        for (auto it = std::rbegin(entries); it != std::rend(entries); ++it)
            history->update(message(it->uid, it->uid), status("x", 1), long(it->processed));
    };
    struct Case {
        const char *name;
        qint64 keep; // -1: the form without a limit
        QStringList kept;
    } cases[] = {
        {"a day", 86400, {"future", "now", "1s", "1d"}},
        {"0: only this second", 0, {"future", "now"}},
        {"no limit", -1, {"future", "now", "1s", "1d", "1d+1s", "ancient", "pre-1970"}},
        {"beyond 32 bits", qint64(1) << 40, {"future", "now", "1s", "1d", "1d+1s", "ancient", "pre-1970"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fill();
        if (c.keep < 0)
            history->dump();
        else
            history->dump(c.keep);
        EXPECT_EQ(uidsOf(*history), c.kept) << "in memory";
        // Pruned entries are gone from the dictionary too: they come back as new entries.
        history->update(message("1d+1s", "1d+1s"), status("x", 2), 0);
        EXPECT_EQ(history->emailList()->first()->uid, c.kept.contains("1d+1s") ? "future" : "1d+1s");
        ASSERT_TRUE(history->load().isNull());
        EXPECT_EQ(uidsOf(*history), c.kept) << "in the file";
    }
}

TEST(VLHistory, FailedWriteKeepsTheOldFile) {
    DataFolder folder;
    VLHistory *history = VLHistory::self();
    const QByteArray old = lineOf("old", 1) + endLine();
    folder.write("history.vlp", old);
    ASSERT_TRUE(history->load().isNull());
    history->update(message("new", "new@x"), status("x", 1), 0);

    // Something that is not a file where the new copy goes: nothing written, nothing pruned.
    ASSERT_TRUE(QDir().mkpath(folder.file("history.new/sub")));
    history->dump(0);
    EXPECT_EQ(folder.read("history.vlp"), old);
    EXPECT_EQ(uidsOf(*history), (QStringList{"new", "old"}));
    ASSERT_TRUE(QDir(folder.file("history.new")).removeRecursively());

    // A backup that cannot be replaced stops the commit.
    ASSERT_TRUE(QDir().mkpath(folder.file("history.bak/sub")));
    history->dump();
    EXPECT_EQ(folder.read("history.vlp"), old);
    ASSERT_TRUE(QDir(folder.file("history.bak")).removeRecursively());

    history->dump();
    ASSERT_TRUE(history->load().isNull());
    EXPECT_EQ(uidsOf(*history), (QStringList{"new", "old"}));
    EXPECT_EQ(folder.read("history.bak"), old);
}

TEST(VLHistory, DataFolderThroughARegularFile) {
    DataFolder folder;
    folder.write("plain", "x");
    Store::setDataDir(folder.file("plain"));
    VLHistory *history = VLHistory::self();
    EXPECT_EQ(history->load(), QLatin1String("history: cannot load"));
    history->update(message("u", "u@x"), status("x", 1), 0);
    history->dump();
    EXPECT_EQ(history->emailList()->size(), 1);
    EXPECT_EQ(folder.read("plain"), "x");
}
