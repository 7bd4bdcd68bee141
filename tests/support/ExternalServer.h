#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A real server binary (nginx, tinyproxy, danted) run by the test on a free loopback
// port with a configuration file of its own in a temporary folder, stopped with the
// object. External servers of one build's test programs run one at a time, so cases
// run side by side never race for a port.
class TExternalServer {
public:
    enum TKind { Nginx, Tinyproxy, Dante };

    explicit TExternalServer(TKind kind);
    ~TExternalServer();

    static QString FindBinary(TKind kind);
    static QString Name(TKind kind);

    // Files to serve (nginx), path relative to the document root.
    void AddFile(const QString &path, const QByteArray &content);
    // Where nginx serves from, for files a test makes itself (a sparse one, say).
    QString DocumentRoot() const { return FDir.path() + QStringLiteral("/www"); }
    // Extra lines inside nginx's server block.
    void AddServerConfig(const QString &lines) { FServerConfig += lines; }
    // Proxy or SOCKS user name and password (tinyproxy BasicAuth).
    void SetCredentials(const QString &user, const QString &password);

    bool Start(QString *error);
    quint16 Port() const { return FPort; }
    QString PortText() const { return QString::number(FPort); }
    QString Log() const;

private:
    QString WriteConfig();

    TKind FKind;
    QTemporaryDir FDir;
    quint16 FPort = 0;
    QString FServerConfig;
    QString FUser;
    QString FPassword;
    std::unique_ptr<QProcess> FProcess;
    // Whether this server holds its share of the lock that runs external servers one at a time.
    bool FLocked = false;
};

// Skips the test when the server binary is not installed, and fails it in CI, where
// the set-up script installs it.
#define REQUIRE_EXTERNAL_SERVER(kind)                                                                                  \
    do {                                                                                                               \
        if (TExternalServer::FindBinary(kind).isEmpty()) {                                                             \
            if (qEnvironmentVariableIsSet("CI"))                                                                       \
                FAIL() << TExternalServer::Name(kind).toStdString() << " is not installed (CI must install it)";       \
            GTEST_SKIP() << TExternalServer::Name(kind).toStdString()                                                  \
                         << " is not installed; install it to run this test";                                          \
        }                                                                                                              \
    } while (0)
