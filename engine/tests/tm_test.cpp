// The community lookup: the fingerprints and envelopes, the reading of answers, and whole
// requests against a stand-in service that checks the wire format.

#include "LinearPatterns.h"
#include "TMEnvelope.h"
#include "VLTM.h"
#include "VLTMLookup.h"

#include "data/data_email.h"
#include "data/store.h"
#include "data/store_tools.h"

#include "TMServer.h"
#include "TempDir.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

DataEmailMessage message(const QString &uid, const QString &body) {
    const QString text = u"From: a@example.org\nTo: b@example.org\nSubject: offer "_s + uid +
                         u"\nMIME-Version: 1.0\nContent-Type: text/plain\n\n"_s + body;
    DataEmailMessage m;
    m.uid = uid;
    m.account = u"acct"_s;
    m.loadEmail(SODataArray(text.toLatin1()));
    return m;
}

TEST(TMFingerprints, Checksum) {
    struct Case {
        QString text;
        const char *sum;
    };
    const Case cases[] = {
        {QString(), ""},
        {u"A"_s, "65"},
        {u"AB\r\n"_s, "154"},
        {u"\u00ff"_s, "18446744073709551615"}, // -1
        {u"\u00ff\u0001"_s, ""},               // wraps to 0
        {u"\u0100x"_s, "120"},                 // beyond Latin-1 adds nothing
        {u"\u0080"_s, "18446744073709551488"}, // -128
    };
    for (const Case &c : cases)
        EXPECT_EQ(tmChecksum(c.text), QLatin1String(c.sum)) << c.text.toStdString();
}

TEST(TMFingerprints, DigestAndEmptyText) {
    EXPECT_EQ(tmDigest(QString()), u"d41d8cd98f00b204e9800998ecf8427e"_s);
    EXPECT_EQ(tmDigest(u"abc"_s), u"900150983cd24fb0d6963f7d28e17f72"_s);
    // Latin-1 bytes, cut at the first NUL.
    EXPECT_EQ(tmDigest(u"abc\0def"_s), tmDigest(u"abc"_s));
    EXPECT_EQ(tmDigest(u"\u00e9"_s),
              QString::fromLatin1(QCryptographicHash::hash("\xe9", QCryptographicHash::Md5).toHex()));
    const QString entry = tmMakeSignature(0, 8, QString());
    EXPECT_TRUE(entry.contains(u"          <checksum xsi:type=\"xsd:int\"></checksum>\n"_s));
    EXPECT_TRUE(
        entry.contains(u"<digest xsi:type=\"xsd:string\">d41d8cd98f00b204e9800998ecf8427e</digest>"_s));
    EXPECT_EQ(tmSignature(QString()), QString(128, u'0'));
}

TEST(TMFingerprints, SignatureSplitsLinesAtLineFeeds) {
    const QString crlf = u"Subject: cheap pills\r\n\r\nbuy cheap pills online today\r\nbest offer\r\n"_s;
    QString lf = crlf;
    lf.remove(u'\r');
    EXPECT_EQ(tmSignature(crlf), tmSignature(lf));
    EXPECT_NE(tmSignature(crlf), QString(128, u'0'));
    EXPECT_NE(tmSignature(crlf), tmSignature(u"Subject: other\r\n\r\nsomething else entirely\r\n"_s));
}

TEST(TMText, AddressesAreRemovedFromTheTextSent) {
    struct Case {
        QString body;
        QString sent;
    };
    const Case cases[] = {
        {u"write to bob@example.org or O'Neil&co@m\u00fcller.de."_s, u"write to  or ."_s},
        {u"a@b.example, c@d.example\n"_s, u", \n"_s},
        {u"\u00e9l\u00e8ve@\u00e9cole.fr"_s, QString()},
        {u"no at sign here, user@localhost"_s, u"no at sign here, user@localhost"_s},
    };
    for (const Case &c : cases) {
        const DataEmailMessage m = message(u"1"_s, c.body);
        EXPECT_EQ(VLTMLookup::messageText(m), m.anonymize + u"\r\n"_s + c.sent) << c.body.toStdString();
    }
    EXPECT_TRUE(message(u"1"_s, u""_s).anonymize.startsWith(u"Subject: offer 1\r\n"_s) ||
                message(u"1"_s, u""_s).anonymize.contains(u"MIME-Version: 1.0\r\n"_s));
}

