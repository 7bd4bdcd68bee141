#pragma once

#include <QString>

// The names of the entries an information page is read for. Each name fills one value
// of the update component; an empty name means the value is not looked for (but see
// ParseInfoPage: an entry with an empty name still matches it).
class TWfiTags {
public:
    const QString &AuthorTag() const { return FAuthorTag; }
    void SetAuthorTag(const QString &value) { FAuthorTag = value; }
    const QString &AuthorEMailTag() const { return FAuthorEMailTag; }
    void SetAuthorEMailTag(const QString &value) { FAuthorEMailTag = value; }
    const QString &DateTag() const { return FDateTag; }
    void SetDateTag(const QString &value) { FDateTag = value; }
    const QString &DownloadTag() const { return FDownloadTag; }
    void SetDownloadTag(const QString &value) { FDownloadTag = value; }
    const QString &ProductNameTag() const { return FProductNameTag; }
    void SetProductNameTag(const QString &value) { FProductNameTag = value; }
    const QString &ReadMeTag() const { return FReadMeTag; }
    void SetReadMeTag(const QString &value) { FReadMeTag = value; }
    const QString &ReadMeExtTag() const { return FReadMeExtTag; }
    void SetReadMeExtTag(const QString &value) { FReadMeExtTag = value; }
    const QString &RedirectTag() const { return FRedirectTag; }
    void SetRedirectTag(const QString &value) { FRedirectTag = value; }
    const QString &RunParamsTag() const { return FRunParamsTag; }
    void SetRunParamsTag(const QString &value) { FRunParamsTag = value; }
    const QString &VersionTag() const { return FVersionTag; }
    void SetVersionTag(const QString &value) { FVersionTag = value; }

    // True when none of the names a check needs is set. The e-mail name is not among
    // them: a page read for nothing but an address is not an update check.
    bool NoneForCheck() const;

    // The names this program's pages are published with.
    static TWfiTags ProgramTags();

    bool operator==(const TWfiTags &) const = default;

private:
    QString FAuthorTag;
    QString FAuthorEMailTag;
    QString FDateTag;
    QString FDownloadTag;
    QString FProductNameTag;
    QString FReadMeTag;
    QString FReadMeExtTag;
    QString FRedirectTag;
    QString FRunParamsTag;
    QString FVersionTag;
};
