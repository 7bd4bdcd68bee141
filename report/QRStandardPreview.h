#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>

class QFileDialog;
class QLabel;
class QPushButton;
class QToolButton;
class QWidget;
class TQRPreview;
class TQRPrinter;

// The engine's own preview, shown by QRPrinter when no preview hook is set: a
// maximised window with a toolbar (three zoom buttons, paging with a page panel,
// Print, Save, Load and Exit) over the page surface. Save and Load go through file
// dialogs to page files. The window is built when shown and goes when it closes.
class TQRStandardPreview : public QObject {
    Q_OBJECT
public:
    explicit TQRStandardPreview(TQRPrinter *printer);
    ~TQRStandardPreview() override;

    // Builds the window and shows it modally; returns when it has closed.
    void Show();

    // The window while it is shown, nullptr otherwise; with its parts.
    QDialog *Window() const { return FWindow; }
    QWidget *Toolbar() const { return FToolbar; }
    TQRPreview *Preview() const { return FPreview; }
    QToolButton *FitButton() const { return FFit; }
    QToolButton *ActualSizeButton() const { return FActualSize; }
    QToolButton *WidthButton() const { return FWidth; }
    QToolButton *FirstButton() const { return FFirst; }
    QToolButton *PrevButton() const { return FPrev; }
    QLabel *PagePanel() const { return FPagePanel; }
    QToolButton *NextButton() const { return FNext; }
    QToolButton *LastButton() const { return FLast; }
    QToolButton *PrintButton() const { return FPrint; }
    QToolButton *SaveButton() const { return FSave; }
    QToolButton *LoadButton() const { return FLoad; }
    QPushButton *ExitButton() const { return FExit; }

    void FitClick();
    void ActualSizeClick();
    void WidthClick();
    void FirstClick();
    void PrevClick();
    void NextClick();
    void LastClick();
    void PrintClick();
    void SaveClick();
    void LoadClick();
    void ExitClick();

    // Called with every file dialog once it is running, in place of the user (tests
    // choose a file and accept or reject it). nullptr restores the user.
    static void SetOnFileDialog(std::function<void(QFileDialog &)> onDialog);

private:
    void Build();
    QToolButton *MakeButton(int left, int width, const QString &glyph, const QString &hint);
    void ShowPage(int page);
    // The page panel and the enabled state of every button, from the store.
    void Refresh();
    // Re-fits the surface to the store's sheet in the current zoom mode.
    void Relayout();
    // The chosen file, or an empty name when the dialog was cancelled.
    QString AskFileName(bool save);

    QPointer<TQRPrinter> FPrinter;
    QPointer<QDialog> FWindow;
    QWidget *FToolbar = nullptr;
    TQRPreview *FPreview = nullptr;
    QToolButton *FFit = nullptr;
    QToolButton *FActualSize = nullptr;
    QToolButton *FWidth = nullptr;
    QToolButton *FFirst = nullptr;
    QToolButton *FPrev = nullptr;
    QLabel *FPagePanel = nullptr;
    QToolButton *FNext = nullptr;
    QToolButton *FLast = nullptr;
    QToolButton *FPrint = nullptr;
    QToolButton *FSave = nullptr;
    QToolButton *FLoad = nullptr;
    QPushButton *FExit = nullptr;
};
