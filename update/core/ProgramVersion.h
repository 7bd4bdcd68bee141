#pragma once

#include <QString>

// Versions as the update service writes and compares them.
namespace ProgramVersion {

// The project's version (major.minor.patch) in the style of the information page:
// the patch number in two digits, so 1.1.0 is "1.1.00" and 1.2.13 is "1.2.13".
QString PageStyle(const QString &projectVersion);

// The running program's version in the page's style.
QString Current();

// Below, equal or above zero as a is older than, the same as or newer than b, every
// dot-separated segment compared as a number of any length; a missing segment reads as
// 0 (1.1 equals 1.1.00) and so does one that is not all digits.
int Compare(const QString &a, const QString &b);

} // namespace ProgramVersion
