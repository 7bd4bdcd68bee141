#include "platform/core/FormatSettings.h"

#include <QLocale>
#include <QStringDecoder>

#include <climits>
#include <clocale>
#include <langinfo.h>
#include <mutex>

namespace {

bool IsPlainCLocale(const char *name)
{
    if (!name)
        return true;
    const QByteArray n(name);
    return n == "C" || n == "POSIX" || n.startsWith("C.");
}

QString Decode(const char *text)
{
    if (!text)
        return QString();
    QStringDecoder decoder(nl_langinfo(CODESET));
    if (!decoder.isValid())
        return QString::fromLocal8Bit(text);
    return decoder.decode(QByteArrayView(text));
}

// Literal text in a pattern, in whichever quote it does not contain.
QString Quoted(const QString &literal)
{
    const QChar quote = literal.contains(QLatin1Char('"')) ? QLatin1Char('\'') : QLatin1Char('"');
    return quote + literal + quote;
}

QChar FirstChar(const QString &s)
{
    return s.isEmpty() ? QChar() : s.at(0);
}

bool IsPatternLetter(QChar c)
{
    return c.isLetter() && c.unicode() < 128;
}

// Turns a strftime pattern into our pattern letters. The first punctuation found
// between fields becomes the separator (DateSeparator or TimeSeparator) and is written
// as "/" or ":" so that the record can be switched to another separator; other
// literal text is quoted.
class StrftimeConverter {
public:
    StrftimeConverter(QChar separatorMark) : FMark(separatorMark) {}

    QString Convert(const char *pattern)
    {
        Walk(pattern, 0);
        return FOut.trimmed();
    }
    QChar Separator() const { return FSeparator; }

private:
    void Literal(QChar c)
    {
        if (c.isSpace()) {
            FOut += QLatin1Char(' ');
            return;
        }
        if (!c.isLetterOrNumber() && c != QLatin1Char('"') && c != QLatin1Char('\'')) {
            if (FSeparator.isNull() && c != QLatin1Char('/') && c != QLatin1Char(':'))
                FSeparator = c;
            if (c == FSeparator) {
                FOut += FMark;
                return;
            }
            if (c == FMark && FSeparator.isNull()) {
                FSeparator = c;
                FOut += FMark;
                return;
            }
        }
        FOut += Quoted(QString(c));
    }

    void Token(const QString &t)
    {
        FOut += t;
        if (t.startsWith(QLatin1Char('h')) || t.startsWith(QLatin1Char('H')))
            FAfterHour = true;
        else if (!t.startsWith(QLatin1Char('m')))
            FAfterHour = false;
    }

    void Walk(const char *p, int depth)
    {
        if (!p || depth > 3)
            return;
        const QString text = Decode(p);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c != QLatin1Char('%') || i + 1 >= text.size()) {
                Literal(c);
                continue;
            }
            ++i;
            while (i < text.size() && QStringLiteral("EO-_0^#").contains(text.at(i)) && i + 1 < text.size())
                ++i;
            switch (text.at(i).toLatin1()) {
            case 'd': Token(QStringLiteral("dd")); break;
            case 'e': Token(QStringLiteral("d")); break;
            case 'm': Token(QStringLiteral("MM")); break;
            case 'y': Token(QStringLiteral("yy")); break;
            case 'Y': Token(QStringLiteral("yyyy")); break;
            case 'b':
            case 'h': Token(QStringLiteral("MMM")); break;
            case 'B': Token(QStringLiteral("MMMM")); break;
            case 'a': Token(QStringLiteral("ddd")); break;
            case 'A': Token(QStringLiteral("dddd")); break;
            case 'H': Token(QStringLiteral("HH")); break;
            case 'k': Token(QStringLiteral("H")); break;
            case 'I': Token(QStringLiteral("hh")); break;
            case 'l': Token(QStringLiteral("h")); break;
            case 'M': Token(FAfterHour ? QStringLiteral("mm") : QStringLiteral("nn")); break;
            case 'S': Token(QStringLiteral("ss")); break;
            case 'p':
            case 'P': FOut += QStringLiteral("AMPM"); break;
            case 'D': Walk("%m/%d/%y", depth + 1); break;
            case 'F': Walk("%Y-%m-%d", depth + 1); break;
            case 'R': Walk("%H:%M", depth + 1); break;
            case 'T': Walk("%H:%M:%S", depth + 1); break;
            case 'r': Walk(nl_langinfo(T_FMT_AMPM), depth + 1); break;
            case 'x': Walk(nl_langinfo(D_FMT), depth + 1); break;
            case 'X': Walk(nl_langinfo(T_FMT), depth + 1); break;
            case 'n':
            case 't': FOut += QLatin1Char(' '); break;
            case '%': Literal(QLatin1Char('%')); break;
            default: break; // time zones, week numbers and the like have no place here
            }
        }
    }

    QChar FMark;
    QChar FSeparator;
    QString FOut;
    bool FAfterHour = false;
};

