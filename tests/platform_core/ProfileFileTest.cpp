#include "platform/core/Exceptions.h"
#include "platform/core/ProfileFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

TEST(ProfileFile, ReadsWithDefaultsAndCaseInsensitiveNames)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tlm.ini");
    ProfileFile ini(path);
    EXPECT_EQ(ini.ReadString("LastValues", "Year1", "0"), "0"); // no file

    writeAll(path, QByteArray("; comment line\n"
                   "[Other]\nYear1=99\n"
                   "  [ lastvalues ]  \n"
                   "YEAR1 =  5 \n"
                   "year2=\n"
                   "no equals sign here\n"
                   "Rate1=4,5\n"
                   "Year1=duplicate ignored\n"
                   "[LastValues]\nYear3=second section ignored\n"
                   "[Größe]\nWährung = €\n") +
                       "[" + QByteArray(80, 's') + "]\n" + QByteArray(70, 'k') + "=long names\n");
    EXPECT_EQ(ini.ReadString("LastValues", "Year1", "0"), "5");
    EXPECT_EQ(ini.ReadString("LASTVALUES", "year1", "0"), "5");
    EXPECT_EQ(ini.ReadString("LastValues", "Year2", "0"), ""); // present but empty
    EXPECT_EQ(ini.ReadString("LastValues", "Rate1", "4"), "4,5");
    EXPECT_EQ(ini.ReadString("LastValues", "Year3", "0"), "0"); // only in the duplicate section
    EXPECT_EQ(ini.ReadString("Other", "Year1", "0"), "99");
    EXPECT_EQ(ini.ReadString("Missing", "Year1", "d"), "d");
    EXPECT_EQ(ini.ReadString("LastValues", "no equals sign here", "d"), "d");
    // Names beyond ASCII are the file's UTF-8; names of any length are found.
    EXPECT_EQ(ini.ReadString(QStringLiteral("Größe"), QStringLiteral("Währung"), "d"), QStringLiteral("€"));
    EXPECT_EQ(ini.ReadString(QString(80, 's'), QString(70, 'K'), "d"), "long names");
}

TEST(ProfileFile, LongValuesAreCut)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    writeAll(path, "[S]\nK=" + QByteArray(5000, 'x') + "\n");
    EXPECT_EQ(ProfileFile(path).ReadString("S", "K", "").size(), ProfileFile::MaxValueLength);
}

TEST(ProfileFile, WritesKeepEveryOtherLine)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tlm.ini");
    const QByteArray original =
        "; keep me\r\n[Other]\r\nx = 1\r\n\r\n[LastValues]\r\nRate1=4\r\nodd line\r\n\r\n[Tail]\r\ny=2\r\n";
    writeAll(path, original);
    ProfileFile ini(path);
    ini.WriteString("lastvalues", "RATE1", "4.125");
    ini.WriteString("LastValues", "Year1", "0");
    ini.WriteString("New", "k", "v");
    EXPECT_EQ(readAll(path), "; keep me\r\n[Other]\r\nx = 1\r\n\r\n[LastValues]\r\nRate1=4.125\r\nodd line\r\n"
                             "Year1=0\r\n\r\n[Tail]\r\ny=2\r\n[New]\r\nk=v\r\n");
    EXPECT_EQ(ini.ReadString("LastValues", "Rate1", ""), "4.125");
}

TEST(ProfileFile, CreatesTheFileAndItsFolder)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/folder/tlm.ini");
    ProfileFile ini(path);
    ini.WriteString("LastValues", "Year1", "0");
    ini.WriteString("LastValues", "Year2", "1234.56000000052");
    EXPECT_EQ(readAll(path), "[LastValues]\nYear1=0\nYear2=1234.56000000052\n");
}

TEST(ProfileFile, AFailedWriteRaisesAndLeavesTheFileWhole)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    QTemporaryDir dir;
    const QString folder = dir.filePath("ro");
    QDir().mkpath(folder);
    const QString path = folder + "/tlm.ini";
    writeAll(path, "[LastValues]\nYear1=7\n");
    QFile::setPermissions(path, QFile::ReadOwner);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    ProfileFile ini(path);
    try {
        ini.WriteString("LastValues", "Year1", "8");
        ADD_FAILURE() << "the write should fail";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + path);
    }
    EXPECT_EQ(readAll(path), "[LastValues]\nYear1=7\n");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ProfileFile, WritingIntoAFolderInPlaceOfTheFileFails)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tlm.ini");
    QDir().mkpath(path); // a folder stands where the file should be
    ProfileFile ini(path);
    EXPECT_FALSE(ini.WriteValue("LastValues", "Year1", "1"));
    EXPECT_EQ(ini.ReadString("LastValues", "Year1", "d"), "d");
}

TEST(ProfileFile, AnUpdateLandsWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tlm.ini");
    writeAll(path, "[A]\nx=1\n");
    ProfileFile ini(path);
    ini.BeginUpdate();
    ini.WriteString("A", "x", "2");
    ini.WriteString("B", "y", "3");
    EXPECT_EQ(ini.ReadString("B", "y", ""), "3"); // pending text is visible
    EXPECT_EQ(readAll(path), "[A]\nx=1\n");       // the file is untouched until the end
    ini.EndUpdate();
    EXPECT_EQ(readAll(path), "[A]\nx=2\n[B]\ny=3\n");

    const QString blocked = dir.filePath("blocked.ini");
    QDir().mkpath(blocked);
    ProfileFile failing(blocked);
    failing.BeginUpdate();
    failing.WriteString("A", "x", "1");
    EXPECT_THROW(failing.EndUpdate(), Exception);
}
