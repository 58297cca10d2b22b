// The socket layer against a scripted peer on this process's own loopback address: line
// assembly across reads, the full buffer, compaction, end of stream, certificate checks,
// writes to a closed peer and a slow reader, and the time-out scale.

#include "LineClient.h"

#include "ScriptedPeer.h"
#include "ServerProcess.h"
#include "TestCA.h"
#include "TestNames.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString dialogue(const char *name) {
    return QStringLiteral(VL_TEST_DATA_DIR "/dialogues/") + QString::fromLatin1(name) +
           QStringLiteral(".txt");
}

enum class Link { Plain, Tls };

std::string linkName(const ::testing::TestParamInfo<Link> &info) {
    return info.param == Link::Plain ? "Plain" : "Tls";
}

class SSLSocketLink : public ::testing::TestWithParam<Link> {
protected:
    void SetUp() override {
        // Waits of 30 s become 3 s: nothing here times out on purpose, and a loaded machine
        // must not make a handshake time out either.
        SOSSLSocket::setTimeoutScale(0.1);
        if (GetParam() == Link::Tls) {
            const auto &ca = vltest::TestCA::instance();
            peer.setTls(ca.certFile(vltest::TestCA::Good), ca.keyFile(vltest::TestCA::Good));
        }
    }

    void play(const char *name) {
        peer.loadDialogue(dialogue(name));
        ASSERT_TRUE(peer.start());
        client.connectToHost(type(), peer.host(), peer.serverPort());
    }

    SOSSLSocket::SSLType type() const {
        return GetParam() == Link::Tls ? SOSSLSocket::SSLv23 : SOSSLSocket::NoSSL;
    }

    vltest::ScriptedPeer peer;
    LineClient client;
};

TEST_P(SSLSocketLink, AssemblesLinesAcrossReadsAndKeepsABareCR) {
    play("socket_line_assembly");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.eofCalls > 0 || !client.errors.isEmpty(); }, 20000));
    EXPECT_TRUE(client.errors.isEmpty()) << client.errors.join(u'|').toStdString();
    const QList<QByteArray> want{"split over many reads", "bare\rCR stays", "", "LF only",
                                 QByteArray("nul\0inside", 10)};
    EXPECT_EQ(client.lines, want);
    EXPECT_TRUE(client.atEOF());
    // The unterminated tail stays buffered; the owner hears of the end once per read.
    QByteArray rest;
    EXPECT_FALSE(client.readLine(rest));
    EXPECT_EQ(client.available(), int(qstrlen("tail without end")));
}

TEST_P(SSLSocketLink, AFullBufferWithoutLineEndComesAsOneUntrimmedLine) {
    play("socket_full_buffer");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.eofCalls > 0; }, 20000));
    ASSERT_EQ(client.lines.size(), 2);
    EXPECT_EQ(client.lines[0], QByteArray(SOSSLSocket::kBufferSize, 'a'));
    EXPECT_EQ(client.lines[1], QByteArray("\rb"));
}

TEST_P(SSLSocketLink, MovesUntakenBytesToTheFrontWhenTheBufferFills) {
    client.hold = true;
    play("socket_compaction");
    // Nothing is taken until the buffer is full and the reader stops.
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.available() == SOSSLSocket::kBufferSize; }, 20000));
    QList<QByteArray> got;
    QByteArray line;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            while (client.readLine(line))
                got.append(line);
            return got.size() == 3;
        },
        20000));
    EXPECT_EQ(got[0], QByteArray(20000, 'x'));
    EXPECT_EQ(got[1], QByteArray(20000, 'y'));
    EXPECT_EQ(got[2], QByteArray("last"));
}

TEST_P(SSLSocketLink, APeerThatHangsUpIsSeenOnceAsEndOfStream) {
    play("socket_hang_up");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.eofCalls > 0; }, 20000));
    QTest::qWait(100);
    EXPECT_EQ(client.eofCalls, 1);
    EXPECT_EQ(client.lines, QList<QByteArray>{"bye"});
    EXPECT_TRUE(client.errors.isEmpty());
}

TEST_P(SSLSocketLink, WritingToAPeerThatHungUpNeitherKillsNorSucceeds) {
    // Default SIGPIPE disposition: a write that raised it would end the test binary.
    auto old = std::signal(SIGPIPE, SIG_DFL);
    play("socket_hang_up");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.eofCalls > 0; }, 20000));
    QTest::qWait(50);
    bool refused = false;
    for (int i = 0; i < 20 && !refused; ++i) {
        refused = !client.writeCommand(QStringLiteral("NOOP"), {}, 60);
        QTest::qWait(10);
    }
    std::signal(SIGPIPE, old);
    EXPECT_TRUE(refused);
}

TEST_P(SSLSocketLink, AMegabyteGoesOutInPiecesToASlowReader) {
    play("socket_slow_reader");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.isConnected; }, 20000));
    const QByteArray big(1024 * 1024, 'm');
    ASSERT_TRUE(client.writeData(big, {}, 60));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.lines.isEmpty() || !client.errors.isEmpty(); }, 60000));
    EXPECT_TRUE(client.errors.isEmpty()) << client.errors.join(u'|').toStdString();
    EXPECT_EQ(client.lines, QList<QByteArray>{"done"});
    EXPECT_EQ(peer.rawBytes(), big.size() + 2);
}

