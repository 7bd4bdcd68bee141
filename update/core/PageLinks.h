#pragma once

#include <QString>

// How the addresses an information page names are read. Each one (the update, its
// signature, both read-mes, the redirect page) is a URI reference resolved against the
// address the page finally came from, after the server's redirects (RFC 3986, section
// 5.2), and everything decided about it is decided on the result: whether it is an
// address the update service fetches at all, and whether it is https. So
// "files/tlm11.exe" and "www.corvane.example/files/tlm11.exe" are both paths on the
// page's own server, and "//mirror.example/x" keeps the page's scheme.
namespace PageLinks {

// reference resolved against base (an absolute address), without its fragment, which
// names a part of a document and is never sent. Blanks around the reference are
// ignored. A reference that cannot be read as a URI comes back as written (and is no
// web address).
//
// The resolution is QUrl::resolved, which follows the algorithm of RFC 3986 section
// 5.2 for every example of section 5.4; on top of it QUrl normalises as section 6.2.2
// allows (scheme and host in lower case, %7E read as "~"), which changes no address's
// meaning.
QString Resolve(const QString &base, const QString &reference);

// An absolute http or https address with a host: the only kind the update service
// fetches.
bool IsWebAddress(const QString &address);
bool IsHttps(const QString &address);

// The host of an absolute address, as the user is shown it.
QString Host(const QString &address);

// Why the resolved address is not fetched, empty when it may be. Only web addresses
// are fetched; a page read over https (pageSecure) names a plain http address only when
// something else vouches for what comes from there (plainVouched: a published checksum,
// or a signature, which proves itself).
QString Refusal(const QString &address, bool pageSecure, bool plainVouched);

} // namespace PageLinks
