#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;
class QToolButton;
class QWindow;
class TPanel;
class TWebFileInfo;

// The Update Center: the running program's identity, and what the maker's information
// page publishes. It checks the page whenever it becomes active and enables Retrieve
// Update only when the published version is newer. The network work is done by the
// main window's TWebFileInfo; this window displays and triggers.
class TfrmUpdate : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUpdate(TWebFileInfo *webFileInfo, QWidget *parent = nullptr);
    ~TfrmUpdate() override;

    // The Check for Update command: repaints mainWindow (may be null), shows a fresh
    // Update Center modally at the centre of the screen and destroys it afterwards,
    // also when showing it failed.
    static void ShowUpdateCenter(TWebFileInfo *webFileInfo, QWidget *mainWindow);

    void FormCreate();
    void CheckUpdate();
    bool IsUpdateAvailable() const;
    void RetrieveUpdate();
    void CloseUpdateCenter();

    TWebFileInfo *WebFileInfo() const;

    // The running program as the window shows it.
    static const QString CurrentVersion;
    static const QString CurrentCompileDate;

    QToolButton *btnClose = nullptr;
    QToolButton *btnRetrieveUpdate = nullptr;
    QToolButton *btnCheckForUpdate = nullptr; // part of the published interface: hidden, activation checks
    TPanel *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblApplicationName = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *lblDeveloper = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *lblCurrentVersion = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *lblCurrentCompileDate = nullptr;
    QLabel *lblUpdateStatus = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *Label5 = nullptr;    // part of the published interface: hidden, lblReadMe's caption
    QLabel *lblReadMe = nullptr; // part of the published interface: hidden, set by every check
    QLabel *Label6 = nullptr;    // part of the published interface: hidden, lblURL's caption
    QLabel *lblURL = nullptr;    // part of the published interface: hidden, set by every check
    QLabel *Label3 = nullptr;    // part of the published interface: hidden, lblDate's caption
    QLabel *lblDate = nullptr;   // part of the published interface: hidden, set by every check

private:
    void BuildLayout();
    QToolButton *MakeButton(const QString &name, const QString &caption, const QString &hint, const QString &glyph,
                            const QRect &geometry);
    QLabel *MakeLabel(const QString &name, const QString &caption, int left, int top, const QColor &color,
                      bool bold = false);
    QLabel *MakeRightLabel(const QString &name, const QString &caption, int left, int top, int width);

    QPointer<TWebFileInfo> FWebFileInfo;
    // A check or retrieval is running: the windows it shows return the activation to
    // this window, which must not start another check.
    bool FBusy = false;
};