// The signature in the envelope is the one the independent reference computes.
TEST(TMEnvelope, CheckEnvelopeIsTheGoldenOne) {
    vltest::TempDir dir("vltm-golden");
    QProcess gen;
    gen.start(u"/usr/bin/python3"_s,
              {QStringLiteral(VL_SOURCE_DIR "/cfsanalysis/tests/signature_reference.py"),
               QString::fromStdString(dir.path()), u"1"_s});
    ASSERT_TRUE(gen.waitForFinished(60000));
    const QStringList lines =
        QString::fromLatin1(gen.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    const QString name = lines.first().section(u' ', 0, 0);
    const QString reference = lines.first().section(u' ', 1, 1);
    const QString text = QString::fromLatin1(
        QByteArray::fromStdString(vltest::readFile(dir.path() + "/" + name.toStdString())));

    const QString expected =
        u"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:cfs=\"urn:tallowmark:gateway\" "
        "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\" "
        "SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">\n"
        "  <SOAP-ENV:Body>\n"
        "    <ns1:contentCheck xmlns:ns1=\"Content\">\n"
        "      <anonymizerVersion xsi:type=\"xsd:int\">101</anonymizerVersion>\n"
        "      <categoriesVersion xsi:type=\"xsd:int\">0</categoriesVersion>\n"
        "      <signatureVersion xsi:type=\"xsd:int\">1027</signatureVersion>\n"
        "      <contentChecks xsi:type=\"SOAP-ENC:Array\" "
        "SOAP-ENC:arrayType=\"cfs:ContentCheckRequestEntry[1]\">\n"
        "        <i>\n"
        "          <requestEntryID xsi:type=\"xsd:int\">0</requestEntryID>\n"
        "          <checksum xsi:type=\"xsd:int\">%1</checksum>\n"
        "          <digest xsi:type=\"xsd:string\">%2</digest>\n"
        "          <signature xsi:type=\"xsd:string\">%3</signature>\n"
        "        </i>\n"
        "      </contentChecks>\n"
        "    </ns1:contentCheck>\n"
        "  </SOAP-ENV:Body>\n"
        "</SOAP-ENV:Envelope>\n"_s.arg(tmChecksum(text), tmDigest(text), reference);
    EXPECT_EQ(tmMakeSOAPRequest(text), expected);
}

TEST(TMEnvelope, UploadEscapesTheText) {
    const QString report = tmMakeSOAPReport(u"a < b & c > d\u0001\r\n\U0001F600"_s);
    EXPECT_TRUE(report.startsWith(u"<SOAP-ENV:Envelope SOAP-ENV:encodingStyle="_s));
    EXPECT_TRUE(report.contains(
        u"      <contentBody xsi:type=\"xsd:string\">a &lt; b &amp; c &gt; d\r\n\U0001F600      </contentBody>\n"_s));
    QXmlStreamReader reader(report);
    QString body;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"contentBody"_s)
            body = reader.readElementText();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(body, u"a < b & c > d\n\U0001F600      "_s);
}

TEST(TMEnvelope, ReadingAnswers) {
    struct Case {
        const char *xml;
        bool found;
    };
    const Case cases[] = {
        {"<r><status>found</status></r>", true},
        {"<r><a:status xmlns:a=\"x\">  FOUND \n</a:status></r>", true},
        {"<r><status>notfound</status><status>Found</status></r>", true},
        {"<r><status>notfound</status></r>", false},
        {"<r><state>found</state></r>", false},
        {"<html><p>status: found<br></html>", false},
        {"<r><status>found</status>", false},
        {"", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(tmGetResponse(QString::fromLatin1(c.xml)), c.found) << c.xml;
}

// --- against the stand-in service ----------------------------------------------------------

class TMService : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static vltest::TempDir dir("vltm");
        Store::setDataDir(QString::fromStdString(dir.path()));
        TMServer::instance();
    }

    void SetUp() override {
        qputenv("VL_TM_HOST", TMServer::instance().host().toLatin1());
        DataToolsTM &tm = StoreTools::tools()->tm;
        tm.account = u"tmuser"_s;
        tm.password = u"tm-pw"_s;
        TMServer::instance().clearRecords();
        ASSERT_FALSE(VLTM::self().busy());
    }

    void TearDown() override {
        // Nothing may be left running for the next test.
        EXPECT_TRUE(QTest::qWaitFor([] { return !VLTM::self().busy(); }, 30000));
    }

    static bool waitIdle(QSignalSpy &busy) {
        return QTest::qWaitFor(
            [&] { return !VLTM::self().busy() && !busy.isEmpty() && !busy.last().at(0).toBool(); }, 30000);
    }
};

