// Loading a fetched message: header split, unfolding, the header table, derived fields.

#include "data_email.h"
#include "data_email_p.h"
#include "email_fixture.h"

#include "testsupport/TempDir.h"

#include <QDomDocument>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

using vltest::emailFixture;
using vltest::loadMessage;

QString latin1(const char *s) {
    return QString::fromLatin1(s);
}

// The test main runs under the user's locale; make sure it is a UTF-8 one, the case in
// which byte-wise header patterns matter.
class UTF8Locale : public ::testing::Environment {
public:
    void SetUp() override { std::setlocale(LC_ALL, "C.UTF-8"); }
};
const auto *const utf8Env = ::testing::AddGlobalTestEnvironment(new UTF8Locale);

} // namespace

TEST(SODataArray, AppendsBytesAndStringsAndStopsTextAtNul) {
    SODataArray a;
    EXPECT_TRUE(a.isEmpty());
    a.append(QByteArray("ab\0cd", 5));
    a.append("ef");
    EXPECT_EQ(a.size(), 7);
    EXPECT_EQ(QByteArray(a), QByteArray("ab\0cdef", 7));
    EXPECT_EQ(a.string(), QStringLiteral("ab"));

    SODataArray b;
    b.append(QByteArray("caf\xe9"));
    EXPECT_EQ(b.string(), QString::fromUtf8("café"));
    b.clear();
    EXPECT_EQ(b.size(), 0);
    b.append(static_cast<const char *>(nullptr));
    EXPECT_EQ(b.size(), 0);
}

TEST(DataEmailMessage, LoadsEveryFieldOfAFullMessage) {
    const DataEmailMessage m = loadMessage(emailFixture("basic.lf.eml"));
    EXPECT_EQ(m.returnpath, latin1("<bounce-42@lists.example.org>"));
    EXPECT_EQ(m.delivto, QStringList({u"first@mail.example.net"_s, u"second.user@mail.example.net"_s}));
    // The last Received line wins; the unfolded line keeps its continuation whitespace.
    EXPECT_EQ(m.recvfrom, latin1("[10.0.0.5] (helo=laptop) by relay.example.org\tfor "
                                 "<list@lists.example.org>; Tue, 3 Mar 2009 10:14:58 +0100"));
    EXPECT_EQ(m.recvfor, QStringList({u"<second.user@mail.example.net>;"_s, u"<list@lists.example.org>;"_s}));
    EXPECT_EQ(m.arrived, latin1("Tue, 3 Mar 2009 10:15:02 +0100 (CET)"));
    EXPECT_EQ(m.from, latin1("\"Anna Smith\" <anna.smith@example.org>"));
    EXPECT_EQ(m.rawFrom, latin1("anna.smith@example.org"));
    EXPECT_EQ(m.to, latin1("Second To <second-to@example.com>"));
    EXPECT_EQ(m.rawTo, latin1("second-to@example.com"));
    EXPECT_EQ(m.cc, latin1("carl@example.com"));
    EXPECT_EQ(m.rawCc, latin1("carl@example.com"));
    EXPECT_EQ(m.replyto, m.from);
    EXPECT_EQ(m.rawReplyto, m.rawFrom);
    EXPECT_EQ(m.subject, latin1("=?ISO-8859-1?Q?R=E9sum=E9?= of the meeting"));
    EXPECT_EQ(m.encSubject, QString::fromUtf8("Résumé of the meeting"));
    EXPECT_EQ(m.encFrom, m.from);
    EXPECT_EQ(m.date, latin1("Tue, 3 Mar 2009 10:14:55 +0100"));
    EXPECT_EQ(m.messageID, latin1("20090303.abc@example.org"));
    EXPECT_EQ(m.identifier(), m.messageID);
    EXPECT_EQ(m.VLMessageID, latin1("{1234-abcd}"));
    EXPECT_EQ(m.contentType, latin1("multipart/mixed;\tboundary=\"=_part_boundary_1\""));
    EXPECT_TRUE(m.attachments);
    EXPECT_EQ(m.length, latin1("321"));
    EXPECT_EQ(m.status, latin1("RO"));
    EXPECT_EQ(m.priority, latin1("urgent"));
    EXPECT_EQ(m.bestTo, latin1("second-to@example.com"));
    EXPECT_EQ(m.showTo(), m.to);
    EXPECT_EQ(m.anonymize, latin1("Subject: =?ISO-8859-1?Q?R=E9sum=E9?= of the meeting\r\n"
                                  "MIME-Version: 1.0\r\n"
                                  "Content-Type: multipart/mixed;\tboundary=\"=_part_boundary_1\"\r\n"
                                  "Content-Length: 321\r\n"));
    EXPECT_TRUE(m.headers.startsWith(latin1("Return-Path: <bounce-42@")));
    EXPECT_TRUE(m.headers.endsWith(latin1("Priority: urgent\n")));
    EXPECT_TRUE(m.body_.startsWith(latin1("This is a multi-part message")));
    EXPECT_EQ(m.body(), latin1("Hello team,\nthe notes are attached.\n\n--=_part_boundary_1\n"
                               "Content-Type: application/pdf; name=\"notes.pdf\"\n"
                               "Content-Transfer-Encoding: base64\n\nJVBERi0xLjQK\n\n"
                               "--=_part_boundary_1--\n"));
    EXPECT_EQ(m.raw.size(), qsizetype(emailFixture("basic.lf.eml").size()));
    EXPECT_TRUE(m.mime.isNull());
    EXPECT_FALSE(m.seen);
}

