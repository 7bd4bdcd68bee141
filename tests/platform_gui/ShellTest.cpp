#include "platform/gui/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

// Takes the addresses QDesktopServices would hand to the desktop, through Qt's own
// per-scheme handler mechanism, so no browser or mail program starts.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QStringList &schemes) : FSchemes(schemes)
    {
        for (const QString &scheme : FSchemes)
            QDesktopServices::setUrlHandler(scheme, this, "Open");
    }
    ~UrlRecorder() override
    {
        for (const QString &scheme : FSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> Opened;

public slots:
    void Open(const QUrl &url) { Opened.append(url); }

private:
    QStringList FSchemes;
};

TEST(ShellTest, AddressesGoToTheDesktopsUrlHandlers)
{
    UrlRecorder recorder(
        {QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"), QStringLiteral("ftp")});
    struct Row {
        QString target;
        QString opened;
    };
    const Row rows[] = {
        {QStringLiteral("https://www.corvane.example/freeware.htm"),
         QStringLiteral("https://www.corvane.example/freeware.htm")},
        {QStringLiteral("mailto:support@corvane.example"), QStringLiteral("mailto:support@corvane.example")},
        {QStringLiteral("  http://www.corvane.example/  "), QStringLiteral("http://www.corvane.example/")},
        {QStringLiteral("www.corvane.example"), QStringLiteral("http://www.corvane.example")},
        {QStringLiteral("ftp.corvane.example/pub"), QStringLiteral("ftp://ftp.corvane.example/pub")},
    };
    for (const Row &row : rows) {
        recorder.Opened.clear();
        EXPECT_GT(Shell::Execute(nullptr, QStringLiteral("open"), row.target), 32) << row.target.toStdString();
        ASSERT_EQ(recorder.Opened.size(), 1) << row.target.toStdString();
        EXPECT_EQ(recorder.Opened.first(), QUrl(row.opened)) << row.target.toStdString();
    }
}

TEST(ShellTest, LocalFilesGoToTheDefaultHandlerAndMissingOnesFail)
{
    UrlRecorder recorder({QStringLiteral("file")});
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString readme = dir.filePath(QStringLiteral("readme.txt"));
    {
        QFile f(readme);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Read me.\n");
    }

    EXPECT_GT(Shell::Execute(nullptr, QStringLiteral("open"), readme), 32);
    ASSERT_EQ(recorder.Opened.size(), 1);
    EXPECT_EQ(recorder.Opened.first(), QUrl::fromLocalFile(readme));

    // Relative to the folder given, and through a file: address.
    recorder.Opened.clear();
    EXPECT_GT(Shell::Execute(nullptr, QString(), QStringLiteral("readme.txt"), QString(), dir.path()), 32);
    EXPECT_GT(Shell::Execute(nullptr, QStringLiteral("open"), QUrl::fromLocalFile(readme).toString()), 32);
    ASSERT_EQ(recorder.Opened.size(), 2);
    EXPECT_EQ(recorder.Opened.at(0), QUrl::fromLocalFile(readme));
    EXPECT_EQ(recorder.Opened.at(1), QUrl::fromLocalFile(readme));

    recorder.Opened.clear();
    EXPECT_EQ(Shell::Execute(nullptr, QStringLiteral("open"), dir.filePath(QStringLiteral("missing.txt"))),
              Shell::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Shell::Execute(nullptr, QStringLiteral("open"), dir.filePath(QStringLiteral("no/such/file.txt"))),
              Shell::ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Shell::Execute(nullptr, QStringLiteral("open"), QStringLiteral("   ")), Shell::ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Shell::Execute(nullptr, QStringLiteral("print"), readme), Shell::SE_ERR_NOASSOC);
    EXPECT_TRUE(recorder.Opened.isEmpty());
}

TEST(ShellTest, AProgramIsStartedDirectlyWithItsParameters)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("setup.sh"));
    const QString output = dir.filePath(QStringLiteral("args.txt"));
    {
        QFile f(program);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nprintf '%s|' \"$@\" > args.tmp && pwd >> args.tmp && mv args.tmp args.txt\n");
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }

    EXPECT_GT(Shell::Execute(nullptr, QStringLiteral("open"), program, QStringLiteral("/S \"two words\""), QString(),
                             Shell::SW_SHOWNORMAL),
              32);
    for (int i = 0; i < 500 && !QFile::exists(output); ++i)
        QTest::qWait(10);
    QFile f(output);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    // Started in its own folder when no other is given.
    EXPECT_EQ(QString::fromUtf8(f.readAll()).trimmed(),
              QStringLiteral("/S|two words|") + QDir(dir.path()).canonicalPath());
}

#include "ShellTest.moc"
