#pragma once

#include <QDialog>

class QLabel;
class TExplorerButton;
class TPanel;
class TQRPreview;

// The program's print preview window: one page at a time on a scrollable surface,
// three zoom commands, paging by buttons and keys, and Print, which sends every page
// to the printer chosen in Print Setup and closes the window. Created once and shown
// modally for each preview; each showing starts on page 1 at 100 %.
class TfrmPreview : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPreview(QWidget *parent = nullptr);
    ~TfrmPreview() override;

    TPanel *Panel1 = nullptr;
    QLabel *Label1 = nullptr;
    TExplorerButton *bbPrev = nullptr;
    TExplorerButton *bbNext = nullptr;
    TExplorerButton *bbZoomOut = nullptr;
    TExplorerButton *bbZoomIn = nullptr;
    TExplorerButton *bbZoomW = nullptr;
    TExplorerButton *bbPrint = nullptr;
    TExplorerButton *bbClose = nullptr;
    TQRPreview *QRPreview1 = nullptr;

    // The help context of the toolbar and of the page: F1 anywhere in the window asks
    // the help file for this topic.
    static constexpr int HelpContext = 35;

    // Copies to print; nothing in the program raises it above 1.
    int Tag() const { return FTag; }
    void SetTag(int tag) { FTag = tag; }

    void FormShow();
    void FormActivate();
    void FormClose();
    // Returns whether the key was one of the page keys it acted on.
    bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
    // Arrow keys scroll the page by 50 pixels instead of moving the focus.
    bool DialogKey(int key);

    void bbPrevClick();
    void bbNextClick();
    void bbZoomOutClick();
    void bbZoomInClick();
    void bbZoomWClick();
    void bbPrintClick();
    void bbCloseClick();
    // F1: the help topic of the window's context, in a help window that takes input
    // while this modal window is up.
    void ShowHelp();

    void done(int result) override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    TExplorerButton *MakeButton(int left, int width, const QString &caption, const QString &hint, const QString &glyph,
                                bool popupMark);
    void ShowPage(int page);
    void PlaceRightButtons();
    // Handles the key for the window; true when it was used up.
    bool HandleKey(QKeyEvent *event);

    int FTag = 0;
};
