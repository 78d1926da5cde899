#pragma once
// A large publication for the benchmarks: 200 pages of 50 objects each
// (10 000 objects, about 5 MB of RUNTIME.PUB), every object with a caption,
// a hint, a variable and a click script of five lines.

#include <QByteArray>

#include <iterator>

namespace tomeric::bench {

constexpr int kPages = 200;
constexpr int kObjectsPerPage = 50;

inline QByteArray Action(int page, int object) {
    return "SetVar \"[Visited" + QByteArray::number(page) + "]\" \"[Visited" + QByteArray::number(page) +
           "]+1\"\xB6If \"[Visited" + QByteArray::number(page) + "]\" \">\" \"3\"\xB6" +
           "AlertBox \"Welcome back\" \"You have seen object " + QByteArray::number(object) +
           " of page " + QByteArray::number(page) + " several times already.\"\xB6" +
           "EndIf\xB6GotoPage \"Page" + QByteArray::number((page % kPages) + 1) + "\"";
}

inline QByteArray ObjectRecords(int page, int object) {
    static const int kTypes[] = {3, 8, 5, 12, 9, 15, 6, 16, 10, 17};
    const int type = kTypes[object % std::size(kTypes)];
    QByteArray r;
    r += "OBJECTTYPE=" + QByteArray::number(type) + "\r\n";
    r += "NAME=Object" + QByteArray::number(page) + "_" + QByteArray::number(object) + "\r\n";
    r += "X=" + QByteArray::number(object * 13 % 700) + "\r\nY=" + QByteArray::number(object * 7 % 500) +
         "\r\nW=120\r\nH=32\r\n";
    r += "LINECOLOR=5284041\r\nLINEWIDTH=1\r\nFILLCOLOR=14742522\r\nFILLPATTERN=0\r\n";
    r += "FONT=Georgia\r\nFONTSIZE=11\r\nFONTSTYLE=1\r\nTEXTCOLOR=1976380\r\n";
    r += "TEXT=Caption of object " + QByteArray::number(object) + " on page " + QByteArray::number(page) +
         "\xB6with a second line\r\n";
    r += "HINT=A hint that explains what this object does when clicked\r\n";
    r += "VARNAME=Var" + QByteArray::number(object) + "\r\n";
    r += "OBJACTION=" + Action(page, object) + "\r\n";
    return r;
}

// The whole RUNTIME.PUB text. Each page's enter script moves on to the
// next page; without `pageScripts` the pages have none, so the player stays
// on its start page.
inline QByteArray LargePublicationText(bool pageScripts = true) {
    QByteArray text = "TITLE=Benchmark publication\r\nSCREENWIDTH=800\r\nSCREENHEIGHT=600\r\n"
                      "SUBROUTINEACTION=:One\xB6Return\xB6:Two\xB6Return\r\n";
    for (int page = 1; page <= kPages; ++page) {
        text += "NEWPAGE=Page" + QByteArray::number(page) + "\r\nPAGECOLOR=14742522\r\n";
        if (pageScripts)
            text += "PGENTERACTION=" + Action(page, 0) + "\r\n";
        for (int object = 0; object < kObjectsPerPage; ++object) text += ObjectRecords(page, object);
    }
    return text;
}

} // namespace tomeric::bench
