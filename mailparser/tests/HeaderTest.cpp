#include "Header.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace MailParser;

namespace {

Header headerOf(std::initializer_list<std::string> lines) {
    Header h;
    for (const std::string &l : lines)
        h.inputLine(l);
    return h;
}

std::vector<std::string> names(const std::vector<const HeaderField *> &fields) {
    std::vector<std::string> out;
    for (const HeaderField *f : fields)
        out.push_back(f->name());
    return out;
}

} // namespace

TEST(Header, FieldLinesSplitAtFirstColon) {
    struct Case {
        const char *line;
        bool accepted;
        const char *name;
        const char *value;
    };
    const Case cases[] = {
        {"Subject:  hello", true, "Subject", "hello"},
        {"Subject : hello", true, "Subject ", "hello"},
        {"X-Time: 12:30:00", true, "X-Time", "12:30:00"},
        {"Empty:", true, "Empty", ""},
        {"Tabbed:\t\t value \t", true, "Tabbed", "value \t"},
        {": no name", false, "", ""},
        {"no colon at all", false, "", ""},
        {" Leading: blank before any field", true, " Leading", "blank before any field"},
        {" no colon and leading blank", false, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Header h;
        EXPECT_EQ(h.inputLine(c.line), c.accepted);
        const auto fields = h.getFields();
        if (!c.accepted) {
            EXPECT_TRUE(fields.empty());
            continue;
        }
        ASSERT_EQ(fields.size(), 1u);
        EXPECT_EQ(fields[0]->name(), c.name);
        EXPECT_EQ(fields[0]->value(), c.value);
    }
    Header h;
    EXPECT_TRUE(h.inputLine(""));
    EXPECT_TRUE(h.getFields().empty());
}

TEST(Header, ContinuationLinesKeepTheirFoldingInTheRawValue) {
    const Header h = headerOf({"Subject: one", " two", "\tthree", "To: x"});
    const HeaderField *s = h.findFirstField("subject");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->value(), "one\r\n two\r\n\tthree");
    EXPECT_EQ(s->unfoldedValue(), "one two\tthree");
    EXPECT_EQ(HeaderField::unfoldValue(" \r\n a\r\n\tb \r\n"), "a\tb");
    EXPECT_EQ(HeaderField::unfoldValue("a\rb\nc"), "a\rb\nc"); // only CR LF pairs go
    EXPECT_EQ(h.rewrite(), "Subject: one\r\n two\r\n\tthree\r\nTo: x\r\n");
}

TEST(Header, LookupIgnoresCaseAndKeepsOrderOfAddition) {
    Header h = headerOf({"Received: a", "X-B: 1", "received: b", "X-A: 2", "RECEIVED: c",
                         "Content-Type: text/plain", "content-transfer-encoding: 8bit"});
    h.addField("Received", "front", true);

    ASSERT_NE(h.findFirstField("RECEIVED"), nullptr);
    EXPECT_EQ(h.findFirstField("rEcEiVeD")->value(), "a"); // first added, though "front" stands first
    EXPECT_EQ(h.findFirstField("Missing"), nullptr);
    EXPECT_EQ(h.countFields("received"), 4u);
    EXPECT_EQ(h.countFields("receive"), 0u);

    std::vector<std::string> values;
    for (const HeaderField *f : std::as_const(h).findFields("Received", true))
        values.push_back(f->value());
    EXPECT_EQ(values, (std::vector<std::string>{"a", "b", "c", "front"}));

    EXPECT_EQ(names(std::as_const(h).findFields("x-", false)), (std::vector<std::string>{"X-A", "X-B"}));
    EXPECT_EQ(names(std::as_const(h).findFields("CONTENT-", false)),
              (std::vector<std::string>{"content-transfer-encoding", "Content-Type"}));
    EXPECT_EQ(std::as_const(h).getFields().front()->value(), "front");

    EXPECT_TRUE(h.anyFields("x-a", true));
    EXPECT_FALSE(h.anyFields("x-", true));
    EXPECT_TRUE(h.anyFields("x-", false));
    EXPECT_FALSE(h.anyFields("y", false));
}

