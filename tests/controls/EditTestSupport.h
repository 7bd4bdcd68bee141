#pragma once

#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/gui/Application.h"
#include "support/BoxRecorder.h"
#include "support/QtPrinting.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

// A shown, active top-level window holding the edits under test and a plain field to
// move the focus to, so focus entry and exit happen as they do for a user.
class FocusWindow {
public:
    FocusWindow() : Window(std::make_unique<QWidget>())
    {
        Layout = new QVBoxLayout(Window.get());
        Other = new QLineEdit(Window.get());
        Other->setObjectName(QStringLiteral("other"));
    }

    template <typename T>
    T *Add()
    {
        auto *edit = new T(Window.get());
        Layout->addWidget(edit);
        return edit;
    }

    // Shows the window with the plain field last in the tab order.
    bool Show()
    {
        Layout->addWidget(Other);
        Window->show();
        QApplication::setActiveWindow(Window.get());
        Window->activateWindow();
        return QTest::qWaitForWindowActive(Window.get());
    }

    // What the window manager does when a message box closes; the offscreen platform
    // leaves no window active.
    bool Reactivate()
    {
        QApplication::setActiveWindow(Window.get());
        Window->activateWindow();
        return QTest::qWaitForWindowActive(Window.get());
    }

    std::unique_ptr<QWidget> Window;
    QVBoxLayout *Layout;
    QLineEdit *Other;
};

// Catches what reaches the application's exception handler.
class ExceptionRecorder {
public:
    ExceptionRecorder()
    {
        Application::Instance()->OnException = [this](QObject *, const Exception &e) { Messages << e.Message(); };
    }
    ~ExceptionRecorder() { Application::Instance()->OnException = nullptr; }

    QStringList Messages;
};

// Every test starts from the United States record, whatever the machine says.
class UnitedStatesSettings {
public:
    UnitedStatesSettings(const TFormatSettings &fs = UnitedStatesFormatSettings()) : FBefore(FormatSettings())
    {
        SetFormatSettings(fs);
    }
    ~UnitedStatesSettings() { SetFormatSettings(FBefore); }

private:
    TFormatSettings FBefore;
};

// A test row's name from what it types or shows: "12.5" reads "12p5", a minus "m",
// Backspace "Backspace", Ctrl+V "CtrlV", so that the failing row is known by its name.
inline std::string KeysName(const char *keys)
{
    std::string name;
    for (const char *k = keys; *k; ++k) {
        switch (*k) {
        case '<': name += "Backspace"; break;
        case '>': name += "Delete"; break;
        case '!': name += "Enter"; break;
        case '~': name += "Escape"; break;
        case '.': name += "p"; break;
        case ',': name += "Comma"; break;
        case '-': name += "m"; break;
        case ' ': name += "Space"; break;
        case '$': name += "Dollar"; break;
        case '%': name += "Percent"; break;
        case '(':
        case ')': name += "Paren"; break;
        case '^':
            if (k[1]) {
                ++k;
                name += "Ctrl";
                name += char(std::toupper(static_cast<unsigned char>(*k)));
            }
            break;
        default:
            if (std::isalnum(static_cast<unsigned char>(*k)))
                name += *k;
            else
                name += "Sym";
        }
    }
    return name.empty() ? "Nothing" : name;
}
