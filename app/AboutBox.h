#pragma once

#include <QDialog>

class QLabel;
class TExplorerButton;
class TPanel;
class TUrlLabel;

// The About window: who makes the calculator, links to the web site and to the
// comments address, and an OK button. It has no close box; shown modally, its OK
// button ends it with the result "cancel".
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Where the e-mail link writes to.
    static const QString CommentsAddress;

    TPanel *Panel1;
    QLabel *Label4;
    QLabel *Label5;
    QLabel *Label6;
    QLabel *Label3;
    TUrlLabel *UrlLabel1;
    QLabel *Label7;
    QLabel *Label10;
    QLabel *Label12;
    QLabel *Label1;
    QLabel *Label8;
    TUrlLabel *UrlLabel2;
    QLabel *Label2;
    QLabel *Image1;
    TExplorerButton *btnClose;

    void BtnCloseClick(QObject *Sender);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
