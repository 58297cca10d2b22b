#include "TestCA.h"

#include "ChildProcess.h"
#include "ServerProcess.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

namespace vltest {

namespace {

QString kindName(TestCA::Kind kind) {
    switch (kind) {
    case TestCA::Good:
        return QStringLiteral("good");
    case TestCA::OtherName:
        return QStringLiteral("other");
    case TestCA::Untrusted:
        return QStringLiteral("untrusted");
    }
    return {};
}

void openssl(const std::vector<std::string> &args) {
    std::vector<std::string> argv{"openssl"};
    argv.insert(argv.end(), args.begin(), args.end());
    const CommandResult r = runCommand(argv);
    if (r.exitCode != 0)
        throw std::runtime_error("openssl " + args.front() + " failed: " + r.err);
}

// EC keys: made in milliseconds, where RSA keys take a noticeable part of a second.
const std::vector<std::string> kNewKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};

} // namespace

const TestCA &TestCA::instance() {
    static TestCA ca;
    return ca;
}

TestCA::TestCA() : m_dir(QDir::tempPath() + QStringLiteral("/vl-ca-XXXXXX")) {
    if (!m_dir.isValid())
        throw std::runtime_error("TestCA: no temporary folder");
    // Servers that drop privileges read the certificates too.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::ExeOther);
    const std::string d = m_dir.path().toStdString();
    std::vector<std::string> ca{"req", "-x509"};
    ca.insert(ca.end(), kNewKey.begin(), kNewKey.end());
    ca.insert(ca.end(),
              {"-days", "3", "-subj", "/CN=Velloran Test CA", "-addext", "basicConstraints=critical,CA:TRUE",
               "-addext", "keyUsage=critical,keyCertSign,cRLSign", "-keyout", d + "/ca.key", "-out",
               d + "/ca.pem"});
    openssl(ca);
    const QString own = ownLoopbackAddress().toString();
    makeServer(kindName(Good), QStringLiteral("IP:%1,IP:127.0.0.1,DNS:localhost").arg(own), false);
    makeServer(kindName(OtherName), QStringLiteral("DNS:other.invalid,IP:192.0.2.7"), false);
    makeServer(kindName(Untrusted), QStringLiteral("IP:%1,IP:127.0.0.1,DNS:localhost").arg(own), true);
    for (const QString &f : QDir(m_dir.path()).entryList(QDir::Files))
        QFile::setPermissions(m_dir.filePath(f),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    qputenv("SSL_CERT_FILE", caFile().toLocal8Bit());
    qunsetenv("SSL_CERT_DIR");
}

void TestCA::makeServer(const QString &name, const QString &subjectAltName, bool selfSigned) {
    const std::string base = m_dir.filePath(name).toStdString();
    const std::string san = "subjectAltName=" + subjectAltName.toStdString();
    if (selfSigned) {
        std::vector<std::string> args{"req", "-x509"};
        args.insert(args.end(), kNewKey.begin(), kNewKey.end());
        args.insert(args.end(), {"-days", "3", "-subj", "/CN=" + name.toStdString(), "-addext", san,
                                 "-keyout", base + ".key", "-out", base + ".pem"});
        openssl(args);
        return;
    }
    std::vector<std::string> req{"req", "-new"};
    req.insert(req.end(), kNewKey.begin(), kNewKey.end());
    req.insert(req.end(),
               {"-subj", "/CN=" + name.toStdString(), "-keyout", base + ".key", "-out", base + ".csr"});
    openssl(req);
    const QString ext = m_dir.filePath(name + QStringLiteral(".ext"));
    QFile f(ext);
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("TestCA: cannot write " + ext.toStdString());
    f.write(QByteArray::fromStdString(san + "\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n"));
    f.close();
    const std::string d = m_dir.path().toStdString();
    openssl({"x509", "-req", "-in", base + ".csr", "-CA", d + "/ca.pem", "-CAkey", d + "/ca.key",
             "-CAcreateserial", "-days", "3", "-extfile", ext.toStdString(), "-out", base + ".pem"});
}

QString TestCA::certFile(Kind kind) const {
    return m_dir.filePath(kindName(kind) + QStringLiteral(".pem"));
}

QString TestCA::keyFile(Kind kind) const {
    return m_dir.filePath(kindName(kind) + QStringLiteral(".key"));
}

} // namespace vltest
