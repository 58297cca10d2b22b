// Processing cut short: the program is killed (SIGKILL) while it copies messages whole,
// while the server confirms deletes it has not committed, and right after the server
// committed them, over POP3 and IMAP (with and without UIDPLUS). Each start is a process of
// its own (process_kill_helper) on one data folder against the test's Dovecot. After the
// kill, and again after a restart and a second processing, nothing unmarked has left the
// server and everything that left it has its whole copy in the recycle bin.

#include "DovecotServer.h"
#include "TempDir.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vltest::DovecotServer;

namespace {

// A message file as the server holds it; a long one is longer than what a listing shows
// (POP3: 200 body lines, IMAP: 8000 bytes).
QByteArray messageFile(const QString &subject, bool isLong) {
    const QByteArray s = subject.toLatin1();
    QByteArray file =
        "From: Sender <sender@example.org>\r\nTo: me@example.org\r\nSubject: " + s + "\r\nMessage-ID: <" + s +
        "@example.org>\r\nDate: Mon, 2 Jan 2006 10:20:30 -0800\r\n\r\n" + "Body of " + s + "\r\n";
    if (isLong)
        for (int i = 1; i <= 400; ++i)
            file += "Line " + QByteArray::number(i) + " of a message longer than its listing shows.\r\n";
    return file;
}

// One start of the helper, to its end (or its death).
struct Start {
    QString flagged; // what the listing marked itself
    bool killed = false;
    bool done = false;
    QString output;
};

Start runHelper(const QString &dataDir, const QStringList &args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VL_PROCESS_KILL_HELPER), QStringList{dataDir} + args);
    Start s;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished(5000);
    }
    s.output = QString::fromLocal8Bit(p.readAllStandardOutput());
    s.killed = p.exitStatus() == QProcess::CrashExit;
    for (const QString &line : s.output.split(u'\n')) {
        if (line.startsWith(u"flagged="_s))
            s.flagged = line.mid(8);
        if (line == u"done"_s)
            s.done = true;
    }
    return s;
}

// The subjects of the messages a maildir holds, each with whether its file is unchanged.
QHash<QString, QByteArray> onServer(const QString &maildir) {
    QHash<QString, QByteArray> out;
    for (const vltest::MaildirFile &file : vltest::maildirFiles(maildir))
        out.insert(file.subject, file.bytes);
    return out;
}

