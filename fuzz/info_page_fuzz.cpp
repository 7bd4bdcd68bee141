// Reads arbitrary bytes as an information page: the reader must never crash, hang or
// read outside the line, whatever the server sends. A date entry that does not read
// raises EConvertError, which is the reader's documented answer and not a finding.
// Every address the page names is resolved against the page and judged, and the bytes
// are sniffed as a read-me document would be.
#include "platform/core/Exceptions.h"
#include "update/core/ContentSniffer.h"
#include "update/core/InfoPage.h"
#include "update/core/PageLinks.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray page(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList lines = InfoPage::SplitLines(page);

    TWfiTags tags = TWfiTags::ProgramTags();
    // The program's tags leave three names empty; an entry with an empty name fills
    // them, so both settings are worth reading with.
    for (const bool allTags : {false, true}) {
        if (allTags) {
            tags.SetAuthorEMailTag(QStringLiteral("email"));
            tags.SetReadMeExtTag(QStringLiteral("readmeext"));
            tags.SetRedirectTag(QStringLiteral("redirect"));
        }
        TWfiProductInfo info;
        try {
            InfoPage::ParseInfoPage(lines, tags, wfidDFSDate, info);
        } catch (const EConvertError &) {
        }
        for (const QString &value : {info.ProductName, info.ProductVersion, info.DownloadURL, info.RedirectURL})
            if (value.size() > InfoPage::MaxContentLength)
                __builtin_trap();
        InfoPage::IsNewerVersion(QStringLiteral("1.1.00"), info.ProductVersion, wfivBuildNumber);
        InfoPage::IsNewerVersion(QStringLiteral("1.1.00"), info.ProductVersion, wfivSimpleString);
        InfoPage::IsNewerVersion(info.ProductVersion, info.RunParams, wfivBuildNumber);
        for (const QString &link :
             {info.DownloadURL, info.ProductReadMe, info.ProductReadMeExt, info.RedirectURL, info.UpdateSignatureURL}) {
            const QString address = PageLinks::Resolve(
                QStringLiteral("https://www.corvane.example/soft/tallowmere.htm"), link);
            // Nothing but an https web address passes the rule of a verified page.
            if (PageLinks::Refusal(address, true, false).isEmpty() && !PageLinks::IsHttps(address))
                __builtin_trap();
            PageLinks::Host(address);
        }
    }
    ContentSniffer::Document(page);
    ContentSniffer::IsProgram(page);
    return 0;
}
