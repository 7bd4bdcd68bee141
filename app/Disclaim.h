#pragma once

#include <QDialog>

class QLabel;
class TExplorerButton;
class TPanel;

// The disclaimer: no warranty for the results. No close box; shown modally, its OK
// button ends it with the result "cancel".
class TfrmDisclaim : public QDialog {
    Q_OBJECT
public:
    explicit TfrmDisclaim(QWidget *parent = nullptr);

    TPanel *Panel1;
    QLabel *Label3;
    QLabel *Label10;
    QLabel *Label12;
    TExplorerButton *btnClose;

    void BtnCloseClick(QObject *Sender);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
};
