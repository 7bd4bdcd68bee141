#pragma once

#include <QByteArray>
#include <QString>

// What a downloaded file is, decided from its first bytes and never from its name: the
// name comes from an address anybody may have written, the bytes are what a viewer or
// the system will act on.
namespace ContentSniffer {

enum TDocumentKind { dkNone, dkText, dkHtml, dkPdf };

// How many leading bytes the decisions look at.
inline constexpr qsizetype HeadSize = 4096;

// A document a viewer may be given: a PDF ("%PDF-" first), HTML (after an optional
// byte-order mark and white space, one of the tags an HTML document begins with) or
// text (a UTF-16 byte-order mark, or no byte of the binary control ranges). dkNone for
// anything else, an empty file included.
TDocumentKind Document(const QByteArray &head);

// The name suffix a document of that kind is saved under, so that the desktop's viewer
// chosen by the name agrees with the content.
QString Suffix(TDocumentKind kind);

// A script ("#!") or an ELF program: the kinds a Linux desktop starts only with the
// execute permission.
bool IsProgram(const QByteArray &head);

} // namespace ContentSniffer
