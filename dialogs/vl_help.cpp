#include "vl_help.h"

#include "vl_share_dir.h"

#include <QIcon>
#include <QMessageBox>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>

namespace {
constexpr quint16 kFirstPort = 12000;
constexpr int kPortCount = 256;
} // namespace

VLHelp *VLHelp::self() {
    static VLHelp *launcher = new VLHelp;
    return launcher;
}

quint16 VLHelp::port() const {
    return m_server ? m_server->serverPort() : 0;
}

void VLHelp::slotHelp(const char *key) {
    std::fprintf(stderr, "VLHelp::slotHelp: key [%s]\n", key ? key : "");
    show(QByteArray(key ? key : ""));
}

void VLHelp::slotHelp() {
    // Called directly rather than through a signal: there is no button to name the key.
    const QObject *button = sender();
    if (!button)
        return;
    slotHelp(button->objectName().toLatin1().constData());
}

void VLHelp::showContents() {
    std::fprintf(stderr, "VLHelp::showContents: process=%p\n", static_cast<void *>(m_process));
    show(QByteArrayLiteral("$Contents"));
}

void VLHelp::showIndex() {
    show(QByteArrayLiteral("$Index"));
}

void VLHelp::show(const QByteArray &rawKey) {
    // A key is one line of the link: a line break inside it would make two requests.
    QByteArray key = rawKey;
    key.replace('\r', QByteArray()).replace('\n', QByteArray());
    if (!m_process) {
        startHelpProcess(key.constData());
        return;
    }
    if (m_connection) {
        m_connection->write(key + '\n');
        m_connection->flush();
    }
    // Otherwise the viewer is still starting: it shows its first key and this one is lost.
}

void VLHelp::listen() {
    auto *server = new QTcpServer(this);
    for (int i = 0; i < kPortCount; ++i) {
        if (server->listen(QHostAddress(QStringLiteral("127.0.0.1")), quint16(kFirstPort + i))) {
            m_server = server;
            connect(m_server, &QTcpServer::newConnection, this, &VLHelp::slotCommsCalled);
            return;
        }
    }
    std::fprintf(stderr, "VLHelp::startHelpProcess: failed to bind address\n");
    delete server;
}

void VLHelp::startHelpProcess(const char *key) {
    if (!m_server)
        listen();
    QStringList args{QStringLiteral("--helpdir"), vlShareDir() + QStringLiteral("help/"),
                     QStringLiteral("--helpkey"), QString::fromLatin1(key ? key : "")};
    if (m_server)
        args << QStringLiteral("--comms") << QString::number(m_server->serverPort());

    m_process = new QProcess(this);
    m_process->setStandardInputFile(QProcess::nullDevice());
    m_process->setStandardOutputFile(QProcess::nullDevice());
    m_process->setStandardErrorFile(QProcess::nullDevice());
    connect(m_process, &QProcess::finished, this, &VLHelp::slotProcessExited);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            slotProcessError();
    });
    m_process->start(QStringLiteral("vlhelp"), args);
}

void VLHelp::slotProcessError() {
    if (!m_process)
        return;
    // The process object is still inside its own signal: it goes later, but the next
    // request already tries again.
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    QMessageBox::warning(nullptr, QStringLiteral("Velloran Pro"),
                         QStringLiteral("Help process failed to start"));
}

void VLHelp::slotCommsCalled() {
    if (!m_server)
        return;
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_connection) {
            // One viewer is served; another caller is turned away at once.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_connection = socket;
    }
}

void VLHelp::slotProcessExited() {
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
        m_process = nullptr;
    }
    if (m_connection) {
        m_connection->disconnect(this);
        m_connection->abort();
        m_connection->deleteLater();
        m_connection = nullptr;
    }
}

VLHelpPushButton::VLHelpPushButton(QWidget *parent, const char *helpKey, Unwired)
    : QPushButton(QStringLiteral("&Help"), parent) {
    setObjectName(QLatin1String(helpKey));
    setIcon(QIcon(QStringLiteral(":/vlImages/help.png")));
}

VLHelpPushButton::VLHelpPushButton(QWidget *parent, const char *helpKey)
    : VLHelpPushButton(parent, helpKey, Unwired{}) {
    connect(this, &QPushButton::clicked, VLHelp::self(), qOverload<>(&VLHelp::slotHelp));
}
