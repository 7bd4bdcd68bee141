#include "update/core/PageLinks.h"

#include <QUrl>

namespace PageLinks {

QString Resolve(const QString &base, const QString &reference)
{
    const QString text = reference.trimmed();
    const QUrl relative(text);
    // An empty reference is the base itself (QUrl calls it invalid).
    if (!text.isEmpty() && !relative.isValid())
        return text;
    const QUrl resolved = QUrl(base).resolved(relative);
    if (!resolved.isValid())
        return text;
    return resolved.toString(QUrl::FullyEncoded | QUrl::RemoveFragment);
}

bool IsWebAddress(const QString &address)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

bool IsHttps(const QString &address)
{
    return IsWebAddress(address) && QUrl(address).scheme() == QLatin1String("https");
}

QString Host(const QString &address)
{
    return QUrl(address).host();
}

QString Refusal(const QString &address, bool pageSecure, bool plainVouched)
{
    if (!IsWebAddress(address))
        return QStringLiteral("The information page names %1, which is not an http or https address; it is not "
                              "fetched")
            .arg(address);
    if (pageSecure && !plainVouched && !IsHttps(address))
        return QStringLiteral("The information page was read over https but names %1 over plain http without "
                              "a published checksum; it is not fetched")
            .arg(address);
    return QString();
}

} // namespace PageLinks
