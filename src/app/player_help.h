#pragma once
// qxplay5 --help, built from two tables: the player's options and the
// driver's verbs. The README's driver section lists the same verbs; a test
// holds the three (this table, the README and the driver's dispatch) together,
// and the man page is made from this text.

#include <QString>

#include <vector>

namespace tomeric {

// One row of a help table: what is typed, and what it does. A description
// may hold "\n" where it goes on on the next line.
struct THelpRow {
    const char* synopsis;
    const char* description;
};

// The driver's verbs, one row each (a row may show several related verbs).
const std::vector<THelpRow>& DriverVerbRows();

// The whole --help text.
QString PlayerUsage();

} // namespace tomeric
