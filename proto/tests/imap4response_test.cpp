// The IMAP client's reading on its own: a line parsed into the value the state machine acts
// on, and a server's bytes cut into lines and literals. Every stream is fed whole, line by
// line and one byte at a time (a cut between CR and LF included): the pieces must not
// depend on the cut.

#include "IMAP4Framer.h"
#include "IMAP4Response.h"

#include "TestNames.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <limits>
#include <ostream>

// Test failures print Qt texts as text.
inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &l, std::ostream *os) {
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}

namespace {

using K = IMAP4Response::Kind;
using S = IMAP4Response::Status;

// ---------------------------------------------------------------- one line

struct LineCase {
    std::string name;
    IMAP4Response want; // want.line is the line parsed
    bool afterLiteral = false;
};

void PrintTo(const LineCase &c, std::ostream *os) {
    *os << c.name;
}

// An expected value, field by field: Want("* 2 EXISTS", K::Untagged).data(2, "EXISTS").
struct Want {
    IMAP4Response r;
    Want(const char *line, K kind) {
        r.line = line;
        r.kind = kind;
    }
    Want &tag(const char *t) {
        r.tag = t;
        return *this;
    }
    Want &status(S s) {
        r.status = s;
        return *this;
    }
    Want &code(const char *name, const char *argument = "") {
        r.code = name;
        r.codeArgument = argument;
        return *this;
    }
    Want &data(qint64 number, const char *keyword) {
        r.number = number;
        r.keyword = keyword;
        return *this;
    }
    Want &keyword(const char *keyword) {
        r.keyword = keyword;
        return *this;
    }
    Want &uid(const char *uid) {
        r.uid = uid;
        return *this;
    }
    Want &size(qint64 octets) {
        r.size = octets;
        return *this;
    }
    Want &flags(const char *list) {
        r.flags = list;
        return *this;
    }
    Want &literal(qint64 size) {
        r.literal = size;
        return *this;
    }
    operator IMAP4Response() const { return r; }
};

std::vector<LineCase> lineCases() {
    return {
        {"greeting", Want("* OK IMAP ready", K::Untagged).status(S::Ok)},
        {"greeting with a code", Want("* OK [CAPABILITY IMAP4rev1 IDLE] ready", K::Untagged)
                                     .status(S::Ok)
                                     .code("CAPABILITY", "IMAP4rev1 IDLE")},
        {"uid validity",
         Want("* OK [UIDVALIDITY 7] UIDs valid", K::Untagged).status(S::Ok).code("UIDVALIDITY", "7")},
        {"code without its end is none", Want("* OK [ALERT oops", K::Untagged).status(S::Ok)},
        {"bye", Want("* BYE logging out", K::Untagged).status(S::Bye)},
        {"preauth", Want("* PREAUTH welcome", K::Untagged).status(S::Preauth)},
        {"exists", Want("* 2 EXISTS", K::Untagged).data(2, "EXISTS")},
        {"blanks and tabs between words", Want("*  \t17   Exists", K::Untagged).data(17, "EXISTS")},
        {"capability", Want("* CAPABILITY IMAP4rev1 IDLE", K::Untagged).keyword("CAPABILITY")},
        {"fetch names its uid", Want("* 1 FETCH (UID 21 FLAGS ())", K::Untagged).data(1, "FETCH").uid("21")},
        {"lower case, the uid last, its size before it",
         Want("* 1 fetch (flags (\\Seen) rfc822.size 100 uid 11)", K::Untagged)
             .data(1, "FETCH")
             .uid("11")
             .size(100)
             .flags("\\Seen")},
        {"size after the uid",
         Want("* 7 FETCH (UID 3 RFC822.SIZE 2048)", K::Untagged).data(7, "FETCH").uid("3").size(2048)},
        {"size zero", Want("* 1 FETCH (RFC822.SIZE 0 UID 4)", K::Untagged).data(1, "FETCH").uid("4").size(0)},
        {"a size too long to be one is none",
         Want("* 1 FETCH (UID 4 RFC822.SIZE 1234567890123456789)", K::Untagged).data(1, "FETCH").uid("4")},
        {"a size without digits is none",
         Want("* 1 FETCH (UID 4 RFC822.SIZE NIL)", K::Untagged).data(1, "FETCH").uid("4")},
        {"words that only end in RFC822.SIZE are no size",
         Want("* 1 FETCH (UID 4 XRFC822.SIZE 9)", K::Untagged).data(1, "FETCH").uid("4")},
        {"a size outside a fetch response is not kept",
         Want("* 4 EXPUNGE RFC822.SIZE 9", K::Untagged).data(4, "EXPUNGE")},
        {"fetch names its flags", Want("* 3 FETCH (UID 5 FLAGS ( \\Deleted \\Seen ))", K::Untagged)
                                      .data(3, "FETCH")
                                      .uid("5")
                                      .flags("\\Deleted \\Seen")},
        {"a word that only ends in FLAGS names none",
         Want("* 3 FETCH (XFLAGS (\\Deleted) UID 7)", K::Untagged).data(3, "FETCH").uid("7")},
        {"flags without their end are none",
         Want("* 3 FETCH (UID 7 FLAGS (\\Deleted", K::Untagged).data(3, "FETCH").uid("7")},
        {"the mailbox's flags are no message's",
         Want("* FLAGS (\\Answered \\Deleted)", K::Untagged).keyword("FLAGS")},
        {"words that only end or begin in UID are no uid",
         Want("* 3 FETCH (XUID 5 UIDNEXT 6)", K::Untagged).data(3, "FETCH")},
        {"a uid outside a fetch response is not kept",
         Want("* 4 EXPUNGE UID 9", K::Untagged).data(4, "EXPUNGE")},
        {"fetch with a literal", Want("* 2 FETCH (UID 12 RFC822.SIZE 27 BODY[]<0> {27}", K::Untagged)
                                     .data(2, "FETCH")
                                     .uid("12")
                                     .size(27)
                                     .literal(27)},
        {"non-synchronising literal",
         Want("* 1 FETCH (BODY[] {5+}", K::Untagged).data(1, "FETCH").literal(5)},
        {"empty literal", Want("* 1 FETCH (BODY[] {0}", K::Untagged).data(1, "FETCH").literal(0)},
        {"braces without a size", Want("* 1 FETCH (BODY[] {}", K::Untagged).data(1, "FETCH")},
        {"size with a blank", Want("* 1 FETCH (BODY[] { 5}", K::Untagged).data(1, "FETCH")},
        {"size too long to be one",
         Want("* 1 FETCH (BODY[] {1234567890123456789}", K::Untagged).data(1, "FETCH")},
        {"count too long to hold reads as the largest",
         Want("* 1234567890123456789 EXISTS", K::Untagged)
             .data(std::numeric_limits<qint64>::max(), "EXISTS")},
        {"digits and more are a keyword", Want("* 12ab EXISTS", K::Untagged).keyword("12AB")},
        {"completion", Want("00000002 OK [READ-WRITE] Select completed", K::Tagged)
                           .tag("00000002")
                           .status(S::Ok)
                           .code("READ-WRITE")},
        {"refusal in lower case", Want("00000004 no [SERVERBUG] Internal error", K::Tagged)
                                      .tag("00000004")
                                      .status(S::No)
                                      .code("SERVERBUG")},
        {"bad", Want("a1 BAD what", K::Tagged).tag("a1").status(S::Bad)},
        {"a tagged line announces no literal",
         Want("00000001 OK {3}", K::Tagged).tag("00000001").status(S::Ok)},
        {"preauth is no completion", Want("00000001 PREAUTH x", K::Tagged).tag("00000001")},
        {"a word that begins with OK is no status", Want("00000001 OKAY", K::Tagged).tag("00000001")},
        {"garbage is a tagged line without a status",
         Want("endless-endless-", K::Tagged).tag("endless-endless-")},
        {"empty line", Want("", K::Tagged)},
        {"continuation", Want("+ PDE4OTYuNjk3MTcwOTUyQHBvc3Q+", K::Continuation)},
        {"a continuation announces no literal", Want("+ {3}", K::Continuation)},
        {"rest after a literal", Want(" FLAGS (\\Seen))", K::AfterLiteral), true},
        {"rest after a literal that looks like a completion", Want("00000004 OK", K::AfterLiteral), true},
        {"rest announcing another literal", Want(" BODY[TEXT] {10}", K::AfterLiteral).literal(10), true},
    };
}

class IMAP4ResponseParse : public ::testing::TestWithParam<LineCase> {};

TEST_P(IMAP4ResponseParse, GivesTheValue) {
    const LineCase &c = GetParam();
    EXPECT_EQ(IMAP4Response::parse(c.want.line, c.afterLiteral), c.want);
}

INSTANTIATE_TEST_SUITE_P(Lines, IMAP4ResponseParse, ::testing::ValuesIn(lineCases()), vltest::RowName());

TEST(IMAP4ResponseWords, AFlagOrACapabilityIsAWholeWordInAnyCase) {
    struct Row {
        const char *list;
        const char *word;
        bool holds;
    };
    const Row rows[] = {
        {"\\Seen \\Deleted", "\\Deleted", true},
        {"\\seen \\deleted", "\\Deleted", true},
        {"\\Deleted-Later", "\\Deleted", false},
        {"X\\Deleted", "\\Deleted", false},
        {"", "\\Deleted", false},
        {"IMAP4rev1 LITERAL+ UIDPLUS IDLE", "UIDPLUS", true},
        {"IMAP4rev1\tuidplus", "UIDPLUS", true},
        {"IMAP4rev1 XUIDPLUS UIDPLUSX", "UIDPLUS", false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.list);
        EXPECT_EQ(IMAP4Response::listsCapability(r.list, r.word), r.holds);
        IMAP4Response fetch;
        fetch.flags = r.list;
        EXPECT_EQ(fetch.hasFlag(r.word), r.holds);
    }
}

// ---------------------------------------------------------------- a stream of bytes

struct StreamCase {
    std::string name;
    QByteArray bytes;
    // "line <text>", "rest <text>" (the rest of a response after a literal) and "literal
    // <bytes>", in order.
    QStringList pieces;
    qint64 literalLeft = 0; // still owed at the end
};

void PrintTo(const StreamCase &c, std::ostream *os) {
    *os << c.name;
}

std::vector<StreamCase> streamCases() {
    const QByteArray endless(70000, 'x');
    return {
        {"lines end in CR LF or LF",
         "* OK ready\r\n00000001 OK done\n",
         {QStringLiteral("line * OK ready"), QStringLiteral("line 00000001 OK done")}},
        {"a CR inside a line stays", "* OK a\rb\r\n", {QStringLiteral("line * OK a\rb")}},
        {"a literal and the rest of its response",
         "* 1 FETCH (UID 3 BODY[] {5}\r\nhello)\r\n00000004 OK\r\n",
         {QStringLiteral("line * 1 FETCH (UID 3 BODY[] {5}"), QStringLiteral("literal hello"),
          QStringLiteral("rest )"), QStringLiteral("line 00000004 OK")}},
        {"line ends inside a literal are data",
         "* 1 FETCH (BODY[] {12}\r\nab\r\n.\r\n\r\nc\r\n)\r\n",
         {QStringLiteral("line * 1 FETCH (BODY[] {12}"), QStringLiteral("literal ab\r\n.\r\n\r\nc\r\n"),
          QStringLiteral("rest )")}},
        {"a literal ending just before the line end",
         "* 1 FETCH (BODY[] {3}\r\nabc\r\n",
         {QStringLiteral("line * 1 FETCH (BODY[] {3}"), QStringLiteral("literal abc"),
          QStringLiteral("rest ")}},
        {"an empty literal",
         "* 1 FETCH (BODY[] {0}\r\n)\r\n",
         {QStringLiteral("line * 1 FETCH (BODY[] {0}"), QStringLiteral("rest )")}},
        {"two literals in one response",
         "* 1 FETCH (BODY[HEADER] {3}\r\nabc BODY[TEXT] {2}\r\nxy)\r\n* 2 EXISTS\r\n",
         {QStringLiteral("line * 1 FETCH (BODY[HEADER] {3}"), QStringLiteral("literal abc"),
          QStringLiteral("rest  BODY[TEXT] {2}"), QStringLiteral("literal xy"), QStringLiteral("rest )"),
          QStringLiteral("line * 2 EXISTS")}},
        {"a non-synchronising literal",
         "* 1 FETCH (BODY[] {2+}\r\nok)\r\n",
         {QStringLiteral("line * 1 FETCH (BODY[] {2+}"), QStringLiteral("literal ok"),
          QStringLiteral("rest )")}},
        {"a completion's braces announce nothing",
         "00000001 OK {3}\r\nabc\r\n",
         {QStringLiteral("line 00000001 OK {3}"), QStringLiteral("line abc")}},
        {"a continuation's braces announce nothing",
         "+ {3}\r\n* OK x\r\n",
         {QStringLiteral("line + {3}"), QStringLiteral("line * OK x")}},
        {"an unfinished line waits", "* OK ready\r\n* OK par", {QStringLiteral("line * OK ready")}},
        {"a literal cut short leaves the rest owed",
         "* 1 FETCH (BODY[] {10}\r\nabc",
         {QStringLiteral("line * 1 FETCH (BODY[] {10}"), QStringLiteral("literal abc")},
         7},
        {"an endless line comes in bounded pieces",
         endless + "\r\n* OK after\r\n",
         {QStringLiteral("line ") + QString(32000, u'x'), QStringLiteral("line ") + QString(32000, u'x'),
          QStringLiteral("line ") + QString(6000, u'x'), QStringLiteral("line * OK after")}},
    };
}

enum class Cut { Whole, Lines, Bytes };

struct Played {
    QStringList pieces;
    QList<IMAP4Response> lines;
    qint64 literalLeft = 0;
};

Played play(const QByteArray &bytes, Cut cut) {
    IMAP4Framer framer;
    Played out;
    auto drain = [&] {
        for (;;) {
            const IMAP4Framer::Item item = framer.next();
            if (item == IMAP4Framer::Item::None)
                return;
            if (item == IMAP4Framer::Item::Literal) {
                const QString bytesRead = QString::fromLatin1(framer.literal());
                // One literal may arrive in several pieces: it is one piece of the stream.
                if (!out.pieces.isEmpty() && out.pieces.last().startsWith(QStringLiteral("literal ")))
                    out.pieces.last() += bytesRead;
                else
                    out.pieces.append(QStringLiteral("literal ") + bytesRead);
                continue;
            }
            const IMAP4Response &r = framer.response();
            out.lines.append(r);
            out.pieces.append((r.kind == IMAP4Response::Kind::AfterLiteral ? QStringLiteral("rest ")
                                                                           : QStringLiteral("line ")) +
                              QString::fromLatin1(r.line));
        }
    };
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype n = bytes.size() - pos;
        if (cut == Cut::Bytes) {
            n = 1;
        } else if (cut == Cut::Lines) {
            const qsizetype lf = bytes.indexOf('\n', pos);
            n = lf < 0 ? bytes.size() - pos : lf + 1 - pos;
        }
        framer.feed(bytes.constData() + pos, n);
        pos += n;
        drain();
    }
    out.literalLeft = framer.literalLeft();
    return out;
}

