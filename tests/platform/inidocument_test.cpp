// How the profile's document holds a long file: names and values point into
// the text read, a name spelled otherwise in the file is found under the
// name it reads as, lookups in any order find the right value, and the
// memory of values that are gone is given back without changing any other.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/inidocument.h"

namespace dromo {
namespace {

// A task section as the program writes it: `tasks` tasks of a few values.
std::string TaskSection(int tasks)
{
    std::string text = "[Settings]\nMRU%20Num=" + std::to_string(tasks) + "\n\n[URL]\n";
    for (int i = 0; i < tasks; ++i) {
        const std::string prefix = "URL" + std::to_string(i) + "\\";
        text += prefix + "Target=http://host/f" + std::to_string(i) + "\n";
        text += prefix + "Max%20Speed%20Value=" + std::to_string(-i) + "\n";
        text += prefix + "Referrer=\"a,b " + std::to_string(i) + "\"\n";
    }
    return text;
}

// Every spelling a file may give a name, and the name it reads as: each
// is found under that name, shown as it, and written in the one spelling
// EscapeName gives it.
TEST(IniDocument, ANameSpelledOtherwiseInTheFileIsTheNameItReadsAs)
{
    struct Case {
        const char* spelled;
        const char* readsAs;
        const char* written;
    };
    const Case cases[] = {
        {"Plain", "Plain", "Plain"},
        {"Max%20Speed", "Max Speed", "Max%20Speed"},
        {"%41b", "Ab", "Ab"},       // a letter needs no escape
        {"a%2bb", "a+b", "a%2Bb"},  // lower-case digits
        {"URL0/Target", "URL0\\Target", "URL0\\Target"},
        {"URL0%5CTarget", "URL0\\Target", "URL0\\Target"},
        {"end%5C", "end\\", "end%5C"},
        {"%U00e9t%U00E9", "\xC3\xA9t\xC3\xA9", "%E9t%E9"},
        {"%E9t%E9", "\xC3\xA9t\xC3\xA9", "%E9t%E9"},
        {"x%UD83D%UDE00", "x\xF0\x9F\x98\x80", "x%UD83D%UDE00"},
    };
    for (const Case& c : cases) {
        const IniDocument doc = IniDocument::Parse(std::string("[s]\n") + c.spelled + "=v\n");
        ASSERT_TRUE(doc.Get("s", c.readsAs)) << c.spelled;
        EXPECT_EQ(doc.Get("s", c.readsAs)->text, "v") << c.spelled;
        EXPECT_EQ(doc.Names("s"), std::vector<std::string>{c.readsAs}) << c.spelled;
        EXPECT_EQ(doc.Serialize(), std::string("[s]\n") + c.written + "=v\n") << c.spelled;
    }
    // Two spellings of one name are one value: the last one read wins, in
    // the place of the first.
    const IniDocument doc = IniDocument::Parse("[s]\na/b=1\nc=2\na%5Cb=3\n");
    EXPECT_EQ(doc.Serialize(), "[s]\na\\b=3\nc=2\n");
}

// A load reads a task's values about in the order they were written; any
// other order, and names that are missing, must still find exactly theirs.
TEST(IniDocument, LookupsInAnyOrderFindTheirOwnValue)
{
    const int tasks = 500;
    const IniDocument doc = IniDocument::Parse(TaskSection(tasks));
    std::vector<int> order(tasks);
    for (int i = 0; i < tasks; ++i) {
        order[static_cast<std::size_t>(i)] = i;
    }
    std::vector<std::vector<int>> orders = {order, order, order};
    std::reverse(orders[1].begin(), orders[1].end());
    std::shuffle(orders[2].begin(), orders[2].end(), std::mt19937(7));
    for (const std::vector<int>& walk : orders) {
        for (int i : walk) {
            const std::string prefix = "URL" + std::to_string(i) + "\\";
            // Missing names beside present ones find nothing.
            EXPECT_FALSE(doc.Get("URL", prefix + "Size"));
            EXPECT_FALSE(doc.Get("URL", "URL" + std::to_string(i + tasks) + "\\Target"));
            ASSERT_TRUE(doc.Get("URL", prefix + "Referrer"));
            EXPECT_EQ(doc.Get("URL", prefix + "Referrer")->text, "a,b " + std::to_string(i));
            EXPECT_EQ(doc.Get("URL", prefix + "Target")->text, "http://host/f" + std::to_string(i));
            EXPECT_EQ(doc.Get("URL", prefix + "Max Speed Value")->text, std::to_string(-i));
        }
    }
}

// A save empties the task section and writes the rest again and again: the
// text of what is gone is dropped, and what stays reads and saves as before.
TEST(IniDocument, WhatIsGoneIsDroppedAndWhatStaysIsKept)
{
    IniDocument doc = IniDocument::Parse(TaskSection(2000) + "\n[Proxy]\nProxy0\\Host=a\\tb\n");
    doc.Set("Settings", "Kept", "early, set before the drop");
    doc.EmptySection("URL");
    for (int round = 0; round < 3000; ++round) {
        doc.SetInt("Settings", "MRU Num", round);
        doc.Set("Settings", "Text", std::string(static_cast<std::size_t>(round % 50), 'x') + ";");
        doc.Set("Category", "Cat" + std::to_string(round % 7), "c" + std::to_string(round));
    }
    doc.AppendLines("URL", "URL0\\Target=http://again\n");
    std::string expected = "[Settings]\nMRU%20Num=2999\nKept=\"early, set before the drop\"\nText=\"";
    expected +=
        std::string(2999 % 50, 'x') + ";\"\n\n[URL]\nURL0\\Target=http://again\n\n[Proxy]\nProxy0\\Host=a\\tb\n";
    expected += "\n[Category]\n";
    for (int k = 0; k < 7; ++k) {
        expected += "Cat" + std::to_string(k) + "=c" + std::to_string(2999 - (2999 - k) % 7) + "\n";
    }
    EXPECT_EQ(doc.Serialize(), expected);
    EXPECT_EQ(doc.Get("Proxy", "Proxy0\\Host")->text, "a\tb");
    EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Serialize(), expected);
}

}  // namespace
}  // namespace dromo
