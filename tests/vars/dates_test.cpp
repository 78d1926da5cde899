// Date formats, date parsing in the three field orders, day numbers.

#include "vars/dates.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);
const QLocale kFrance(QLocale::French, QLocale::France);
const QLocale kGermany(QLocale::German, QLocale::Germany);
const QDateTime kMoment(QDate(2024, 3, 5), QTime(14, 7, 9, 45));

struct FormatCase {
    const char* pattern;
    const char* expected;
};

class DateFormatting : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DateFormatting, WritesThePattern) {
    EXPECT_EQ(FormatDateTime(QString::fromUtf8(GetParam().pattern), kMoment, kUs),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Elements, DateFormatting,
    ::testing::Values(FormatCase{"d", "5"}, FormatCase{"dd", "05"}, FormatCase{"ddd", "Tue"},
                      FormatCase{"dddd", "Tuesday"}, FormatCase{"ddddd", "3/5/24"},
                      FormatCase{"m", "3"}, FormatCase{"mm", "03"}, FormatCase{"mmm", "Mar"},
                      FormatCase{"mmmm", "March"}, FormatCase{"yy", "24"}, FormatCase{"y", "24"},
                      FormatCase{"yyyy", "2024"}, FormatCase{"h", "14"}, FormatCase{"hh", "14"},
                      FormatCase{"n", "7"}, FormatCase{"nn", "07"}, FormatCase{"s", "9"},
                      FormatCase{"ss", "09"}, FormatCase{"zzz", "045"},
                      FormatCase{"h:nn:ss ampm", "2:07:09 PM"}, FormatCase{"h:nn:ss", "14:07:09"},
                      FormatCase{"hh:mm", "14:07"}, // m right after an hour is minutes
                      FormatCase{"h am/pm", "2 pm"}, FormatCase{"h AM/PM", "2 PM"},
                      FormatCase{"h a/p", "2 p"}, FormatCase{"dd/mm/yyyy", "05/03/2024"},
                      FormatCase{"yyyy-mm-dd", "2024-03-05"}, FormatCase{"DD.MM.YYYY", "05.03.2024"},
                      FormatCase{"\"Day\" d", "Day 5"}, FormatCase{"'mm' mm", "mm 03"},
                      FormatCase{"Default", "3/5/24"}, FormatCase{"default", "3/5/24"}));

TEST(DateFormattingLocale, NamesAndSeparatorsComeFromTheLocale) {
    EXPECT_EQ(FormatDateTime(QStringLiteral("dddd d mmmm yyyy"), kMoment, kFrance),
              QStringLiteral("mardi 5 mars 2024"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("d/m/yyyy"), kMoment, kGermany), QStringLiteral("5.3.2024"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("Default"), kMoment, kFrance), QStringLiteral("05/03/2024"));
}

TEST(DateFormattingLocale, MidnightAndNoonOnTheTwelveHourClock) {
    EXPECT_EQ(FormatDateTime(QStringLiteral("h ampm"), QDateTime(QDate(2024, 1, 1), QTime(0, 5)), kUs),
              QStringLiteral("12 AM"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("h ampm"), QDateTime(QDate(2024, 1, 1), QTime(12, 5)), kUs),
              QStringLiteral("12 PM"));
}

struct ParseCase {
    const char* text;
    const char* format;
    QDate expected; // invalid: not a date
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << '"' << c.text << "\" as " << c.format; }

class DateParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(DateParsing, ReadsTheFieldsInTheFormatsOrder) {
    const ParseCase& c = GetParam();
    const std::optional<QDate> date = ParseDate(QString::fromUtf8(c.text), QString::fromUtf8(c.format), kUs);
    if (c.expected.isValid()) {
        ASSERT_TRUE(date.has_value());
        EXPECT_EQ(*date, c.expected);
    } else {
        EXPECT_FALSE(date.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Orders, DateParsing,
    ::testing::Values(ParseCase{"01/02/2000", "m/d/y", QDate(2000, 1, 2)},
                      ParseCase{"01/02/2000", "d/m/y", QDate(2000, 2, 1)},
                      ParseCase{"2000/01/02", "yyyy/mm/dd", QDate(2000, 1, 2)},
                      ParseCase{"2000-01-02", "eee", QDate(2000, 1, 2)},
                      ParseCase{"01/02/2000", "", QDate(2000, 1, 2)},
                      ParseCase{"2000/01/02", "xyz", QDate(2000, 1, 2)}, // y decides
                      ParseCase{"01/02/2000", "Default", QDate(2000, 1, 2)},
                      ParseCase{"3-4-2005", "dd/mm/yyyy", QDate(2005, 4, 3)},
                      ParseCase{"3\\4\\2005", "dd/mm/yyyy", QDate(2005, 4, 3)},
                      ParseCase{" 3 / 4 / 2005 ", "dd/mm/yyyy", QDate(2005, 4, 3)}));

INSTANTIATE_TEST_SUITE_P(
    Refused, DateParsing,
    ::testing::Values(ParseCase{"", "m/d/y", QDate()}, ParseCase{"13/01/2000", "m/d/y", QDate()},
                      ParseCase{"02/30/2000", "m/d/y", QDate()}, ParseCase{"1/2/3/4", "m/d/y", QDate()},
                      ParseCase{"1.2.2000", "m/d/y", QDate()}, ParseCase{"1/2/2000 x", "m/d/y", QDate()},
                      ParseCase{"5", "m/d/y", QDate()}, ParseCase{"a/b/c", "m/d/y", QDate()},
                      ParseCase{"0/0/0", "m/d/y", QDate()}));

TEST(DateParsingYears, TwoNumbersMeanTheCurrentYear) {
    const auto date = ParseDate(QStringLiteral("12/25"), QStringLiteral("m/d/y"), kUs);
    ASSERT_TRUE(date.has_value());
    EXPECT_EQ(*date, QDate(QDate::currentDate().year(), 12, 25));
}

TEST(DateParsingYears, TwoDigitYearsFallWithinFiftyYearsOfToday) {
    const int thisYear = QDate::currentDate().year();
    for (int yy = 0; yy < 100; ++yy) {
        const auto date = ParseDate(QStringLiteral("1/1/%1").arg(yy, 2, 10, QLatin1Char('0')),
                                    QStringLiteral("m/d/y"), kUs);
        ASSERT_TRUE(date.has_value());
        EXPECT_EQ(date->year() % 100, yy);
        EXPECT_GE(date->year(), thisYear - 50);
        EXPECT_LT(date->year(), thisYear + 50);
    }
}

TEST(DateParsingLocale, TheLocaleSeparatorAndOrderApply) {
    EXPECT_EQ(ParseDate(QStringLiteral("05.03.2024"), QStringLiteral("Default"), kGermany),
              QDate(2024, 3, 5));
    EXPECT_EQ(ParseDate(QStringLiteral("05/03/2024"), QStringLiteral("Default"), kGermany),
              QDate(2024, 3, 5));
}

struct DayNumberCase {
    const char* date;
    const char* format;
    const char* number;
};

class DayNumbers : public ::testing::TestWithParam<DayNumberCase> {};

TEST_P(DayNumbers, DateToNumCountsDaysFromTheEndOf1899) {
    EXPECT_EQ(DateToNum(QString::fromUtf8(GetParam().date), QString::fromUtf8(GetParam().format), kUs),
              QString::fromUtf8(GetParam().number));
}

INSTANTIATE_TEST_SUITE_P(Dates, DayNumbers,
                         ::testing::Values(DayNumberCase{"01/01/2000", "m/d/y", "36526"},
                                           DayNumberCase{"12/30/1899", "m/d/y", "0"},
                                           DayNumberCase{"12/31/1899", "m/d/y", "1"},
                                           DayNumberCase{"1/1/1900", "m/d/yyyy", "2"},
                                           DayNumberCase{"3/1/1900", "m/d/yyyy", "61"},
                                           DayNumberCase{"12/29/1899", "m/d/y", "-1"},
                                           DayNumberCase{"2024-03-05", "yyyy-mm-dd", "45356"},
                                           DayNumberCase{"not a date", "m/d/y", "Error"},
                                           DayNumberCase{"31/12/2000", "m/d/y", "Error"}));

TEST(NumToDateTest, FormatsTheDay) {
    EXPECT_EQ(NumToDate(QStringLiteral("36526"), QStringLiteral("mm/dd/yyyy"), kUs), QStringLiteral("01/01/2000"));
    EXPECT_EQ(NumToDate(QStringLiteral("45356"), QStringLiteral("Default"), kUs), QStringLiteral("3/5/24"));
    EXPECT_EQ(NumToDate(QStringLiteral("-1"), QStringLiteral("yyyy-mm-dd"), kUs), QStringLiteral("1899-12-29"));
}

TEST(NumToDateTest, NotAWholeNumberIsDayZero) {
    EXPECT_EQ(NumToDate(QStringLiteral("abc"), QStringLiteral("yyyy-mm-dd"), kUs), QStringLiteral("1899-12-30"));
    EXPECT_EQ(NumToDate(QStringLiteral("1.5"), QStringLiteral("yyyy-mm-dd"), kUs), QStringLiteral("1899-12-30"));
}

TEST(NumToDateTest, RoundTripsWithDateToNum) {
    for (int day = -1000; day < 80000; day += 997) {
        const QString text = NumToDate(QString::number(day), QStringLiteral("d/m/yyyy"), kUs);
        EXPECT_EQ(DateToNum(text, QStringLiteral("d/m/yyyy"), kUs), QString::number(day)) << text.toStdString();
    }
}

TEST(DayNumberTest, FractionIsTheTimeOfDay) {
    EXPECT_DOUBLE_EQ(DayNumber(QDateTime(QDate(2000, 1, 1), QTime(18, 0))), 36526.75);
    EXPECT_EQ(FromDayNumber(36526.25), QDateTime(QDate(2000, 1, 1), QTime(6, 0)));
    EXPECT_EQ(FromDayNumber(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
}

} // namespace
} // namespace tomeric