TEST_F(TMService, CheckAndUploadOnTheWire) {
    TMServer &server = TMServer::instance();
    const DataEmailMessage known = message(u"known"_s, u"cheap pills from spam@example.net\n"_s);
    const DataEmailMessage spaced = message(u"spaced"_s, u"another offer\n"_s);
    const DataEmailMessage page = message(u"page"_s, u"a page\n"_s);
    const DataEmailMessage unknown = message(u"unknown"_s, u"hello friend\n"_s);
    server.setAnswer(tmDigest(VLTMLookup::messageText(known)), u"found"_s);
    server.setAnswer(tmDigest(VLTMLookup::messageText(spaced)), u"spaced"_s);
    server.setAnswer(tmDigest(VLTMLookup::messageText(page)), u"page"_s);

    QSignalSpy done(&VLTM::self(), &VLTM::sigTMDone);
    QSignalSpy busy(&VLTM::self(), &VLTM::sigBusy);
    for (const DataEmailMessage *m : {&known, &spaced, &page, &unknown})
        VLTM::self().enqueueRequest(*m, false);
    VLTM::self().enqueueRequest(message(u"upload"_s, u"report <this> & that\n"_s), true);
    ASSERT_TRUE(waitIdle(busy));

    QMap<QString, bool> answers;
    for (const QList<QVariant> &args : std::as_const(done))
        answers.insert(args.at(0).toString(), args.at(1).toBool());
    const QMap<QString, bool> expected = {{u"acct_known"_s, true},
                                          {u"acct_spaced"_s, true},
                                          {u"acct_page"_s, false},
                                          {u"acct_unknown"_s, false}};
    EXPECT_EQ(answers, expected);
    EXPECT_EQ(done.count(), 4) << "an upload answers nothing";

    const QList<QJsonObject> records = server.records();
    ASSERT_EQ(records.size(), 5);
    int checks = 0;
    for (const QJsonObject &r : records) {
        EXPECT_TRUE(r.value(u"ok"_s).toBool()) << r.value(u"why"_s).toString().toStdString();
        EXPECT_EQ(r.value(u"accept"_s).toString(), u"text/html, */*"_s);
        if (r.value(u"path"_s).toString() == u"/Upload"_s) {
            EXPECT_EQ(r.value(u"soapaction"_s).toString(), u"\"Upload#uploadContent\""_s);
            const QString content = r.value(u"content"_s).toString();
            EXPECT_TRUE(content.contains(u"report <this> & that"_s)) << content.toStdString();
            EXPECT_TRUE(content.startsWith(u"MIME-Version: 1.0\r\n"_s) ||
                        content.contains(u"Subject: offer upload"_s));
        } else {
            ++checks;
            EXPECT_EQ(r.value(u"soapaction"_s).toString(), u"\"Content#contentCheck\""_s);
        }
    }
    EXPECT_EQ(checks, 4);
    // The address was removed before the fingerprints were taken.
    const QString knownText = VLTMLookup::messageText(known);
    EXPECT_FALSE(knownText.contains(u"spam@example.net"_s));
    bool seen = false;
    for (const QJsonObject &r : records)
        seen = seen || (r.value(u"digest"_s).toString() == tmDigest(knownText) &&
                        r.value(u"checksum"_s).toString() == tmChecksum(knownText) &&
                        r.value(u"signature"_s).toString() == tmSignature(knownText));
    EXPECT_TRUE(seen);
}