// The short time is the long one without its seconds and the separator before them.
QString WithoutSeconds(const QString &longTime)
{
    QString s = longTime;
    const qsizetype at = s.indexOf(QLatin1String("ss"), 0, Qt::CaseInsensitive);
    if (at < 0)
        return s;
    qsizetype from = at;
    if (from > 0 && s.at(from - 1) == QLatin1Char(':'))
        --from;
    s.remove(from, at + 2 - from);
    return s;
}

// Qt's pattern letters (CLDR) for the long date, turned into ours: day, month and year
// letters stay, quoted text and any other letter become quoted literals.
QString FromQtDatePattern(const QString &qt)
{
    QString out;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt.at(i);
        if (c == QLatin1Char('\'')) {
            QString literal;
            ++i;
            while (i < qt.size()) {
                if (qt.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < qt.size() && qt.at(i + 1) == QLatin1Char('\'')) {
                        literal += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    break;
                }
                literal += qt.at(i++);
            }
            if (!literal.isEmpty())
                out += Quoted(literal);
            continue;
        }
        if (c == QLatin1Char('d') || c == QLatin1Char('M') || c == QLatin1Char('y')) {
            out += c;
            continue;
        }
        if (IsPatternLetter(c) || c == QLatin1Char('/') || c == QLatin1Char(':') || c == QLatin1Char('"'))
            out += Quoted(QString(c));
        else
            out += c;
    }
    return out;
}

void ReadNumeric(TFormatSettings &fs)
{
    const lconv *lc = localeconv();
    const QString dec = Decode(lc->decimal_point);
    if (!dec.isEmpty())
        fs.DecimalSeparator = dec.at(0);
    QString thousands = Decode(lc->thousands_sep);
    if (thousands.isEmpty())
        thousands = Decode(lc->mon_thousands_sep);
    fs.ThousandSeparator = FirstChar(thousands);
    if (fs.ThousandSeparator == fs.DecimalSeparator)
        fs.ThousandSeparator = QChar();
}

quint8 NegativeCurrencyCode(bool precedes, int sepBySpace, int signPosn)
{
    const bool space = sepBySpace != 0;
    if (precedes) {
        switch (signPosn) {
        case 0: return space ? 14 : 0;
        case 2: return space ? 11 : 3;
        case 4: return space ? 12 : 2;
        default: return space ? 9 : 1;
        }
    }
    switch (signPosn) {
    case 0: return space ? 15 : 4;
    case 2:
    case 4: return space ? 10 : 7;
    case 3: return space ? 13 : 6;
    default: return space ? 8 : 5;
    }
}

void ReadMonetary(TFormatSettings &fs)
{
    const lconv *lc = localeconv();
    const QString symbol = Decode(lc->currency_symbol);
    if (symbol.isEmpty() || lc->p_cs_precedes == CHAR_MAX)
        return;
    fs.CurrencyString = symbol;
    const bool pPrecedes = lc->p_cs_precedes == 1;
    const bool pSpace = lc->p_sep_by_space != 0 && lc->p_sep_by_space != CHAR_MAX;
    fs.CurrencyFormat = pPrecedes ? (pSpace ? 2 : 0) : (pSpace ? 3 : 1);
    const bool nPrecedes = lc->n_cs_precedes == CHAR_MAX ? pPrecedes : lc->n_cs_precedes == 1;
    const int nSep = lc->n_sep_by_space == CHAR_MAX ? 0 : lc->n_sep_by_space;
    const int nPosn = lc->n_sign_posn == CHAR_MAX ? 1 : lc->n_sign_posn;
    fs.NegCurrFormat = NegativeCurrencyCode(nPrecedes, nSep, nPosn);
    if (lc->frac_digits != CHAR_MAX && lc->frac_digits <= 18)
        fs.CurrencyDecimals = quint8(lc->frac_digits);
}