TEST(DataEmailMessage, CrLfAndLfMessagesLoadTheSameFields) {
    const DataEmailMessage lf = loadMessage(emailFixture("basic.lf.eml"));
    const DataEmailMessage crlf = loadMessage(emailFixture("basic.crlf.eml"));
    QDomDocument d1, d2;
    QDomElement e1 = d1.createElement(u"m"_s), e2 = d2.createElement(u"m"_s);
    lf.store(e1);
    crlf.store(e2);
    const QStringList sameKeys = {
        u"uid"_s,        u"recvfrom"_s,   u"delivto"_s,     u"recvfor"_s,    u"x_envto"_s,  u"x_origto"_s,
        u"resentfrom"_s, u"apparently"_s, u"from"_s,        u"to"_s,         u"cc"_s,       u"replyto"_s,
        u"returnpath"_s, u"subject"_s,    u"date"_s,        u"status"_s,     u"priority"_s, u"arrived"_s,
        u"messageID"_s,  u"length"_s,     u"VLMessageID"_s, u"anonymize"_s,  u"rawTo"_s,    u"rawCc"_s,
        u"rawFrom"_s,    u"rawReplyto"_s, u"bestTo"_s,      u"encSubject"_s, u"encFrom"_s,  u"contentType"_s,
        u"attachments"_s};
    for (const QString &key : sameKeys)
        EXPECT_EQ(e1.attribute(key), e2.attribute(key)) << key.toStdString();
    // The header block keeps the line ends that the message had.
    EXPECT_EQ(crlf.headers, QString(lf.headers).replace(u"\n"_s, u"\r\n"_s));
    EXPECT_EQ(crlf.body(), QString(lf.body()).replace(u"\n"_s, u"\r\n"_s));
}

TEST(DataEmailMessage, EightBitHeadersMatchUnderAUtf8Locale) {
    const DataEmailMessage m = loadMessage(emailFixture("eightbit.eml"));
    EXPECT_EQ(m.from, latin1("Ren\xe9"
                             "e M\xfcller <renee@example.de>"));
    EXPECT_EQ(m.rawFrom, latin1("renee@example.de"));
    // Bytes as received, each one a Latin-1 character.
    EXPECT_EQ(m.to, latin1("\xc3\xa9quipe <equipe@example.fr>"));
    EXPECT_EQ(m.subject, latin1("Gr\xfc\xdf"
                                "e aus K\xf6ln \xe2\x82\xac 100"));
    EXPECT_EQ(m.encSubject, m.subject);
    EXPECT_EQ(m.recvfrom, latin1("host.example (host.example [198.51.100.4])"));
    EXPECT_EQ(m.x_origto, QStringList{u"orig.rcpt@example.de"_s});
    EXPECT_EQ(m.body_, latin1("K\xf6rper\n"));
}

