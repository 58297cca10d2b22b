#pragma once
// A scripted server for the faults a real server will not produce on demand. It plays a
// dialogue to every client that connects and records what each client sent. One directive
// a line; blank lines and lines starting with "#" are skipped:
//   S: text        send text and CR LF
//   R: text        send raw bytes, no line end; \r \n \t \\ and \xHH are decoded
//   C: text        wait for one line from the client and record it; text "*" or a text
//                  ending in "*" (a prefix) or an exact text; a difference is noted
//   X              close the connection
//   P: ms          pause
//   Y: ms          trickle: later S/R output goes out one byte every ms (0: at once)
//   F: count text  send the raw text count times as the client takes it (0: for ever)
//   Z: bytes       read that many raw bytes from the client, slowly (a slow reader)
//   N              the rest is the dialogue of the next connection (the last dialogue
//                  serves every later connection)
// When the dialogue ends the connection stays open and silent (a stalled server).

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace vltest {

class ScriptedPeer : public QTcpServer {
    Q_OBJECT
public:
    explicit ScriptedPeer(QObject *parent = nullptr);
    ~ScriptedPeer() override;

    // Throws std::runtime_error on a directive it does not know.
    void setDialogue(const QString &text);
    // Reads <dir>/<name>; throws when missing.
    void loadDialogue(const QString &file);
    // Speak TLS (the server side) with this certificate and key.
    void setTls(const QString &certFile, const QString &keyFile);
    // Lets the kernel hold at most about this much of what a client sends before the
    // dialogue reads it, as a slow link would (call before start). Loopback otherwise takes
    // megabytes at once, so a client never sees a slow reader push back.
    void setReceiveBuffer(int bytes) { m_receiveBuffer = bytes; }
    // On ownLoopbackAddress() and a port the kernel picks.
    bool start();
    [[nodiscard]] QString host() const { return serverAddress().toString(); }

    // What every client sent, line by line (raw reads as "<N bytes>"), in order.
    [[nodiscard]] QList<QByteArray> received() const { return m_received; }
    [[nodiscard]] QStringList mismatches() const { return m_mismatches; }
    [[nodiscard]] int connections() const { return m_connections; }
    // A connection ran to the end of the dialogue.
    [[nodiscard]] bool finished() const { return m_finished; }
    // The client closed its end (or the connection broke) while a session ran.
    [[nodiscard]] bool clientClosed() const { return m_clientClosed; }
    // Total raw bytes taken by Z directives.
    [[nodiscard]] qint64 rawBytes() const { return m_rawBytes; }

    struct Step {
        char kind = 0;
        QByteArray text;
        qint64 number = 0;
    };

Q_SIGNALS:
    void finishedDialogue();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    friend class PeerSession;
    QList<QList<Step>> m_dialogues;
    QString m_cert;
    QString m_key;
    QList<QByteArray> m_received;
    QStringList m_mismatches;
    int m_connections = 0;
    bool m_finished = false;
    bool m_clientClosed = false;
    qint64 m_rawBytes = 0;
    int m_receiveBuffer = 0;
};

} // namespace vltest