TEST_P(SSLSocketLink, ACommandHoldingALineEndIsRefusedUnsent) {
    play("socket_slow_reader");
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.isConnected; }, 20000));
    for (const QString &bad : {QStringLiteral("USER a\r\nDELE 1"), QStringLiteral("PASS a\nb"),
                               QStringLiteral("PASS a") + QChar(0) + QStringLiteral("b")}) {
        EXPECT_FALSE(client.writeCommand(bad, {}, 60));
    }
    // A batch of pipelined commands: only whole CR LF lines.
    for (const QByteArray &bad : {QByteArray("TOP 1 200\r\nTOP 2\n200\r\n"), QByteArray("TOP 1\r200\r\n"),
                                  QByteArray("TOP 1 200"), QByteArray("TOP 1\0 200\r\n", 12), QByteArray()}) {
        EXPECT_FALSE(client.writeCommands(bad, {}, 60)) << bad.toStdString();
    }
    EXPECT_TRUE(client.error().isEmpty());
    EXPECT_FALSE(client.timeoutActive());
}

INSTANTIATE_TEST_SUITE_P(Links, SSLSocketLink, ::testing::Values(Link::Plain, Link::Tls), linkName);

// ---------------------------------------------------------------- connecting

TEST(SSLSocketConnect, ANameThatDoesNotResolveIsHostNotFound) {
    LineClient client;
    client.connectToHost(SOSSLSocket::NoSSL, QStringLiteral("no-such-host.invalid"), 110);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.errors.isEmpty(); }, 30000));
    EXPECT_EQ(client.errors, QStringList{QStringLiteral("Host not found")});
    EXPECT_EQ(client.linkState(), 0);
}

TEST(SSLSocketConnect, APortWithoutListenerCannotBeConnected) {
    // Bind and close: the port is free and nothing listens on it.
    quint16 port = 0;
    {
        QTcpServer s;
        ASSERT_TRUE(s.listen(vltest::ownLoopbackAddress(), 0));
        port = s.serverPort();
    }
    LineClient client;
    client.connectToHost(SOSSLSocket::NoSSL, vltest::ownLoopbackAddress().toString(), port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.errors.isEmpty(); }, 20000));
    EXPECT_EQ(client.errors, QStringList{QStringLiteral("Cannot connect to host")});
    EXPECT_EQ(client.linkState(), 0);
}

TEST(SSLSocketConnect, CloseAbandonsAPendingLookup) {
    LineClient client;
    client.connectToHost(SOSSLSocket::NoSSL, QStringLiteral("localhost"), 1);
    client.close();
    QTest::qWait(300);
    EXPECT_EQ(client.linkState(), 0);
    EXPECT_TRUE(client.errors.isEmpty());
    EXPECT_FALSE(client.isConnected);
}

struct CertCase {
    std::string name;
    vltest::TestCA::Kind kind;
    SOSSLSocket::SSLType type;
    bool listenOnLocalhost; // connect by the name "localhost" instead of the address
    QString error;          // empty: the handshake succeeds
};

class SSLSocketCertificates : public ::testing::TestWithParam<CertCase> {};

