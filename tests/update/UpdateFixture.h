#pragma once

#include "InfoPageText.h"
#include "TestUi.h"

#include "net/HttpProt.h"
#include "platform/gui/Application.h"
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
    TRoutedServer FServer;
    std::unique_ptr<TWebFileInfo> FWfi;
};
