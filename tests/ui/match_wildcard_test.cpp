// The block-name pattern against two independent references: the C library's
// fnmatch (with its brackets and backslashes kept out of the alphabet, where
// its rules differ) and the prefix-table oracle, on generated patterns and
// names; and the examples the filter dialog's tip gives the user.
#include "support/leak_checked_test.h"
#include "support/wildcard_oracle.h"
#include "ui/match_wildcard.h"

#include <fnmatch.h>

#include <random>
#include <string>

using MatchWildcardTest = LeakCheckedTest;

namespace {

std::string Random(std::mt19937& random, const std::string& alphabet, std::size_t maxLength)
{
    std::uniform_int_distribution<std::size_t> length(0, maxLength);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string text(length(random), ' ');
    for (char& c : text)
        c = alphabet[pick(random)];
    return text;
}

} // namespace

TEST_F(MatchWildcardTest, TheTipsExamples)
{
    EXPECT_TRUE(MatchWildcard("*", ""));
    EXPECT_TRUE(MatchWildcard("*", "ANY name"));
    EXPECT_TRUE(MatchWildcard("a*", "abc"));
    EXPECT_FALSE(MatchWildcard("a*", "Abc"));
    EXPECT_FALSE(MatchWildcard("A*", "abc"));
    EXPECT_TRUE(MatchWildcard("*a", "bca"));
    EXPECT_FALSE(MatchWildcard("*a", "bcA"));
    EXPECT_TRUE(MatchWildcard("a?b?c", "axbyc"));
    EXPECT_FALSE(MatchWildcard("a?b?c", "abc"));
    EXPECT_FALSE(MatchWildcard("a?b?c", "axbycz"));
    EXPECT_TRUE(MatchWildcard("a?c", "abc"));
    EXPECT_FALSE(MatchWildcard("a?c", "abbc"));
    // A question mark after a star still needs its character.
    EXPECT_FALSE(MatchWildcard("*??", "a"));
    EXPECT_TRUE(MatchWildcard("*??", "ab"));
    EXPECT_FALSE(MatchWildcard("", "a"));
    EXPECT_TRUE(MatchWildcard("", ""));
    EXPECT_FALSE(MatchWildcard(nullptr, "a"));
    EXPECT_FALSE(MatchWildcard("*", nullptr));
}

TEST_F(MatchWildcardTest, AgreesWithFnmatchOnGeneratedPatterns)
{
    std::mt19937 random(20261208);
    // Letters in both cases, a dot and a slash (fnmatch treats neither
    // specially without flags), and a byte above 127 compared as a byte.
    const std::string names = "aAb.\x9c";
    const std::string patterns = names + "**??";
    for (int round = 0; round < 200000; ++round) {
        const std::string pattern = Random(random, patterns, 8);
        const std::string name = Random(random, names, 10);
        const bool expected = fnmatch(pattern.c_str(), name.c_str(), FNM_NOESCAPE) == 0;
        ASSERT_EQ(MatchWildcard(pattern.c_str(), name.c_str()), expected)
            << "pattern \"" << pattern << "\" name \"" << name << "\"";
        ASSERT_EQ(WildcardOracle(pattern, name), expected) << "the oracles disagree on \"" << pattern << "\"";
    }
}

TEST_F(MatchWildcardTest, AgreesWithTheOracleOnEveryByteAndLongNames)
{
    std::mt19937 random(7);
    std::string bytes;
    for (int c = 1; c < 256; ++c)
        bytes += static_cast<char>(c);
    for (int round = 0; round < 20000; ++round) {
        const std::string name = Random(random, bytes, 40);
        // A pattern cut from the name, with some characters turned into
        // wildcards, so that matches are common.
        std::string pattern = name.substr(0, name.size() / 2 + round % 3);
        for (char& c : pattern)
            if (std::uniform_int_distribution<int>(0, 3)(random) == 0)
                c = std::uniform_int_distribution<int>(0, 1)(random) ? '*' : '?';
        ASSERT_EQ(MatchWildcard(pattern.c_str(), name.c_str()), WildcardOracle(pattern, name))
            << "pattern \"" << pattern << "\"";
    }
}

TEST_F(MatchWildcardTest, ManyStarsStayFast)
{
    // A pattern that makes a retry at every star for every split exponential.
    const std::string pattern = std::string(60, '*') + "a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
    const std::string name(255, 'a');
    EXPECT_FALSE(MatchWildcard(pattern.c_str(), name.c_str()));
    EXPECT_TRUE(MatchWildcard(pattern.c_str(), (name + "b").c_str()));
}
