#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "report/text_line.h"
#include "tests/support/report_file.h"

namespace {

// Every piece gives the text of its printf conversion, for numbers of every length and sign and
// the ends of the int range, and a written line leaves an empty one behind.
TEST(TextLine, PiecesGiveTheTextOfTheirPrintfConversions) {
    Report_File report;
    Text_Line line;
    std::string expected;
    for (const int value : {0, 7, -7, 42, -42, 100, 123456, INT_MAX, INT_MIN}) {
        char printed[64];
        std::snprintf(printed, sizeof printed, " (%d %s) [%2d] %d", value, "name", value, value);
        expected += printed;
        line.text(" (").number(value).text(" ").text("name").text(") [").padded(value, 2);
        line.text("] ").number(value);
    }
    // "%s" stops at a NUL character, as a C string does.
    const std::string with_nul("ab\0cd", 5);
    line.text(with_nul.c_str());
    expected += "ab";
    line.write(report.get());
    line.write(report.get());
    EXPECT_EQ(report.text(), expected);
}

}  // namespace
