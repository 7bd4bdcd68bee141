#pragma once

#include <QByteArray>
#include <QString>

// An update page with the program's entry names; empty values leave their entry out.
QByteArray InfoPageText(const QString &version, const QString &downloadUrl = {}, const QString &readMe = {},
                        const QString &extra = {});
