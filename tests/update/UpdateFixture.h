#pragma once

#include "InfoPageText.h"
#include "TestUi.h"

#include "net/HttpProt.h"
#include "platform/gui/Application.h"
#include "support/MinisignTool.h"
#include "support/RoutedServer.h"
#include "update/UpdateSettings.h"
#include "update/WebFileInfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A configured update component pointed at a routed server on 127.0.0.1, in a folder
// of its own.
class UpdateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_TRUE(FServer.Port() != 0);
        ASSERT_TRUE(FSigner.IsValid()) << FSigner.Error().toStdString();
        // The updates these tests publish are signed with a key of their own, which the
        // settings file names as the one to trust.
        QFile settings(FDir.filePath(QStringLiteral("tlm.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Update]\nPublicKey=" + FSigner.PublicKey() + "\n");
        settings.close();
        Application::Instance()->SetTitle(QStringLiteral("Tallowmere"));
        FWfi = std::make_unique<TWebFileInfo>();
        UpdateSettings::ConfigureWebFileInfo(*FWfi, FDir.filePath(QStringLiteral("tlm.ini")));
        FWfi->SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
        FWfi->SetHttpTimeout(10);
    }

    void TearDown() override
    {
        FWfi.reset();
        FServer.Stop();
        // Whatever the sockets posted on their way out is delivered before the next test.
        QCoreApplication::processEvents();
    }

    void Publish(const QString &version, const QString &downloadPath = {}, const QString &readMePath = {},
                 const QString &extra = {})
    {
        FServer.Serve(
            QStringLiteral("/tallowmere.htm"),
            TRoutedServer::Page(InfoPageText(version, downloadPath.isEmpty() ? QString() : FServer.Url(downloadPath),
                                             readMePath.isEmpty() ? QString() : FServer.Url(readMePath), extra)));
    }

    // Serves bytes at path with the signature beside it (path + ".minisig"), signed for
    // version and the path's file name.
    void ServeSigned(const QString &path, const QByteArray &bytes, const QByteArray &contentType,
                     const QString &version)
    {
        const QString file = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        FServer.Serve(path, TRoutedServer::Page(bytes, contentType));
        const QByteArray signature = FSigner.Sign(
            bytes, QStringLiteral("product=Tallowmere version=%1 file=%2").arg(version, file));
        ASSERT_FALSE(signature.isEmpty()) << FSigner.Error().toStdString();
        FServer.Serve(path + QStringLiteral(".minisig"), TRoutedServer::Page(signature, "text/plain"));
    }

    QString Path(const QString &name) const { return FDir.filePath(name); }

    static QByteArray ReadFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QByteArray Pattern(int size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char((i * 7 + i / 251) & 0xFF);
        return bytes;
    }

    static quint16 ClosedPort() { return TRoutedServer::ClosedPort(); }

    QTemporaryDir FDir;
    TMinisignTool FSigner;
    TRoutedServer FServer;
    std::unique_ptr<TWebFileInfo> FWfi;
};
