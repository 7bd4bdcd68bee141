#pragma once

#include <QString>

// The maker's addresses. The web addresses sit under one site, so moving the site
// means changing HomePage only.
namespace Links {

inline const QString HomePage = QStringLiteral("http://www.corvane.example/");
inline const QString ProductPage = HomePage + QStringLiteral("tallowmere.htm");
inline const QString SuggestPage = HomePage + QStringLiteral("suggest.htm");
inline const QString FreewarePage = HomePage + QStringLiteral("freeware.htm");
inline const QString SupportAddress = QStringLiteral("support@corvane.example");
inline const QString SuggestAddress = QStringLiteral("suggestions@corvane.example");

} // namespace Links
