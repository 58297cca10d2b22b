#pragma once
// A certificate authority made at test time, with server certificates for this process's own
// loopback address. Creating it points SSL_CERT_FILE at the authority, so clients that verify
// against the default trust store accept the good certificate and refuse the others.

#include <QString>
#include <QTemporaryDir>

namespace vltest {

class TestCA {
public:
    enum Kind {
        Good,      // signed by the authority; ownLoopbackAddress(), 127.0.0.1 and localhost
        OtherName, // signed by the authority, for another host only
        Untrusted, // right names, but self-signed
    };

    // The process's authority, made on first use (a second or so); throws std::runtime_error
    // when openssl fails.
    static const TestCA &instance();

    [[nodiscard]] QString dir() const { return m_dir.path(); }
    [[nodiscard]] QString caFile() const { return m_dir.filePath(QStringLiteral("ca.pem")); }
    [[nodiscard]] QString certFile(Kind kind) const;
    [[nodiscard]] QString keyFile(Kind kind) const;

private:
    TestCA();
    void makeServer(const QString &name, const QString &subjectAltName, bool selfSigned);

    QTemporaryDir m_dir;
};

} // namespace vltest
