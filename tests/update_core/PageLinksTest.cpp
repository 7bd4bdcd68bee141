#include "update/core/PageLinks.h"

#include <gtest/gtest.h>

// Every address an information page names, resolved against the page's final address
// by RFC 3986 and judged on the result. "Fetched" is the rule for what nothing else
// vouches for (a read-me, an update without a checksum): any web address from an http
// page, https only from an https page.

namespace {

struct LinkRow {
    const char *Name;
    const char *Page;
    const char *Link;
    const char *Resolved;
    bool Fetched;
};

const char *const Https = "https://www.corvane.example/soft/tallowmere.htm";
const char *const Plain = "http://www.corvane.example/soft/tallowmere.htm";
// The base of the examples of RFC 3986 section 5.4.
const char *const Rfc = "http://a/b/c/d;p?q";

const LinkRow Links[] = {
    {"RelativePath", Https, "files/tlm11.exe", "https://www.corvane.example/soft/files/tlm11.exe", true},
    // No scheme, so no host: a path on the page's own server, never a lookup of "www...".
    {"SchemelessHostLooking", Https, "www.corvane.example/files/tlm11.exe",
     "https://www.corvane.example/soft/www.corvane.example/files/tlm11.exe", true},
    {"SchemelessHostLookingFromHttp", Plain, "www.corvane.example/files/tlm11.exe",
     "http://www.corvane.example/soft/www.corvane.example/files/tlm11.exe", true},
    {"NetworkPathKeepsHttps", Https, "//mirror.corvane.example/x", "https://mirror.corvane.example/x", true},
    {"NetworkPathKeepsHttp", Plain, "//mirror.corvane.example/x", "http://mirror.corvane.example/x", true},
    {"ParentFolder", Https, "../x", "https://www.corvane.example/x", true},
    {"AboveTheRoot", Https, "../../../x", "https://www.corvane.example/x", true},
    {"AbsolutePath", Https, "/files/x", "https://www.corvane.example/files/x", true},
    {"QueryOnly", Https, "?v=2", "https://www.corvane.example/soft/tallowmere.htm?v=2", true},
    {"BlanksAroundAndAFragment", Https, "  notes.txt#part2 ", "https://www.corvane.example/soft/notes.txt", true},
    {"SchemeAndHostInCapitals", Https, "HTTPS://WWW.Corvane.example/a/./b/../c", "https://www.corvane.example/a/c",
     true},
    {"PlainHttpFromHttps", Https, "http://www.corvane.example/files/x", "http://www.corvane.example/files/x", false},
    {"PlainHttpFromHttp", Plain, "http://www.corvane.example/files/x", "http://www.corvane.example/files/x", true},
    // A host-looking name followed by a colon is a scheme of its own.
    {"HostAndPortWithoutScheme", Https, "www.corvane.example:8080/x", "www.corvane.example:8080/x", false},
    {"OtherScheme", Https, "ftp://www.corvane.example/x", "ftp://www.corvane.example/x", false},
    {"Script", Https, "javascript:alert(1)", "javascript:alert(1)", false},
    // Strict RFC 3986: a scheme makes the reference absolute, here without a host.
    {"HttpSchemeWithoutHost", Https, "http:files/x", "http:files/x", false},
    {"EmptyHost", Https, "///x", "https:///x", false},
    {"BadPort", Https, "https://www.corvane.example:99999/x", "https://www.corvane.example:99999/x", false},
    // After the server's redirects the page's final address is the base.
    {"FinalAddressAsBase", "https://cdn.corvane.example/v2/", "tlm11.exe", "https://cdn.corvane.example/v2/tlm11.exe",
     true},
    {"BaseWithoutPath", "https://www.corvane.example", "files/x", "https://www.corvane.example/files/x", true},
    // RFC 3986 section 5.4, normal and abnormal examples.
    {"RfcOtherScheme", Rfc, "g:h", "g:h", false},
    {"RfcSegment", Rfc, "g", "http://a/b/c/g", true},
    {"RfcNetworkPath", Rfc, "//g", "http://g", true},
    {"RfcQuery", Rfc, "?y", "http://a/b/c/d;p?y", true},
    {"RfcParameter", Rfc, ";x", "http://a/b/c/;x", true},
    {"RfcEmpty", Rfc, "", "http://a/b/c/d;p?q", true},
    {"RfcDotDot", Rfc, "../..", "http://a/", true},
    {"RfcTooManyDotDots", Rfc, "../../../../g", "http://a/g", true},
    {"RfcDotInAbsolutePath", Rfc, "/./g", "http://a/g", true},
    {"RfcDotsInAName", Rfc, "..g", "http://a/b/c/..g", true},
    {"RfcDotDotAfterParameter", Rfc, "g;x=1/../y", "http://a/b/c/y", true},
    {"RfcDotsInTheQueryStay", Rfc, "g?y/../x", "http://a/b/c/g?y/../x", true},
    {"RfcStrictScheme", Rfc, "http:g", "http:g", false},
};

class PageLinkTable : public ::testing::TestWithParam<LinkRow> {};

} // namespace

TEST_P(PageLinkTable, ResolvesAgainstThePageAndDecidesOnTheResult)
{
    const LinkRow &row = GetParam();
    const QString page = QString::fromLatin1(row.Page);
    const QString resolved = PageLinks::Resolve(page, QString::fromLatin1(row.Link));
    EXPECT_EQ(resolved.toStdString(), row.Resolved);
    EXPECT_EQ(PageLinks::Refusal(resolved, PageLinks::IsHttps(page), false).isEmpty(), row.Fetched)
        << PageLinks::Refusal(resolved, PageLinks::IsHttps(page), false).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Links, PageLinkTable, ::testing::ValuesIn(Links),
                         [](const ::testing::TestParamInfo<LinkRow> &info) { return std::string(info.param.Name); });
