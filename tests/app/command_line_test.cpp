#include "app/command_line.h"
#include "base/run_error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string USAGE =
    "usage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r resource.ini -t -v -w\n";

Options parse(const std::vector<std::string>& words) { return parseCommandLine(words); }

// The message and status of the RunError the words give; fails when none.
RunError parseError(const std::vector<std::string>& words) {
    try {
        parse(words);
    } catch (const RunError& error) {
        return error;
    }
    ADD_FAILURE() << "no usage error";
    return RunError("", 0);
}

TEST(CommandLine, NoWordsKeepTheDefaults) {
    const Options s = parse({});
    EXPECT_FALSE(s.resampling || s.debug || s.grid || s.legend || s.realThrust || s.verbose || s.tiling);
    EXPECT_TRUE(s.colorMap);
    EXPECT_FALSE(s.outputFile || s.imageDir || s.resourceFile);
}

TEST(CommandLine, EachLetterSetsItsFieldInEitherCase) {
    const Options lower = parse({"-a", "-b", "-d", "-g", "-l", "-t", "-v", "-w", "-f", "o.gif", "-i", "maps", "-r", "c.ini"});
    const Options upper = parse({"-A", "-B", "-D", "-G", "-L", "-T", "-V", "-W", "-F", "o.gif", "-I", "maps", "-R", "c.ini"});
    for (const Options* s : {&lower, &upper}) {
        EXPECT_TRUE(s->resampling && s->debug && s->grid && s->legend && s->realThrust && s->verbose && s->tiling);
        EXPECT_FALSE(s->colorMap);
        EXPECT_EQ(s->outputFile, "o.gif");
        EXPECT_EQ(s->imageDir, "maps");
        EXPECT_EQ(s->resourceFile, "c.ini");
    }
}

TEST(CommandLine, OnlyTheLetterAfterTheDashCounts) {
    const Options s = parse({"-gl", "-", "-verbose"});
    EXPECT_TRUE(s.grid);
    EXPECT_FALSE(s.legend);
    EXPECT_TRUE(s.verbose);
}

TEST(CommandLine, UnknownLetterIsNamedAsTyped) {
    for (const char* word : {"-x", "-X"}) {
        const RunError error = parseError({"-v", word});
        EXPECT_EQ(error.what(), "orvex: illegal option " + std::string(1, word[1]) + "\n" + USAGE);
        EXPECT_EQ(error.status, 1);
    }
}

TEST(CommandLine, WordsThatAreNoOptionsGiveTheUsageAlone) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"-f"}, {"-v", "-r"}, {"map.gif"}, {"-g", ""}}) {
        const RunError error = parseError(words);
        EXPECT_EQ(error.what(), USAGE);
        EXPECT_EQ(error.status, 1);
    }
}

TEST(CommandLine, ValueIsTheNextWordWhateverItLooksLike) {
    const Options s = parse({"-f", "-v", "-i", "-", "-r", ""});
    EXPECT_EQ(s.outputFile, "-v");
    EXPECT_FALSE(s.verbose);
    EXPECT_EQ(s.imageDir, "-");
    EXPECT_EQ(s.resourceFile, "");
}

TEST(CommandLine, RepeatedValueOptionKeepsTheLast) {
    EXPECT_EQ(parse({"-f", "a.gif", "-f", "b.gif"}).outputFile, "b.gif");
}

}  // namespace
