#include "common/Args.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using zanit_tools::ArgReader;

TEST(ArgReader, ReadsOptionsAndValuesInOrderFromTheGivenStart) {
    const char* argv[] = {"tool", "build", "--out", "a.dbf", "src.tsv", "--password"};
    ArgReader args(6, argv, 2);
    ASSERT_FALSE(args.Done());
    EXPECT_EQ(args.Next(), "--out");
    std::string out;
    EXPECT_TRUE(args.ValueInto(out));
    EXPECT_EQ(out, "a.dbf");
    EXPECT_EQ(args.Next(), "src.tsv");
    EXPECT_EQ(args.Next(), "--password");
    // the line ends where the value should be
    std::string password = "unchanged";
    EXPECT_FALSE(args.ValueInto(password));
    EXPECT_EQ(password, "unchanged");
    EXPECT_FALSE(args.Value().has_value());
    EXPECT_TRUE(args.Done());
    EXPECT_THROW(args.Next(), std::logic_error);
}

TEST(ArgReader, MissingValueIsAUsageErrorNamingTheOption) {
    ArgReader args(std::vector<std::string>{"dump", "--order", "NAME", "--password"}, 1);
    EXPECT_EQ(args.Next(), "--order");
    EXPECT_EQ(args.ValueOf("--order"), "NAME");
    EXPECT_EQ(args.Next(), "--password");
    try {
        args.ValueOf("--password");
        FAIL() << "no UsageError";
    } catch (const zanit_tools::UsageError& e) {
        EXPECT_STREQ(e.what(), "--password needs a value");
    }
    // a value that looks like an option is still the value
    ArgReader dashed(std::vector<std::string>{"--password", "--x"}, 0);
    dashed.Next();
    EXPECT_EQ(dashed.ValueOf("--password"), "--x");
}

TEST(Args, OptionsAndHelpRequests) {
    EXPECT_TRUE(zanit_tools::IsLongOption("--out"));
    EXPECT_TRUE(zanit_tools::IsLongOption("--"));
    EXPECT_FALSE(zanit_tools::IsLongOption("-"));
    EXPECT_FALSE(zanit_tools::IsLongOption("-h"));
    EXPECT_FALSE(zanit_tools::IsLongOption("datei.tsv"));
    for (const char* help : {"--help", "-h", "help"}) EXPECT_TRUE(zanit_tools::IsHelpRequest(help)) << help;
    for (const char* other : {"--hel", "-help", "HELP", ""}) EXPECT_FALSE(zanit_tools::IsHelpRequest(other)) << other;
}

TEST(Args, WholeNumberTakesTheWholeTextOnly) {
    EXPECT_EQ(zanit_tools::WholeNumber("30"), 30);
    EXPECT_EQ(zanit_tools::WholeNumber("-7"), -7);
    EXPECT_EQ(zanit_tools::WholeNumber("+12"), 12);
    EXPECT_EQ(zanit_tools::WholeNumber(" 5"), 5);
    EXPECT_EQ(zanit_tools::WholeNumber("2147483647"), 2147483647);
    for (const char* bad : {"", " ", "1x", "x1", "5 ", "+", "-", "+-1", "1.5", "2147483648", "99999999999999999999"})
        EXPECT_FALSE(zanit_tools::WholeNumber(bad).has_value()) << '"' << bad << '"';
}

TEST(Args, ReadNumberReportsMissingMalformedAndOutOfRangeValues) {
    auto read = [](std::vector<std::string> line, int& n) {
        ArgReader args(std::move(line), 1);
        return zanit_tools::ReadNumber(args, "--width", 1, 254, n);
    };
    int n = 0;
    EXPECT_EQ(read({"--width", "254"}, n), "");
    EXPECT_EQ(n, 254);
    EXPECT_EQ(read({"--width"}, n), "--width ohne Zahl");
    EXPECT_EQ(read({"--width", "1x"}, n), "--width erwartet eine Zahl: 1x");
    EXPECT_EQ(read({"--width", "255"}, n), "--width muss zwischen 1 und 254 liegen");
    EXPECT_EQ(read({"--width", "0"}, n), "--width muss zwischen 1 und 254 liegen");
}

TEST(Args, UsageFailureWritesToolProblemAndUsage) {
    std::ostringstream err;
    EXPECT_EQ(zanit_tools::UsageFailure(err, "zanit-x", "--out fehlt", "Aufruf: zanit-x\n"), 2);
    EXPECT_EQ(err.str(), "zanit-x: --out fehlt\nAufruf: zanit-x\n");
}

TEST(Args, LinesWithoutACommandAreAnsweredBeforeTheTool) {
    std::ostringstream out, err;
    const char* none[] = {"zanit-x"};
    EXPECT_EQ(zanit_tools::AnswerWithoutCommand(1, none, "zanit-x", "Aufruf\n", out, err), 2);
    EXPECT_EQ(err.str(), "zanit-x: kein Befehl angegeben\nAufruf\n");
    EXPECT_EQ(out.str(), "");

    err.str("");
    const char* help[] = {"zanit-x", "-h", "ignored"};
    EXPECT_EQ(zanit_tools::AnswerWithoutCommand(3, help, "zanit-x", "Aufruf\n", out, err), 0);
    EXPECT_EQ(out.str(), "Aufruf\n");
    EXPECT_EQ(err.str(), "");

    out.str("");
    const char* command[] = {"zanit-x", "build", "--help"};
    EXPECT_FALSE(zanit_tools::AnswerWithoutCommand(3, command, "zanit-x", "Aufruf\n", out, err).has_value());
    EXPECT_EQ(out.str() + err.str(), "");
}

}  // namespace
