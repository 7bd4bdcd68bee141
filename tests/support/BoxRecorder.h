#pragma once

#include <QList>
#include <QMap>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <functional>

// Every message box shown while it lives: what it said and which button answered it.
// One at a time: it takes the program's one hook for shown boxes.
class TBoxRecorder {
public:
    struct Box {
        QString Caption;
        QString Text; // exactly as the program wrote it ("\r" line breaks and all)
        QMessageBox::Icon Icon;
        QMessageBox::StandardButtons Buttons;
    };

    // Answers: per caption, the buttons to press in turn; without one, Yes when the box
    // has it, else OK.
    TBoxRecorder();
    ~TBoxRecorder();
    TBoxRecorder(const TBoxRecorder &) = delete;
    TBoxRecorder &operator=(const TBoxRecorder &) = delete;

    void Answer(const QString &caption, QList<QMessageBox::StandardButton> buttons);
    const QList<Box> &Boxes() const { return FBoxes; }
    QStringList Captions() const;
    QStringList Texts() const;
    // The box with this caption (the last one), or an empty record.
    Box Find(const QString &caption) const;
    bool Shown(const QString &caption) const;

    // Called once a box is on screen, before it is answered.
    std::function<void(const Box &)> OnBox;

private:
    QList<Box> FBoxes;
    QMap<QString, QList<QMessageBox::StandardButton>> FAnswers;
};
