#include "imaging/windows_fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QSet>
#include <QStringList>

#include <cstdio>

#include <cmath>

namespace tomeric {
namespace {

struct TStandInEntry {
    const char* windowsFamily;
    const char* standIns; // comma-separated, tried in order
};

// The families publications of that era use, with the nearest families a
// Linux desktop usually has. The generic families close each list.
constexpr TStandInEntry kStandIns[] = {
    {"Calibri", "Carlito,Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"Calibri Light", "Carlito,Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"Cambria", "Caladea,Liberation Serif,Tinos,DejaVu Serif,Serif"},
    {"MS Sans Serif", "Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"Microsoft Sans Serif", "Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"MS Shell Dlg", "Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"MS Shell Dlg 2", "Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"Arial", "Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"Helvetica", "Liberation Sans,Arimo,DejaVu Sans,Sans Serif"},
    {"Tahoma", "DejaVu Sans,Liberation Sans,Sans Serif"},
    {"Verdana", "DejaVu Sans,Liberation Sans,Sans Serif"},
    {"Segoe UI", "DejaVu Sans,Liberation Sans,Sans Serif"},
    {"Trebuchet MS", "DejaVu Sans,Liberation Sans,Sans Serif"},
    {"Century Gothic", "DejaVu Sans,Liberation Sans,Sans Serif"},
    {"Comic Sans MS", "Comic Neue,DejaVu Sans,Sans Serif"},
    {"Times New Roman", "Liberation Serif,Tinos,DejaVu Serif,Serif"},
    {"Times", "Liberation Serif,Tinos,DejaVu Serif,Serif"},
    {"MS Serif", "Liberation Serif,Tinos,DejaVu Serif,Serif"},
    {"Georgia", "DejaVu Serif,Liberation Serif,Serif"},
    {"Garamond", "DejaVu Serif,Liberation Serif,Serif"},
    {"Book Antiqua", "DejaVu Serif,Liberation Serif,Serif"},
    {"Courier New", "Liberation Mono,Cousine,DejaVu Sans Mono,Monospace"},
    {"Courier", "Liberation Mono,Cousine,DejaVu Sans Mono,Monospace"},
    {"Lucida Console", "DejaVu Sans Mono,Liberation Mono,Monospace"},
    {"Fixedsys", "DejaVu Sans Mono,Liberation Mono,Monospace"},
    {"System", "DejaVu Sans,Liberation Sans,Sans Serif"},
};

} // namespace

// Windows names a family's character-set variants with a suffix ("Times
// New Roman CE", "Arial Cyr" ...), the same font under another name.
constexpr const char* kCharsetSuffixes[] = {" CE", " Cyr", " Greek", " Tur", " Baltic",
                                            " (Hebrew)", " (Arabic)", " (Vietnamese)"};

void InstallFontSubstitutes()
{
    static const bool installed = [] {
        for (const TStandInEntry& entry : kStandIns) {
            const QString family = QString::fromLatin1(entry.windowsFamily);
            const QStringList standIns = QString::fromLatin1(entry.standIns).split(QLatin1Char(','));
            QFont::insertSubstitutions(family, standIns);
            for (const char* suffix : kCharsetSuffixes)
                QFont::insertSubstitutions(family + QLatin1String(suffix), standIns);
        }
        return true;
    }();
    (void)installed;
}

QString FontStandIn(const QString& family)
{
    if (family.isEmpty() || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return family;
    InstallFontSubstitutes();
    return QFontInfo(QFont(family)).family();
}

void ReportFontStandIn(const QString& family)
{
    static const bool enabled = [] {
        const QByteArray value = qgetenv("TOMERIC_SHOW_FONTS");
        return !value.isEmpty() && value != "0";
    }();
    if (!enabled || family.isEmpty())
        return;
    static QSet<QString> reported;
    const QString key = family.toLower();
    if (reported.contains(key) || reported.size() > 1000)
        return;
    reported.insert(key);
    const QString line =
        QStringLiteral("tomeric: font \"%1\" -> \"%2\"\n").arg(family, FontStandIn(family));
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

QFont WindowsFont(const QString& family, int pointSize, int styleBits)
{
    InstallFontSubstitutes();
    ReportFontStandIn(family.isEmpty() ? QStringLiteral("MS Sans Serif") : family);
    if (pointSize < 1)
        pointSize = 8;
    QFont font(family.isEmpty() ? QStringLiteral("MS Sans Serif") : family);
    // Windows rounds the height at 96 dots per inch: 8 pt -> 11 px.
    font.setPixelSize(int(std::lround(pointSize * 96.0 / 72.0)));
    font.setBold(styleBits & fsBold);
    font.setItalic(styleBits & fsItalic);
    font.setUnderline(styleBits & fsUnderline);
    font.setStrikeOut(styleBits & fsStrikeOut);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

} // namespace tomeric
