#include "support/BoxRecorder.h"

#include "platform/gui/MessageBox.h"

#include <QAbstractButton>

TBoxRecorder::TBoxRecorder()
{
    MessageBox::SetOnShow([this](QMessageBox &box) {
        Box seen{box.windowTitle(), box.property("rawText").toString(), box.icon(), box.standardButtons()};
        FBoxes.append(seen);
        if (OnBox)
            OnBox(seen);
        QMessageBox::StandardButton button = seen.Buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes
                                                                                     : QMessageBox::Ok;
        QList<QMessageBox::StandardButton> &answers = FAnswers[seen.Caption];
        if (!answers.isEmpty())
            button = answers.takeFirst();
        if (QAbstractButton *pressed = box.button(button))
            pressed->click();
        else
            box.reject();
    });
}

TBoxRecorder::~TBoxRecorder()
{
    MessageBox::SetOnShow({});
}

void TBoxRecorder::Answer(const QString &caption, QList<QMessageBox::StandardButton> buttons)
{
    FAnswers[caption] = std::move(buttons);
}

QStringList TBoxRecorder::Captions() const
{
    QStringList captions;
    for (const Box &box : FBoxes)
        captions.append(box.Caption);
    return captions;
}

QStringList TBoxRecorder::Texts() const
{
    QStringList texts;
    for (const Box &box : FBoxes)
        texts.append(box.Text);
    return texts;
}

TBoxRecorder::Box TBoxRecorder::Find(const QString &caption) const
{
    for (auto it = FBoxes.crbegin(); it != FBoxes.crend(); ++it) {
        if (it->Caption == caption)
            return *it;
    }
    return Box{QString(), QString(), QMessageBox::NoIcon, {}};
}

bool TBoxRecorder::Shown(const QString &caption) const
{
    return Captions().contains(caption);
}
