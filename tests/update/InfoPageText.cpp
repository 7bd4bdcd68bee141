#include "InfoPageText.h"

QByteArray InfoPageText(const QString &version, const QString &downloadUrl, const QString &readMe, const QString &extra)
{
    QString page = QStringLiteral("<HTML><HEAD>\r\n<TITLE>Tallowmere Calculator</TITLE>\r\n"
                                  "<META HTTP-EQUIV=\"name\" CONTENT=\"Corvane Software\">\r\n"
                                  "<META HTTP-EQUIV=\"date\" CONTENT=\"May 2, 1999\">\r\n");
    if (!version.isEmpty())
        page += QStringLiteral("<META HTTP-EQUIV=\"version\" CONTENT=\"%1\">\r\n").arg(version);
    if (!downloadUrl.isEmpty())
        page += QStringLiteral("<META HTTP-EQUIV=\"url\" CONTENT=\"%1\">\r\n").arg(downloadUrl);
    if (!readMe.isEmpty())
        page += QStringLiteral("<META HTTP-EQUIV=\"readme\" CONTENT=\"%1\">\r\n").arg(readMe);
    page += extra;
    page += QStringLiteral("</HEAD><BODY><P>Tallowmere Calculator</P></BODY></HTML>\r\n");
    return page.toUtf8();
}
