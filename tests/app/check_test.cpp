// The check of a scenario (--check) on text in memory: each finding with
// its line, the order they come in, where reading stops, and what a check
// reads and writes.
#include "app/check.h"
#include "app/command_line.h"
#include "app/orvex.h"
#include "support/run_orvex.h"

#include <gdfontg.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

using namespace orvex;

namespace {

// The pictures and colour files of a test, opened by name in its directory,
// counting how often each is opened.
class CountingFiles : public FileSource {
public:
    explicit CountingFiles(const TempDir& dir) : dir_(dir) {}

    FilePtr open(const std::string& path, std::string& reason) override {
        ++opened[path];
        FilePtr file(std::fopen(dir_.file(path).c_str(), "rb"));
        if (!file) reason = std::strerror(errno);
        return file;
    }

    std::map<std::string, int> opened;

private:
    const TempDir& dir_;
};

class Check : public ::testing::Test {
protected:
    void SetUp() override {
        saveGif(makePaletteImage(8, 8, {{0, 0, 0}, {255, 255, 255}}).get(), dir.file("ship.gif"));
        dir.write("photo.gif", "\x89PNG\r\n\x1a\n and the rest of a PNG");
        dir.write("photo.jpg", "\xff\xd8\xff\xe0 and the rest of a JPEG");
        dir.write("photo.bmp", "BM and the rest of a BMP");
        dir.write("photo.webp", std::string("RIFF\x10\0\0\0WEBPVP8 and the rest", 28));
        dir.write("notes.gif", "some text");
        dir.write("empty.gif", "");
    }

    // The findings as the program prints them.
    std::string check(const std::vector<std::string>& words, const std::string& scenario) {
        CountingFiles files(dir);
        const std::vector<Finding> findings = checkRun(parseCommandLine(words), scenario, files, {});
        std::string text;
        for (const Finding& finding : findings) text += formatFinding(finding);
        return text + checkSummary(findings);
    }