TEST(DataEmailMessage, MissingHeadersLeaveFieldsEmptyAndBestToFallsBack) {
    const DataEmailMessage m = loadMessage(emailFixture("missing.eml"));
    EXPECT_TRUE(m.to.isEmpty());
    EXPECT_TRUE(m.date.isEmpty());
    EXPECT_TRUE(m.messageID.isEmpty());
    EXPECT_FALSE(m.attachments);
    EXPECT_EQ(m.identifier(), latin1("no recipients here_"));
    EXPECT_EQ(m.replyto, latin1("lonely@example.com"));
    EXPECT_EQ(m.rawReplyto, m.rawFrom);
    // X-Original-To comes before Delivered-To; atext keeps the underscore.
    EXPECT_EQ(m.bestTo, latin1("orig_rcpt@example.net"));
    EXPECT_EQ(m.showTo(), m.bestTo);
    EXPECT_EQ(m.body(), latin1("body line\n"));

    // Without X-Original-To the last Delivered-To wins.
    std::string noOrig = emailFixture("missing.eml");
    noOrig.erase(noOrig.find("X-Original-To"), noOrig.find("Delivered-To") - noOrig.find("X-Original-To"));
    EXPECT_EQ(loadMessage(noOrig).bestTo, latin1("last_one@example.net"));

    // Nothing that looks like an address: the bare To value stays.
    EXPECT_EQ(loadMessage("To: undisclosed-recipients:;\n\n").bestTo, latin1("undisclosed-recipients:;"));
    EXPECT_TRUE(loadMessage("").bestTo.isEmpty());
}

