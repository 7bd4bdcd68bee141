#pragma once

#include <QFileDialog>
#include <QStringList>

// The save dialog for a downloaded update: the program's filters, the update's own
// file name proposed, the default extension added before the user is asked whether an
// existing file may be replaced, and a folder that must exist. Qt's own dialog is used on every desktop, so that the behaviour
// (and the tests driving it) are the same everywhere.
class TUpdateSaveDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit TUpdateSaveDialog(const QString &proposedName, QWidget *parent = nullptr);

    // Application, Zipped File, All Files; on Linux the patterns match without regard
    // to case and "All Files" also lists names without a dot.
    static QStringList Filters();

    // 1 for the first filter, as the extension rule counts them.
    int FilterIndex() const;
    // After the dialog was accepted: the name to write, extension included.
    QString FileName() const;

    // The name with ".EXE" (first filter) or ".ZIP" (second) added when its file part
    // has no extension; the third filter adds nothing.
    static QString WithDefaultExtension(const QString &name, int filterIndex);

public slots:
    // Adds the filter's extension, then asks before an existing file of that name is
    // replaced.
    void accept() override;

private:
    // The name the user agreed to, once accept() has asked.
    QString FConfirmedName;
};
