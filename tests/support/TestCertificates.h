#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Certificates made at test time by the openssl command-line tool in a temporary
// folder: a test CA, server certificates it signed (one for 127.0.0.1 and "localhost",
// one that expired in 2020, one for another name) and a self-signed one. The keys are
// EC P-256, quick to make.
class TTestCertificates {
public:
    enum TKind { Good, Expired, OtherName, SelfSigned };

    static QString OpenSslBinary();

    // Makes every certificate; false with the tool's output when one fails.
    bool Make(QString *error);

    QString CAFile() const { return FDir.filePath(QStringLiteral("ca.pem")); }
    QString CertFile(TKind kind) const;
    QString KeyFile(TKind kind) const;

private:
    bool Run(const QStringList &arguments, QString *error);
    bool MakeSigned(const QString &name, const QString &commonName, const QString &extensions, bool expired,
                    QString *error);

    QTemporaryDir FDir;
};

// Skips the test when the openssl tool is missing, and fails it in CI, where the
// set-up script installs it.
#define REQUIRE_OPENSSL_TOOL()                                                                                         \
    do {                                                                                                               \
        if (TTestCertificates::OpenSslBinary().isEmpty()) {                                                            \
            if (qEnvironmentVariableIsSet("CI"))                                                                       \
                FAIL() << "the openssl tool is not installed (CI must install it)";                                    \
            GTEST_SKIP() << "the openssl tool is not installed; install it to run this test";                          \
        }                                                                                                              \
    } while (0)
