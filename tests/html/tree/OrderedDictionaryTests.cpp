#include "html/HTMLOrderedDictionary.h"
#include "html/HTMLUTF8.h"

#include <gtest/gtest.h>

namespace {

TEST(HTMLOrderedDictionary, KeepsInsertionOrderAndPlaces)
{
    HTMLOrderedDictionary dictionary;
    dictionary.setObject(u"1", u"a");
    dictionary.setObject(u"2", u"b");
    dictionary.setObject(u"3", u"a");
    EXPECT_EQ(dictionary.count(), 2u);
    EXPECT_EQ(dictionary.objectAtIndexedSubscript(0), u"a");
    EXPECT_EQ(dictionary.objectAtIndexedSubscript(1), u"b");
    EXPECT_EQ(*dictionary.objectForKey(u"a"), u"3");
    EXPECT_EQ(*dictionary.firstKey(), u"a");
    EXPECT_EQ(*dictionary.lastKey(), u"b");
    EXPECT_EQ(dictionary.indexOfKey(u"b"), 1u);
    EXPECT_EQ(dictionary.indexOfKey(u"z"), HTMLNotFound);
    EXPECT_EQ(dictionary.objectForKey(u"z"), nullptr);
    EXPECT_THROW(dictionary.objectAtIndexedSubscript(2), std::out_of_range);
}

TEST(HTMLOrderedDictionary, AddsANewKeyOnlyAndLeavesARefusedPairAlone)
{
    HTMLOrderedDictionary dictionary;
    for (int i = 0; i < 40; ++i) {
        std::u16string value = u"v";
        std::u16string key = UTF16FromUTF8("k" + std::to_string(i % 20));
        const bool added = dictionary.addObjectForNewKey(std::move(value), std::move(key));
        EXPECT_EQ(added, i < 20);
        if (!added) {
            EXPECT_EQ(value, u"v");
            EXPECT_EQ(key, UTF16FromUTF8("k" + std::to_string(i % 20)));
        }
    }
    EXPECT_EQ(dictionary.count(), 20u);
    EXPECT_EQ(dictionary.indexOfKey(u"k19"), 19u);
}

// Pairs added from views and from strings share one check for a repeated
// key, below and above the count where the dictionary keeps an index.
TEST(HTMLOrderedDictionary, AddsANewKeyFromViews)
{
    HTMLOrderedDictionary dictionary;
    for (int i = 0; i < 80; ++i) {
        const std::u16string key = UTF16FromUTF8("key" + std::to_string(i % 40));
        const std::u16string value = UTF16FromUTF8("a longer value " + std::to_string(i));
        const bool added = i % 2 == 0 ? dictionary.addObjectForNewKey(std::u16string_view(value), std::u16string_view(key))
                                      : dictionary.addObjectForNewKey(std::u16string(value), std::u16string(key));
        EXPECT_EQ(added, i < 40) << i;
    }
    EXPECT_EQ(dictionary.count(), 40u);
    EXPECT_EQ(dictionary.indexOfKey(u"key39"), 39u);
    EXPECT_EQ(*dictionary.objectForKey(u"key38"), u"a longer value 38");
    EXPECT_EQ(*dictionary.objectForKey(u"key7"), u"a longer value 7");
}

TEST(HTMLOrderedDictionary, InsertsAtAnIndexOrRefusesBeyondTheCount)
{
    HTMLOrderedDictionary dictionary{{u"a", u"1"}, {u"c", u"3"}};
    dictionary.insertObject(u"2", u"b", 1);
    // An existing key ignores the index.
    dictionary.insertObject(u"x", u"a", 2);
    EXPECT_EQ(dictionary.entries(),
              (std::pmr::vector<HTMLOrderedDictionary::Entry>{{u"a", u"x"}, {u"b", u"2"}, {u"c", u"3"}}));
    try {
        dictionary.insertObject(u"4", u"d", 5);
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "HTMLOrderedDictionary::insertObject index 5 beyond count 3 of array");
    }
    EXPECT_EQ(dictionary.count(), 3u);
}

TEST(HTMLOrderedDictionary, RemovesAndCopiesKeepOrder)
{
    HTMLOrderedDictionary dictionary{{u"a", u"1"}, {u"b", u"2"}, {u"c", u"3"}};
    dictionary.removeObjectForKey(u"b");
    dictionary.removeObjectForKey(u"missing");
    HTMLOrderedDictionary copy = dictionary;
    copy.setObject(u"4", u"d");
    EXPECT_EQ(dictionary.count(), 2u);
    EXPECT_EQ(copy.objectAtIndexedSubscript(1), u"c");
    EXPECT_EQ(copy.objectAtIndexedSubscript(2), u"d");
    std::u16string keys;
    for (const auto& [key, value] : copy)
        keys += key;
    EXPECT_EQ(keys, u"acd");
    EXPECT_EQ(HTMLOrderedDictionary().firstKey(), nullptr);
}

// Long dictionaries answer from a hash index; it must follow every change.
TEST(HTMLOrderedDictionary, LongDictionariesKeepPositionsRight)
{
    HTMLOrderedDictionary dictionary;
    for (int i = 0; i < 100; ++i)
        dictionary.setObject(UTF16FromUTF8(std::to_string(i * i)), UTF16FromUTF8("k" + std::to_string(i)));
    dictionary.insertObject(u"front", u"new", 0);
    dictionary.setObject(u"changed", u"k50");
    dictionary.removeObjectForKey(u"k10");
    EXPECT_EQ(dictionary.count(), 100u);
    EXPECT_EQ(dictionary.indexOfKey(u"new"), 0u);
    EXPECT_EQ(dictionary.indexOfKey(u"k9"), 10u);
    EXPECT_EQ(dictionary.indexOfKey(u"k11"), 11u);
    EXPECT_EQ(dictionary.indexOfKey(u"k10"), HTMLNotFound);
    EXPECT_EQ(*dictionary.objectForKey(u"k50"), u"changed");
    EXPECT_EQ(*dictionary.objectForKey(u"k99"), u"9801");
    for (int i = 99; i >= 20; --i)
        dictionary.removeObjectForKey(UTF16FromUTF8("k" + std::to_string(i)));
    EXPECT_EQ(dictionary.count(), 20u);
    EXPECT_EQ(dictionary.indexOfKey(u"k19"), 19u);
    EXPECT_EQ(*dictionary.lastKey(), u"k19");
}

} // namespace
