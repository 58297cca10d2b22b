// The seen-message list: its file, and the presence rule that drops the entries of messages
// that have left their server.

#include "data_folder.h"

#include "app/vl_seen_email_list.h"

#include <QDir>

#include <functional>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using apptest::DataFolder;
using apptest::FixedClock;

// The file's lines, sorted (the order of entries is the order of addition).
QList<QByteArray> lines(const DataFolder &folder) {
    QList<QByteArray> out = folder.read(u"seenemail.vlp"_s).split('\n');
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
        {u"plain"_s, u"a@example.org"_s},
        {u"R&D"_s, u"x&y=z@host"_s},
        {u"100%"_s, u"%41%zz%"_s},
        {u"two\nlines"_s, u"cr\r\nlf\n"_s},
        {QString::fromUtf8("Jörg €"), QString::fromUtf8("<😀@例え.jp>")},
        {u"a::b"_s, u"c"_s}, // the same text as account "a" with id "b::c" once joined with "::"
        {u"a"_s, u"b::c"_s},
        {u""_s, u""_s},
        {u"sp ace"_s, u" "_s},
    };
    for (const auto &e : entries)
        seen->add(e.account, e.id);
    seen->setTm(u"R&D"_s, u"x&y=z@host"_s);
    seen->setSpamCop(u"a"_s, u"b::c"_s);
    seen->dump();
    EXPECT_EQ(lines(folder).size(), qsizetype(std::size(entries)));

    seen->clear();
    EXPECT_FALSE(seen->seen(u"plain"_s, u"a@example.org"_s));
    ASSERT_TRUE(seen->load().isNull());
    for (const auto &e : entries) {
        SCOPED_TRACE(e.account.toStdString() + " / " + e.id.toStdString());
        EXPECT_TRUE(seen->seen(e.account, e.id));
        EXPECT_EQ(seen->tm(e.account, e.id), e.account == u"R&D"_s);
        EXPECT_EQ(seen->spamCop(e.account, e.id), e.account == u"a"_s);
    }
    EXPECT_FALSE(seen->seen(u"a"_s, u"b"_s));
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
        folder.write(u"seenemail.vlp"_s, "short&line\n\n" + c.line);
        ASSERT_TRUE(seen->load().isNull());
        const QString account = QString::fromUtf8(c.account);
        const QString id = QString::fromUtf8(c.id);
        EXPECT_TRUE(seen->seen(account, id));
        EXPECT_EQ(seen->tm(account, id), c.tm);
        EXPECT_EQ(seen->spamCop(account, id), c.spamCop);
        EXPECT_FALSE(seen->seen(u"short"_s, u"line"_s)) << "two fields are no entry";
    }

    // An over-long line is passed over; the lines around it still count.
    folder.write(u"seenemail.vlp"_s,
                 "acc&before&1\n" + QByteArray(VLSeenEmailList::MaxLine, 'x') + "&y&1\nacc&after&1\n");
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_TRUE(seen->seen(u"acc"_s, u"before"_s));
    EXPECT_TRUE(seen->seen(u"acc"_s, u"after"_s));
    seen->dump();
    EXPECT_EQ(lines(folder).size(), 2);

    // A line of the longest length is read whole.
    const QByteArray longest = "acc&" + QByteArray(VLSeenEmailList::MaxLine - 11, 'i') + "&1&0&1\n";
    ASSERT_EQ(longest.size(), VLSeenEmailList::MaxLine);
    folder.write(u"seenemail.vlp"_s, longest);
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_TRUE(seen->spamCop(u"acc"_s, QString(VLSeenEmailList::MaxLine - 11, u'i')));

    // The same message twice keeps one entry with both lines' reports.
    folder.write(u"seenemail.vlp"_s, "acc&m&1&1&0\nacc&m&2&0&1\n");
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_TRUE(seen->tm(u"acc"_s, u"m"_s));
    EXPECT_TRUE(seen->spamCop(u"acc"_s, u"m"_s));
    seen->dump();
    EXPECT_EQ(lines(folder), QList<QByteArray>{"acc&m&1&1&1"});

    // An empty file is an empty list; no file at all is an error.
    folder.write(u"seenemail.vlp"_s, "");
    EXPECT_TRUE(seen->load().isNull());
    EXPECT_FALSE(seen->seen(u"acc"_s, u"m"_s));
    QFile::remove(folder.file(u"seenemail.vlp"_s));
    QFile::remove(folder.file(u"seenemail.bak"_s));
    EXPECT_EQ(seen->load(), QLatin1String("seenEmail: cannot load"));
}

TEST(VLSeenEmailList, AnEntryTooLongForALineIsNotWritten) {
    DataFolder folder;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->add(u"acc"_s, u"short"_s);
    seen->add(u"acc"_s, QString(VLSeenEmailList::MaxLine, u'&')); // three bytes each once encoded
    seen->add(u"acc"_s, u"after"_s);
    seen->dump();
    EXPECT_EQ(lines(folder).size(), 2);
    EXPECT_TRUE(seen->seen(u"acc"_s, QString(VLSeenEmailList::MaxLine, u'&'))) << "still known in this run";
}

