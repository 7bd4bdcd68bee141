#include "update/UpdateSaveDialog.h"

#include "platform/gui/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QStringList TUpdateSaveDialog::Filters()
{
    return {tr("Application (*.EXE)"), tr("Zipped File (*.ZIP)"), tr("All Files (*)")};
}

TUpdateSaveDialog::TUpdateSaveDialog(const QString &proposedName, QWidget *parent) : QFileDialog(parent)
{
    setObjectName(QStringLiteral("UpdateSaveDialog"));
    setWindowTitle(QCoreApplication::translate("TUpdateSaveDialog", "Save As"));
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // The dialog's own question would come before the extension is added; accept()
    // asks instead, about the name that will be written.
    setOption(QFileDialog::DontConfirmOverwrite);
    setNameFilters(Filters());
    selectNameFilter(Filters().first());
    selectFile(proposedName);
}

int TUpdateSaveDialog::FilterIndex() const
{
    return int(Filters().indexOf(selectedNameFilter())) + 1;
}

QString TUpdateSaveDialog::FileName() const
{
    if (!FConfirmedName.isEmpty())
        return FConfirmedName;
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
    FConfirmedName.clear();
    QString name = FileName();
    const QFileInfo info(name);
    if (!name.isEmpty() && !info.isDir()) {
        if (!info.absoluteDir().exists()) {
            MessageBox::Show(this,
                             tr("%1\rPath does not exist.\rCheck the path and try again.").arg(info.absolutePath()),
                             windowTitle(), MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        // The name the user confirms is the name that is written: the extension goes on
        // first, and the question about replacing a file is asked about that name.
        name = WithDefaultExtension(name, FilterIndex());
        if (QFileInfo::exists(name) &&
            MessageBox::Show(this, tr("%1 already exists.\rDo you want to replace it?").arg(name), windowTitle(),
                             MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
            return;
        FConfirmedName = name;
    }
    QFileDialog::accept();
}
