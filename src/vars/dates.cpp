#include "vars/dates.h"

#include "vars/typed_values.h"

#include <cmath>
#include <vector>

namespace tomeric {
namespace {

const QDate kDayZero(1899, 12, 30);

bool IsDefaultFormat(const QString& format) {
    return format.trimmed().compare(QLatin1String("Default"), Qt::CaseInsensitive) == 0;
}

// The first character of a locale pattern that is neither a letter, a space
// nor a quote: the separator its fields use.
QChar FirstSeparator(const QString& pattern, QChar fallback) {
    for (const QChar c : pattern)
        if (!c.isLetter() && !c.isSpace() && c != u'\'')
            return c;
    return fallback;
}

QChar TimeSeparator(const QLocale& locale) {
    return FirstSeparator(locale.timeFormat(QLocale::ShortFormat), u':');
}

QString Padded(int number, int width) {
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

// Counts how often the character at `at` repeats (ignoring case).
int RunLength(const QString& pattern, qsizetype at) {
    const QChar c = pattern[at].toLower();
    int n = 1;
    while (at + n < pattern.size() && pattern[at + n].toLower() == c)
        ++n;
    return n;
}

bool StartsWithNoCase(const QString& text, qsizetype at, QLatin1String word) {
    return QStringView(text).mid(at).startsWith(word, Qt::CaseInsensitive);
}

// True when an am/pm element follows `from` outside quotes: the hours before
// it are then on a 12-hour clock.
bool HasAmPmAfter(const QString& pattern, qsizetype from) {
    QChar quote;
    for (qsizetype i = from; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (StartsWithNoCase(pattern, i, QLatin1String("am/pm")) ||
                   StartsWithNoCase(pattern, i, QLatin1String("a/p")) ||
                   StartsWithNoCase(pattern, i, QLatin1String("ampm"))) {
            return true;
        }
    }
    return false;
}

class DateTimeWriter {
public:
    DateTimeWriter(const QString& pattern, const QDateTime& moment, const QLocale& locale)
        : pattern_(pattern), date_(moment.date()), time_(moment.time()), locale_(locale) {}

    QString Write() {
        while (at_ < pattern_.size())
            WriteElement();
        return out_;
    }

private:
    void WriteElement() {
        const QChar c = pattern_[at_];
        const QChar token = c.toLower();
        if (c == u'"' || c == u'\'') {
            WriteQuoted(c);
            return;
        }
        if (token == u'a') {
            WriteAmPm();
            return;
        }
        if (token.isLetter()) {
            const int n = RunLength(pattern_, at_);
            at_ += n;
            QChar kind = token;
            if (kind == u'm' && lastLetter_ == u'h')
                kind = u'n';
            lastLetter_ = kind;
            WriteLetters(kind, n, at_ - n);
            return;
        }
        if (c == u'/')
            out_ += DateSeparator(locale_);
        else if (c == u':')
            out_ += TimeSeparator(locale_);
        else
            out_ += c;
        ++at_;
    }

    void WriteQuoted(QChar quote) {
        const qsizetype end = pattern_.indexOf(quote, at_ + 1);
        const qsizetype stop = end < 0 ? pattern_.size() : end;
        out_ += QStringView(pattern_).mid(at_ + 1, stop - at_ - 1);
        at_ = end < 0 ? pattern_.size() : end + 1;
    }

    void WriteAmPm() {
        const bool pm = time_.hour() >= 12;
        if (StartsWithNoCase(pattern_, at_, QLatin1String("am/pm"))) {
            out_ += QStringView(pattern_).mid(at_ + (pm ? 3 : 0), 2); // keeps the case as written
            at_ += 5;
        } else if (StartsWithNoCase(pattern_, at_, QLatin1String("a/p"))) {
            out_ += pattern_[at_ + (pm ? 2 : 0)];
            at_ += 3;
        } else if (StartsWithNoCase(pattern_, at_, QLatin1String("ampm"))) {
            out_ += pm ? locale_.pmText() : locale_.amText();
            at_ += 4;
        } else {
            out_ += pattern_[at_++];
        }
    }

    void WriteLetters(QChar kind, int n, qsizetype start) {
        switch (kind.unicode()) {
        case u'd': WriteDay(n); break;
        case u'm': WriteMonth(n); break;
        case u'y': out_ += n <= 2 ? Padded(date_.year() % 100, 2) : Padded(date_.year(), 4); break;
        case u'h': WriteHour(n, start); break;
        case u'n': out_ += n >= 2 ? Padded(time_.minute(), 2) : QString::number(time_.minute()); break;
        case u's': out_ += n >= 2 ? Padded(time_.second(), 2) : QString::number(time_.second()); break;
        case u'z': out_ += n >= 3 ? Padded(time_.msec(), 3) : QString::number(time_.msec()); break;
        case u't':
            out_ += locale_.toString(time_, n >= 2 ? QLocale::LongFormat : QLocale::ShortFormat);
            break;
        case u'c':
            out_ += FormatDateTime(ShortDatePattern(locale_), QDateTime(date_, time_), locale_);
            if (time_ != QTime(0, 0))
                out_ += u' ' + locale_.toString(time_, QLocale::LongFormat);
            break;
        default: out_ += QStringView(pattern_).mid(start, n); break;
        }
    }

    void WriteDay(int n) {
        switch (n) {
        case 1: out_ += QString::number(date_.day()); break;
        case 2: out_ += Padded(date_.day(), 2); break;
        case 3: out_ += locale_.dayName(date_.dayOfWeek(), QLocale::ShortFormat); break;
        case 4: out_ += locale_.dayName(date_.dayOfWeek(), QLocale::LongFormat); break;
        case 5: out_ += FormatDateTime(ShortDatePattern(locale_), QDateTime(date_, time_), locale_); break;
        default: out_ += locale_.toString(date_, QLocale::LongFormat); break;
        }
    }

    void WriteMonth(int n) {
        switch (n) {
        case 1: out_ += QString::number(date_.month()); break;
        case 2: out_ += Padded(date_.month(), 2); break;
        case 3: out_ += locale_.monthName(date_.month(), QLocale::ShortFormat); break;
        default: out_ += locale_.monthName(date_.month(), QLocale::LongFormat); break;
        }
    }

    void WriteHour(int n, qsizetype start) {
        int hour = time_.hour();
        if (HasAmPmAfter(pattern_, start)) {
            hour %= 12;
            if (hour == 0)
                hour = 12;
        }
        out_ += n >= 2 ? Padded(hour, 2) : QString::number(hour);
    }

    const QString& pattern_;
    const QDate date_;
    const QTime time_;
    const QLocale& locale_;
    QString out_;
    qsizetype at_ = 0;
    QChar lastLetter_;
};

enum class FieldOrder { MDY, DMY, YMD };

FieldOrder OrderOf(const QString& format, const QLocale& locale) {
    const QString source = IsDefaultFormat(format) ? ShortDatePattern(locale) : format;
    for (const QChar c : source) {
        switch (c.toUpper().unicode()) {
        case u'D': return FieldOrder::DMY;
        case u'E':
        case u'Y': return FieldOrder::YMD;
        case u'M': return FieldOrder::MDY;
        default: break;
        }
    }
    return FieldOrder::MDY;
}

struct DateNumber {
    int value = 0;
    int digits = 0;
};

// Reads "n sep n [sep n]" with blanks allowed around the numbers.
std::optional<std::vector<DateNumber>> ScanNumbers(const QString& text, QChar separator) {
    std::vector<DateNumber> numbers;
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && text[i].isSpace())
            ++i;
    };
    while (true) {
        skipBlanks();
        DateNumber number;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && number.digits < 9) {
            number.value = number.value * 10 + (text[i].unicode() - u'0');
            ++number.digits;
            ++i;
        }
        if (number.digits == 0)
            return std::nullopt;
        numbers.push_back(number);
        skipBlanks();
        if (i >= text.size())
            break;
        if (text[i] != separator || numbers.size() == 3)
            return std::nullopt;
        ++i;
    }
    if (numbers.size() < 2)
        return std::nullopt;
    return numbers;
}

