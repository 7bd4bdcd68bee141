#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class TPanel;

// The start-up window: the logo in a silver frame, without border or title bar, on
// top of every other window. Its timer, once enabled, hides it after 3.5 s; the
// instance stays until the program ends.
class TSplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit TSplashScreen(QWidget *parent = nullptr);

    TPanel *Panel2;
    TPanel *Panel1;
    QLabel *ImgLogo;
    // Disabled as laid out; the start-up sequence enables it.
    QTimer *Timer1;

    void Timer1Timer();

protected:
    void showEvent(QShowEvent *event) override;
};
