#include "update/core/WfiTags.h"

bool TWfiTags::NoneForCheck() const
{
    return FProductNameTag.isEmpty() && FReadMeTag.isEmpty() && FReadMeExtTag.isEmpty() && FVersionTag.isEmpty() &&
           FDateTag.isEmpty() && FAuthorTag.isEmpty() && FDownloadTag.isEmpty() && FRedirectTag.isEmpty() &&
           FRunParamsTag.isEmpty();
}

TWfiTags TWfiTags::ProgramTags()
{
    TWfiTags tags;
    tags.SetAuthorTag(QStringLiteral("name"));
    tags.SetDateTag(QStringLiteral("date"));
    tags.SetDownloadTag(QStringLiteral("url"));
    tags.SetProductNameTag(QStringLiteral("name"));
    tags.SetReadMeTag(QStringLiteral("readme"));
    tags.SetRunParamsTag(QStringLiteral("runparams"));
    tags.SetVersionTag(QStringLiteral("version"));
    return tags;
}
