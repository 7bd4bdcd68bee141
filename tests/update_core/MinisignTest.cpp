#include "update/core/MinisignKey.h"
#include "update/core/MinisignSignature.h"
#include "update/core/MinisignVerifier.h"
#include "update/core/ProgramVersion.h"
#include "update/core/UpdateSignature.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

// Made once with minisign 0.11 and a throwaway key: minisign -G -W, then
// minisign -S -m msg -t "product=Tallowmere version=1.2.00 file=msg" -c "signature from a test key".
const QByteArray VectorKey = "RWRsdqzoTZP4u3D0MhxWvFVGSW6erh/eSU3ysB1m6g0gabEhwehZsiRS";
const QByteArray VectorMessage = "Tallowmere fixed vector\n";
const QByteArray VectorSignature =
    "untrusted comment: signature from a test key\n"
    "RURsdqzoTZP4u2wmehLtWgAH54NsgdshXF1wzv5B4lUvFxww3awx1yzZk3R8QbL4jbHrJg8dqVshfEpM3sW/ar6txcIeTcY8lgs=\n"
    "trusted comment: product=Tallowmere version=1.2.00 file=msg\n"
    "0g++NrSARt4pv+0mepk6GZ5Yu4BS+QgsoQ0yusw0a+htPSUyJyDpnyMDnDKB2beHUPKZ1T+9UlEiJ92RR3D8Dw==\n";
// The same message signed with -l: the legacy form signs the file itself.
const QByteArray LegacySignature =
    "untrusted comment: signature from minisign secret key\n"
    "RWRsdqzoTZP4uwInenrdAGSxevObJBuNx4J8YW0Tfx7ABCdlUGJleB/BNg/nfKajhDlO5fAchOgm+vntzlpFi+fgetfKFeWNdAU=\n"
    "trusted comment: x\n"
    "nv9vdGINyWzLZjiBNI2ENm0/tkNogZ7qynkyE8z5COIuWq6eg6BccXgEXfG/L9XThAiEEXo9vGHr0gbEEWM3BA==\n";

QList<TMinisignKey> VectorKeys()
{
    return {*TMinisignKey::Parse(VectorKey, QStringLiteral("test key"))};
}

TReleaseExpectation Expected()
{
    return {QStringLiteral("Tallowmere"), QStringLiteral("msg"), QStringLiteral("1.2.00"), QStringLiteral("1.1.00"),
            QDate(2030, 1, 1)};
}

QByteArray Replaced(QByteArray bytes, const QByteArray &from, const QByteArray &to)
{
    return bytes.replace(from, to);
}

} // namespace

TEST(MinisignTest, TheFixedVectorVerifiesAndAChangedByteDoesNot)
{
    const std::optional<TMinisignKey> key = TMinisignKey::Parse(VectorKey, QStringLiteral("test key"));
    ASSERT_TRUE(key);
    EXPECT_EQ(key->KeyIdText(), QStringLiteral("BBF8934DE8AC766C"));

    TUpdateSignature signature = TUpdateSignature::Check(VectorSignature, VectorKeys(), Expected());
    ASSERT_TRUE(signature.Accepted()) << signature.Reason().toStdString();
    QByteArray message = VectorMessage;
    QBuffer good(&message);
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    EXPECT_TRUE(signature.CheckFile(good)) << signature.Reason().toStdString();

    QByteArray changed = VectorMessage;
    changed[3] = char(changed[3] ^ 1);
    QBuffer bad(&changed);
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    TUpdateSignature again = TUpdateSignature::Check(VectorSignature, VectorKeys(), Expected());
    EXPECT_FALSE(again.CheckFile(bad));
    EXPECT_EQ(again.Reason(), TUpdateSignature::Mismatch);
}

// Every way a signature file can be out of shape is refused before any key is looked at.
TEST(MinisignTest, SignatureFilesOutOfShapeAreRefused)
{
    const QList<QByteArray> lines = VectorSignature.split('\n');
    struct Row {
        const char *Name;
        QByteArray File;
    };
    const Row rows[] = {
        {"Empty", ""},
        {"ThreeLines", lines[0] + '\n' + lines[1] + '\n' + lines[2] + '\n'},
        {"FiveLines", VectorSignature + "extra\n"},
        {"BlankLineBetween", Replaced(VectorSignature, "\ntrusted", "\n\ntrusted")},
        {"NoUntrustedPrefix", Replaced(VectorSignature, "untrusted comment: ", "untrusted comment:")},
        {"NoTrustedPrefix", Replaced(VectorSignature, "trusted comment: product", "trusted: product")},
        {"Legacy", LegacySignature},
        {"SignatureTruncated", Replaced(VectorSignature, lines[1], lines[1].left(96))},
        {"SignatureNotCanonical", Replaced(VectorSignature, "lgs=", "lgt=")},
        {"SignatureWithBlank", Replaced(VectorSignature, lines[1], lines[1] + ' ')},
        {"GlobalTooShort", Replaced(VectorSignature, lines[3], lines[3].mid(4))},
        {"GlobalNotBase64", Replaced(VectorSignature, lines[3], Replaced(lines[3], "0g++", "0g-+"))},
        {"ControlInComment", Replaced(VectorSignature, "file=msg", "file=m\x01sg")},
        {"CarriageReturnInside", Replaced(VectorSignature, "file=msg", "file=m\rsg")},
        {"Oversized", Replaced(VectorSignature, "signature from a test key", QByteArray(9000, 'x'))},
    };
    for (const Row &row : rows) {
        EXPECT_FALSE(TMinisignSignature::Parse(row.File)) << row.Name;
        EXPECT_EQ(TUpdateSignature::Check(row.File, VectorKeys(), Expected()).Reason(), TUpdateSignature::NotMinisign)
            << row.Name;
    }
    // What minisign itself accepts besides: CR LF line ends and no end on the last line.
    EXPECT_TRUE(TMinisignSignature::Parse(Replaced(VectorSignature, "\n", "\r\n")));
    EXPECT_TRUE(TMinisignSignature::Parse(VectorSignature.chopped(1)));
}

