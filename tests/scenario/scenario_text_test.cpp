// The scenario read into records, on text in memory: what each record
// holds, the lines it names, and where reading stops.
#include "scenario/scenario_input.h"
#include "scenario/scenario_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace orvex;

namespace {

ScenarioText read(const std::string& text) {
    ScenarioInput input(text);
    return readScenario(input);
}

TEST(ScenarioText, RecordsHoldTheItemsAndTheirLines) {
    const ScenarioText s = read(
        "Battle of the Bay\n\nsea.gif\n1\n0 0\n100 50\n2\n"
        "ship ship.gif\n1.5 1\nbuoy   buoy.gif 1 0\n*\n"
        "  Red leader\nship 10 10 3 4 2.5 -1\nBuoy\nbuoy\n20 20\n0 0 0 0\n* end\n\nnot read\n \t\nnor this\n");
    EXPECT_FALSE(s.stop);
    EXPECT_EQ(s.header.title, "Battle of the Bay");
    EXPECT_EQ(*s.header.background, "sea.gif");
    EXPECT_EQ(s.header.backgroundLine, 3);
    EXPECT_TRUE(s.header.objectTracks);
    EXPECT_EQ(s.header.extentLine, 5);
    EXPECT_EQ(s.header.scaleLine, 7);
    EXPECT_EQ(s.header.frame.xMax, 100);
    EXPECT_EQ(s.header.frame.scale, 2);

    ASSERT_EQ(s.types.size(), 2u);
    EXPECT_EQ(s.types[0].name, "ship");
    EXPECT_EQ(s.types[0].line, 8);
    EXPECT_EQ(s.types[0].scaleLine, 9);
    EXPECT_EQ(*s.types[0].scale, 1.5);
    EXPECT_EQ(s.types[0].scaleWord, "1.5");
    EXPECT_EQ(*s.types[1].icon, "buoy.gif");
    EXPECT_EQ(*s.types[1].legendFlag, 0);
    EXPECT_TRUE(s.typesClosed);

    ASSERT_EQ(s.objects.size(), 2u);
    const ObjectText& red = s.objects[0];
    EXPECT_EQ(red.label, "Red leader");
    EXPECT_EQ(red.line, 12);
    EXPECT_EQ(red.typeLine, 13);
    EXPECT_EQ(red.facing, 4);
    EXPECT_EQ(red.speed, 2.5);
    EXPECT_EQ(red.turn, -1);
    const ObjectText& buoy = s.objects[1];
    EXPECT_EQ(buoy.number, 2);
    EXPECT_EQ(buoy.typeLine, 15);
    EXPECT_EQ(buoy.positionLine, 16);
    EXPECT_EQ(buoy.courseLine, 17);
    EXPECT_TRUE(s.objectsClosed);
    EXPECT_EQ(s.closingLine, 18);
    EXPECT_EQ(s.linesNotRead, 2);
}

TEST(ScenarioText, ReadingStopsAtTheFirstBadItemKeepingWhatCameBefore) {
    const std::string header = "T\n-\n0\n0 0 10 10\n1\n";
    const struct {
        std::string text;
        ScenarioSection section;
        std::string message;
    } cases[] = {
        {"", ScenarioSection::header, "**** Error bad scenario line 1: title expected\n"},
        {"T\n-\nx\n", ScenarioSection::header, "**** Error bad scenario line 3: tracks flag expected\n"},
        {header + "ship ship.gif\n\n", ScenarioSection::types, "**** Error bad scenario line 7: icon scale expected\n"},
        {header + "ship ship.gif 1 x\n", ScenarioSection::types, "**** Error bad scenario line 6: legend flag expected\n"},
        {header + "*\nA\nship 1 1 0 0 0 0\nB\nship 1 1 0 x\n", ScenarioSection::objects,
         "**** Error bad scenario line 10: facing expected (object 2, label \"B\" from line 9)\n"},
    };
    for (const auto& c : cases) {
        const ScenarioText s = read(c.text);
        ASSERT_TRUE(s.stop) << c.text;
        EXPECT_EQ(s.stop->section, c.section) << c.text;
        EXPECT_EQ(s.stop->error().what(), c.message) << c.text;
    }
    // The type read in part keeps its items up to the stop, for the loading
    // stage to do what the run does with them before it ends.
    const ScenarioText partial = read(header + "ship ship.gif 1 1\nboat boat.gif Boat\n");
    ASSERT_EQ(partial.types.size(), 2u);
    EXPECT_EQ(*partial.types[1].icon, "boat.gif");
    EXPECT_EQ(partial.types[1].scaleWord, "Boat");
    EXPECT_FALSE(partial.types[1].scale);
    EXPECT_FALSE(partial.types[1].legendFlag);
    // An object stopped in: the objects before it stay, it is kept with the stop.
    const ScenarioText objects = read(header + "*\nA\nship 1 1 0 0 0 0\nB\nship 1\n");
    EXPECT_EQ(objects.objects.size(), 1u);
    EXPECT_EQ(objects.stop->object->label, "B");
}

TEST(ScenarioText, InputEndingEarlyLeavesTheListsOpen) {
    const ScenarioText types = read("T\n-\n0\n0 0 10 10\n1\nship ship.gif 1 0\n");
    EXPECT_FALSE(types.stop);
    EXPECT_FALSE(types.typesClosed);
    EXPECT_FALSE(types.objectsClosed);
    const ScenarioText objects = read("T\n-\n0\n0 0 10 10\n1\n*\nA\nship 1 1 0 0 0 0\n");
    EXPECT_TRUE(objects.typesClosed);
    EXPECT_FALSE(objects.objectsClosed);
    EXPECT_EQ(objects.objects.size(), 1u);
}

}  // namespace
