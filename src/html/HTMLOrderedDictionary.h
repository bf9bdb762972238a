#pragma once

#include "html/HTMLNotFound.h"

#include <concepts>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <memory_resource>

// An insertion-ordered dictionary from names to values: element attributes and
// tag-token attributes. Attribute lists are short, so the entries live in one
// vector in order and lookups scan it; a long list (hostile markup can hold
// thousands of attributes) also keeps a hash index so building it stays linear.
//
// The entries and their strings come from a memory resource: the heap unless
// one is given. A parser gives its document's, so that the attributes of a
// page are not a heap block each; a copy always uses the heap.
class HTMLOrderedDictionary {
public:
    using String = std::pmr::u16string;
    using Entry = std::pair<String, String>;

    HTMLOrderedDictionary() = default;
    explicit HTMLOrderedDictionary(std::pmr::memory_resource* resource) : entries_(resource) {}
    HTMLOrderedDictionary(const HTMLOrderedDictionary& other);
    HTMLOrderedDictionary(HTMLOrderedDictionary&&) noexcept = default;
    HTMLOrderedDictionary& operator=(const HTMLOrderedDictionary& other);
    HTMLOrderedDictionary& operator=(HTMLOrderedDictionary&&) = default;
    // Adds the pairs in order with setObject (a repeated key keeps its first place).
    HTMLOrderedDictionary(std::initializer_list<Entry> entries);

    std::size_t count() const { return entries_.size(); }
    // Room for this many entries without growing.
    void reserve(std::size_t capacity) { entries_.reserve(capacity); }
    // The value for the key, or nullptr.
    const String* objectForKey(std::u16string_view key) const;
    // The key's position in the order, or HTMLNotFound.
    std::size_t indexOfKey(std::u16string_view key) const;
    const String* firstKey() const;
    const String* lastKey() const;
    // The key (not the value) at a position; std::out_of_range past the end.
    const String& objectAtIndexedSubscript(std::size_t index) const;

    // An existing key keeps its place and takes the new value; a new key goes last.
    void setObject(std::u16string_view value, std::u16string_view key);
    // Adds the pair at the end unless the key is there already; true when it
    // was added. Inline: this is where the tokenizer adds every attribute.
    [[gnu::always_inline]] bool addObjectForNewKey(std::u16string_view value, std::u16string_view key)
    {
        if (hasKey(key))
            return false;
        append(value, key);
        return true;
    }
    // Adds the pair at the end, for a caller that knows the key is not there
    // (the tokenizer, which checked a tag's attributes as it read them).
    void appendObjectForNewKey(std::u16string_view value, std::u16string_view key) { append(value, key); }
    // Makes an empty dictionary hold the (key, value) pairs, in a list of
    // exactly their count, for a caller that knows the keys are distinct and
    // few (no more than a short list holds). The key at each position is then
    // cut to keyLength(position): a caller whose keys start fixed-size buffers
    // can pass them at one short length, copied in a few moves rather than by
    // a call.
    template <std::forward_iterator Pairs, std::regular_invocable<std::size_t> KeyLength>
    void assignNewEntries(Pairs first, Pairs last, KeyLength keyLength)
    {
        entries_.assign(first, last);
        std::size_t position = 0;
        for (Entry& entry : entries_)
            entry.first.resize(keyLength(position++));
    }
    // A new key is inserted at the index (std::out_of_range above count); an
    // existing key keeps its place and only its value changes.
    void insertObject(std::u16string_view value, std::u16string_view key, std::size_t index);
    void removeObjectForKey(std::u16string_view key);

    // A dictionary of the same memory holding these entries in a list of
    // exactly their count; this one is left empty, keeping its list's
    // storage for the next entries. The strings move, they are not copied.
    HTMLOrderedDictionary takeEntriesExactly();

    // The entries in order (key, value): what enumerating the keys gives.
    const std::pmr::vector<Entry>& entries() const { return entries_; }
    std::pmr::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    std::pmr::vector<Entry>::const_iterator end() const { return entries_.end(); }
    std::pmr::memory_resource* resource() const { return entries_.get_allocator().resource(); }

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
    void append(std::u16string_view value, std::u16string_view key)
    {
        entries_.emplace_back(key, value);
        if (entries_.size() > indexedCount)
            indexLastEntry();
    }
    // Adds the last entry to the index, which it makes once the count calls for one.
    void indexLastEntry();

    std::pmr::vector<Entry> entries_;
    using Index = std::unordered_map<std::u16string, std::size_t, KeyHash, std::equal_to<>>;
    // Key to position, only while there are more than a few dozen entries;
    // behind a pointer so that the usual short list stays small and cheap to move.
    std::unique_ptr<Index> index_;
};
