#include "platform/gui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {

std::function<void(QMessageBox &)> &onShowHook()
{
    static std::function<void(QMessageBox &)> hook;
    return hook;
}

int runBox(QMessageBox &box)
{
    if (onShowHook()) {
        QPointer<QMessageBox> guard(&box);
        QTimer::singleShot(0, &box, [guard] {
            if (guard && onShowHook())
                onShowHook()(*guard);
        });
    }
    box.exec();
    QAbstractButton *clicked = box.clickedButton();
    switch (box.standardButton(clicked)) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
    }
}

} // namespace

namespace MessageBox {

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int Show(QWidget *parent, const QString &text, const QString &caption, unsigned flags)
{
    QMessageBox box(parent ? parent : QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(DisplayText(text));
    box.setProperty("rawText", text);
    box.setTextFormat(Qt::PlainText);
    switch (flags & 0xF0) {
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (flags & 0x0F) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    return runBox(box);
}

int MessageDlg(const QString &text, TMsgDlgType type)
{
    static const char *const captions[] = {
        QT_TRANSLATE_NOOP("MessageBox", "Warning"), QT_TRANSLATE_NOOP("MessageBox", "Error"),
        QT_TRANSLATE_NOOP("MessageBox", "Information"), QT_TRANSLATE_NOOP("MessageBox", "Confirm"), ""};
    static const unsigned icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    const QString caption = type == mtCustom ? QApplication::applicationDisplayName()
                                             : QCoreApplication::translate("MessageBox", captions[type]);
    return Show(nullptr, text, caption, MB_OK | icons[type]);
}

void SetOnShow(std::function<void(QMessageBox &)> onShow)
{
    onShowHook() = std::move(onShow);
}

} // namespace MessageBox
