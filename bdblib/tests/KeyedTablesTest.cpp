#include "BOBStreams.h"
#include "Cursors.h"
#include "DatabaseException.h"
#include "SequenceGenerator.h"
#include "cpp/Files.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <db.h>
#include <functional>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace BDBLib;

namespace {

BOB b(const std::string &text) {
    return BOB(text);
}

std::string s(const BOB &bob) {
    return bob.toString();
}

std::pair<std::string, std::string> kv(const Record &record) {
    return {s(record.key()), s(record.data())};
}

// Runs body in a child process; its exit status: 0 for success, anything else a failure.
int inChild(const std::function<int()> &body) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (const std::exception &e) {
            std::fprintf(stderr, "child: %s\n", e.what());
            code = 98;
        }
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool lockFileIsFree(const std::string &home) {
    File probe(home + "/env_lock", true, true, true);
    probe.setLockMode(File::LockMode::OpenFileDescription);
    return probe.tryWriteLock();
}

TEST(BOB, ComparesBytesAsSignedValues) {
    EXPECT_TRUE(b("abc") == b("abc"));
    EXPECT_FALSE(b("abc") == b("abd"));
    EXPECT_FALSE(b("ab") == b("abc"));
    EXPECT_TRUE(b("ab") < b("abc"));
    EXPECT_TRUE(b(std::string("\x80", 1)) < b(std::string("\x01", 1))); // -128 < 1
    EXPECT_FALSE(b("b") < b("a"));
    EXPECT_TRUE(b("") < b("a"));
    EXPECT_EQ(BOB(0, nullptr).size(), 0u);
    const BOB copy(b("copied"));
    EXPECT_EQ(s(copy), "copied");
}

TEST(BOB, RecordsCopyAndAssign) {
    Record r(b("k"), b("d"));
    const Record other(3, "key", 4, "data");
    r = other;
    EXPECT_EQ(kv(r), std::make_pair(std::string("key"), std::string("data")));
    Record copy(r);
    EXPECT_EQ(kv(copy), kv(other));
}

TEST(BOBStreams, OutputGrowsByDoubling) {
    BOBOStream out;
    EXPECT_EQ(out.capacity(), 0u);
    EXPECT_EQ(out.getBOB().size(), 0u);
    out << 1u;
    EXPECT_EQ(out.capacity(), 1024u);
    const std::string kilo(1021, 'x');
    out.write_bytes(kilo.data(), kilo.size()); // 1025 bytes
    EXPECT_EQ(out.capacity(), 2048u);
    const std::string more(2048, 'y');
    out.write_bytes(more.data(), more.size()); // 3073 bytes
    EXPECT_EQ(out.capacity(), 4096u);
    const BOB whole = out.getBOB();
    EXPECT_EQ(whole.size(), 3073u);
    out << 'z';
    EXPECT_EQ(whole.size(), 3073u); // a copy of what was written then
}

TEST(BOBStreams, ReadBackInBothOrders) {
    for (bool swap : {false, true}) {
        BOBOStream out(swap);
        out << 0x01020304u << 'c' << std::map<unsigned int, unsigned int>{{5, 6}};
        const BOB bob = out.getBOB();
        EXPECT_EQ(bob.data()[0], swap ? 1 : 4);
        BOBIStream in(bob, swap);
        unsigned int word = 0;
        char c = 0;
        std::map<unsigned int, unsigned int> map;
        in >> word >> c >> map;
        EXPECT_EQ(word, 0x01020304u);
        EXPECT_EQ(c, 'c');
        EXPECT_EQ(map, (std::map<unsigned int, unsigned int>{{5, 6}}));
        try {
            in >> c;
            FAIL();
        } catch (const std::length_error &e) {
            EXPECT_STREQ(e.what(), "attempted to read past the end of the BOB stream");
        }
    }
}

TEST(DatabaseException, CodesChooseTheException) {
    auto textOf = [](int code) {
        try {
            DatabaseException::checkResult(code, "db->get", 0);
        } catch (const DatabaseException &e) {
            EXPECT_EQ(e.getError(), code);
            return std::string(e.what());
        }
        return std::string("no exception");
    };
    EXPECT_TRUE(DatabaseException::checkResult(0, "db->get", 0));
    EXPECT_TRUE(DatabaseException::checkResult(DB_NOTFOUND, "db->get", DB_NOTFOUND));
    EXPECT_THROW(DatabaseException::checkResult(ENOENT, "db->open", 0), TableNotFoundException);
    EXPECT_THROW(DatabaseException::checkResult(DB_NOTFOUND, "db->get", 0), EntryNotFoundException);
    EXPECT_THROW(DatabaseException::checkResult(DB_KEYEMPTY, "db->get", 0), EntryNotFoundException);
    EXPECT_THROW(DatabaseException::checkResult(DB_KEYEXIST, "db->put", 0), KeyViolationException);
    EXPECT_THROW(DatabaseException::checkResult(EINVAL, "db->put", 0), DatabaseException);
    EXPECT_EQ(textOf(DB_NOTFOUND),
              "db->get returned " + std::to_string(DB_NOTFOUND) + ": " + db_strerror(DB_NOTFOUND));
    EXPECT_EQ(textOf(ENOENT), "db->get returned 2: " + Errors::rtlError(ENOENT));
    EXPECT_STREQ(EntryNotFoundException().what(), "entry not found");
}

class KeyedTables : public ::testing::Test {
protected:
    vltest::TempDir dir{"bdb"};
    std::unique_ptr<DatabaseEnvironment> env = std::make_unique<DatabaseEnvironment>(dir.path(), "", true, 0);
    Database database{*env, "tables.db", 0600};
};

TEST_F(KeyedTables, EnvironmentOfTheFirstProcessIsRecreated) {
    EXPECT_TRUE(env->wasRecreated());
    EXPECT_EQ(env->expandFilename("x.db"), dir.path() + "/x.db");
    EXPECT_EQ(env->expandFilename("/abs.db"), "/abs.db");
    env->close();
    env->close(); // a second close does nothing
    EXPECT_THROW(Table(database, BaseTable::BTREE, "t", false, true), DatabaseException);

    DatabaseEnvironment withData(dir.path(), "data", false, 256 * 1024);
    EXPECT_FALSE(withData.wasRecreated());
    EXPECT_EQ(withData.expandFilename("x.db", true), dir.path() + "/data/x.db");
}

TEST_F(KeyedTables, UniqueKeysInBothTableTypes) {
    for (BaseTable::TableType type : {BaseTable::BTREE, BaseTable::HASH}) {
        Table table(database, type, type == BaseTable::BTREE ? "btree" : "hash", false, true);
        EXPECT_EQ(table.name(), std::string("tables.db:") + (type == BaseTable::BTREE ? "btree" : "hash"));
        table.insert(b("one"), b("1"));
        table.insert(b("two"), b("2"));
        EXPECT_THROW(table.insert(b("one"), b("again")), KeyViolationException);
        EXPECT_EQ(s(table.get(b("one"))), "1");
        table.put(b("one"), b("uno"));
        EXPECT_EQ(s(table.get(b("one"))), "uno");
        EXPECT_TRUE(table.exists(b("two")));
        EXPECT_FALSE(table.exists(b("three")));
        EXPECT_THROW((void)table.get(b("three")), EntryNotFoundException);
        table.erase(b("two"));
        EXPECT_FALSE(table.exists(b("two")));
        EXPECT_THROW(table.erase(b("two")), EntryNotFoundException);
        table.put(b(""), BOB(0, nullptr)); // empty key and data are values like any other
        EXPECT_EQ(table.get(b("")).size(), 0u);
        EXPECT_FALSE(table.isByteSwapped());
        table.sync();
        EXPECT_EQ(table.clear(), 2u);
        EXPECT_FALSE(table.exists(b("one")));
        table.close();
        EXPECT_THROW((void)table.get(b("one")), DatabaseException);
    }
}

TEST_F(KeyedTables, DataSurvivesReopening) {
    {
        Table table(database, BaseTable::BTREE, "kept", false, true);
        table.put(b("k"), b("v"));
    }
    Table again(database, BaseTable::BTREE, "kept", true, false);
    EXPECT_EQ(s(again.get(b("k"))), "v");
    EXPECT_THROW(again.put(b("k"), b("w")), DatabaseException); // read-only
    EXPECT_THROW(Table(database, BaseTable::BTREE, "never-created", false, false), TableNotFoundException);
}

TEST_F(KeyedTables, CursorsWalkInKeyOrder) {
    Table table(database, BaseTable::BTREE, "walk", false, true);
    for (const char *key : {"c", "a", "d", "b"}) {
        table.put(b(key), b(std::string(key) + "!"));
    }
    {
        TableCursor cursor(table, false);
        std::string keys;
        for (Record r = cursor.first();; r = cursor.next()) {
            keys += s(r.key());
            EXPECT_EQ(s(r.data()), s(r.key()) + "!");
            if (keys.size() == 4) {
                break;
            }
        }
        EXPECT_EQ(keys, "abcd");
        EXPECT_THROW(cursor.next(), EntryNotFoundException);
        EXPECT_EQ(kv(cursor.last()), std::make_pair(std::string("d"), std::string("d!")));
        EXPECT_EQ(s(cursor.prev().key()), "c");
        EXPECT_EQ(s(cursor.get().key()), "c");
        EXPECT_EQ(s(cursor.seek(b("b")).data()), "b!");
        EXPECT_THROW(cursor.seek(b("zz")), EntryNotFoundException);
        EXPECT_EQ(s(cursor.seek(b("a"), b("a!")).key()), "a");
        EXPECT_THROW(cursor.seek(b("a"), b("other")), EntryNotFoundException);
        EXPECT_EQ(s(cursor.first().key()), "a");
        EXPECT_THROW(cursor.prev(), EntryNotFoundException);
    }
    {
        TableCursor writer(table, true);
        writer.seek(b("b"));
        writer.replaceData(b("B"));
        writer.seek(b("c"));
        writer.erase();
        writer.put(b("e"), b("e!"));
        EXPECT_EQ(s(writer.get().key()), "e");
        writer.close();
        EXPECT_THROW(writer.first(), DatabaseException);
    }
    EXPECT_EQ(s(table.get(b("b"))), "B");
    EXPECT_FALSE(table.exists(b("c")));
    EXPECT_EQ(s(table.get(b("e"))), "e!");
}

TEST_F(KeyedTables, DuplicateKeysKeepTheirOrder) {
    DuplicatesTable table(database, BaseTable::BTREE, "dups", false, true);
    table.insert(b("k"), b("2"));
    table.insert(b("k"), b("4"));
    table.insert(b("m"), b("x"));
    EXPECT_THROW(table.insertNoDuplicateKeys(b("k"), b("9")), KeyViolationException);
    table.insertNoDuplicateKeys(b("n"), b("y"));
    {
        DuplicatesTableCursor cursor(table, true);
        cursor.seek(b("k"));
        EXPECT_EQ(cursor.getDuplicatesCount(), 2u);
        cursor.insertBefore(b("1")); // before "2", cursor on the new record
        EXPECT_EQ(s(cursor.get().data()), "1");
        cursor.seek(b("k"), b("2"));
        cursor.insertAfter(b("3"));
        cursor.insertFirstForKey(b("k"), b("0"));
        cursor.insertLastForKey(b("k"), b("5"));
    }
    DuplicatesTableCursor cursor(table, false);
    std::string values = s(cursor.seek(b("k")).data());
    try {
        for (;;) {
            values += s(cursor.nextDup().data());
        }
    } catch (const EntryNotFoundException &) {
    }
    EXPECT_EQ(values, "012345");
    EXPECT_EQ(cursor.getDuplicatesCount(), 6u);
    EXPECT_EQ(kv(cursor.nextNotDup()), std::make_pair(std::string("m"), std::string("x")));
    EXPECT_EQ(kv(cursor.prevNotDup()), std::make_pair(std::string("k"), std::string("5")));
    EXPECT_EQ(s(cursor.first().data()), "0");
    EXPECT_EQ(s(cursor.nextNotDup().key()), "m");
    EXPECT_EQ(s(cursor.nextNotDup().key()), "n");
    EXPECT_THROW(cursor.nextNotDup(), EntryNotFoundException);
}

// Index of the first letter of the data; throws for data "fail".
class FirstLetter : public IExtractSecondaryKey {
public:
    BOB extractSecondaryKey(const BOB &, const BOB &data) override {
        if (s(data) == "fail") {
            throw std::runtime_error("cannot index this");
        }
        return BOB(1, data.data());
    }
};

TEST_F(KeyedTables, IndexesFollowThePrimary) {
    FirstLetter extractor;
    Table people(database, BaseTable::BTREE, "people", false, true);
    people.put(b("1"), b("alice"));
    people.put(b("2"), b("bob"));
    UniqueIndex byInitial(database, BaseTable::BTREE, "people_unique", people, extractor, false, true);
    NonUniqueIndex byLetter(database, BaseTable::HASH, "people_letter", people, extractor, false, true);

    // Made from the records already there, then kept up to date.
    EXPECT_EQ(kv(byInitial.getP(b("b"))), std::make_pair(std::string("2"), std::string("bob")));
    people.put(b("3"), b("carol"));
    EXPECT_EQ(kv(byInitial.getP(b("c"))), std::make_pair(std::string("3"), std::string("carol")));
    EXPECT_THROW(people.put(b("4"), b("cindy")), DatabaseException); // unique index refuses a second "c"
    EXPECT_FALSE(people.exists(b("4")));
    people.erase(b("2"));
    EXPECT_THROW((void)byInitial.getP(b("b")), EntryNotFoundException);

    testing::internal::CaptureStderr();
    EXPECT_THROW(people.put(b("5"), b("fail")), DatabaseException);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot index this"), std::string::npos);
    EXPECT_FALSE(people.exists(b("5")));

    byInitial.close(); // now several records may share a letter
    people.put(b("4"), b("cindy"));
    people.put(b("6"), b("dave"));
    NonUniqueIndexCursor cursor(byLetter, false);
    EXPECT_EQ(kv(cursor.seekP(b("c"))).second.substr(0, 1), "c");
    const std::string first = s(cursor.getP().data());
    const std::string second = s(cursor.nextDupP().data());
    EXPECT_EQ(std::set<std::string>({first, second}), (std::set<std::string>{"carol", "cindy"}));
    EXPECT_THROW(cursor.nextDupP(), EntryNotFoundException);
    EXPECT_EQ(s(cursor.seek(b("d")).data()), "dave"); // secondary key with primary data
    std::set<std::string> all;
    for (Record r = cursor.firstP();; r = cursor.nextNotDupP()) {
        all.insert(s(r.data()).substr(0, 1));
        if (all.size() == 3) {
            break;
        }
    }
    EXPECT_EQ(all, (std::set<std::string>{"a", "c", "d"}));
    EXPECT_THROW(cursor.nextNotDupP(), EntryNotFoundException);
    EXPECT_NO_THROW(cursor.lastP());
    EXPECT_NO_THROW(cursor.prevNotDupP());
}

TEST_F(KeyedTables, ClosingOutOfOrderClosesWhatDependsOnIt) {
    // Berkeley DB frees a table's cursors with the table and leaves tables unusable after
    // their environment: the objects must not touch those handles again.
    auto table = std::make_unique<Table>(database, BaseTable::BTREE, "order", false, true);
    table->put(b("k"), b("v"));
    auto cursor = std::make_unique<TableCursor>(*table, false);
    cursor->first();
    table.reset();
    EXPECT_THROW(cursor->next(), DatabaseException);
    cursor.reset();

    Table first(database, BaseTable::BTREE, "order", false, false);
    DuplicatesTable second(database, BaseTable::HASH, "more", false, true);
    DuplicatesTableCursor open(second, false);
    env->close();
    EXPECT_THROW((void)first.get(b("k")), DatabaseException);
    EXPECT_THROW(open.first(), DatabaseException);
    EXPECT_THROW(Table(database, BaseTable::BTREE, "order", false, false), DatabaseException);
}

TEST_F(KeyedTables, SequencesCountFromOne) {
    {
        SequenceGenerator ids(database, "ids");
        EXPECT_EQ(ids.name(), "tables.db:ids_sequence");
        EXPECT_EQ(ids.peek(), 0u);
        EXPECT_EQ(ids.getNext(), 1u);
        EXPECT_EQ(ids.getNext(), 2u);
        EXPECT_EQ(ids.peek(), 2u);
        ids.sync();
        const BOB stored = ids.get(b("value"));
        ASSERT_EQ(stored.size(), 4u);
        unsigned int value = 0;
        std::memcpy(&value, stored.data(), 4);
        EXPECT_EQ(value, 2u); // this machine's order: the file was made here
    }
    SequenceGenerator reopened(database, "ids");
    EXPECT_EQ(reopened.getNext(), 3u);

    reopened.put(b("value"), b("abc"));
    try {
        (void)reopened.getNext();
        FAIL();
    } catch (const DatabaseException &e) {
        EXPECT_STREQ(e.what(), "invalid sequence data");
        EXPECT_EQ(e.getError(), EINVAL);
    }
    EXPECT_THROW((void)reopened.peek(), DatabaseException);
}

TEST_F(KeyedTables, RemovedTablesAreGone) {
    { Table(database, BaseTable::BTREE, "doomed", false, true).put(b("k"), b("v")); }
    { Table(database, BaseTable::BTREE, "kept", false, true).put(b("k"), b("v")); }
    BaseTable::removeTable(database, "doomed");
    EXPECT_THROW(Table(database, BaseTable::BTREE, "doomed", false, false), TableNotFoundException);
    EXPECT_EQ(s(Table(database, BaseTable::BTREE, "kept", false, false).get(b("k"))), "v");

    Database missing(*env, "missing.db", 0600);
    try {
        BaseTable::removeTable(missing, "t");
        FAIL();
    } catch (const TableNotFoundException &e) {
        EXPECT_STREQ(e.what(), "database file/table not found: missing.db:t");
    }
}

TEST_F(KeyedTables, DumpToolListsTheSubTables) {
    if (!vltest::haveProgram("db5.3_dump")) {
        GTEST_SKIP() << "db5.3_dump is not installed";
    }
    {
        Table alpha(database, BaseTable::BTREE, "alpha", false, true);
        alpha.put(b("k"), b("v"));
        DuplicatesTable beta(database, BaseTable::HASH, "beta", false, true);
        beta.insert(b("k"), b("1"));
        SequenceGenerator ids(database, "ids");
        (void)ids.getNext();
    }
    env->close();
    const vltest::CommandResult listed = vltest::runCommand({"db5.3_dump", "-l", dir.file("tables.db")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "alpha\nbeta\nids_sequence\n");
    const vltest::CommandResult dumped =
        vltest::runCommand({"db5.3_dump", "-p", "-s", "alpha", dir.file("tables.db")});
    ASSERT_EQ(dumped.exitCode, 0) << dumped.err;
    EXPECT_NE(dumped.out.find("type=btree"), std::string::npos);
    EXPECT_NE(dumped.out.find(" k\n v\n"), std::string::npos) << dumped.out;
}

TEST_F(KeyedTables, SecondProcessSharesTheEnvironment) {
    {
        Table table(database, BaseTable::BTREE, "shared", false, true);
        table.put(b("parent"), b("1"));
        table.sync();
    }
    const std::string home = dir.path();
    const int status = inChild([&] {
        if (lockFileIsFree(home)) {
            return 1; // the parent's shared lock must hold
        }
        DatabaseEnvironment childEnv(home, "", true, 0);
        if (childEnv.wasRecreated()) {
            return 2;
        }
        Database childDb(childEnv, "tables.db", 0600);
        Table table(childDb, BaseTable::BTREE, "shared", false, false);
        if (s(table.get(b("parent"))) != "1") {
            return 3;
        }
        table.put(b("child"), b("2"));
        table.close();
        childEnv.close();
        return 0;
    });
    EXPECT_EQ(status, 0);
    Table table(database, BaseTable::BTREE, "shared", false, false);
    EXPECT_EQ(s(table.get(b("child"))), "2");
    table.close();
    env->close();
    EXPECT_TRUE(lockFileIsFree(home));
}

TEST_F(KeyedTables, SecondHandleInOneProcessNeitherRecreatesNorReleases) {
    {
        Table table(database, BaseTable::BTREE, "t", false, true);
        table.put(b("k"), b("v"));
    }
    {
        DatabaseEnvironment second(dir.path(), "", true, 0);
        EXPECT_FALSE(second.wasRecreated());
        Database db2(second, "tables.db", 0600);
        EXPECT_EQ(s(Table(db2, BaseTable::BTREE, "t", false, false).get(b("k"))), "v");
    }
    // The first environment's shared lock outlives the second handle.
    const std::string home = dir.path();
    EXPECT_EQ(inChild([&] { return lockFileIsFree(home) ? 1 : 0; }), 0);
    env->close();
    EXPECT_EQ(inChild([&] { return lockFileIsFree(home) ? 0 : 1; }), 0);
}

TEST_F(KeyedTables, NextFirstProcessRecreatesTheEnvironment) {
    {
        Table table(database, BaseTable::BTREE, "t", false, true);
        table.put(b("k"), b("v"));
    }
    env->close();
    DatabaseEnvironment again(dir.path(), "", true, 0);
    EXPECT_TRUE(again.wasRecreated());
    Database db2(again, "tables.db", 0600);
    EXPECT_EQ(s(Table(db2, BaseTable::BTREE, "t", false, false).get(b("k"))), "v"); // data files stay
}

} // namespace