TEST(MinisignTest, PublicKeysAreReadStrictly)
{
    struct Row {
        QByteArray Text;
        bool Parses;
        int Count;
    };
    const QByteArray other = "RWS8Ptc/DRtjija0NkGYzjd272/40/OjzJUqYKs3qpxOYe8gCFMxgtVg";
    const Row rows[] = {
        {VectorKey, true, 1},
        {(VectorKey + "  \t" + other), true, 2},
        {(" " + VectorKey + " "), true, 1},
        {"", false, 0},
        {"   ", false, 0},
        {VectorKey.left(55), false, 0},
        {(VectorKey + "AAAA"), false, 0},
        {(VectorKey + " nonsense"), false, 0},
        // The signature's "ED" mark where the key's "Ed" belongs.
        {"RURsdqzoTZP4u3D0MhxWvFVGSW6erh/eSU3ysB1m6g0gabEhwehZsiRS", false, 0},
        {"untrusted comment: minisign public key BBF8934DE8AC766C", false, 0},
    };
    for (const Row &row : rows) {
        const auto keys = TMinisignKey::ParseList(QString::fromLatin1(row.Text), QStringLiteral("k"));
        EXPECT_EQ(bool(keys), row.Parses) << row.Text.constData();
        if (keys)
            EXPECT_EQ(keys->size(), row.Count) << row.Text.constData();
    }
    const auto file = TMinisignKey::ParsePublicKeyFile(
        "untrusted comment: minisign public key BBF8934DE8AC766C\n" + VectorKey + "\n", QStringLiteral("k"));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->KeyIdText(), QStringLiteral("BBF8934DE8AC766C"));
    EXPECT_FALSE(TMinisignKey::ParsePublicKeyFile(VectorKey + "\n", QStringLiteral("k")));
}

TEST(MinisignTest, VersionsCompareByNumberWithMissingSegmentsAsZero)
{
    struct Row {
        const char *A;
        const char *B;
        int Order;
    };
    const Row rows[] = {
        {"1.1.01", "1.1.00", 1}, {"1.1", "1.1.00", 0}, {"1.1.00.1", "1.1.00", 1},
        {"1.01", "1.1", 0},      {"1.10", "1.9", 1},   {"2", "1.99.99", 1},
        {"1.0.9", "1.1.00", -1}, {"1.x", "1.0", 0},    {"1.100000000000000000000", "1.99999999999999999999", 1},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(ProgramVersion::Compare(QString::fromLatin1(row.A), QString::fromLatin1(row.B)), row.Order)
            << row.A << " " << row.B;
        EXPECT_EQ(ProgramVersion::Compare(QString::fromLatin1(row.B), QString::fromLatin1(row.A)), -row.Order)
            << row.B << " " << row.A;
    }
    EXPECT_EQ(ProgramVersion::PageStyle(QStringLiteral("1.1.0")), QStringLiteral("1.1.00"));
    EXPECT_EQ(ProgramVersion::PageStyle(QStringLiteral("1.2.13")), QStringLiteral("1.2.13"));
    EXPECT_EQ(ProgramVersion::PageStyle(QStringLiteral("2.0.5")), QStringLiteral("2.0.05"));
}

TEST(MinisignTest, TheSignedFileNameIsTheResolvedDecodedLastSegment)
{
    const QString page = QStringLiteral("https://www.corvane.example/products/tallowmere.htm?x=1");
    struct Row {
        const char *Url;
        const char *Name;
    };
    const Row rows[] = {
        {"https://files.corvane.example/tlm/tallowmere_1.2.deb", "tallowmere_1.2.deb"},
        {"files/tlm%20setup.exe?download=1#top", "tlm setup.exe"},
        {"../tlm.zip", "tlm.zip"},
        {"https://files.corvane.example/dir/", ""},
    };
    for (const Row &row : rows)
        EXPECT_EQ(TUpdateSignature::SignedFileName(page, QString::fromLatin1(row.Url)), QString::fromLatin1(row.Name))
            << row.Url;
}