TEST_P(SSLSocketCertificates, VerifiesChainAndNameOrAddress) {
    const CertCase &c = GetParam();
    const auto &ca = vltest::TestCA::instance();
    vltest::ScriptedPeer peer;
    peer.setTls(ca.certFile(c.kind), ca.keyFile(c.kind));
    peer.setDialogue(QStringLiteral("S: hello\n"));
    if (c.listenOnLocalhost)
        ASSERT_TRUE(peer.listen(QHostAddress::LocalHost, 0));
    else
        ASSERT_TRUE(peer.start());
    LineClient client;
    client.connectToHost(c.type, c.listenOnLocalhost ? QStringLiteral("localhost") : peer.host(),
                         peer.serverPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.lines.isEmpty() || !client.errors.isEmpty(); }, 20000));
    if (c.error.isEmpty()) {
        EXPECT_TRUE(client.errors.isEmpty()) << client.errors.join(u'|').toStdString();
        EXPECT_EQ(client.lines, QList<QByteArray>{"hello"});
        EXPECT_TRUE(client.isSSL());
    } else {
        EXPECT_EQ(client.errors, QStringList{QStringLiteral("Cannot establish SSL connection: ") + c.error});
        EXPECT_FALSE(client.isConnected);
        EXPECT_EQ(client.linkState(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SSLSocketCertificates,
                         ::testing::ValuesIn(std::vector<CertCase>{
                             {"type 1 good", vltest::TestCA::Good, SOSSLSocket::SSLv2, false, {}},
                             {"type 2 good", vltest::TestCA::Good, SOSSLSocket::SSLv3, false, {}},
                             {"type 3 good", vltest::TestCA::Good, SOSSLSocket::SSLv23, false, {}},
                             {"type 4 good", vltest::TestCA::Good, SOSSLSocket::TLSv1, false, {}},
                             {"good by name", vltest::TestCA::Good, SOSSLSocket::SSLv23, true, {}},
                             {"other address", vltest::TestCA::OtherName, SOSSLSocket::SSLv23, false,
                              QStringLiteral("IP address mismatch")},
                             {"other name", vltest::TestCA::OtherName, SOSSLSocket::SSLv23, true,
                              QStringLiteral("hostname mismatch")},
                             {"untrusted", vltest::TestCA::Untrusted, SOSSLSocket::SSLv23, false,
                              QStringLiteral("self-signed certificate")},
                         }),
                         vltest::RowName());

// ---------------------------------------------------------------- time-outs

TEST(SSLSocketTimeout, EveryWaitPassesThroughTheScale) {
    SOSSLSocket::setTimeoutScale(0.001);
    EXPECT_EQ(SOSSLSocket::scaled(0), 0);
    EXPECT_EQ(SOSSLSocket::scaled(60000), 60);
    EXPECT_EQ(SOSSLSocket::scaled(1), 1);
    LineClient client;
    client.setTimeout(60000, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.timeouts == 1; }, 5000));
    client.setTimeout(60000, {});
    client.cancelTimeout();
    QTest::qWait(200);
    EXPECT_EQ(client.timeouts, 1);
    SOSSLSocket::setTimeoutScale(1);
    EXPECT_EQ(SOSSLSocket::scaled(30000), 30000);
}

TEST(SSLSocketTimeout, ReArmingMovesTheDeadlineEitherWay) {
    SOSSLSocket::setTimeoutScale(1);
    LineClient client;
    // A shorter wait after a longer one runs out at the shorter one.
    QElapsedTimer since;
    since.start();
    client.setTimeout(60000, {});
    client.setTimeout(100, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.timeouts == 1; }, 5000));
    EXPECT_LT(since.elapsed(), 5000);
    EXPECT_FALSE(client.timeoutActive());
    // Re-armed before it runs out, it waits the whole new wait from then on, and once: the
    // first deadline, 400 ms after the re-arm, passes without a time-out. A loaded machine may
    // oversleep past that deadline before the re-arm; then the time-out has come and the step
    // is tried again.
    bool rearmed = false;
    int before = client.timeouts;
    for (int attempt = 0; attempt < 5 && !rearmed; ++attempt) {
        before = client.timeouts;
        client.setTimeout(1000, {});
        QTest::qWait(600);
        rearmed = client.timeouts == before;
        if (rearmed) {
            since.start();
            client.setTimeout(1000, {});
        }
    }
    ASSERT_TRUE(rearmed) << "never re-armed before the first deadline";
    EXPECT_TRUE(client.timeoutActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.timeouts == before + 1; }, 5000));
    EXPECT_GE(since.elapsed(), 990);
    QTest::qWait(300);
    EXPECT_EQ(client.timeouts, before + 1);
}

TEST(SSLSocketError, AnEmptyTextIsStoredWithoutSignal) {
    LineClient client;
    QSignalSpy spy(&client, &SOSSLSocket::sigError);
    client.setError(QStringLiteral("x"), false);
    client.setError(QString(), true);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(client.error().isEmpty());
    client.setError(QStringLiteral("y"), true);
    EXPECT_EQ(spy.count(), 1);
}

TEST(SSLSocketError, ServerTextIsCleanedAndCut) {
    const QString zeds(200, QLatin1Char('Z'));
    const QString ellipsis(QChar(0x2026));
    const QByteArray smiley("\xf0\x9f\x98\x80");
    struct Row {
        const char *name;
        QByteArray bytes;
        QString shown;
    };
    const Row rows[] = {
        {"plain text as it is", "-ERR mailbox locked", QStringLiteral("-ERR mailbox locked")},
        {"control bytes",
         QByteArray("a\0b\x01"
                    "c\x7f\td\x1b[31m",
                    13),
         QStringLiteral("a?b?c??d?[31m")},
        {"UTF-8 read as such", "caf\xc3\xa9", QStringLiteral("caf\u00e9")},
        {"C1 controls", "x\xc2\x85y\xc2\x9bz", QStringLiteral("x?y?z")},
        {"invalid sequences", "caf\xe9 \xff", QStringLiteral("caf? ?")},
        {"200 characters kept whole", zeds.toLatin1(), zeds},
        {"201 cut", zeds.toLatin1() + "Z", zeds + ellipsis},
        {"10 MB cut", QByteArray(10 * 1024 * 1024, 'Z'), zeds + ellipsis},
        {"characters, not bytes or units", smiley.repeated(300),
         QString::fromUtf8(smiley.repeated(200)) + ellipsis},
    };
    for (const Row &row : rows)
        EXPECT_EQ(SOSSLSocket::serverText(row.bytes), row.shown) << row.name;
}

} // namespace
