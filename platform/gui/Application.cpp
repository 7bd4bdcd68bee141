#include "platform/gui/Application.h"
#include "platform/gui/GuiLog.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/MessageBox.h"

#include <QProxyStyle>
#include <QStatusTipEvent>

namespace {

// Qt takes the tooltip delay from the style, so the hint pause lives in a thin
// proxy around whatever style the desktop chose.
class HintPauseStyle : public QProxyStyle {
public:
    int FPause = 500;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return FPause;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    connect(this, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && OnActivate) {
            try {
                OnActivate();
            } catch (...) {
                HandleException(this);
            }
        }
    });
}

Application::~Application() = default;

Application *Application::Instance()
{
    return qobject_cast<Application *>(QCoreApplication::instance());
}

void Application::SetHintPause(int ms)
{
    FHintPause = ms;
    auto *current = dynamic_cast<HintPauseStyle *>(style());
    if (!current) {
        current = new HintPauseStyle;
        setStyle(current);
    }
    current->FPause = ms;
}

void Application::SetHint(const QString &hint)
{
    if (hint == FHint)
        return;
    FHint = hint;
    if (OnHint)
        OnHint();
}

void Application::HandleException(QObject *sender, std::exception_ptr error)
{
    if (!error)
        return;
    try {
        try {
            std::rethrow_exception(error);
        } catch (const EAbort &) {
            // The silent kind ends the work and says nothing.
            qCDebug(lcGui) << "work abandoned (EAbort)";
        } catch (const Exception &e) {
            qCDebug(lcGui).noquote() << "exception:" << e.Message();
            if (OnException)
                OnException(sender, e);
            else
                ShowException(e.Message());
        } catch (const std::exception &e) {
            qCWarning(lcGui) << "unexpected exception:" << e.what();
            ShowException(QString::fromUtf8(e.what()));
        } catch (...) {
            qCWarning(lcGui) << "unexpected exception of an unknown kind";
            ShowException(tr("Unknown exception"));
        }
    } catch (const std::exception &e) {
        // The handler itself failed: fall back to the plain report rather than let
        // the exception reach Qt.
        ShowException(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowException(tr("Unknown exception"));
    }
}

void Application::ShowException(const QString &message)
{
    QString text = message.trimmed();
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    MessageBox::Show(nullptr, text, FTitle.isEmpty() ? applicationName() : FTitle, MB_OK | MB_ICONSTOP);
}

void Application::ProcessMessages()
{
    processEvents(QEventLoop::AllEvents);
}

void Application::Terminate()
{
    quit();
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        if (event->type() == QEvent::StatusTip)
            SetHint(static_cast<QStatusTipEvent *>(event)->tip());
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleException(receiver);
        return true;
    }
}
