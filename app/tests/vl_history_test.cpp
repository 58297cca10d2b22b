// The mail log: merging processed messages, the keep period, and reading its file back
// (current file, else backup) with the end line as proof that the file is whole.

#include "data_folder.h"

#include "app/vl_history.h"

#include <QBuffer>
#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

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
    EXPECT_EQ(uidsOf(*history), (QStringList{u"b"_s, u"a"_s}));
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
    ASSERT_TRUE(folder.exists(u"history.vlp"_s));

    history->clear();
    ASSERT_TRUE(history->load().isNull());
    EXPECT_EQ(uidsOf(*history), (QStringList{u"u3"_s, u"u2"_s, u"u&1"_s}));
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
    EXPECT_EQ(folder.read(u"history.vlp"_s), endLine());
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
        {"whole file", lineOf("c1", 1) + lineOf("c2", 2) + endLine(), {u"c1"_s, u"c2"_s}, false},
        {"cut before the end line", lineOf("c1", 1) + lineOf("c2", 2), {u"b1"_s, u"b2"_s}, true},
        {"cut inside the last line", lineOf("c1", 1) + lineOf("c2", 2).left(20), {u"b1"_s, u"b2"_s}, true},
        {"damaged middle line",
         lineOf("c1", 1) + "garbage&line\n" + lineOf("c3", 3) + endLine(),
         {u"c1"_s, u"c3"_s},
         false},
        {"bad version", lineOf("c1", 1) + "300" + lineOf("c2", 2).mid(3) + endLine(), {u"c1"_s}, false},
        {"damaged line and no end line", lineOf("c1", 1) + "garbage\n", {u"b1"_s, u"b2"_s}, true},
        {"over-long line", lineOf("c1", 1) + QByteArray(20000, 'x') + "\n" + endLine(), {u"c1"_s}, false},
        {"empty file", QByteArray(), {u"b1"_s, u"b2"_s}, true},
        {"only the end line", endLine(), {}, false},
        {"end line, then more", endLine() + lineOf("c1", 1), {}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        folder.write(u"history.vlp"_s, c.current);
        folder.write(u"history.bak"_s, backup);
        EXPECT_TRUE(history->load().isNull());
        EXPECT_EQ(uidsOf(*history), c.expected);
    }

    // Neither file whole: the error, and nothing of the failed current file remains.
    folder.write(u"history.vlp"_s, lineOf("c1", 1));
    folder.write(u"history.bak"_s, lineOf("b1", 1));
    EXPECT_EQ(history->load(), QLatin1String("history: cannot load"));
    EXPECT_EQ(uidsOf(*history), QStringList{u"b1"_s});
    QFile::remove(folder.file(u"history.bak"_s));
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
        {"a day", 86400, {u"future"_s, u"now"_s, u"1s"_s, u"1d"_s}},
        {"0: only this second", 0, {u"future"_s, u"now"_s}},
        {"no limit", -1, {u"future"_s, u"now"_s, u"1s"_s, u"1d"_s, u"1d+1s"_s, u"ancient"_s, u"pre-1970"_s}},
        {"beyond 32 bits",
         qint64(1) << 40,
         {u"future"_s, u"now"_s, u"1s"_s, u"1d"_s, u"1d+1s"_s, u"ancient"_s, u"pre-1970"_s}},
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
        EXPECT_EQ(history->emailList()->first()->uid, c.kept.contains(u"1d+1s"_s) ? u"future"_s : u"1d+1s"_s);
        ASSERT_TRUE(history->load().isNull());
        EXPECT_EQ(uidsOf(*history), c.kept) << "in the file";
    }
}

TEST(VLHistory, FailedWriteKeepsTheOldFile) {
    DataFolder folder;
    VLHistory *history = VLHistory::self();
    const QByteArray old = lineOf("old", 1) + endLine();
    folder.write(u"history.vlp"_s, old);
    ASSERT_TRUE(history->load().isNull());
    history->update(message("new", "new@x"), status("x", 1), 0);

    // Something that is not a file where the new copy goes: nothing written, nothing pruned.
    ASSERT_TRUE(QDir().mkpath(folder.file(u"history.new/sub"_s)));
    history->dump(0);
    EXPECT_EQ(folder.read(u"history.vlp"_s), old);
    EXPECT_EQ(uidsOf(*history), (QStringList{u"new"_s, u"old"_s}));
    ASSERT_TRUE(QDir(folder.file(u"history.new"_s)).removeRecursively());

    // A backup that cannot be replaced stops the commit.
    ASSERT_TRUE(QDir().mkpath(folder.file(u"history.bak/sub"_s)));
    history->dump();
    EXPECT_EQ(folder.read(u"history.vlp"_s), old);
    ASSERT_TRUE(QDir(folder.file(u"history.bak"_s)).removeRecursively());

    history->dump();
    ASSERT_TRUE(history->load().isNull());
    EXPECT_EQ(uidsOf(*history), (QStringList{u"new"_s, u"old"_s}));
    EXPECT_EQ(folder.read(u"history.bak"_s), old);
}

TEST(VLHistory, DataFolderThroughARegularFile) {
    DataFolder folder;
    folder.write(u"plain"_s, "x");
    Store::setDataDir(folder.file(u"plain"_s));
    VLHistory *history = VLHistory::self();
    EXPECT_EQ(history->load(), QLatin1String("history: cannot load"));
    history->update(message("u", "u@x"), status("x", 1), 0);
    history->dump();
    EXPECT_EQ(history->emailList()->size(), 1);
    EXPECT_EQ(folder.read(u"plain"_s), "x");
}
