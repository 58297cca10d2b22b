#pragma once
// A Dovecot instance for the mail-client tests: POP3, POP3S, IMAP and IMAPS on this process's
// own loopback address (the standard ports when running as root), users with plain-text
// passwords so that APOP and CRAM-MD5 work, and Maildir mailboxes the tests fill. One per test
// process, started on first use and stopped when the application object goes.

#include "ServerProcess.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace vltest {

class DovecotServer {
public:
    // Starts the server on first use; throws std::runtime_error when it cannot.
    static DovecotServer &instance();
    ~DovecotServer();
    DovecotServer(const DovecotServer &) = delete;
    DovecotServer &operator=(const DovecotServer &) = delete;

    [[nodiscard]] QString host() const;
    [[nodiscard]] quint16 pop3Port() const { return m_base + 110; }
    [[nodiscard]] quint16 pop3sPort() const { return m_base + 995; }
    [[nodiscard]] quint16 imapPort() const { return m_base + 143; }
    [[nodiscard]] quint16 imapsPort() const { return m_base + 993; }
    // Whether the ports are the standard ones (so a client's port 0 reaches them).
    [[nodiscard]] bool standardPorts() const { return m_base == 0; }

    // Adds (or changes) a user; its mailbox starts empty. settings: the server's settings
    // for this user alone, "userdb_name=value" words (userdb_imap_capability=IMAP4rev1: a
    // server without UIDPLUS).
    void addUser(const QString &name, const QString &password, const QString &settings = {});
    [[nodiscard]] QString maildir(const QString &user) const;
    // Messages in the user's mailbox, new and seen.
    [[nodiscard]] int messageFiles(const QString &user) const;

    // The server's log so far (logins name their mechanism: "method=APOP").
    [[nodiscard]] QByteArray log() const;

    // Kills the processes serving logged-in sessions: their clients see the link drop.
    void cutSessions();
    void restart();
    void stop();

private:
    DovecotServer();
    void writeConfig();
    void start();

    QTemporaryDir m_dir;
    quint16 m_base = 0;
    std::unique_ptr<ServerProcess> m_server;
};

// Writes each message as a file of a Maildir's "new" folder, in list order, readable and
// movable by the mail server's user. With flags, the messages are put as seen before, with
// those Maildir flags ("T": flagged deleted).
void fillMaildir(const QString &maildir, const QList<QByteArray> &messages, const QString &flags = {});

// A message file of a Maildir ("new" or "cur"): its file name, which carries its flags after
// ":2,", its subject and its bytes.
struct MaildirFile {
    QString name;
    QString subject;
    QByteArray bytes;
};
// Every message file the Maildir holds now, "new" first.
QList<MaildirFile> maildirFiles(const QString &maildir);

} // namespace vltest