// Two-digit years fall within 50 years of the current year.
int FullYear(const DateNumber& year) {
    if (year.digits > 2)
        return year.value;
    const int pivot = QDate::currentDate().year() - 50;
    int full = pivot / 100 * 100 + year.value;
    if (full < pivot)
        full += 100;
    return full;
}

} // namespace

QString FormatDateTime(const QString& pattern, const QDateTime& moment, const QLocale& locale) {
    if (IsDefaultFormat(pattern))
        return FormatDateTime(ShortDatePattern(locale), moment, locale);
    return DateTimeWriter(pattern, moment, locale).Write();
}

// Qt's date patterns use the same letters (d, M, y) with the same counts for
// the fields a short date holds, so the locale's pattern serves as it is.
QString ShortDatePattern(const QLocale& locale) { return locale.dateFormat(QLocale::ShortFormat); }

QChar DateSeparator(const QLocale& locale) {
    return FirstSeparator(ShortDatePattern(locale), u'/');
}

std::optional<QDate> ParseDate(const QString& text, const QString& format, const QLocale& locale) {
    const QChar separator = DateSeparator(locale);
    QString input = text;
    for (QChar& c : input)
        if (c == u'-' || c == u'\\' || c == u'/')
            c = separator;
    const auto numbers = ScanNumbers(input, separator);
    if (!numbers)
        return std::nullopt;
    const FieldOrder order = OrderOf(format, locale);
    const DateNumber& a = (*numbers)[0];
    const DateNumber& b = (*numbers)[1];
    int year = QDate::currentDate().year();
    int month = 0;
    int day = 0;
    if (numbers->size() == 2) {
        month = order == FieldOrder::DMY ? b.value : a.value;
        day = order == FieldOrder::DMY ? a.value : b.value;
    } else {
        const DateNumber& c = (*numbers)[2];
        switch (order) {
        case FieldOrder::MDY: month = a.value; day = b.value; year = FullYear(c); break;
        case FieldOrder::DMY: day = a.value; month = b.value; year = FullYear(c); break;
        case FieldOrder::YMD: year = FullYear(a); month = b.value; day = c.value; break;
        }
    }
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

double DayNumber(const QDate& date) { return static_cast<double>(kDayZero.daysTo(date)); }

double DayNumber(const QDateTime& moment) {
    const double fraction = moment.time().msecsSinceStartOfDay() / 86400000.0;
    const double days = DayNumber(moment.date());
    return days >= 0 ? days + fraction : days - fraction;
}

// Before day zero the whole part counts days back and the fraction is still
// the time of that day (-1.25 is 29 December 1899, 06:00).
QDateTime FromDayNumber(double dayNumber) {
    if (!std::isfinite(dayNumber))
        dayNumber = 0;
    const double whole = std::trunc(dayNumber);
    const double fraction = std::fabs(dayNumber - whole);
    const int msecs = static_cast<int>(std::llround(fraction * 86400000.0)) % 86400000;
    return QDateTime(kDayZero.addDays(static_cast<qint64>(whole)), QTime::fromMSecsSinceStartOfDay(msecs));
}

QString DateToNum(const QString& date, const QString& format, const QLocale& locale) {
    const std::optional<QDate> parsed = ParseDate(date, format, locale);
    if (!parsed)
        return QStringLiteral("Error");
    return QString::number(static_cast<qint64>(DayNumber(*parsed)));
}

QString NumToDate(const QString& dayNumber, const QString& format, const QLocale& locale) {
    const int days = ReadInteger(dayNumber).value_or(0);
    return FormatDateTime(format, QDateTime(kDayZero.addDays(days), QTime(0, 0)), locale);
}

} // namespace tomeric