    TempDir dir;
};

const std::string HEADER = "Harbour\n-\n1\n0 0 100 50\n2\n";
const std::string TYPES = "ship ship.gif 1 1\nboat ship.gif 1 0\n*\n";

TEST_F(Check, CleanScenarioHasNoFinding) {
    dir.write("colors.ini", "[COLOR]\nBACKGROUNDCOLOR = 0 0 40\nLEADERCOLOR = 255 180 80\n");
    EXPECT_EQ(check({"-g", "-l", "-r", "colors.ini"}, HEADER + TYPES + "Alpha\nship 10 10 3 3 2 0\nB\nboat 50 20 0 9 1 1\n*\n"),
              "no problems found\n");
}

TEST_F(Check, WhatTheRunWouldPrintStandsAtItsLines) {
    EXPECT_EQ(check({}, "T\nnothere.gif\n0\n0 0 100 50\n2\n" + TYPES + "A\nshop 1 1 0 0 0 0\nB\nShip 1 1 0 0 0 0\n"),
              "<stdin>:2: warning: unable to load background image nothere.gif: No such file or directory "
              "(the map is drawn on its plain ground; give - for none)\n"
              "<stdin>:10: warning: unknown object type shop: object 1, \"A\", is left out (did you mean ship?)\n"
              "<stdin>:12: warning: unknown object type Ship: object 2, \"B\", is left out (did you mean ship?)\n"
              "<stdin>:12: warning: the scenario ends before the closing * of the game objects "
              "(end the objects with a line holding *)\n"
              "0 errors, 4 warnings\n");
    // An error the run ends on comes last; nothing after it is read.
    EXPECT_EQ(check({}, HEADER + "ship ship.gif 1 1\nUSS Enterprise enterprise.gif 1 0\n*\nA\nboat 1 1 99 0 0 0\n*\n"),
              "<stdin>:7: warning: the icon name Enterprise does not end in .gif, but the next word, enterprise.gif, "
              "does (a type name with a space, or a missing * after the types?)\n"
              "<stdin>:7: error: unable to load source image Enterprise: No such file or directory "
              "(check the name, and -i for the directory)\n"
              "1 error, 1 warning\n");
    EXPECT_EQ(check({}, "T\n-\n1\n0 0 100 50\n0\n*\n*\n"),
              "<stdin>:5: error: invalid map extent or scale: scale must be above 0\n1 error, 0 warnings\n");
    EXPECT_EQ(check({}, HEADER + "*\nA\nship 1\n"),
              "<stdin>:8: error: position expected (in object 1, \"A\")\n1 error, 0 warnings\n");
}

TEST_F(Check, PicturesThatCannotBeReadSayWhy) {
    for (const auto& [name, why] : {std::pair{"photo.gif", "a PNG picture, not a GIF"},
                                    std::pair{"photo.jpg", "a JPEG picture, not a GIF"},
                                    std::pair{"photo.bmp", "a BMP picture, not a GIF"},
                                    std::pair{"photo.webp", "a WebP picture, not a GIF"},
                                    std::pair{"notes.gif", "not a GIF picture"},
                                    std::pair{"empty.gif", "an empty file"},
                                    std::pair{"none.gif", "No such file or directory"}}) {
        EXPECT_EQ(check({}, HEADER + "ship " + std::string(name) + " 1 1\n*\n*\n"),
                  "<stdin>:6: error: unable to load source image " + std::string(name) + ": " + why +
                      " (check the name, and -i for the directory)\n1 error, 0 warnings\n");
    }
    // A file just the length of its signature is of that kind.
    for (const auto& [start, why] : {std::pair{std::string("\x89PNG"), "a PNG picture, not a GIF"},
                                      std::pair{std::string("\xff\xd8\xff"), "a JPEG picture, not a GIF"},
                                      std::pair{std::string("BM"), "a BMP picture, not a GIF"},
                                      std::pair{std::string("RIFF\x10\x01\x01\x01WEBP"), "a WebP picture, not a GIF"}}) {
        dir.write("odd.gif", start);
        EXPECT_EQ(check({}, HEADER + "ship odd.gif 1 1\n*\n*\n"),
                  "<stdin>:6: error: unable to load source image odd.gif: " + std::string(why) +
                      " (check the name, and -i for the directory)\n1 error, 0 warnings\n")
            << start;
    }
    // Near misses of each signature, and signatures cut short, are no kind.
    for (const std::string& start :
         {std::string("\x89PNx"), std::string("\x89PN"), std::string("\xff\xd8\x01"), std::string("\xff\xd8"),
          std::string("Bm"), std::string("B"), std::string("RIFX\x10\x01\x01\x01WEBP"),
          std::string("RIFF\x10\x01\x01\x01WEBx"), std::string("RIFF\x10\x01\x01\x01WEB")}) {
        dir.write("odd.gif", start);
        EXPECT_EQ(check({}, HEADER + "ship odd.gif 1 1\n*\n*\n"),
                  "<stdin>:6: error: unable to load source image odd.gif: not a GIF picture (check the name, and -i "
                  "for the directory)\n1 error, 0 warnings\n")
            << start;
    }
}

TEST_F(Check, TrapsTheRunPassesOverInSilence) {
    const std::string scenario =
        "\xEF\xBB\xBFHarbour\tmap\n-\n1\n0 0 100 50\n2\n" + TYPES +
        "Alpha \xC3\xA9t\xC3\xA9\nship 10 10 60 3 2 0\n" + std::string(80, 'L') + "\nboat 20 20 0 -12 2 0\n"
        "Far\nship 150 20 0 0 0 0\n*Charlie\nship 1 1 0 0 0 0\n\n*\n";
    EXPECT_EQ(check({}, scenario),
              "<stdin>:1: warning: the input starts with a UTF-8 byte-order mark, which becomes part of the title "
              "(save the scenario without a byte-order mark)\n"
              "<stdin>:1: warning: the title holds control characters and bytes above 126, which the built-in font "
              "draws as other glyphs (write it in printable ASCII)\n"
              "<stdin>:9: warning: the label of object 1 holds bytes above 126 (UTF-8 or 8-bit text), which the "
              "built-in font draws as other glyphs (write it in printable ASCII)\n"
              "<stdin>:10: warning: course 60 lies outside -11..11: without -t courses are 30-degree steps "
              "(degrees given? give -t for thrust lines in degrees)\n"
              "<stdin>:11: warning: the label of object 2 has 80 characters and is cut to 78 (shorten it)\n"
              "<stdin>:12: warning: facing -12 lies outside -11..11: facings are 30-degree steps "
              "(degrees given? -12 acts as 0)\n"
              "<stdin>:14: warning: object 3, \"Far\", lies off the map: it is not seen "
              "(the map spans x 0..100, y 0..50)\n"
              "<stdin>:15: warning: this line starts with * and ends the objects: 2 more lines are not read "
              "(a label cannot start with *; reword it, or remove what follows)\n"
              "0 errors, 8 warnings\n");
    // With -t, courses that all lie within 0..11 were meant as steps; one
    // of 12 is a heading in degrees.
    EXPECT_EQ(check({"-t"}, HEADER + TYPES + "A\nship 10 10 11 0 1 0\nB\nship 20 20 0 0 1 0\n*\n"),
              "<stdin>:10: warning: with -t courses are degrees, but every course lies within 0..11 "
              "(30-degree steps given? leave -t out, or give degrees)\n0 errors, 1 warning\n");
    EXPECT_EQ(check({"-t"}, HEADER + TYPES + "A\nship 10 10 12 0 1 0\nB\nship 20 20 0 0 1 0\n*\n"),
              "no problems found\n");
}

// Facings, and courses without -t, of -11 to 11 pass; one step beyond
// is a finding.
TEST_F(Check, FacingsAndCoursesAtTheirLimits) {
    const std::string tracked = "Harbour\n-\n1\n0 0 100 50\n2\n" + TYPES;
    EXPECT_EQ(check({}, tracked + "A\nship 10 10 11 -11 0 0\nB\nship 20 20 -11 11 0 0\n*\n"), "no problems found\n");
    EXPECT_EQ(check({}, tracked + "A\nship 10 10 12 -12 0 0\nB\nship 20 20 -12 12 0 0\n*\n"),
              "<stdin>:10: warning: facing -12 lies outside -11..11: facings are 30-degree steps (degrees given? "
              "-12 acts as 0)\n"
              "<stdin>:10: warning: course 12 lies outside -11..11: without -t courses are 30-degree steps "
              "(degrees given? give -t for thrust lines in degrees)\n"
              "<stdin>:12: warning: facing 12 lies outside -11..11: facings are 30-degree steps (degrees given? "
              "12 acts as 0)\n"
              "<stdin>:12: warning: course -12 lies outside -11..11: without -t courses are 30-degree steps "
              "(degrees given? give -t for thrust lines in degrees)\n"
              "0 errors, 4 warnings\n");
    // What a facing beyond them acts as: its remainder, made positive.
    EXPECT_EQ(check({}, tracked + "A\nship 10 10 0 13 0 0\nB\nship 20 20 0 -13 0 0\n*\n"),
              "<stdin>:10: warning: facing 13 lies outside -11..11: facings are 30-degree steps (degrees given? "
              "13 acts as 1)\n"
              "<stdin>:12: warning: facing -13 lies outside -11..11: facings are 30-degree steps (degrees given? "
              "-13 acts as 11)\n"
              "0 errors, 2 warnings\n");
}

// Anchors round to pixels: on each side, the first position that rounds
// to a pixel outside the map is off it, the last inside is not. The
// bottom row's pixel counts as one below the map.
TEST_F(Check, ObjectsJustOffEachSideOfTheMap) {
    // 200 x 100 pixels, two a unit.
    std::string objects;
    int k = 0;
    for (const char* at : {"-0.8 10", "-0.7 10", "99.75 10", "99.7 10", "10 0.2", "10 0.25", "10 50.25", "10 50"})
        objects += "U" + std::to_string(++k) + "\nship " + at + " 0 0 0 0\n";
    const std::string findings = check({}, "Harbour\n-\n0\n0 0 100 50\n2\n" + TYPES + objects + "*\n");
    for (const char* off : {"U1", "U3", "U5", "U7"})
        EXPECT_NE(findings.find(std::string("\"") + off + "\", lies off the map"), std::string::npos) << off;
    EXPECT_NE(findings.find("0 errors, 4 warnings"), std::string::npos) << findings;
}

// The title fits when it leaves a giant character's width and a pixel
// free beside it; a pixel less and it is cut.
TEST_F(Check, TitleThatJustFits) {
    const int w = gdFontGetGiant()->w;
    const std::string fits = std::to_string(9 * w + 1), short_ = std::to_string(9 * w);
    EXPECT_EQ(check({}, "Harbour\n-\n0\n0 0 " + fits + " 50\n1\n*\n*\n"), "no problems found\n");
    EXPECT_NE(check({}, "Harbour\n-\n0\n0 0 " + short_ + " 50\n1\n*\n*\n").find("does not fit the map's " + short_),
              std::string::npos);
    // DEL is a control character, and a byte above 126.
    EXPECT_NE(check({}, "Harbour\n-\n0\n0 0 500 50\n1\n" + TYPES + "A\x7f""B\nship 1 1 0 0 0 0\n*\n")
                  .find("the label of object 1 holds control characters and bytes above 126"),
              std::string::npos);
}

TEST_F(Check, LongTitleIsCut) {
    EXPECT_EQ(check({}, std::string(80, 'T') + "\n-\n1\n0 0 500 50\n2\n*\n*\n"),
              "<stdin>:1: warning: the title has 80 characters and is cut to 79 (shorten it)\n0 errors, 1 warning\n");
}

TEST_F(Check, TitleAndLegendThatDoNotFit) {
    const std::string types = "ship ship.gif 5 1\nboat ship.gif 6 1\nbuoy ship.gif 7 1\n*\n";
    EXPECT_EQ(check({"-l"}, "A title far too wide for this map\n-\n0\n0 0 60 35\n2\n" + types +
                                "Near the legend\nship 50 30 0 0 0 0\n*\n"),
              "<stdin>:1: warning: the title is 297 pixels wide and does not fit the map's 120: it is cut at the "
              "map's edge (shorten the title, or widen the map)\n"
              "<stdin>:8: warning: 2 legend rows start below the map and are dropped (list fewer types in the "
              "legend, or make the map higher)\n"
              "<stdin>:10: warning: the legend box covers the icon of object 1, \"Near the legend\" (the legend is "
              "drawn last, over the map; move the object, or leave -l out)\n"
              "0 errors, 3 warnings\n");
}

// Objects keep their numbers from the scenario when one before them is
// left out: the finding about the second names it, at its own line.
TEST_F(Check, ObjectsAfterOneLeftOutKeepTheirNumbers) {
    const std::string types = "ship ship.gif 5 1\nboat ship.gif 6 1\nbuoy ship.gif 7 1\n*\n";
    const std::string findings = check({"-l"}, "Harbour\n-\n0\n0 0 60 35\n2\n" + types +
                                                   "Lost\nbarge 5 5 0 0 0 0\nNear the legend\nship 50 30 0 0 0 0\n*\n");
    EXPECT_NE(findings.find("<stdin>:11: warning: unknown object type barge: object 1, \"Lost\", is left out"),
              std::string::npos) << findings;
    EXPECT_NE(findings.find("<stdin>:12: warning: the legend box covers the icon of object 2, \"Near the legend\""),
              std::string::npos) << findings;
}

TEST_F(Check, ColourFileFindingsStandAtTheFileAndLine) {
    dir.write("colors.ini", "; colours\n[COLOR]\nLABELTEXTCOLOR = 96 255 96\nLEADERCOLOUR = 1 2 3\n"
                            "GRIDCOLOR = 4 5 6\ngridcolor = 7 8 9\nnoequals\n[COLOR\n");
    EXPECT_EQ(check({"-r", "colors.ini"}, HEADER + "*\n*\n"),
              "colors.ini:3: warning: the first colour, 96 255 96, becomes the ground of the map, and TITLETEXTCOLOR "
              "has that colour: it cannot be seen (put BACKGROUNDCOLOR first, in the ground's colour)\n"
              "colors.ini:3: warning: the first colour, 96 255 96, becomes the ground of the map, and LABELTEXTCOLOR "
              "has that colour: it cannot be seen (put BACKGROUNDCOLOR first, in the ground's colour)\n"
              "colors.ini:4: warning: LEADERCOLOUR names no colour role (did you mean LEADERCOLOR?)\n"
              "colors.ini:6: warning: GRIDCOLOR is given again (first on line 5); this entry counts "
              "(keep one of them)\n"
              "colors.ini:7: warning: an entry without =; the entry sets nothing "
              "(write ROLE = RED GREEN BLUE, each 0 to 255)\n"
              "colors.ini:8: warning: a section line without ] (write the section's name between [ and ])\n"
              "0 errors, 6 warnings\n");
    // The scenario's findings come before the colour file's.
    dir.write("leader.ini", "[COLOR]\nLEADERCOLOUR = 1 2 3\n");
    EXPECT_EQ(check({"-r", "leader.ini"}, HEADER + "*\nA\nboat 5 5 0 0 0 0\n*\n"),
              "<stdin>:8: warning: unknown object type boat: object 1, \"A\", is left out (declare it among the object "
              "types)\nleader.ini:2: warning: LEADERCOLOUR names no colour role (did you mean LEADERCOLOR?)\n"
              "0 errors, 2 warnings\n");
    // Each colour file alone, with the one finding it gives: a role's name
    // among blanks, and section names near [COLOR] (three letters off) or
    // not (four).
    for (const auto& [name, text, finding] :
         {std::tuple{"blanks.ini", "[COLOR]\n  LEADERCOLOUR  = 1 2 3\n",
                     ":2: warning: LEADERCOLOUR names no colour role (did you mean LEADERCOLOR?)"},
          std::tuple{"colours.ini", "[COLOURS]\nGRIDCOLOR = 1 2 3\n",
                     ":1: warning: no colour section: the file sets no colour (did you mean [COLOR]?)"},
          std::tuple{"near.ini", "[CZZZR]\n",
                     ":1: warning: no colour section: the file sets no colour (did you mean [COLOR]?)"},
          std::tuple{"far.ini", "[CZZZZ]\n",
                     ":1: warning: no colour section: the file sets no colour (a colour section's line holds COLOR, "
                     "as [COLOR])"}}) {
        dir.write(name, text);
        EXPECT_EQ(check({"-r", name}, HEADER + "*\n*\n"), name + std::string(finding) + "\n0 errors, 1 warning\n");
    }
    // A bitonal map reads no colour file.
    EXPECT_EQ(check({"-b", "-r", "colours.ini"}, HEADER + "*\n*\n"), "no problems found\n");
}

TEST_F(Check, CommandLineFindingsComeFirst) {
    EXPECT_EQ(check({"-gl", "-f", "-x/map.gif"}, HEADER + "*\nA\nboat 1 1 0 0 0 0\n*\n"),
              "orvex: warning: -gl acts as -g; its other letters are ignored (write -g -l)\n"
              "orvex: warning: the value of -f is -x/map.gif, which starts with - (a forgotten value? -f takes the "
              "next word whatever it is)\n"
              "<stdin>:8: warning: unknown object type boat: object 1, \"A\", is left out "
              "(declare it among the object types)\n"
              "orvex: error: the folder of the output file -x/map.gif does not exist (make the folder first)\n"
              "1 error, 3 warnings\n");
    CountingFiles files(dir);
    const std::vector<Finding> findings = checkRun(parseCommandLine({"-f", "ship.gif"}), HEADER + TYPES + "*\n", files,
                                                   [](const std::string& path) { return path == "ship.gif"; });
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(formatFinding(findings[0]), "orvex: error: output file ship.gif is an input of this run "
                                          "(write the map elsewhere)\n");
}

TEST_F(Check, ReadsEachPictureOnceAndWritesNothing) {
    saveGif(makePaletteImage(40, 20, {{0, 0, 90}}).get(), dir.file("sea.gif"));
    dir.write("colors.ini", "[COLOR]\nBACKGROUNDCOLOR = 0 0 40\n");
    auto listing = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) names.push_back(entry.path());
        std::sort(names.begin(), names.end());
        return names;
    };
    const auto before = listing();
    CountingFiles files(dir);
    const std::string scenario = "T\nsea.gif\n1\n0 0 100 50\n2\n" + TYPES + "A\nship 1 1 0 0 0 0\nB\nboat 2 2 0 0 0 0\n*\n";
    const std::vector<Finding> findings = checkRun(parseCommandLine({"-d", "-g", "-l", "-r", "colors.ini"}), scenario,
                                                   files, [](const std::string&) { return false; });
    EXPECT_TRUE(findings.empty());
    EXPECT_EQ(files.opened, (std::map<std::string, int>{{"colors.ini", 1}, {"sea.gif", 1}, {"ship.gif", 1}}));
    EXPECT_EQ(listing(), before);
}

}  // namespace