void ReadTime(TFormatSettings &fs, const char *timeLocaleName)
{
    static const nl_item shortMonths[12] = {ABMON_1, ABMON_2, ABMON_3, ABMON_4,  ABMON_5,  ABMON_6,
                                            ABMON_7, ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12};
    static const nl_item longMonths[12] = {MON_1, MON_2, MON_3, MON_4,  MON_5,  MON_6,
                                           MON_7, MON_8, MON_9, MON_10, MON_11, MON_12};
    static const nl_item shortDays[7] = {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7};
    static const nl_item longDays[7] = {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7};
    for (int i = 0; i < 12; ++i) {
        fs.ShortMonthNames[i] = Decode(nl_langinfo(shortMonths[i]));
        fs.LongMonthNames[i] = Decode(nl_langinfo(longMonths[i]));
    }
    for (int i = 0; i < 7; ++i) {
        fs.ShortDayNames[i] = Decode(nl_langinfo(shortDays[i]));
        fs.LongDayNames[i] = Decode(nl_langinfo(longDays[i]));
    }

    const QString am = Decode(nl_langinfo(AM_STR));
    const QString pm = Decode(nl_langinfo(PM_STR));
    if (!am.isEmpty() && !pm.isEmpty()) {
        fs.TimeAMString = am;
        fs.TimePMString = pm;
    }

    StrftimeConverter date(QLatin1Char('/'));
    const QString shortDate = date.Convert(nl_langinfo(D_FMT));
    if (!shortDate.isEmpty()) {
        fs.ShortDateFormat = shortDate;
        if (!date.Separator().isNull())
            fs.DateSeparator = date.Separator();
    }

    StrftimeConverter time(QLatin1Char(':'));
    const QString longTime = time.Convert(nl_langinfo(T_FMT));
    if (!longTime.isEmpty()) {
        fs.LongTimeFormat = longTime;
        fs.ShortTimeFormat = WithoutSeconds(longTime);
        if (!time.Separator().isNull())
            fs.TimeSeparator = time.Separator();
    }

    // glibc has no long date pattern; Qt's locale data for the same locale has one.
    QByteArray name(timeLocaleName);
    for (char end : {'.', '@'}) {
        const qsizetype cut = name.indexOf(end);
        if (cut >= 0)
            name.truncate(cut);
    }
    const QLocale locale(QString::fromLatin1(name));
    if (locale.language() != QLocale::C) {
        const QString longDate = FromQtDatePattern(locale.dateFormat(QLocale::LongFormat));
        if (!longDate.isEmpty())
            fs.LongDateFormat = longDate;
    }
}

std::once_flag settingsOnce;
TFormatSettings &Settings()
{
    static TFormatSettings settings;
    return settings;
}

} // namespace

TFormatSettings UnitedStatesFormatSettings()
{
    TFormatSettings fs;
    fs.CurrencyString = QStringLiteral("$");
    fs.CurrencyFormat = 0;
    fs.NegCurrFormat = 0;
    fs.ThousandSeparator = QLatin1Char(',');
    fs.DecimalSeparator = QLatin1Char('.');
    fs.CurrencyDecimals = 2;
    fs.DateSeparator = QLatin1Char('/');
    fs.TimeSeparator = QLatin1Char(':');
    fs.ShortDateFormat = QStringLiteral("M/d/yyyy");
    fs.LongDateFormat = QStringLiteral("dddd, MMMM dd, yyyy");
    fs.TimeAMString = QStringLiteral("AM");
    fs.TimePMString = QStringLiteral("PM");
    fs.ShortTimeFormat = QStringLiteral("h:mm AM/PM");
    fs.LongTimeFormat = QStringLiteral("h:mm:ss AM/PM");
    fs.ShortMonthNames = {QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("Mar"), QStringLiteral("Apr"),
                          QStringLiteral("May"), QStringLiteral("Jun"), QStringLiteral("Jul"), QStringLiteral("Aug"),
                          QStringLiteral("Sep"), QStringLiteral("Oct"), QStringLiteral("Nov"), QStringLiteral("Dec")};
    fs.LongMonthNames = {QStringLiteral("January"), QStringLiteral("February"), QStringLiteral("March"),
                         QStringLiteral("April"),   QStringLiteral("May"),      QStringLiteral("June"),
                         QStringLiteral("July"),    QStringLiteral("August"),   QStringLiteral("September"),
                         QStringLiteral("October"), QStringLiteral("November"), QStringLiteral("December")};
    fs.ShortDayNames = {QStringLiteral("Sun"), QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
                        QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat")};
    fs.LongDayNames = {QStringLiteral("Sunday"),    QStringLiteral("Monday"),   QStringLiteral("Tuesday"),
                       QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                       QStringLiteral("Saturday")};
    return fs;
}

TFormatSettings FormatSettingsFromLocale()
{
    TFormatSettings fs = UnitedStatesFormatSettings();
    std::setlocale(LC_ALL, "");
    if (!IsPlainCLocale(std::setlocale(LC_NUMERIC, nullptr)))
        ReadNumeric(fs);
    if (!IsPlainCLocale(std::setlocale(LC_MONETARY, nullptr)))
        ReadMonetary(fs);
    const char *timeName = std::setlocale(LC_TIME, nullptr);
    if (!IsPlainCLocale(timeName))
        ReadTime(fs, QByteArray(timeName).constData());
    return fs;
}

const TFormatSettings &FormatSettings()
{
    std::call_once(settingsOnce, [] { Settings() = FormatSettingsFromLocale(); });
    return Settings();
}

void SetFormatSettings(const TFormatSettings &settings)
{
    std::call_once(settingsOnce, [] {});
    Settings() = settings;
}