TEST(KilledProcessing, NothingUnmarkedGoesAndWhatWentHasItsWholeCopy) {
    struct Row {
        const char *name;
        const char *protocol;
        const char *settings; // the user's own server settings
        const char *stage;
        bool committed;          // the kill came after the server removed the marked messages
        QString flaggedAfter;    // what the restarted listing marks itself
        QStringList unmarkAfter; // what the user unmarks after the restart
    };
    const char *const noUidPlus = "userdb_imap_capability=IMAP4rev1";
    const Row rows[] = {
        {"POP3 while copying", "pop3", "", "copy:2", false, {}, {}},
        // POP3 commits only with QUIT: a killed session deleted nothing.
        {"POP3 during the deletes", "pop3", "", "delete:2", false, {}, {}},
        {"POP3 after the commit", "pop3", "", "commit", true, {}, {}},
        {"IMAP while copying", "imap", "", "copy:2", false, {}, {}},
        // With UIDPLUS the flags left behind are the user's again to decide on: shown as
        // they are, and removed only by a deleting session that asks for them.
        {"IMAP during the deletes", "imap", "", "delete:2", false, {}, {}},
        {"IMAP, a message left flagged and then unmarked", "imap", "", "delete:2", false, {}, {u"M1"_s}},
        {"IMAP after the commit", "imap", "", "commit", true, {}, {}},
        {"IMAP without UIDPLUS while copying", "imap", noUidPlus, "copy:2", false, {}, {}},
        // Without it, CLOSE would take every flagged message: they come up marked.
        {"IMAP without UIDPLUS during the deletes", "imap", noUidPlus, "delete:2", false, u"M1,M2"_s, {}},
        {"IMAP without UIDPLUS, a message left flagged and then unmarked",
         "imap",
         noUidPlus,
         "delete:2",
         false,
         u"M1,M2"_s,
         {u"M1"_s}},
        {"IMAP without UIDPLUS after the commit", "imap", noUidPlus, "commit", true, {}, {}},
    };
    const QStringList marked{u"M1"_s, u"M2"_s, u"M3"_s, u"M4"_s};
    struct File {
        QString subject;
        bool isLong;
    };
    const QList<File> files{{u"M1"_s, true}, {u"M2"_s, true}, {u"M3"_s, false},
                            {u"M4"_s, true}, {u"U1"_s, true}, {u"U2"_s, false}};

    DovecotServer &server = DovecotServer::instance();
    int serial = 0;
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const QString user = u"killed%1"_s.arg(++serial);
        server.addUser(user, u"pw"_s, QLatin1String(r.settings));
        QHash<QString, QByteArray> original;
        QList<QByteArray> bytes;
        for (const File &f : files) {
            original.insert(f.subject, messageFile(f.subject, f.isLong));
            bytes << original.value(f.subject);
        }
        vltest::fillMaildir(server.maildir(user), bytes);
        vltest::TempDir data("vlkilled");
        const QString dataDir = QString::fromStdString(data.path()) + u'/';
        const bool pop3 = QLatin1String(r.protocol) == u"pop3"_s;
        const QStringList account{QLatin1String(r.protocol), server.host(),
                                  QString::number(pop3 ? server.pop3Port() : server.imapPort()), user,
                                  u"pw"_s};

        // What may have left the server: only marked messages, each with its whole copy.
        const auto check = [&](const QStringList &mayGo) {
            const QHash<QString, QByteArray> held = onServer(server.maildir(user));
            for (const File &f : files) {
                if (held.contains(f.subject)) {
                    EXPECT_TRUE(held.value(f.subject) == original.value(f.subject))
                        << f.subject.toStdString();
                    continue;
                }
                EXPECT_TRUE(mayGo.contains(f.subject)) << f.subject.toStdString() << " is gone";
                QFile copy(dataDir + u"cache/"_s + f.subject + u"@example.org"_s);
                EXPECT_TRUE(copy.open(QIODevice::ReadOnly)) << f.subject.toStdString() << " has no copy";
                const QByteArray kept = copy.readAll();
                EXPECT_TRUE(kept == original.value(f.subject))
                    << f.subject.toStdString() << ": a copy of " << kept.size() << " bytes of "
                    << original.value(f.subject).size();
            }
            return held;
        };

        const Start first =
            runHelper(dataDir, account + QStringList{marked.join(u','), u"-"_s, QLatin1String(r.stage)});
        EXPECT_TRUE(first.killed) << first.output.toStdString();
        EXPECT_EQ(first.flagged.toStdString(), "");
        // The kill came where it was meant to: before the commit the server still holds
        // every message (some maybe flagged), after it only the unmarked ones.
        QStringList afterKill = check(marked).keys();
        afterKill.sort();
        EXPECT_EQ(afterKill.join(u',').toStdString(), r.committed ? "U1,U2" : "M1,M2,M3,M4,U1,U2");

        QStringList second = marked;
        for (const QString &s : r.unmarkAfter)
            second.removeAll(s);
        const Start again = runHelper(
            dataDir,
            account + QStringList{second.join(u','),
                                  r.unmarkAfter.isEmpty() ? u"-"_s : r.unmarkAfter.join(u','), u"none"_s});
        EXPECT_TRUE(again.done) << again.output.toStdString();
        EXPECT_EQ(again.flagged.toStdString(), r.flaggedAfter.toStdString());
        const QHash<QString, QByteArray> held = check(second);
        QStringList left = held.keys();
        left.sort();
        QStringList expected = QStringList{u"U1"_s, u"U2"_s} + r.unmarkAfter;
        expected.sort();
        EXPECT_EQ(left.join(u',').toStdString(), expected.join(u',').toStdString());
    }
}

} // namespace
