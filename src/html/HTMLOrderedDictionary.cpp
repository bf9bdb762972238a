#include "html/HTMLOrderedDictionary.h"

#include <stdexcept>

HTMLOrderedDictionary::HTMLOrderedDictionary(const HTMLOrderedDictionary& other) : entries_(other.entries_)
{
    if (other.index_)
        index_ = std::make_unique<Index>(*other.index_);
}

HTMLOrderedDictionary& HTMLOrderedDictionary::operator=(const HTMLOrderedDictionary& other)
{
    if (this != &other) {
        entries_ = other.entries_;
        index_ = other.index_ ? std::make_unique<Index>(*other.index_) : nullptr;
    }
    return *this;
}

HTMLOrderedDictionary::HTMLOrderedDictionary(std::initializer_list<Entry> entries)
{
    entries_.reserve(entries.size());
    for (const auto& [key, value] : entries)
        setObject(value, key);
}

const HTMLOrderedDictionary::String* HTMLOrderedDictionary::objectForKey(std::u16string_view key) const
{
    const std::size_t index = indexOfKey(key);
    return index == HTMLNotFound ? nullptr : &entries_[index].second;
}

std::size_t HTMLOrderedDictionary::indexOfKey(std::u16string_view key) const
{
    if (index_) {
        const auto found = index_->find(key);
        return found == index_->end() ? HTMLNotFound : found->second;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].first == key)
            return i;
    }
    return HTMLNotFound;
}

const HTMLOrderedDictionary::String* HTMLOrderedDictionary::firstKey() const
{
    return entries_.empty() ? nullptr : &entries_.front().first;
}

const HTMLOrderedDictionary::String* HTMLOrderedDictionary::lastKey() const
{
    return entries_.empty() ? nullptr : &entries_.back().first;
}

const HTMLOrderedDictionary::String& HTMLOrderedDictionary::objectAtIndexedSubscript(std::size_t index) const
{
    return entries_.at(index).first;
}

HTMLOrderedDictionary HTMLOrderedDictionary::takeEntriesExactly()
{
    HTMLOrderedDictionary taken(resource());
    taken.entries_.reserve(entries_.size());
    for (Entry& entry : entries_)
        taken.entries_.emplace_back(std::move(entry.first), std::move(entry.second));
    taken.index_ = std::move(index_);
    entries_.clear();
    return taken;
}

void HTMLOrderedDictionary::indexLastEntry()
{
    if (index_)
        index_->emplace(entries_.back().first, entries_.size() - 1);
    else
        rebuildIndex();
}

void HTMLOrderedDictionary::setObject(std::u16string_view value, std::u16string_view key)
{
    const std::size_t existing = indexOfKey(key);
    if (existing != HTMLNotFound) {
        entries_[existing].second = value;
        return;
    }
    append(value, key);
}

void HTMLOrderedDictionary::insertObject(std::u16string_view value, std::u16string_view key, std::size_t index)
{
    if (index > entries_.size()) {
        throw std::out_of_range("HTMLOrderedDictionary::insertObject index " + std::to_string(index) + " beyond count " +
                                std::to_string(entries_.size()) + " of array");
    }
    const std::size_t existing = indexOfKey(key);
    if (existing != HTMLNotFound) {
        entries_[existing].second = value;
        return;
    }
    entries_.emplace(entries_.begin() + static_cast<std::ptrdiff_t>(index), key, value);
    if (entries_.size() <= indexedCount)
        return;
    if (index + 1 == entries_.size() && index_)
        index_->emplace(entries_.back().first, index);
    else
        rebuildIndex();
}

void HTMLOrderedDictionary::removeObjectForKey(std::u16string_view key)
{
    const std::size_t index = indexOfKey(key);
    if (index == HTMLNotFound)
        return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    if (index_)
        rebuildIndex();
}

void HTMLOrderedDictionary::rebuildIndex()
{
    index_.reset();
    if (entries_.size() <= indexedCount)
        return;
    index_ = std::make_unique<Index>();
    for (std::size_t i = 0; i < entries_.size(); ++i)
        index_->emplace(entries_[i].first, i);
}
