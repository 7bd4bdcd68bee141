#pragma once

#include <QPointer>
#include <QString>

#include <memory>

class THttpCli;

// What the update component's page check, read-mes and download share: the one HTTP
// client, the message boxes and the request helpers.
namespace Wfi {

// The client every component shares; null until the first request creates it.
QPointer<THttpCli> &SharedClient();

void Box(const QString &text, const QString &caption, unsigned flags);
// A Yes/No question; true for Yes.
bool Ask(const QString &text, const QString &caption);

// The client refuses a second request itself, but only after we would have taken the
// running request's stream and handlers away from it.
void ThrowIfBusy(const THttpCli *cli);

// Follows the client through the server's redirects: each Location is resolved
// against the address it answered for, so that address ends as the one the last reply
// came from. The handler stays until the caller clears OnLocationChange.
std::shared_ptr<QString> TrackFinalAddress(THttpCli *cli, const QString &url);

// The program's title as the install question names it.
QString AppTitle();

} // namespace Wfi
