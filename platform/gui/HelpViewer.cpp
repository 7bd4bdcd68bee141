#include "platform/gui/HelpViewer.h"

#include "platform/gui/MessageBox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

const QString HelpViewer::HelpOnHelpId = QStringLiteral("using-help");

namespace {

QPointer<HelpViewer> &current()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

const char HelpOnHelpHtml[] = QT_TRANSLATE_NOOP(
    "HelpViewer", "<h2>Using Help</h2>"
                  "<p>The help window has two tabs on its left side.</p>"
                  "<ul>"
                  "<li><b>Contents</b> lists every topic of the help file. Click a topic to read it.</li>"
                  "<li><b>Index</b> lists the keywords of the help file. Type the first letters of a word in the "
                  "search field to narrow the list, then press Enter or double-click a keyword to open its topic.</li>"
                  "</ul>"
                  "<p>Underlined words in a topic lead to related topics.</p>"
                  "<p>Close the help window when you are done; it also closes when the program ends.</p>");

constexpr int TopicRole = Qt::UserRole + 1;

} // namespace

HelpViewer::HelpViewer() : QWidget(nullptr, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("HelpViewer"));
    resize(720, 520);

    FTabs = new QTabWidget;
    FContentsList = new QListWidget;
    FContentsList->setAccessibleName(tr("Help contents"));
    FTabs->addTab(FContentsList, tr("&Contents"));

    auto *indexPage = new QWidget;
    auto *indexLayout = new QVBoxLayout(indexPage);
    auto *prompt = new QLabel(tr("&Type the first few letters of the word you're looking for:"));
    prompt->setWordWrap(true);
    FSearch = new QLineEdit;
    FSearch->setAccessibleName(tr("Search the index"));
    prompt->setBuddy(FSearch);
    FIndexList = new QListWidget;
    FIndexList->setAccessibleName(tr("Help index"));
    indexLayout->addWidget(prompt);
    indexLayout->addWidget(FSearch);
    indexLayout->addWidget(FIndexList);
    FTabs->addTab(indexPage, tr("&Index"));

    FBrowser = new QTextBrowser;
    FBrowser->setOpenLinks(false);
    FBrowser->setAccessibleName(tr("Help topic"));

    auto *splitter = new QSplitter;
    splitter->addWidget(FTabs);
    splitter->addWidget(FBrowser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 500});
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(FContentsList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { ShowTopic(item->data(TopicRole).toString()); });
    connect(FSearch, &QLineEdit::textChanged, this, &HelpViewer::FillIndex);
    connect(FSearch, &QLineEdit::returnPressed, this, [this] {
        if (FIndexList->count() > 0)
            ShowTopic(FIndexList->item(0)->data(TopicRole).toString());
    });
    connect(FIndexList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { ShowTopic(item->data(TopicRole).toString()); });
    connect(FBrowser, &QTextBrowser::anchorClicked, this, &HelpViewer::OpenLink);
}

HelpViewer *HelpViewer::Current()
{
    return current();
}

bool HelpViewer::WinHelp(QWidget *owner, const QString &helpFile, unsigned command, quintptr data)
{
    if (command == HELP_QUIT) {
        if (current() && current()->FFileName == helpFile)
            current()->close();
        return true;
    }
    if (!current() || current()->FFileName != helpFile) {
        auto *viewer = new HelpViewer;
        if (!viewer->Open(helpFile)) {
            const QString error = viewer->FHelp.ErrorText();
            delete viewer;
            MessageBox::Show(owner, error, tr("Help"), MB_OK | MB_ICONEXCLAMATION);
            return false;
        }
        if (current())
            current()->close();
        current() = viewer;
    }
    HelpViewer *viewer = current();
    // A modal window blocks every window that is not its own: while one is up, the help
    // window becomes one of its windows, and a free window again once none is.
    QWidget *modal = QApplication::activeModalWidget();
    if (modal == viewer)
        modal = nullptr;
    if (viewer->parentWidget() != modal)
        viewer->setParent(modal, viewer->windowFlags() | Qt::Window);
    switch (command) {
    case HELP_PARTIALKEY: viewer->ShowIndex(); break;
    case HELP_HELPONHELP: viewer->ShowHelpOnHelp(); break;
    case HELP_CONTEXT: {
        const HelpFile::Topic *topic = viewer->FHelp.FindContext(int(data));
        viewer->ShowTopic((topic ? topic : viewer->FHelp.Contents())->Id);
        break;
    }
    default: viewer->ShowTopic(viewer->FHelp.Contents()->Id); break;
    }
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return true;
}

bool HelpViewer::Open(const QString &helpFile)
{
    if (!FHelp.Load(helpFile))
        return false;
    FFileName = helpFile;
    setWindowTitle(FHelp.Contents()->Title);
    FillContents();
    FillIndex(QString());
    return true;
}

void HelpViewer::FillContents()
{
    FContentsList->clear();
    for (const HelpFile::Topic &topic : FHelp.Topics()) {
        auto *item = new QListWidgetItem(topic.Title, FContentsList);
        item->setData(TopicRole, topic.Id);
    }
}

void HelpViewer::FillIndex(const QString &prefix)
{
    FIndexList->clear();
    for (const HelpFile::IndexEntry &entry : FHelp.Search(prefix)) {
        auto *item = new QListWidgetItem(entry.Keyword, FIndexList);
        item->setData(TopicRole, entry.TopicId);
    }
    if (FIndexList->count() > 0)
        FIndexList->setCurrentRow(0);
}

bool HelpViewer::IndexShown() const
{
    return FTabs->currentIndex() == 1;
}

void HelpViewer::ShowTopic(const QString &id)
{
    const HelpFile::Topic *topic = FHelp.Find(id);
    if (!topic)
        return;
    FTopicId = id;
    FBrowser->setHtml(topic->Html);
    for (int row = 0; row < FContentsList->count(); ++row) {
        if (FContentsList->item(row)->data(TopicRole).toString() == id)
            FContentsList->setCurrentRow(row);
    }
}

void HelpViewer::ShowIndex()
{
    FTabs->setCurrentIndex(1);
    FSearch->setFocus();
    FSearch->selectAll();
}

void HelpViewer::ShowHelpOnHelp()
{
    FTopicId = HelpOnHelpId;
    FBrowser->setHtml(tr(HelpOnHelpHtml));
}

void HelpViewer::OpenLink(const QUrl &url)
{
    if (url.scheme().isEmpty() && url.path().isEmpty() && !url.fragment().isEmpty())
        ShowTopic(url.fragment());
}
