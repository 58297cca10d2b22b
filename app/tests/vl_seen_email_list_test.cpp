// The seen-message list: its file, and the presence rule that drops the entries of messages
// that have left their server.

#include "data_folder.h"

#include "app/vl_seen_email_list.h"

#include <QDir>

#include <functional>

#include <gtest/gtest.h>

namespace {

using apptest::DataFolder;
using apptest::FixedClock;

// The file's lines, sorted (the order of entries is the order of addition).
QList<QByteArray> lines(const DataFolder &folder) {
    QList<QByteArray> out = folder.read("seenemail.vlp").split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}

} // namespace

TEST(VLSeenEmailList, OddAccountsAndIdsSurviveTheFile) {
    DataFolder folder;
    FixedClock clock(1'700'000'000);
    VLSeenEmailList *seen = VLSeenEmailList::self();
    const struct {
        QString account;
        QString id;
    } entries[] = {
        {"plain", "a@example.org"},
        {"R&D", "x&y=z@host"},
        {"100%", "%41%zz%"},
        {"two\nlines", "cr\r\nlf\n"},
        {QString::fromUtf8("Jörg €"), QString::fromUtf8("<😀@例え.jp>")},
        {"a::b", "c"}, // the same text as account "a" with id "b::c" once joined with "::"
        {"a", "b::c"},
        {"", ""},
        {"sp ace", " "},
    };
    for (const auto &e : entries)
        seen->add(e.account, e.id);
    seen->setTm("R&D", "x&y=z@host");
    seen->setSpamCop("a", "b::c");
    seen->dump();
    EXPECT_EQ(lines(folder).size(), qsizetype(std::size(entries)));

    seen->clear();
    EXPECT_FALSE(seen->seen("plain", "a@example.org"));
    ASSERT_TRUE(seen->load().isNull());
    for (const auto &e : entries) {
        SCOPED_TRACE(e.account.toStdString() + " / " + e.id.toStdString());
        EXPECT_TRUE(seen->seen(e.account, e.id));
        EXPECT_EQ(seen->tm(e.account, e.id), e.account == "R&D");
        EXPECT_EQ(seen->spamCop(e.account, e.id), e.account == "a");
    }
    EXPECT_FALSE(seen->seen("a", "b"));
    EXPECT_EQ(lines(folder).first(), "plain&a%40example.org&1700000000&0&0");
}

TEST(VLSeenEmailList, LinesAsTheyMayBeFound) {
    DataFolder folder;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    const struct {
        const char *name;
        QByteArray line;
        const char *account;
        const char *id;
        bool tm;
        bool spamCop;
    } cases[] = {
        {"all five fields", "acc&id1&1234&1&0\n", "acc", "id1", true, false},
        {"three fields", "acc&id2&1234\n", "acc", "id2", false, false},
        {"four fields", "acc&id3&1234&0\n", "acc", "id3", false, false},
        {"flags as any number", "acc&id4&1&7&-1\n", "acc", "id4", true, true},
        {"flags not numbers", "acc&id5&1&yes&x\n", "acc", "id5", false, false},
        {"no line end at the file's end", "acc&id6&1&0&1", "acc", "id6", false, true},
        {"older encoding, spaces and brackets", "My%20Mail&%3Cm1%40x%3E&1&0&0\n", "My Mail", "<m1@x>", false,
         false},
        {"encoded UTF-8", "J%C3%B6rg&id7&1&0&0\n", "J\xc3\xb6rg", "id7", false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        folder.write("seenemail.vlp", "short&line\n\n" + c.line);
        ASSERT_TRUE(seen->load().isNull());
        const QString account = QString::fromUtf8(c.account);
        const QString id = QString::fromUtf8(c.id);
        EXPECT_TRUE(seen->seen(account, id));
        EXPECT_EQ(seen->tm(account, id), c.tm);
        EXPECT_EQ(seen->spamCop(account, id), c.spamCop);
        EXPECT_FALSE(seen->seen("short", "line")) << "two fields are no entry";
    }

    // An over-long line is passed over; the lines around it still count.
    folder.write("seenemail.vlp",
                 "acc&before&1\n" + QByteArray(VLSeenEmailList::MaxLine, 'x') + "&y&1\nacc&after&1\n");
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_TRUE(seen->seen("acc", "before"));
    EXPECT_TRUE(seen->seen("acc", "after"));
    seen->dump();
    EXPECT_EQ(lines(folder).size(), 2);

    // A line of the longest length is read whole.
    const QByteArray longest = "acc&" + QByteArray(VLSeenEmailList::MaxLine - 11, 'i') + "&1&0&1\n";
    ASSERT_EQ(longest.size(), VLSeenEmailList::MaxLine);
    folder.write("seenemail.vlp", longest);
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_TRUE(seen->spamCop("acc", QString(VLSeenEmailList::MaxLine - 11, u'i')));

    // The same message twice keeps one entry with both lines' reports.
    folder.write("seenemail.vlp", "acc&m&1&1&0\nacc&m&2&0&1\n");
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_TRUE(seen->tm("acc", "m"));
    EXPECT_TRUE(seen->spamCop("acc", "m"));
    seen->dump();
    EXPECT_EQ(lines(folder), QList<QByteArray>{"acc&m&1&1&1"});

    // An empty file is an empty list; no file at all is an error.
    folder.write("seenemail.vlp", "");
    EXPECT_TRUE(seen->load().isNull());
    EXPECT_FALSE(seen->seen("acc", "m"));
    QFile::remove(folder.file("seenemail.vlp"));
    QFile::remove(folder.file("seenemail.bak"));
    EXPECT_EQ(seen->load(), QLatin1String("seenEmail: cannot load"));
}

TEST(VLSeenEmailList, AnEntryTooLongForALineIsNotWritten) {
    DataFolder folder;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->add("acc", "short");
    seen->add("acc", QString(VLSeenEmailList::MaxLine, u'&')); // three bytes each once encoded
    seen->add("acc", "after");
    seen->dump();
    EXPECT_EQ(lines(folder).size(), 2);
    EXPECT_TRUE(seen->seen("acc", QString(VLSeenEmailList::MaxLine, u'&'))) << "still known in this run";
}

TEST(VLSeenEmailList, EntriesAndTheirReports) {
    DataFolder folder;
    FixedClock clock(1000);
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->add("acc", "m1");
    seen->setTm("acc", "m1");
    clock.set(2000);
    seen->add("acc", "m1");
    EXPECT_TRUE(seen->tm("acc", "m1")) << "a second add changes nothing";
    seen->setTm("acc", "nothing");
    seen->setSpamCop("other", "m1");
    EXPECT_FALSE(seen->tm("acc", "nothing"));
    EXPECT_FALSE(seen->spamCop("acc", "nothing"));
    EXPECT_FALSE(seen->seen("other", "m1"));
    EXPECT_FALSE(seen->present("acc", "nothing"));
    seen->dump();
    EXPECT_EQ(lines(folder), QList<QByteArray>{"acc&m1&1000&1&0"});
}

TEST(VLSeenEmailList, AListingDropsTheMessagesNoLongerOnTheServer) {
    DataFolder folder;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    folder.write("seenemail.vlp", "A&a1&1&0&0\nA&a2&1&1&0\nA&a3&1&0&1\nB&b1&1&0&0\n");
    ASSERT_TRUE(seen->load().isNull());

    struct Step {
        const char *name;
        std::function<void()> run;
        QList<QByteArray> written;
    } steps[] = {
        {"a listing that breaks off keeps every entry and its reports",
         [&] {
             seen->loading("A");
             EXPECT_TRUE(seen->present("A", "a1"));
         },
         {"A&a1&1&0&0", "A&a2&1&1&0", "A&a3&1&0&1", "B&b1&1&0&0"}},
        {"a whole listing drops what it did not list, of that account only",
         [&] {
             seen->loading("A");
             seen->present("A", "a3");
             seen->add("A", "a4");
             seen->loaded("A");
         },
         {"A&a3&1&0&1", "B&b1&1&0&0", "A&a4&0&0&0"}},
        {"a listing that starts again forgets the broken one",
         [&] {
             seen->loading("B");
             seen->present("B", "b1");
             seen->loading("B");
             seen->loaded("B");
         },
         {"A&a3&1&0&1", "A&a4&0&0&0"}},
        {"an entry listed again is written again",
         [&] {
             seen->loading("A");
             seen->present("A", "a1");
             seen->present("A", "a3");
             seen->present("A", "a4");
             seen->loaded("A");
         },
         {"A&a1&1&0&0", "A&a3&1&0&1", "A&a4&0&0&0"}},
        {"the end of a listing that never started changes nothing",
         [&] { seen->loaded("A"); },
         {"A&a1&1&0&0", "A&a3&1&0&1", "A&a4&0&0&0"}},
    };
    FixedClock clock(0);
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        step.run();
        seen->dump();
        EXPECT_EQ(lines(folder), step.written);
    }
    // Entries not written are still known in this run, so their rows still show as read.
    EXPECT_TRUE(seen->seen("B", "b1"));
    EXPECT_TRUE(seen->tm("A", "a2"));
}

TEST(VLSeenEmailList, ABadCurrentFileFallsBackWithoutDuplicates) {
    DataFolder folder;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->add("mem", "ory");
    ASSERT_TRUE(QDir().mkpath(folder.file("seenemail.vlp/sub")));
    folder.write("seenemail.bak", "acc&m1&1&0&0\nacc&m2&1&0&0\n");
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_FALSE(seen->seen("mem", "ory")) << "the list is emptied first";
    ASSERT_TRUE(seen->load().isNull());
    ASSERT_TRUE(QDir(folder.file("seenemail.vlp")).removeRecursively());
    seen->dump();
    EXPECT_EQ(lines(folder), (QList<QByteArray>{"acc&m1&1&0&0", "acc&m2&1&0&0"}));
}