class IMAP4FramerStream : public ::testing::TestWithParam<StreamCase> {};

TEST_P(IMAP4FramerStream, CutsTheSameWhateverTheCut) {
    const StreamCase &c = GetParam();
    const Played whole = play(c.bytes, Cut::Whole);
    EXPECT_EQ(whole.pieces, c.pieces);
    EXPECT_EQ(whole.literalLeft, c.literalLeft);
    for (Cut cut : {Cut::Lines, Cut::Bytes}) {
        SCOPED_TRACE(cut == Cut::Lines ? "line by line" : "byte by byte");
        const Played p = play(c.bytes, cut);
        EXPECT_EQ(p.pieces, whole.pieces);
        EXPECT_EQ(p.lines, whole.lines);
        EXPECT_EQ(p.literalLeft, whole.literalLeft);
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, IMAP4FramerStream, ::testing::ValuesIn(streamCases()), vltest::RowName());

TEST(IMAP4FramerReset, ANewConnectionForgetsTheOldOnesLiteralAndLine) {
    IMAP4Framer framer;
    const QByteArray old = "* 1 FETCH (BODY[] {10}\r\nabc";
    framer.feed(old.constData(), old.size());
    while (framer.next() != IMAP4Framer::Item::None) {
    }
    ASSERT_EQ(framer.literalLeft(), 7);
    framer.reset();
    const QByteArray fresh = "* OK ready\r\n";
    framer.feed(fresh.constData(), fresh.size());
    ASSERT_EQ(framer.next(), IMAP4Framer::Item::Line);
    EXPECT_EQ(framer.response(), IMAP4Response::parse("* OK ready"));
    EXPECT_EQ(framer.next(), IMAP4Framer::Item::None);
}

} // namespace
