#include "platform/core/Formatting.h"

#include <QDate>
#include <QTime>

namespace {

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool StartsWithAt(const QString &text, qsizetype at, QLatin1String word)
{
    return text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

// An hour prints on the 12-hour clock when an am/pm marker follows it in the pattern.
bool TwelveHourAhead(const QString &format, qsizetype from)
{
    for (qsizetype i = from; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = format.indexOf(c, i + 1);
            if (end < 0)
                return false;
            i = end;
        } else if (c == QLatin1Char('a') || c == QLatin1Char('A')) {
            if (StartsWithAt(format, i, QLatin1String("am/pm")) || StartsWithAt(format, i, QLatin1String("a/p")) ||
                StartsWithAt(format, i, QLatin1String("ampm")))
                return true;
        }
    }
    return false;
}

class DateTimeWriter {
public:
    DateTimeWriter(const QDateTime &dt, const TFormatSettings &fs) : FDate(dt.date()), FTime(dt.time()), FSettings(fs)
    {
    }

    void Write(const QString &format, int depth)
    {
        // The record's own patterns are expanded in place; a pattern naming itself
        // must not recurse for ever.
        if (depth > 2)
            return;
        QChar lastLetter;
        for (qsizetype i = 0; i < format.size();) {
            const QChar c = format.at(i);
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                qsizetype end = format.indexOf(c, i + 1);
                if (end < 0)
                    end = format.size();
                FOut += format.mid(i + 1, end - i - 1);
                i = end + 1;
                continue;
            }
            if (c == QLatin1Char('/')) {
                FOut += FSettings.DateSeparator;
                ++i;
                continue;
            }
            if (c == QLatin1Char(':')) {
                FOut += FSettings.TimeSeparator;
                ++i;
                continue;
            }
            const QChar upper = c.toUpper();
            if (upper == QLatin1Char('A')) {
                i += AmPm(format, i);
                lastLetter = upper;
                continue;
            }
            qsizetype count = 1;
            while (i + count < format.size() && format.at(i + count).toUpper() == upper)
                ++count;
            QChar token = upper;
            if (token == QLatin1Char('M') && lastLetter == QLatin1Char('H'))
                token = QLatin1Char('N');
            if (c.isLetter() && c.unicode() < 128)
                lastLetter = upper;
            if (!Field(token, count, format, i + count, depth)) {
                FOut += c;
                count = 1;
            }
            i += count;
        }
    }

    QString Result() const { return FOut; }

private:
    bool Field(QChar token, qsizetype count, const QString &format, qsizetype after, int depth)
    {
        const int hour = FTime.hour();
        switch (token.toLatin1()) {
        case 'C':
            // Midnight is a bare date: the time part is left out.
            for (qsizetype k = 0; k < count; ++k) {
                Write(FSettings.ShortDateFormat, depth + 1);
                if (FTime != QTime(0, 0)) {
                    FOut += QLatin1Char(' ');
                    Write(FSettings.LongTimeFormat, depth + 1);
                }
            }
            return true;
        case 'D':
            if (count == 1)
                FOut += QString::number(FDate.day());
            else if (count == 2)
                FOut += TwoDigits(FDate.day());
            else if (count == 3)
                FOut += FSettings.ShortDayNames[FDate.dayOfWeek() % 7];
            else if (count == 4)
                FOut += FSettings.LongDayNames[FDate.dayOfWeek() % 7];
            else if (count == 5)
                Write(FSettings.ShortDateFormat, depth + 1);
            else
                Write(FSettings.LongDateFormat, depth + 1);
            return true;
        case 'M':
            if (count == 1)
                FOut += QString::number(FDate.month());
            else if (count == 2)
                FOut += TwoDigits(FDate.month());
            else if (count == 3)
                FOut += FSettings.ShortMonthNames[FDate.month() - 1];
            else
                FOut += FSettings.LongMonthNames[FDate.month() - 1];
            return true;
        case 'Y':
            if (count <= 2)
                FOut += TwoDigits(FDate.year() % 100);
            else
                FOut += QStringLiteral("%1").arg(FDate.year(), 4, 10, QLatin1Char('0'));
            return true;
        case 'H': {
            int h = hour;
            if (TwelveHourAhead(format, after)) {
                h = hour % 12;
                if (h == 0)
                    h = 12;
            }
            FOut += count == 1 ? QString::number(h) : TwoDigits(h);
            return true;
        }
        case 'N': FOut += count == 1 ? QString::number(FTime.minute()) : TwoDigits(FTime.minute()); return true;
        case 'S': FOut += count == 1 ? QString::number(FTime.second()) : TwoDigits(FTime.second()); return true;
        case 'Z':
            FOut += count < 3 ? QString::number(FTime.msec())
                              : QStringLiteral("%1").arg(FTime.msec(), 3, 10, QLatin1Char('0'));
            return true;
        case 'T': Write(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth + 1); return true;
        default: return false;
        }
    }

    // Returns how many pattern characters were used.
    qsizetype AmPm(const QString &format, qsizetype at)
    {
        const bool pm = FTime.hour() >= 12;
        if (StartsWithAt(format, at, QLatin1String("am/pm"))) {
            FOut += format.mid(pm ? at + 3 : at, 2);
            return 5;
        }
        if (StartsWithAt(format, at, QLatin1String("a/p"))) {
            FOut += format.at(pm ? at + 2 : at);
            return 3;
        }
        if (StartsWithAt(format, at, QLatin1String("ampm"))) {
            FOut += pm ? FSettings.TimePMString : FSettings.TimeAMString;
            return 4;
        }
        FOut += format.at(at);
        return 1;
    }

    QDate FDate;
    QTime FTime;
    const TFormatSettings &FSettings;
    QString FOut;
};

} // namespace

QString FormatDateTime(const QString &format, const QDateTime &dt, const TFormatSettings &fs)
{
    if (!dt.isValid())
        return QString();
    DateTimeWriter writer(dt, fs);
    writer.Write(format.isEmpty() ? QStringLiteral("c") : format, 0);
    return writer.Result();
}

QString FormatDateTime(const QString &format, const QDateTime &dt)
{
    return FormatDateTime(format, dt, FormatSettings());
}