TEST_F(TMService, FailedChecksAnswerNothingAndDropTheAuthorisation) {
    const DataEmailMessage broken = message(u"broken"_s, u"server error\n"_s);
    TMServer::instance().setAnswer(tmDigest(VLTMLookup::messageText(broken)), u"error"_s);
    QSignalSpy done(&VLTM::self(), &VLTM::sigTMDone);
    QSignalSpy busy(&VLTM::self(), &VLTM::sigBusy);

    // A failed request must not leave an authorisation for the next one.
    const QString stale = u"Authorization: Digest username=\"tmuser\", nonce=\"old\""_s;
    VLTM::self().enqueueRequest(message(u"fine"_s, u"x\n"_s), false);
    ASSERT_TRUE(waitIdle(busy));
    ASSERT_EQ(done.count(), 1);

    VLTM::self().setAuthText(stale);
    VLTM::self().enqueueRequest(broken, false);
    ASSERT_TRUE(waitIdle(busy));
    EXPECT_EQ(done.count(), 1);
    EXPECT_TRUE(VLTM::self().authText().isEmpty());

    // A wrong password: refused, no answer, nothing kept.
    StoreTools::tools()->tm.password = u"wrong"_s;
    VLTM::self().setAuthText(stale);
    VLTM::self().enqueueRequest(message(u"refused"_s, u"x\n"_s), false);
    ASSERT_TRUE(waitIdle(busy));
    EXPECT_EQ(done.count(), 1);
    EXPECT_TRUE(VLTM::self().authText().isEmpty());
}

TEST_F(TMService, SixRunTheRestWaitAndBusyEndsOnce) {
    QSignalSpy done(&VLTM::self(), &VLTM::sigTMDone);
    QSignalSpy busy(&VLTM::self(), &VLTM::sigBusy);
    // The seventh waits, and is taken as the six that start are.
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(
            VLTM::self().enqueueRequest(message(QString::number(i), u"text "_s + QString::number(i)), false));
    EXPECT_EQ(VLTM::self().queued(), 1);
    EXPECT_EQ(busy.count(), 6);
    ASSERT_TRUE(waitIdle(busy));
    EXPECT_EQ(done.count(), 7);
    int ends = 0;
    for (const QList<QVariant> &args : std::as_const(busy))
        ends += args.at(0).toBool() ? 0 : 1;
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(busy.count(), 8); // seven starts and one end

    // cancelAll drops only the waiting ones.
    done.clear();
    for (int i = 0; i < 9; ++i)
        VLTM::self().enqueueRequest(message(u"c"_s + QString::number(i), u"text"_s), false);
    EXPECT_EQ(VLTM::self().queued(), 3);
    VLTM::self().cancelAll();
    EXPECT_EQ(VLTM::self().queued(), 0);
    EXPECT_TRUE(VLTM::self().busy());
    ASSERT_TRUE(QTest::qWaitFor([] { return !VLTM::self().busy(); }, 30000));
    EXPECT_EQ(done.count(), 6);
}

TEST_F(TMService, NoHostStartsNothing) {
    qunsetenv("VL_TM_HOST");
    QSignalSpy busy(&VLTM::self(), &VLTM::sigBusy);
    // Every scanned message asks: the missing host is said once, not once a message. (The
    // only test of this binary without a host, so the first to ask.) The caller learns that
    // nothing was taken: an upload is then not recorded as sent.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(VLTM::self().enqueueRequest(message(u"1"_s, u"x"_s), false));
    EXPECT_FALSE(VLTM::self().enqueueRequest(message(u"2"_s, u"y"_s), true));
    const QString trace = QString::fromStdString(::testing::internal::GetCapturedStderr());
    EXPECT_EQ(trace.count(u"VL_TM_HOST"_s), 1) << trace.toStdString();
    EXPECT_EQ(trace.count(u'\n'), 1) << trace.toStdString();
    EXPECT_FALSE(VLTM::self().busy());
    EXPECT_EQ(busy.count(), 0);
    QTest::qWait(300);
    EXPECT_TRUE(TMServer::instance().records().isEmpty());
}

} // namespace
