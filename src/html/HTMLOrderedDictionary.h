#pragma once

#include "html/HTMLNotFound.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>
#include <initializer_list>
#include <memory>

// An insertion-ordered dictionary from names to values: element attributes and
// tag-token attributes. Attribute lists are short, so the entries live in one
// vector in order and lookups scan it; a long list (hostile markup can hold
// thousands of attributes) also keeps a hash index so building it stays linear.
class HTMLOrderedDictionary {
public:
    using Entry = std::pair<std::u16string, std::u16string>;

    HTMLOrderedDictionary() = default;
    HTMLOrderedDictionary(const HTMLOrderedDictionary& other);
    HTMLOrderedDictionary(HTMLOrderedDictionary&&) noexcept = default;
    HTMLOrderedDictionary& operator=(const HTMLOrderedDictionary& other);
    HTMLOrderedDictionary& operator=(HTMLOrderedDictionary&&) noexcept = default;
    explicit HTMLOrderedDictionary(std::size_t capacity);
    // Adds the pairs in order with setObject (a repeated key keeps its first place).
    HTMLOrderedDictionary(std::initializer_list<Entry> entries);

    std::size_t count() const { return entries_.size(); }
    // Room for this many entries without growing.
    void reserve(std::size_t capacity) { entries_.reserve(capacity); }
    // The value for the key, or nullptr.
    const std::u16string* objectForKey(std::u16string_view key) const;
    // The key's position in the order, or HTMLNotFound.
    std::size_t indexOfKey(std::u16string_view key) const;
    const std::u16string* firstKey() const;
    const std::u16string* lastKey() const;
    // The key (not the value) at a position; std::out_of_range past the end.
    const std::u16string& objectAtIndexedSubscript(std::size_t index) const;

    // An existing key keeps its place and takes the new value; a new key goes last.
    void setObject(std::u16string value, std::u16string key);
    // Adds the pair at the end unless the key is there already (then nothing
    // is taken from the arguments); true when it was added.
    bool addObjectForNewKey(std::u16string&& value, std::u16string&& key);
    // The same with the strings made in place from these. Inline: this is
    // where the tokenizer adds most attributes.
    [[gnu::always_inline]] bool addObjectForNewKey(std::u16string_view value, std::u16string_view key)
    {
        if (hasKey(key))
            return false;
        append(value, key);
        return true;
    }
    // A new key is inserted at the index (std::out_of_range above count); an
    // existing key keeps its place and only its value changes.
    void insertObject(std::u16string value, std::u16string key, std::size_t index);
    void removeObjectForKey(std::u16string_view key);

    // The entries in order (key, value): what enumerating the keys gives.
    const std::vector<Entry>& entries() const { return entries_; }
    std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    std::vector<Entry>::const_iterator end() const { return entries_.end(); }

    // Equal entries in the same order.
    bool operator==(const HTMLOrderedDictionary& other) const { return entries_ == other.entries_; }

private:
    // Above this count the dictionary keeps its hash index.
    static constexpr std::size_t indexedCount = 32;

    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view key) const { return std::hash<std::u16string_view>()(key); }
    };

    void rebuildIndex();
    // indexOfKey's search when only presence counts, the short list compared in place.
    bool hasKey(std::u16string_view key) const
    {
        if (index_)
            return index_->contains(key);
        for (const Entry& entry : entries_) {
            if (entry.first.size() == key.size() && entry.first == key)
                return true;
        }
        return false;
    }
    // Adds the pair last, without looking for the key.
    template <typename Value, typename Key>
    void append(Value&& value, Key&& key)
    {
        entries_.emplace_back(std::forward<Key>(key), std::forward<Value>(value));
        if (entries_.size() > indexedCount)
            indexLastEntry();
    }
    // Adds the last entry to the index, which it makes once the count calls for one.
    void indexLastEntry();

    std::vector<Entry> entries_;
    using Index = std::unordered_map<std::u16string, std::size_t, KeyHash, std::equal_to<>>;
    // Key to position, only while there are more than a few dozen entries;
    // behind a pointer so that the usual short list stays small and cheap to move.
    std::unique_ptr<Index> index_;
};
