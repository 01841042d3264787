#include "scenario/scenario_input.h"
#include "base/run_error.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

using namespace orvex;

namespace {

// The item and line of the error that read throws, as the run's message
// shows them; fails when none.
std::string errorOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const ItemError& error) {
        return "**** Error bad scenario line " + std::to_string(error.line) + ": " + error.item + " expected\n";
    }
    ADD_FAILURE() << "no error";
    return "";
}

TEST(ScenarioInput, LinesEndWithLfOrCrLf) {
    ScenarioInput input("first\r\nsecond\n\r\nlast");
    EXPECT_EQ(input.line()->text, "first");
    EXPECT_EQ(input.line()->text, "second");
    EXPECT_EQ(input.line()->text, "");
    const auto last = input.line();
    EXPECT_EQ(last->text, "last");
    EXPECT_FALSE(last->ended);
    EXPECT_FALSE(input.line());
}

TEST(ScenarioInput, TokensRunAcrossLines) {
    ScenarioInput input("title line\r\n  7\r\n\t-2.5 \r\n\r\n word");
    input.line();
    EXPECT_EQ(input.readInt("tracks flag"), 7);
    EXPECT_EQ(input.lineNumber(), 2);
    EXPECT_EQ(input.readSingle("scale"), -2.5);
    EXPECT_EQ(input.requireToken("name"), "word");
    EXPECT_FALSE(input.token("type name"));
    EXPECT_EQ(input.lineNumber(), 5);
}

TEST(ScenarioInput, TokenHoldsAtMost255Characters) {
    const std::string longest(255, '7');
    ScenarioInput input("a\n" + longest + "\n\n  " + longest + "8\n");
    EXPECT_EQ(input.requireToken("x"), "a");
    EXPECT_EQ(input.requireToken("x"), longest);
    EXPECT_EQ(errorOf([&] { input.requireToken("icon file name"); }),
              "**** Error bad scenario line 4: icon file name expected\n");
}

TEST(ScenarioInput, SingleIsTheFloatValueWidened) {
    ScenarioInput input("0.1 0.1");
    EXPECT_EQ(input.readSingle("x"), static_cast<double>(0.1f));
    EXPECT_EQ(input.readDouble("x"), 0.1);
}

TEST(ScenarioInput, BadNumberNamesItsLine) {
    for (const char* bad : {"nan", "inf", "-inf", "12abc", "1e40", "0x"}) {
        ScenarioInput input(std::string("1\n2\n  ") + bad + "\n4\n");
        input.readSingle("x");
        input.readSingle("x");
        EXPECT_EQ(errorOf([&] { input.readSingle("map extent"); }),
                  "**** Error bad scenario line 3: map extent expected\n")
            << bad;
    }
    ScenarioInput input("1\n\nnan");
    input.readDouble("x");
    EXPECT_EQ(errorOf([&] { input.readDouble("scale"); }), "**** Error bad scenario line 3: scale expected\n");
}

TEST(ScenarioInput, MissingItemAtTheEndNamesTheLastLine) {
    const struct {
        const char* text;
        int lastLine;
    } cases[] = {{"1\n2\n", 2}, {"1\n2", 2}, {"1\n2\n  \n", 3}, {"1\n2\n\t", 3}, {"1\r\n2\r\n", 2}};
    for (const auto& c : cases) {
        ScenarioInput input(c.text);
        input.readInt("x");
        input.readInt("x");
        EXPECT_EQ(errorOf([&] { input.readInt("tracks flag"); }),
                  "**** Error bad scenario line " + std::to_string(c.lastLine) + ": tracks flag expected\n")
            << c.text;
    }
    ScenarioInput empty("");
    EXPECT_EQ(errorOf([&] { empty.requireToken("title"); }), "**** Error bad scenario line 1: title expected\n");
}

TEST(ScenarioInput, IntegersMustFit32Bits) {
    ScenarioInput input("-2147483648 2147483647 2147483648");
    EXPECT_EQ(input.readInt("n"), INT_MIN);
    EXPECT_EQ(input.readInt("n"), INT_MAX);
    EXPECT_EQ(errorOf([&] { input.readInt("n"); }), "**** Error bad scenario line 1: n expected\n");
    for (const char* bad : {"1.0", "99999999999999999999", "-2147483649", "7x"}) {
        ScenarioInput other(bad);
        EXPECT_EQ(errorOf([&] { other.readInt("n"); }), "**** Error bad scenario line 1: n expected\n") << bad;
    }
}

}  // namespace
