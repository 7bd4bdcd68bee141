#pragma once

#include "platform/core/HelpFile.h"

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

// Commands of the help call, with the numbers callers pass.
enum HelpCommand : unsigned {
    HELP_CONTEXT = 1,
    HELP_QUIT = 2,
    HELP_CONTENTS = 3,
    HELP_HELPONHELP = 4,
    HELP_PARTIALKEY = 0x105,
};

// The help window: contents and keyword index on the left, the topic on the right. One
// window serves the whole program; WinHelp drives it the way the program's commands
// expect.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Runs a help command for the file: HELP_CONTENTS shows the first topic,
    // HELP_PARTIALKEY the index with its search field, HELP_HELPONHELP the page on using
    // help, HELP_CONTEXT the topic whose context number is data (the contents when no topic
    // has it), HELP_QUIT closes the window. Returns false (after telling the user) when the
    // file cannot be shown. Asked from a modal window, the help window belongs to that
    // window, so that it takes input while the modal window is up.
    static bool WinHelp(QWidget *owner, const QString &helpFile, unsigned command, quintptr data = 0);

    // The window while it exists, for tests and for HELP_QUIT.
    static HelpViewer *Current();

    const QString &FileName() const { return FFileName; }
    QString CurrentTopicId() const { return FTopicId; }
    QTextBrowser *Browser() const { return FBrowser; }
    QLineEdit *SearchField() const { return FSearch; }
    QListWidget *IndexList() const { return FIndexList; }
    bool IndexShown() const;

    void ShowTopic(const QString &id);
    void ShowIndex();
    void ShowHelpOnHelp();

    static const QString HelpOnHelpId;

private:
    HelpViewer();
    bool Open(const QString &helpFile);
    void FillContents();
    void FillIndex(const QString &prefix);
    void OpenLink(const QUrl &url);

    HelpFile FHelp;
    QString FFileName;
    QString FTopicId;
    QTabWidget *FTabs = nullptr;
    QListWidget *FContentsList = nullptr;
    QLineEdit *FSearch = nullptr;
    QListWidget *FIndexList = nullptr;
    QTextBrowser *FBrowser = nullptr;
};
