#include "app/command_line.h"
#include "base/run_error.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace orvex;

namespace {

const std::string USAGE =
    "usage: orvex -a -b -d -f filename.gif -g -i image_dir -l -r resource.ini -t -v -w\n";

Options parse(const std::vector<std::string>& words) { return parseCommandLine(words).options; }

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

TEST(CommandLine, LongOptionsStandAnywhereAndAreComparedWhole) {
    const CommandLine line = parseCommandLine({"-v", "--quiet", "-g", "--strict", "--check", "-f", "--help"});
    EXPECT_EQ(line.action, CommandLine::Action::check);
    EXPECT_TRUE(line.options.quiet && line.options.strict && line.options.verbose && line.options.grid);
    EXPECT_EQ(line.options.outputFile, "--help");  // a value, whatever it looks like
    // --help and --version end the reading: a later bad word is not seen,
    // an earlier one is.
    EXPECT_EQ(parseCommandLine({"--help", "-x", "map.scn"}).action, CommandLine::Action::help);
    EXPECT_EQ(parseCommandLine({"-g", "--version", "--nosuch"}).action, CommandLine::Action::version);
    EXPECT_EQ(parseError({"-x", "--help"}).what(), "orvex: illegal option x\n" + USAGE);
    for (const char* word : {"--Help", "--quiet=yes", "--", "--verbose"}) {
        EXPECT_EQ(parseError({"-g", word}).what(), "orvex: illegal option " + std::string(word) + "\n" + USAGE);
    }
}

TEST(CommandLine, PlainWordNamingAFileSaysHowToGiveTheScenario) {
    EXPECT_EQ(parseError({"-g", "/etc/hostname"}).what(),
              USAGE + "orvex: the scenario is read from standard input: orvex [options] < /etc/hostname\n");
    EXPECT_EQ(parseError({"-g", "/no/such/turn07.scn"}).what(), USAGE);
}

TEST(CommandLine, CheckNotesIgnoredLettersAndForgottenValues) {
    const CommandLine line = parseCommandLine({"-gl", "-format", "map.gif", "-i", "-v", "-verbose"});
    ASSERT_EQ(line.findings.size(), 4u);
    EXPECT_EQ(line.findings[0].text, "-gl acts as -g; its other letters are ignored");
    EXPECT_EQ(line.findings[0].hint, "write -g -l");
    EXPECT_EQ(line.findings[1].text, "-format acts as -f; its other letters are ignored");
    EXPECT_EQ(line.findings[1].hint, "one option a word, as -f");
    EXPECT_EQ(line.findings[2].text, "the value of -i is -v, which starts with -");
    EXPECT_EQ(line.findings[3].text, "-verbose acts as -v; its other letters are ignored");
    EXPECT_TRUE(parseCommandLine({"-g", "-l", "-", "-f", "map.gif"}).findings.empty());
}

}  // namespace