TEST(Header, RemovingFields) {
    Header h =
        headerOf({"Content-Type: a", "X: 1", "CONTENT-ID: b", "x: 2", "content-type: c", "X: 3", "Other: o"});
    EXPECT_EQ(h.removeFields("x", true), 1); // three removed, reported as one
    EXPECT_EQ(h.countFields("x"), 0u);
    EXPECT_EQ(h.removeFields("x", true), 0);
    EXPECT_EQ(h.removeFields("Content-", false), 3);
    EXPECT_EQ(h.rewrite(), "Other: o\r\n");

    Header d = headerOf({"Content-Type: first", "Subject: s1", "content-type: second", "Content-ID: id",
                         "Subject: s2", "CONTENT-TYPE: third"});
    d.removeDuplicateFields("content-");
    EXPECT_EQ(d.countFields("content-type"), 1u);
    EXPECT_EQ(d.findFirstField("content-type")->value(), "third");
    EXPECT_EQ(d.countFields("content-id"), 1u);
    EXPECT_EQ(d.countFields("subject"), 2u); // outside the prefix: untouched
}

TEST(Header, RemovingInvalidFieldNames) {
    Header h = headerOf({"Good: 1", "Bad Name: 2", "Tab\tName: 3", "\xE4rger: 4", "Fine-Too: 5"});
    EXPECT_EQ(h.removeInvalidFields(), 3);
    EXPECT_EQ(names(std::as_const(h).getFields()), (std::vector<std::string>{"Good", "Fine-Too"}));
    EXPECT_EQ(h.countFields("fine-too"), 1u);
}

TEST(Header, TruncatingLongLines) {
    Header h = headerOf({"Subject: 0123456789", " abcdefghijklmnop", "To: short", "X-Very-Long-Name: v"});
    EXPECT_EQ(h.truncateLongLines(12), 2);
    EXPECT_EQ(h.findFirstField("subject")->value(), "012\r\n abcdefghijk");
    EXPECT_EQ(h.findFirstField("to")->value(), "short");
    EXPECT_EQ(h.findFirstField("x-very-long-name"), nullptr);
    const HeaderField *cut = h.findFirstField("x-very-lon");
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->name(), "X-Very-Lon");
    EXPECT_EQ(cut->value(), "");

    // Many fields of one name are renamed in one pass; the index stays consistent.
    Header many;
    for (int i = 0; i < 20000; ++i)
        many.inputLine("Received: r" + std::to_string(i));
    EXPECT_EQ(many.truncateLongLines(5), 20000);
    EXPECT_EQ(many.countFields("rec"), 20000u);
    EXPECT_EQ(many.findFirstField("REC")->name(), "Rec");
    // Below two bytes there is no room left for any name.
    Header tiny = headerOf({"Ab: c"});
    EXPECT_EQ(tiny.truncateLongLines(1), 1);
    EXPECT_EQ(tiny.countFields(""), 1u);
}

TEST(Header, CopiesHaveTheirOwnIndex) {
    Header a = headerOf({"From: x", "To: y"});
    Header b(a);
    Header c;
    c = a;
    a.removeFields("from", true);
    EXPECT_EQ(a.findFirstField("from"), nullptr);
    ASSERT_NE(b.findFirstField("from"), nullptr);
    ASSERT_NE(c.findFirstField("from"), nullptr);
    EXPECT_EQ(c.rewrite(), "From: x\r\nTo: y\r\n");
    c = c;
    EXPECT_EQ(c.countFields("to"), 1u);
}

TEST(HeaderField, AssignmentRefusedOnceInAHeader) {
    HeaderField loose("A", "1");
    loose = HeaderField("B", "2");
    EXPECT_EQ(loose.name(), "B");

    Header h = headerOf({"From: x"});
    HeaderField *f = h.findFirstField("from");
    EXPECT_THROW(*f = HeaderField("To", "y"), std::runtime_error);
    EXPECT_EQ(f->name(), "From");
    EXPECT_EQ(f->value(), "x");
    HeaderField copy(*f);
    EXPECT_FALSE(copy.isInHeader());
    copy = loose; // a copy is free again
    EXPECT_EQ(copy.name(), "B");
}

