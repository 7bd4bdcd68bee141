#pragma once

// Whether every text a window shows went through the translator. A pseudo-translation
// wraps every text the German translation knows in marks; the walk reads what a user and
// a screen reader get from a window (its title, every visible control's text, name,
// description and tips, every menu item) and names each word that stands outside the
// marks. What is not the program's wording is excepted: numbers, amounts and dates (only
// digits, signs and the regional day and month names), addresses and file names, the
// product's and the maker's names, and whatever a row names as coming from outside (the
// help file's topics, the update server's texts).

#include "platform/core/FormatSettings.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace TranslationWalk {

inline const QString Open = QStringLiteral("\u27E6");
inline const QString Close = QStringLiteral("\u27E7");

// Marks every text the German translations (the program's and Qt's own) have; leaves the
// rest as the code wrote it, so that a text missing from the translation shows up as
// plain as one that never went through the translator.
class TPseudoTranslator : public QTranslator {
public:
    TPseudoTranslator()
    {
        FGerman.push_back(std::make_unique<QTranslator>());
        FLoaded = FGerman.back()->load(QStringLiteral(":/i18n/tallowmere_de.qm"));
        FGerman.push_back(std::make_unique<QTranslator>());
        FLoaded = FGerman.back()->load(QStringLiteral("qtbase_de"),
                                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
                  FLoaded;
        QCoreApplication::installTranslator(this);
    }
    ~TPseudoTranslator() override { QCoreApplication::removeTranslator(this); }

    bool Loaded() const { return FLoaded; }
    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation, int n) const override
    {
        for (const auto &german : FGerman) {
            if (!german->translate(context, sourceText, disambiguation, n).isEmpty())
                return Open + QString::fromUtf8(sourceText) + Close;
        }
        return QString();
    }

private:
    std::vector<std::unique_ptr<QTranslator>> FGerman;
    bool FLoaded = false;
};

// What a row of the walk says about its window.
struct Foreign {
    // Whole texts the window shows from outside the program (a help file's title).
    QStringList Texts;
};

namespace Detail {

inline QString Plain(const QString &text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

// The text with every marked part taken out; marks may nest when a translated text takes
// another as an argument.
inline QString Unmarked(const QString &text)
{
    QString rest;
    int depth = 0;
    for (const QChar c : text) {
        if (c == Open[0])
            ++depth;
        else if (c == Close[0])
            depth = std::max(0, depth - 1);
        else if (depth == 0)
            rest += c;
    }
    return rest;
}

// Words the program shows without translating them: its own and its maker's names, and
// the regional day and month names and time marks of dates.
inline QStringList KeptWords()
{
    QStringList kept{QStringLiteral("Tallowmere"), QStringLiteral("Corvane"), QStringLiteral("Software")};
    const TFormatSettings &fs = FormatSettings();
    for (const QString &name : fs.LongDayNames)
        kept << name;
    for (const QString &name : fs.ShortDayNames)
        kept << name;
    for (const QString &name : fs.LongMonthNames)
        kept << name;
    for (const QString &name : fs.ShortMonthNames)
        kept << name;
    kept << fs.TimeAMString << fs.TimePMString << fs.CurrencyString;
    return kept;
}

// The words of a text that no translation reached.
inline QStringList UntranslatedWords(const QString &text, const Foreign &foreign)
{
    QString rest = Unmarked(Plain(text));
    for (const QString &outside : foreign.Texts)
        rest.replace(outside, QStringLiteral(" "));
    // Addresses and file names are names, not wording.
    static const QRegularExpression names(
        QStringLiteral(R"(\S*(://|@|www\.)\S*|[\w~/.-]*\w\.[A-Za-z0-9]{1,4}\b|~?/[\w./-]+)"));
    rest.replace(names, QStringLiteral(" "));
    static const QRegularExpression word(QStringLiteral(R"(\p{L}{2,})"));
    const QStringList kept = KeptWords();
    QStringList words;
    for (auto it = word.globalMatch(rest); it.hasNext();) {
        const QString w = it.next().captured();
        if (!kept.contains(w))
            words << w;
    }
    return words;
}

inline QString Name(const QObject *o)
{
    return o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className()) : o->objectName();
}

} // namespace Detail

// Every text of the window (and of its menus) with a word outside the translation, as
// "where: text" lines; empty when everything was translated.
inline QStringList Untranslated(const QWidget &window, const Foreign &foreign = {})
{
    QStringList faults;
    auto check = [&](const QObject *where, const char *what, const QString &text) {
        const QStringList words = Detail::UntranslatedWords(text, foreign);
        if (!words.isEmpty())
            faults << QStringLiteral("%1 %2 \"%3\": %4")
                          .arg(Detail::Name(where), QLatin1String(what), text, words.join(QLatin1Char(' ')));
    };
    check(&window, "title", window.windowTitle());
    QList<const QWidget *> shown{&window};
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isWindow() && w->isVisibleTo(&window))
            shown << w;
    }
    for (const QWidget *w : shown) {
        check(w, "tool tip", w->toolTip());
        check(w, "status tip", w->statusTip());
        check(w, "what's this", w->whatsThis());
        if (QAccessibleInterface *a = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(w))) {
            check(w, "accessible name", a->text(QAccessible::Name));
            check(w, "accessible description", a->text(QAccessible::Description));
        }
        if (const auto *label = qobject_cast<const QLabel *>(w))
            check(w, "text", label->text());
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            check(w, "text", button->text());
        if (const auto *group = qobject_cast<const QGroupBox *>(w))
            check(w, "title", group->title());
        if (const auto *tabs = qobject_cast<const QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                check(w, "tab", tabs->tabText(i));
        }
    }
    // Menus show only when opened, and still belong to the window.
    for (const QMenu *menu : window.findChildren<QMenu *>()) {
        check(menu, "title", menu->title());
        for (const QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            check(menu, "item", action->text());
            check(menu, "item tip", action->statusTip());
        }
    }
    return faults;
}

// Runs open, which shows a window and returns when it closes; meanwhile check gets the
// window find names once it is on screen (within 30 s), and the window is closed after it.
inline bool WhileShownBy(const std::function<void()> &open, const std::function<QWidget *()> &find,
                         const std::function<void(QWidget &)> &check)
{
    bool seen = false;
    auto *poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, clock, &seen, find, check] {
        QWidget *window = find();
        if (window && window->isVisible()) {
            poll->deleteLater();
            seen = true;
            check(*window);
            window->close();
            return;
        }
        // Windows shown before it (a wait window) may come and go first.
        if (clock->elapsed() > 30000)
            poll->deleteLater();
    });
    poll->start(5);
    open();
    return seen;
}

// The same for a modal window: the one on top.
inline bool WhileModal(const std::function<void()> &open, const std::function<void(QWidget &)> &check)
{
    return WhileShownBy(
        open, [] { return QApplication::activeModalWidget(); }, check);
}

} // namespace TranslationWalk
