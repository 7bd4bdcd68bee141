#include "support/TestCertificates.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

const char *const Names[] = {"good", "expired", "other", "selfsigned"};

// Extensions of a CA and of a TLS server certificate, and what `openssl ca` needs to
// sign with chosen dates (the only way to backdate with OpenSSL 3.0's tools).
const char ConfigText[] = R"([req]
distinguished_name = dn
prompt = no
[dn]
CN = unused
[ca_ext]
basicConstraints = critical,CA:TRUE
keyUsage = critical,keyCertSign,cRLSign
subjectKeyIdentifier = hash
[server_ext]
basicConstraints = CA:FALSE
keyUsage = critical,digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:localhost,IP:127.0.0.1
[other_ext]
basicConstraints = CA:FALSE
keyUsage = critical,digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:other.example
[ca]
default_ca = test_ca
[test_ca]
database = index.txt
new_certs_dir = .
certificate = ca.pem
private_key = ca.key
serial = serial
default_md = sha256
policy = policy_any
unique_subject = no
[policy_any]
commonName = supplied
)";

} // namespace

QString TTestCertificates::OpenSslBinary()
{
    return QStandardPaths::findExecutable(QStringLiteral("openssl"));
}

QString TTestCertificates::CertFile(TKind kind) const
{
    return FDir.filePath(QLatin1String(Names[kind]) + QStringLiteral(".pem"));
}

QString TTestCertificates::KeyFile(TKind kind) const
{
    return FDir.filePath(QLatin1String(Names[kind]) + QStringLiteral(".key"));
}

bool TTestCertificates::Run(const QStringList &arguments, QString *error)
{
    QProcess tool;
    tool.setWorkingDirectory(FDir.path());
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(OpenSslBinary(), arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        *error = QStringLiteral("openssl %1: %2")
                     .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(tool.readAll()));
        return false;
    }
    return true;
}

bool TTestCertificates::MakeSigned(const QString &name, const QString &commonName, const QString &extensions,
                                   bool expired, QString *error)
{
    const QString csr = name + QStringLiteral(".csr");
    if (!Run({"req", "-new", "-config", "openssl.cnf", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
              "-nodes", "-keyout", name + ".key", "-out", csr, "-subj", "/CN=" + commonName},
             error))
        return false;
    if (expired)
        return Run({"ca", "-batch", "-notext", "-config", "openssl.cnf", "-in", csr, "-out", name + ".pem",
                    "-extensions", extensions, "-startdate", "20200101000000Z", "-enddate", "20200102000000Z"},
                   error);
    return Run({"x509", "-req", "-in", csr, "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial", "-days", "2",
                "-extfile", "openssl.cnf", "-extensions", extensions, "-out", name + ".pem"},
               error);
}

bool TTestCertificates::Make(QString *error)
{
    if (!FDir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    QFile config(FDir.filePath(QStringLiteral("openssl.cnf")));
    QFile index(FDir.filePath(QStringLiteral("index.txt")));
    QFile serial(FDir.filePath(QStringLiteral("serial")));
    if (!config.open(QIODevice::WriteOnly) || !index.open(QIODevice::WriteOnly) || !serial.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write in %1").arg(FDir.path());
        return false;
    }
    config.write(ConfigText);
    serial.write("1000\n");
    config.close();
    index.close();
    serial.close();
    const QStringList newKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    return Run(QStringList{"req", "-x509", "-config", "openssl.cnf", "-extensions", "ca_ext"} + newKey +
                   QStringList{"-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj", "/CN=Tallowmere Test CA"},
               error) &&
           MakeSigned(QStringLiteral("good"), QStringLiteral("localhost"), QStringLiteral("server_ext"), false,
                      error) &&
           MakeSigned(QStringLiteral("expired"), QStringLiteral("localhost"), QStringLiteral("server_ext"), true,
                      error) &&
           MakeSigned(QStringLiteral("other"), QStringLiteral("other.example"), QStringLiteral("other_ext"), false,
                      error) &&
           Run(QStringList{"req", "-x509", "-config", "openssl.cnf", "-extensions", "server_ext"} + newKey +
                   QStringList{"-keyout", "selfsigned.key", "-out", "selfsigned.pem", "-days", "2", "-subj",
                               "/CN=localhost"},
               error);
}
