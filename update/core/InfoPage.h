#pragma once

#include "update/core/WfiTags.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

// How the date entry is read: wfidDFSDate parses "April 25, 1999", wfidNone keeps the
// text only.
enum TWfiDateFormat { wfidDFSDate, wfidNone };

// How versions compare: wfivBuildNumber by dotted numbers, wfivSimpleString by the
// bytes of the text.
enum TWfiVersionFormat { wfivBuildNumber, wfivSimpleString };

// The values an information page publishes. A value whose entry is absent is empty;
// a null ProductDate stands for "no date".
struct TWfiProductInfo {
    QString DownloadURL;
    QString ProductName;
    QString ProductAuthor;
    QString ProductAuthorEMail;
    QDate ProductDate;
    QString ProductDateStr;
    QString ProductReadMe;
    QString ProductReadMeExt;
    QString ProductVersion;
    QString RedirectURL;
    QString RunParams;
    // The SHA-256 of the update file in hexadecimal, from the entry named "sha256";
    // when present, a downloaded update must match it before it may be started.
    QString UpdateSha256;
    // The address of the update's minisign signature, from the entry named
    // "signature"; empty for the update's address with ".minisig" appended.
    QString UpdateSignatureURL;

    void Clear() { *this = TWfiProductInfo(); }
};

// Reading the update entries of a product page. An entry is one line of the form
//   <META HTTP-EQUIV="version" CONTENT="1.1.01">
// with the name compared case-sensitively with the tags and the value taken from the
// capitalised CONTENT=. Everything else on the page is ignored.
namespace InfoPage {

// The fixed name of the checksum entry (not one of the tags).
inline const QString Sha256EntryName = QStringLiteral("sha256");
// The fixed name of the signature address entry.
inline const QString SignatureEntryName = QStringLiteral("signature");

// At most this many characters of a value are looked at.
inline constexpr int MaxContentLength = 1000;

// The page text (UTF-8 when it is valid UTF-8, else one character per byte) split at
// CR LF, a lone CR or a lone LF.
QStringList SplitLines(const QByteArray &page);
QStringList SplitLines(const QString &text);

// Whether the line holds an entry, and the entry's name when it does.
bool IsEntryLine(const QString &line);
QString EntryName(const QString &line);

// The value of the entry on the line.
QString ExtractContent(const QString &line);

// Fills info from the lines (info is not cleared first; values without an entry keep
// what they had). A date text that does not parse raises EConvertError.
void ParseInfoPage(const QStringList &lines, const TWfiTags &tags, TWfiDateFormat dateFormat, TWfiProductInfo &info);

// "Month d, yyyy" to a date; a null date with wfidNone. Raises EConvertError when a
// part does not read or the parts make no date.
QDate ParseProductDate(const QString &text, TWfiDateFormat dateFormat);

// Whether product is a newer version than current.
bool IsNewerVersion(const QString &current, const QString &product, TWfiVersionFormat versionFormat);

// Leading blanks, an optional sign and decimal digits that fit an int; anything else
// gives def.
int StrToIntDef(const QString &text, int def);

// As StrToIntDef, raising EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString &text);

} // namespace InfoPage
