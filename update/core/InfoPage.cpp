#include "update/core/InfoPage.h"

#include "platform/core/Exceptions.h"

#include <QStringDecoder>
#include <limits>
#include <optional>

namespace InfoPage {

namespace {

const QLatin1String EntryMarker("META HTTP-EQUIV");
const QLatin1String ContentMarker("CONTENT=");

// The marker, "=" and the opening quote: the name starts this far after the "M".
constexpr int NameOffset = 17;
// "CONTENT=" and the opening quote, counted from the character before the "C".
constexpr int ContentOffset = 9;

// Upper case for ASCII letters only, so every index in the result is an index in
// the line as written.
QString AsciiUpper(const QString &text)
{
    QString upper = text;
    for (QChar &c : upper) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return upper;
}

// The text from start up to the next double quote, or to the end when there is none.
QString UpToQuote(const QString &text, qsizetype start, qsizetype limit = -1)
{
    if (start >= text.size())
        return {};
    const QString rest = text.mid(start, limit);
    const qsizetype quote = rest.indexOf(QLatin1Char('"'));
    return quote < 0 ? rest : rest.left(quote);
}

std::optional<int> ReadInt(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i >= text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
        return std::nullopt;
    return int(value);
}

// 1-based position of sub in text, 0 when absent; an empty sub is never found.
qsizetype Pos(const QString &sub, const QString &text)
{
    if (sub.isEmpty())
        return 0;
    return text.indexOf(sub) + 1;
}

QDate EncodeDate(int year, int month, int day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > QDate(year, month, 1).daysInMonth())
        throw EConvertError(QStringLiteral("Invalid argument to date encode"));
    return QDate(year, month, day);
}

bool IsNewerBuildNumber(QString current, QString product)
{
    for (;;) {
        const qsizetype currentDot = current.indexOf(QLatin1Char('.'));
        const qsizetype productDot = product.indexOf(QLatin1Char('.'));
        const int currentPart = StrToIntDef(currentDot < 0 ? current : current.left(currentDot), 0);
        const int productPart = StrToIntDef(productDot < 0 ? product : product.left(productDot), 0);
        if (currentPart != productPart)
            return currentPart < productPart;
        // A published version with fewer segments keeps offering its last one; more
        // segments than the running version has are never looked at.
        if (currentDot >= 0)
            current.remove(0, currentDot + 1);
        if (productDot >= 0)
            product.remove(0, productDot + 1);
        if (currentDot < 0)
            return false;
    }
}

} // namespace

QStringList SplitLines(const QByteArray &page)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(page);
    if (utf8.hasError())
        text = QString::fromLatin1(page);
    return SplitLines(text);
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

bool IsEntryLine(const QString &line)
{
    return AsciiUpper(line).contains(EntryMarker);
}

QString EntryName(const QString &line)
{
    const qsizetype marker = AsciiUpper(line).indexOf(EntryMarker);
    if (marker < 0)
        return {};
    return UpToQuote(line, marker + NameOffset);
}

QString ExtractContent(const QString &line)
{
    // Without a capitalised CONTENT= the position counts from 0, so the value is read
    // from the ninth character of the line: pages must write it in capitals.
    const qsizetype position = line.indexOf(ContentMarker) + 1;
    return UpToQuote(line, position + ContentOffset - 1, MaxContentLength);
}

void ParseInfoPage(const QStringList &lines, const TWfiTags &tags, TWfiDateFormat dateFormat, TWfiProductInfo &info)
{
    const std::pair<const QString *, QString *> targets[] = {
        {&tags.ProductNameTag(), &info.ProductName},
        {&tags.ReadMeTag(), &info.ProductReadMe},
        {&tags.ReadMeExtTag(), &info.ProductReadMeExt},
        {&tags.VersionTag(), &info.ProductVersion},
        {&tags.DateTag(), &info.ProductDateStr},
        {&tags.AuthorTag(), &info.ProductAuthor},
        {&tags.AuthorEMailTag(), &info.ProductAuthorEMail},
        {&tags.DownloadTag(), &info.DownloadURL},
        {&tags.RedirectTag(), &info.RedirectURL},
        {&tags.RunParamsTag(), &info.RunParams},
    };
    for (const QString &line : lines) {
        if (!IsEntryLine(line))
            continue;
        const QString name = EntryName(line);
        const QString value = ExtractContent(line);
        for (const auto &[tag, target] : targets) {
            if (*tag == name)
                *target = value;
        }
        if (name == Sha256EntryName)
            info.UpdateSha256 = value;
        if (name == SignatureEntryName)
            info.UpdateSignatureURL = value;
    }
    if (!info.ProductDateStr.isEmpty())
        info.ProductDate = ParseProductDate(info.ProductDateStr, dateFormat);
}

QDate ParseProductDate(const QString &text, TWfiDateFormat dateFormat)
{
    if (dateFormat != wfidDFSDate)
        return {};
    static const QString months = QStringLiteral("JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC");
    const int month = int((Pos(AsciiUpper(text.left(3)), months) + 2) / 3);
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    const QString dayText = comma < 0 ? QString() : text.mid(qMax<qsizetype>(0, comma - 2), qMin<qsizetype>(2, comma));
    const int day = StrToInt(dayText);
    const int year = StrToInt(text.right(4));
    return EncodeDate(year, month, day);
}

bool IsNewerVersion(const QString &current, const QString &product, TWfiVersionFormat versionFormat)
{
    if (versionFormat == wfivSimpleString)
        return product.toUtf8() > current.toUtf8();
    return IsNewerBuildNumber(current, product);
}

int StrToIntDef(const QString &text, int def)
{
    return ReadInt(text).value_or(def);
}

int StrToInt(const QString &text)
{
    const std::optional<int> value = ReadInt(text);
    if (!value)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return *value;
}

} // namespace InfoPage