TEST(HeaderField, RemoveComments) {
    struct Case {
        const char *in;
        const char *out;
        bool shorter;
    };
    const Case cases[] = {
        {"text/plain (a (nested) comment) ; x=1", "text/plain  ; x=1", true},
        {"a ) b", "a  b", true},
        {"\"(kept)\" (gone)", "\"(kept)\" ", true},
        {"\"esc \\\" (kept)\" x", "\"esc \\\" (kept)\" x", false},
        {"plain value", "plain value", false},
        {"(unclosed comment", "", true},
        {"\"unterminated (x)", "\"unterminated (x)", false},
        {"\"stops at\x01(x)", "\"stops at\x01", true},
        // Raw 8-bit text inside quotes is still inside them.
        {"name=\"R\xE9sum\xE9 (1).txt\" (c)", "name=\"R\xE9sum\xE9 (1).txt\" ", true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        HeaderField f("X", c.in);
        EXPECT_EQ(f.removeComments(), c.shorter);
        EXPECT_EQ(f.value(), c.out);
    }
}

TEST(MessageHeader, IsMIMEMessage) {
    MessageHeader onlyType;
    onlyType.inputLine("CONTENT-TYPE: text/plain");
    EXPECT_TRUE(onlyType.isMIMEMessage());
    MessageHeader version;
    version.inputLine("Mime-Version: 1.0");
    EXPECT_TRUE(version.isMIMEMessage());
    MessageHeader lookalike;
    lookalike.inputLine("MIME-Version-X: 1.0");
    lookalike.inputLine("Contents: none");
    EXPECT_FALSE(lookalike.isMIMEMessage());
}

// Large headers asked many questions switch from scanning to a sorted index; both must give
// the same answers, also after the header changes.
TEST(Header, ScanAndIndexGiveTheSameAnswers) {
    Header h;
    for (int i = 0; i < 40; ++i)
        h.inputLine((i % 3 ? "X-Name-" : "x-NAME-") + std::to_string(i % 7) + ": v" + std::to_string(i));
    h.addField("X-Name-3", "front", true);
    h.addField("Content-Type", "a");

    auto snapshot = [&h] {
        std::string s;
        for (const HeaderField *f : std::as_const(h).findFields("x-name-", false))
            s += f->name() + "=" + f->value() + ";";
        for (const HeaderField *f : std::as_const(h).findFields("X-NAME-3", true))
            s += f->value() + ",";
        s += std::to_string(h.countFields("x-name-3")) + (h.anyFields("content-", false) ? "c" : "-");
        s += h.findFirstField("X-NAME-3")->value();
        return s;
    };
    const std::string first = snapshot();
    for (int round = 0; round < 20; ++round)
        ASSERT_EQ(snapshot(), first) << round;
    EXPECT_TRUE(first.ends_with("v3,v10,v17,v24,v31,v38,front,7cv3")) << first;
    EXPECT_TRUE(first.starts_with("x-NAME-0=v0;X-Name-0=v7;X-Name-0=v14;x-NAME-0=v21;")) << first;

    h.removeDuplicateFields("x-name-");
    EXPECT_EQ(h.countFields("x-name-3"), 1u);
    EXPECT_EQ(h.findFirstField("x-name-3")->value(), "front");
    for (int round = 0; round < 20; ++round)
        ASSERT_EQ(h.findFields("x-name-", false).size(), 7u);
    Header moved(std::move(h));
    for (int round = 0; round < 20; ++round)
        ASSERT_EQ(moved.findFirstField("X-Name-0")->value(), "v35");
    EXPECT_EQ(moved.removeFields("x-name-", false), 7);
    EXPECT_EQ(moved.findFields("x", false).size(), 0u);
}
