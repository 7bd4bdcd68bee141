#include "support/PrinterScope.h"

PrinterScope::PrinterScope(const QStringList &names)
{
    Printers::SetNames(names);
    NextFile = Dir.filePath(QStringLiteral("job.pdf"));
    Printers::SetOnAskFileName([this](QString &fileName) {
        ++Asked;
        if (Decline)
            return false;
        fileName = NextFile;
        return true;
    });
}

PrinterScope::~PrinterScope()
{
    Printers::SetOnAskFileName(nullptr);
    Printers::SetNames(std::nullopt);
}
