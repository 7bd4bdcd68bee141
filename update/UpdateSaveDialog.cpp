#include "update/UpdateSaveDialog.h"

#include "platform/gui/MessageBox.h"

#include <QDir>
#include <QFileInfo>

const QStringList TUpdateSaveDialog::Filters = {
    QStringLiteral("Application (*.EXE)"),
    QStringLiteral("Zipped File (*.ZIP)"),
    QStringLiteral("All Files (*)"),
};

TUpdateSaveDialog::TUpdateSaveDialog(const QString &proposedName, QWidget *parent) : QFileDialog(parent)
{
    setObjectName(QStringLiteral("UpdateSaveDialog"));
    setWindowTitle(QStringLiteral("Save As"));
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(Filters);
    selectNameFilter(Filters.first());
    selectFile(proposedName);
}

int TUpdateSaveDialog::FilterIndex() const
{
    return int(Filters.indexOf(selectedNameFilter())) + 1;
}

QString TUpdateSaveDialog::FileName() const
{
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

QString TUpdateSaveDialog::WithDefaultExtension(const QString &name, int filterIndex)
{
    const QString filePart = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (filePart.contains(QLatin1Char('.')))
        return name;
    if (filterIndex == 1)
        return name + QStringLiteral(".EXE");
    if (filterIndex == 2)
        return name + QStringLiteral(".ZIP");
    return name;
}

void TUpdateSaveDialog::accept()
{
    const QString name = FileName();
    if (!name.isEmpty()) {
        const QFileInfo info(name);
        if (!info.isDir() && !info.absoluteDir().exists()) {
            MessageBox::Show(this, info.absolutePath() + QStringLiteral("\rPath does not exist.\rCheck the path and try again."),
                             windowTitle(), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    QFileDialog::accept();
}
