#include "update/core/ContentSniffer.h"

#include <array>

namespace ContentSniffer {

namespace {

// Bytes no text file holds (the binary data bytes of the WHATWG sniffing rules).
bool IsBinaryByte(unsigned char c)
{
    return c <= 0x08 || c == 0x0B || (c >= 0x0E && c <= 0x1A) || (c >= 0x1C && c <= 0x1F);
}

bool IsHtmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The tags an HTML document begins with, each followed by a blank or ">" (the
// comment by anything), compared without regard to case.
bool StartsAsHtml(const QByteArray &text)
{
    static const std::array<const char *, 17> tags = {
        "<!DOCTYPE HTML", "<HTML",  "<HEAD", "<SCRIPT", "<IFRAME", "<H1", "<DIV", "<FONT", "<TABLE", "<A",
        "<STYLE",         "<TITLE", "<B",    "<BODY",   "<BR",     "<P",  "<META"};
    if (text.startsWith("<!--"))
        return true;
    for (const char *tag : tags) {
        const QByteArray name(tag);
        if (text.size() <= name.size() || text.left(name.size()).toUpper() != name)
            continue;
        const char next = text.at(name.size());
        if (next == '>' || IsHtmlSpace(next))
            return true;
    }
    return false;
}

} // namespace

TDocumentKind Document(const QByteArray &data)
{
    const QByteArray head = data.left(HeadSize);
    if (head.startsWith("%PDF-"))
        return dkPdf;
    if (IsProgram(head) && !head.startsWith("#!"))
        return dkNone;
    if (head.startsWith("\xFE\xFF") || head.startsWith("\xFF\xFE"))
        return dkText;
    for (const char c : head) {
        if (IsBinaryByte(static_cast<unsigned char>(c)))
            return dkNone;
    }
    if (head.isEmpty())
        return dkNone;
    QByteArray text = head.startsWith("\xEF\xBB\xBF") ? head.mid(3) : head;
    qsizetype start = 0;
    while (start < text.size() && IsHtmlSpace(text.at(start)))
        ++start;
    return StartsAsHtml(text.mid(start)) ? dkHtml : dkText;
}

QString Suffix(TDocumentKind kind)
{
    switch (kind) {
    case dkText: return QStringLiteral(".txt");
    case dkHtml: return QStringLiteral(".html");
    case dkPdf: return QStringLiteral(".pdf");
    case dkNone: break;
    }
    return QString();
}

bool IsProgram(const QByteArray &head)
{
    return head.startsWith("#!") || head.startsWith("\x7F"
                                                    "ELF");
}

} // namespace ContentSniffer