TEST(DataEmailMessage, BestToOrderAndAtext) {
    struct Case {
        const char *name;
        const char *header;
        const char *best;
    };
    const Case cases[] = {
        {"to first", "Cc: c@x.org\nTo: t@x.org\n", "t@x.org"},
        {"envelope-to before cc", "Cc: c@x.org\nX-Envelope-To: e@x.org\n", "e@x.org"},
        {"cc before resent", "Resent-From: r@x.org\nCc: c@x.org\n", "c@x.org"},
        {"resent before original", "X-Original-To: o@x.org\nResent-From: r@x.org\n", "r@x.org"},
        {"apparently after delivered", "X-Apparently-To: a@x.org\nDelivered-To: d@x.org\n", "d@x.org"},
        {"received for last", "Received: by h for <f1@x.org>\nReceived: by h for <f2@x.org>\n", "f2@x.org"},
        {"apparently before received", "Received: by h for <f@x.org>\nX-Apparently-To: a@x.org\n", "a@x.org"},
        {"underscore", "To: john_doe@x.org\n", "john_doe@x.org"},
        {"atext specials", "To: <a!b#c$d%e&f'g*h+i/j=k?l^m_n`o{p|q}r~s.t-u@x.org>\n",
         "a!b#c$d%e&f'g*h+i/j=k?l^m_n`o{p|q}r~s.t-u@x.org"},
        {"display name not taken", "To: \"Bob\" <bob@x.org>\n", "bob@x.org"},
        {"to without address falls through", "To: friends:;\nCc: c@x.org\n", "c@x.org"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(loadMessage(std::string(c.header) + "\n").bestTo, latin1(c.best)) << c.name;
}

TEST(DataEmailMessage, HeaderTableEdgeCases) {
    // Folded subject: the continuation's blank stands between the two parts.
    EXPECT_EQ(loadMessage("Subject: one\n two\n\n").subject, latin1("one two"));
    // Tab-folded lines keep the tab; several continuations join in order.
    EXPECT_EQ(loadMessage("Subject: a\n\tb\n  c\n\n").subject, latin1("a\tb  c"));
    // Header names fold case; exactly one blank after the colon is needed.
    EXPECT_EQ(loadMessage("sUbJeCt: x\n\n").subject, latin1("x"));
    EXPECT_TRUE(loadMessage("Subject:x\n\n").subject.isEmpty());
    EXPECT_EQ(loadMessage("Subject:  x\n\n").subject, latin1(" x"));
    // Message-ID: brackets dropped when present, the bare value otherwise.
    EXPECT_EQ(loadMessage("Message-ID: <a@b>\n\n").messageID, latin1("a@b"));
    EXPECT_EQ(loadMessage("Message-Id: plain@b\n\n").messageID, latin1("plain@b"));
    // Content-Length takes the digits only.
    EXPECT_EQ(loadMessage("Content-Length: 12abc\n\n").length, latin1("12"));
    // X-Original-...-To rows.
    EXPECT_EQ(loadMessage("X-Original-Envelope-To: a@b\n\n").x_origto, QStringList{u"a@b"_s});
    // A Received line without "for" and ";" sets only recvfrom.
    const DataEmailMessage r = loadMessage("Received: from a.example by b\n\n");
    EXPECT_EQ(r.recvfrom, latin1("a.example by b"));
    EXPECT_TRUE(r.recvfor.isEmpty());
    EXPECT_TRUE(r.arrived.isEmpty());
    // The first Received line with a ";" sets arrived, a later one does not.
    EXPECT_EQ(loadMessage("Received: by a; one\nReceived: by b; two\n\n").arrived, latin1("one"));
    // A NUL ends a header line early.
    EXPECT_EQ(loadMessage(std::string("Subject: ab\0cd\nTo: t@x\n\n", 24)).subject, latin1("ab"));
    // Every Content-Type line naming a mixed or related multipart sets the flag.
    const struct {
        const char *line;
        bool attachments;
        const char *contentType;
    } ct[] = {
        {"Content-Type:multipart/mixed; boundary=x", true, ""},
        {"Content-Type: multipart/mixed; boundary=x", true, "multipart/mixed; boundary=x"},
        {"content-type: Multipart/Related; type=text/html", true, "Multipart/Related; type=text/html"},
        {"Content-Type: multipart/alternative; boundary=x", false, "multipart/alternative; boundary=x"},
        {"Content-Type: text/plain", false, "text/plain"},
        {"X-Note: Content-Type: multipart/mixed", false, ""},
        {"Subject: Content-Type: multipart/mixed", false, ""},
    };
    for (const auto &c : ct) {
        const DataEmailMessage m = loadMessage(std::string(c.line) + "\n\n");
        EXPECT_EQ(m.attachments, c.attachments) << c.line;
        EXPECT_EQ(m.contentType, latin1(c.contentType)) << c.line;
    }
}

TEST(DataEmailMessage, HeaderBodySplit) {
    // No blank line: every complete line is a header, the unterminated rest the body.
    DataEmailMessage m = loadMessage("Subject: s\nTo: t@x\nrest");
    EXPECT_EQ(m.subject, latin1("s"));
    EXPECT_EQ(m.to, latin1("t@x"));
    EXPECT_EQ(m.headers, latin1("Subject: s\nTo: t@x\n"));
    EXPECT_EQ(m.body_, latin1("rest"));
    EXPECT_EQ(m.body(), latin1("rest"));

    m = loadMessage("Subject: s\nTo: t@x\n");
    EXPECT_EQ(m.headers, latin1("Subject: s\nTo: t@x\n"));
    EXPECT_TRUE(m.body_.isEmpty());

    // A caller that hands over a terminating zero byte: the body stops there.
    m = loadMessage(std::string("Subject: s\r\n\r\nbody\r\n\0", 22));
    EXPECT_EQ(m.body_, latin1("body\r\n"));
    EXPECT_EQ(m.headers, latin1("Subject: s\r\n"));

    // A blank line first: no header at all.
    m = loadMessage("\r\nSubject: not a header\r\n");
    EXPECT_TRUE(m.subject.isEmpty());
    EXPECT_TRUE(m.headers.isEmpty());
    EXPECT_EQ(m.body_, latin1("Subject: not a header\r\n"));

    // A continuation line with no header before it is harmless.
    m = loadMessage(" orphan\nSubject: s\n\n");
    EXPECT_EQ(m.subject, latin1("s"));

    // Raw bytes accumulate over calls; the fields come from the last call.
    DataEmailMessage twice;
    twice.loadEmail(SODataArray(QByteArray("Subject: a\n\n")));
    EXPECT_EQ(twice.raw.size(), 12);
    twice.loadEmail(SODataArray(QByteArray("x")));
    EXPECT_EQ(QByteArray(twice.raw), QByteArray("Subject: a\n\nx"));
}

TEST(DataEmailMessage, BodyFindsTheFirstPart) {
    struct Case {
        const char *name;
        const char *contentType;
        const char *body;
        const char *expected;
    };
    const Case cases[] = {
        {"no content type", "", "--b\r\n\r\npart", "--b\r\n\r\npart"},
        {"no boundary", "text/plain", "--b\r\n\r\npart", "--b\r\n\r\npart"},
        {"quoted boundary", "multipart/mixed; boundary=\"b1\"", "pre\r\n--b1\r\nX: y\r\n\r\npart\r\n--b1--",
         "part\r\n--b1--"},
        {"single-quoted boundary", "multipart/mixed; boundary='b1'", "--b1\r\n\r\npart", "part"},
        {"parameter after boundary", "multipart/mixed; BOUNDARY=b1; charset=x", "--b1\r\n\r\np", "p"},
        {"boundary not in body", "multipart/mixed; boundary=zz", "--b1\r\n\r\np", "--b1\r\n\r\np"},
        {"no empty line after boundary", "multipart/mixed; boundary=b1", "--b1\r\nX: y", "--b1\r\nX: y"},
        {"lf line ends", "multipart/mixed; boundary=b1", "--b1\nX: y\n\npart\n", "part\n"},
    };
    for (const Case &c : cases) {
        DataEmailMessage m;
        m.contentType = latin1(c.contentType);
        m.body_ = latin1(c.body);
        EXPECT_EQ(m.body(), latin1(c.expected)) << c.name;
    }
}

TEST(DataEmailMessage, IdentifierUniqueShowTo) {
    DataEmailMessage m;
    m.uid = u"UID7"_s;
    m.subject = u"Hi"_s;
    m.date = u"Mon"_s;
    EXPECT_EQ(m.identifier(), latin1("Hi_Mon"));
    m.messageID = u"id@x"_s;
    EXPECT_EQ(m.identifier(), latin1("id@x"));
    // The same uid on two accounts names two messages.
    m.account = u"pop3:alice@mail.example"_s;
    DataEmailMessage other = m;
    other.account = u"imap:bob@mail.example"_s;
    EXPECT_EQ(m.unique(), latin1("pop3:alice@mail.example_UID7"));
    EXPECT_NE(m.unique(), other.unique());
    m.bestTo = u"b@x"_s;
    EXPECT_EQ(m.showTo(), latin1("b@x"));
    m.to = u"t@x"_s;
    EXPECT_EQ(m.showTo(), latin1("t@x"));
}

TEST(DataEmailMessage, ClearKeepsRawBytes) {
    DataEmailMessage m = loadMessage(emailFixture("basic.lf.eml"));
    const qsizetype rawSize = m.raw.size();
    m.clear();
    EXPECT_TRUE(m.from.isNull());
    EXPECT_TRUE(m.delivto.isEmpty());
    EXPECT_FALSE(m.attachments);
    EXPECT_EQ(m.raw.size(), rawSize);
}

TEST(DataEmailMessage, XmlRoundTrip) {
    DataEmailMessage m = loadMessage(emailFixture("basic.crlf.eml"));
    m.uid = u"u1"_s;
    m.seen = true;
    m.mime = u"1.0"_s;
    QDomDocument doc;
    QDomElement e = doc.createElement(u"message"_s);
    doc.appendChild(e);
    m.store(e);
    EXPECT_EQ(e.attribute(u"delivto"_s), latin1("first@mail.example.net|second.user@mail.example.net"));
    EXPECT_EQ(e.attribute(u"attachments"_s), latin1("1"));
    EXPECT_EQ(e.attribute(u"seen"_s), latin1("1"));
    EXPECT_FALSE(e.hasAttribute(u"body"_s));
    EXPECT_FALSE(e.firstChildElement(u"headers"_s).isNull());
    EXPECT_FALSE(e.firstChildElement(u"body"_s).isNull());

    QDomDocument reparsed;
    ASSERT_TRUE(reparsed.setContent(doc.toString()));
    const DataEmailMessage r(reparsed.documentElement());
    QStringList errors;
    r.check(reparsed.documentElement(), errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u"\n"_s).toStdString();
    EXPECT_EQ(r.uid, m.uid);
    EXPECT_EQ(r.headers, m.headers);
    EXPECT_EQ(r.body_, m.body_);
    EXPECT_EQ(r.delivto, m.delivto);
    EXPECT_EQ(r.recvfor, m.recvfor);
    EXPECT_EQ(r.encSubject, m.encSubject);
    EXPECT_EQ(r.attachments, m.attachments);
    EXPECT_EQ(r.seen, m.seen);
    EXPECT_TRUE(r.raw.isEmpty());

    // A changed field is reported by check.
    DataEmailMessage changed = r;
    changed.subject = u"other"_s;
    errors.clear();
    changed.check(reparsed.documentElement(), errors);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.first().startsWith(u"subject:"_s));
}

TEST(HeaderTable, RowsAgreeWithTheirExpressions) {
    // Every row against the POSIX expression it stands for, on lines made of the pieces
    // that the rows look for, in any case, with 8-bit bytes among them.
    const char *pieces[] = {"received:",
                            "Received: ",
                            "RECEIVED: from ",
                            "for ",
                            "FoR ",
                            "for",
                            ";",
                            " ",
                            "  ",
                            "\t",
                            "x",
                            "<",
                            ">",
                            "-to: ",
                            "-TO:",
                            "x-original",
                            "X-Original-",
                            "message-id: ",
                            "Message-ID: <",
                            "x-velloran-id: <",
                            "content-length: ",
                            "12",
                            "a1",
                            "content-type: ",
                            "from: ",
                            "to: ",
                            "cc: ",
                            "subject: ",
                            "date: ",
                            "\xe9",
                            "\xff\x80",
                            "delivered-to: ",
                            "x-envelope-to: ",
                            "resent-from: ",
                            "x-apparently-to: ",
                            "reply-to: ",
                            "return-path: ",
                            "status: ",
                            "priority: ",
                            "@"};
    const int nPieces = int(sizeof pieces / sizeof *pieces);
    QList<QByteArray> lines = {"", "Received: from a for <b@c>; Mon", "Message-ID: <a>b>",
                               "Content-Length: ", "X-Original-To: a -to: b"};
    QRandomGenerator rng(20240601);
    for (int i = 0; i < 3000; ++i) {
        QByteArray line;
        const int n = 1 + int(rng.bounded(8));
        for (int k = 0; k < n; ++k)
            line += pieces[rng.bounded(nPieces)];
        lines << line;
    }
    for (int r = 0; r < HeaderTable::RowCount; ++r) {
        const auto row = HeaderTable::Row(r);
        const ExtractHeader expression(HeaderTable::pattern(row));
        for (const QByteArray &line : lines) {
            QByteArray byHand = "unset", byExpression = "unset";
            const bool handMatched = HeaderTable::take(row, line, byHand);
            const bool exprMatched = expression.extract(line, byExpression);
            ASSERT_EQ(handMatched, exprMatched)
                << HeaderTable::pattern(row) << " on [" << line.toStdString() << "]";
            if (handMatched) {
                ASSERT_EQ(byHand, byExpression)
                    << HeaderTable::pattern(row) << " on [" << line.toStdString() << "]";
            }
        }
    }
}

TEST(ExtractHeader, MatchesBytewiseUnderAUtf8Locale) {
    const ExtractHeader subject("^subject: (.*)");
    QString text;
    EXPECT_TRUE(subject.extract(QByteArray("SUBJECT: K\xf6ln \xff end"), text));
    EXPECT_EQ(text, latin1("K\xf6ln \xff end"));
    QStringList list{u"first"_s};
    EXPECT_TRUE(subject.extract(QByteArray("Subject: second"), list));
    EXPECT_EQ(list, QStringList({u"first"_s, u"second"_s}));
    QByteArray bytes = "kept";
    EXPECT_FALSE(subject.extract(QByteArray("Subject:none"), bytes));
    EXPECT_EQ(bytes, QByteArray("kept"));
    // A faulty pattern never matches.
    const ExtractHeader broken("^(unclosed");
    EXPECT_FALSE(broken.extract(QByteArray("(unclosed"), bytes));
}

TEST(DataEmailMessage, RecordFileDropsWhatXmlCannotHold) {
    // Control bytes in a header are kept in memory but cannot go into XML 1.0; the record
    // file drops them and still reads back.
    DataEmailMessage m = loadMessage("Subject: bell\x07 and\x01 vt\x0b\nX-Raw: \x1b[0m\n\nbody\x02\n");
    ASSERT_TRUE(m.subject.contains(QChar(7)));
    vltest::TempDir dir;
    const QString folder = QString::fromStdString(dir.path()) + u"/"_s;
    ASSERT_TRUE(m.saveToFile(u"message"_s, "xml", folder).isNull());
    DataEmailMessage back;
    ASSERT_TRUE(back.loadFromFile(u"message"_s, "xml", folder).isNull());
    EXPECT_EQ(back.subject, latin1("bell and vt"));
    EXPECT_EQ(back.body_, latin1("body\n"));
    EXPECT_EQ(back.headers, latin1("Subject: bell and vt\nX-Raw: [0m\n"));
}