TEST(VLSeenEmailList, EntriesAndTheirReports) {
    DataFolder folder;
    FixedClock clock(1000);
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->add(u"acc"_s, u"m1"_s);
    seen->setTm(u"acc"_s, u"m1"_s);
    clock.set(2000);
    seen->add(u"acc"_s, u"m1"_s);
    EXPECT_TRUE(seen->tm(u"acc"_s, u"m1"_s)) << "a second add changes nothing";
    seen->setTm(u"acc"_s, u"nothing"_s);
    seen->setSpamCop(u"other"_s, u"m1"_s);
    EXPECT_FALSE(seen->tm(u"acc"_s, u"nothing"_s));
    EXPECT_FALSE(seen->spamCop(u"acc"_s, u"nothing"_s));
    EXPECT_FALSE(seen->seen(u"other"_s, u"m1"_s));
    EXPECT_FALSE(seen->present(u"acc"_s, u"nothing"_s));
    seen->dump();
    EXPECT_EQ(lines(folder), QList<QByteArray>{"acc&m1&1000&1&0"});
}

TEST(VLSeenEmailList, AListingDropsTheMessagesNoLongerOnTheServer) {
    DataFolder folder;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    folder.write(u"seenemail.vlp"_s, "A&a1&1&0&0\nA&a2&1&1&0\nA&a3&1&0&1\nB&b1&1&0&0\n");
    ASSERT_TRUE(seen->load().isNull());

    struct Step {
        const char *name;
        std::function<void()> run;
        QList<QByteArray> written;
    } steps[] = {
        {"a listing that breaks off keeps every entry and its reports",
         [&] {
             seen->loading(u"A"_s);
             EXPECT_TRUE(seen->present(u"A"_s, u"a1"_s));
         },
         {"A&a1&1&0&0", "A&a2&1&1&0", "A&a3&1&0&1", "B&b1&1&0&0"}},
        {"a whole listing drops what it did not list, of that account only",
         [&] {
             seen->loading(u"A"_s);
             seen->present(u"A"_s, u"a3"_s);
             seen->add(u"A"_s, u"a4"_s);
             seen->loaded(u"A"_s);
         },
         {"A&a3&1&0&1", "B&b1&1&0&0", "A&a4&0&0&0"}},
        {"a listing that starts again forgets the broken one",
         [&] {
             seen->loading(u"B"_s);
             seen->present(u"B"_s, u"b1"_s);
             seen->loading(u"B"_s);
             seen->loaded(u"B"_s);
         },
         {"A&a3&1&0&1", "A&a4&0&0&0"}},
        {"an entry listed again is written again",
         [&] {
             seen->loading(u"A"_s);
             seen->present(u"A"_s, u"a1"_s);
             seen->present(u"A"_s, u"a3"_s);
             seen->present(u"A"_s, u"a4"_s);
             seen->loaded(u"A"_s);
         },
         {"A&a1&1&0&0", "A&a3&1&0&1", "A&a4&0&0&0"}},
        {"the end of a listing that never started changes nothing",
         [&] { seen->loaded(u"A"_s); },
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
    EXPECT_TRUE(seen->seen(u"B"_s, u"b1"_s));
    EXPECT_TRUE(seen->tm(u"A"_s, u"a2"_s));
}

TEST(VLSeenEmailList, ABadCurrentFileFallsBackWithoutDuplicates) {
    DataFolder folder;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->add(u"mem"_s, u"ory"_s);
    ASSERT_TRUE(QDir().mkpath(folder.file(u"seenemail.vlp/sub"_s)));
    folder.write(u"seenemail.bak"_s, "acc&m1&1&0&0\nacc&m2&1&0&0\n");
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_FALSE(seen->seen(u"mem"_s, u"ory"_s)) << "the list is emptied first";
    ASSERT_TRUE(seen->load().isNull());
    ASSERT_TRUE(QDir(folder.file(u"seenemail.vlp"_s)).removeRecursively());
    seen->dump();
    EXPECT_EQ(lines(folder), (QList<QByteArray>{"acc&m1&1&0&0", "acc&m2&1&0&0"}));
}

TEST(VLSeenEmailList, AHalfWrittenFileIsRemovedAtLoadAndNeverRead) {
    DataFolder folder;
    // A kill in the middle of writing left the new file; the current one is whole.
    folder.write(u"seenemail.vlp"_s, "acc&whole&1&0&0\n");
    folder.write(u"seenemail.new"_s, "acc&whole&1&0&0\nacc&ha");
    folder.write(u"other.new"_s, "not the list's");
    VLSeenEmailList *seen = VLSeenEmailList::self();
    ASSERT_TRUE(seen->load().isNull());
    EXPECT_FALSE(folder.exists(u"seenemail.new"_s));
    EXPECT_EQ(folder.read(u"other.new"_s), "not the list's");
    EXPECT_TRUE(seen->seen(u"acc"_s, u"whole"_s));
    EXPECT_FALSE(seen->seen(u"acc"_s, u"ha"_s));
}
