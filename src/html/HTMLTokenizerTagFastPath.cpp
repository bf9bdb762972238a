// Tags of the usual shape, and the text up to them, read in one go.
//
// Most tags are a name, then attributes written name="value", name='value',
// name=value or name alone, then ">" or "/>", all in plain ASCII apart from
// quoted values. Such a tag is read straight from the decoded units into the
// pooled token it is handed out as, with no state changes and no checks
// per character beyond a table. At the first thing that needs care (a unit
// that is not plain, anything that would be a parse error, a repeated
// attribute, the end of the decoded units) the tag moves into
// currentToken_ and the state machine goes on from the state it would be in at
// that unit, with the same tag and attribute so far. References in values
// are read by the state machine's own code, whose errors go before the tag as
// they would; nothing else is emitted on the way, so the tokens and errors are
// those of the state machine alone.
#include "html/HTMLTokenizer.h"
#include "html/HTMLTagNameLookup.h"

#include <algorithm>
#include <bit>
#include <span>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using enum HTMLTokenizerState;

namespace {

enum UnitClass : std::uint8_t {
    TagNameUnit = 1,
    AttributeNameUnit = 2,
    UnquotedValueUnit = 4,
    WhitespaceUnit = 8,
};

constexpr std::array<std::uint8_t, 128> makeUnitClasses()
{
    std::array<std::uint8_t, 128> classes {};
    for (char16_t u = 0x21; u < 0x7F; ++u) {
        const std::u16string_view unit(&u, 1);
        if (std::u16string_view(u"/>").find(unit) == std::u16string_view::npos)
            classes[u] |= TagNameUnit;
        if (std::u16string_view(u"/=>\"'<").find(unit) == std::u16string_view::npos)
            classes[u] |= AttributeNameUnit;
        if (std::u16string_view(u"&>\"'<=`").find(unit) == std::u16string_view::npos)
            classes[u] |= UnquotedValueUnit;
    }
    for (const char16_t u : {u'\t', u'\n', u'\f', u' '})
        classes[u] |= WhitespaceUnit;
    return classes;
}

constexpr std::array<std::uint8_t, 128> unitClasses = makeUnitClasses();

constexpr bool isUnitOf(char16_t u, UnitClass unitClass)
{
    return u < 128 && (unitClasses[u] & unitClass) != 0;
}

constexpr char16_t lowercaseUnit(char16_t u)
{
    return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u | 0x20) : u;
}

#if defined(__SSE2__)
// The lanes outside "!" to "~", which end a name (and send anything else the
// careful way): the range moved to the bottom of the signed lanes, so that one
// add and one compare tell it apart.
inline __m128i outsideVisibleASCII(__m128i units)
{
    return _mm_cmpgt_epi16(_mm_add_epi16(units, _mm_set1_epi16(0x8000 - 0x21)),
                           _mm_set1_epi16(static_cast<short>(0x8000 + 0x7E - 0x21)));
}

// The lanes that end a name read in one go: outside "!" to "~", or one of the Stops.
template <char16_t... Stops>
inline __m128i nameStops(__m128i units)
{
    __m128i stop = outsideVisibleASCII(units);
    ((stop = _mm_or_si128(stop, _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(Stops))))), ...);
    return stop;
}

// The lanes that end an attribute's name read in one go, a superset of its
// stops that takes fewer steps: units outside "-" to "~" (the rarer name units
// below "-" send the name the general way), "/", and "<", "=", ">", which are
// next to each other and told apart as one range with one add and one compare.
inline __m128i attributeNameStops(__m128i units)
{
    const __m128i outsideHyphenToTilde = _mm_cmpgt_epi16(_mm_add_epi16(units, _mm_set1_epi16(0x8000 - u'-')),
                                                         _mm_set1_epi16(static_cast<short>(0x8000 + u'~' - u'-')));
    const __m128i angleBracketOrEqualsSign = _mm_cmplt_epi16(_mm_add_epi16(units, _mm_set1_epi16(0x8000 - u'<')),
                                                             _mm_set1_epi16(static_cast<short>(0x8000 + 3)));
    return _mm_or_si128(_mm_or_si128(outsideHyphenToTilde, angleBracketOrEqualsSign), _mm_cmpeq_epi16(units, _mm_set1_epi16(u'/')));
}

// The units with "A" to "Z" made lowercase. The letters are moved to the
// bottom of the signed lanes, so that one add and one compare find them.
inline __m128i lowercasedASCII(__m128i units)
{
    const __m128i upper = _mm_cmplt_epi16(_mm_add_epi16(units, _mm_set1_epi16(0x8000 - u'A')),
                                          _mm_set1_epi16(static_cast<short>(0x8000 + 26)));
    return _mm_add_epi16(units, _mm_and_si128(upper, _mm_set1_epi16(0x20)));
}
#endif

// Appends the units of the class from p on, lowercased; returns the first
// unit after them. The class is printable ASCII but the Stops; eight units at
// a time where SSE2 is there. The name is lowercased into a buffer first, so
// that the string grows once to the name's length as the state machine makes
// it (an element keeps attribute names in buffers of that size); a tag's name
// stays in its token and is appended as it is read.
template <bool growOnce, UnitClass unitClass, char16_t... Stops>
const char16_t* appendLowercasedName(std::u16string& string, const char16_t* p, const char16_t* end)
{
    constexpr std::size_t bufferLength = 64;
    char16_t buffer[bufferLength];
    std::size_t buffered = 0;
#if defined(__SSE2__)
    while (end - p >= 8 && buffered + 8 <= bufferLength) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + buffered), lowercasedASCII(units));
        const auto stops = static_cast<unsigned>(_mm_movemask_epi8(nameStops<Stops...>(units)));
        const std::size_t count = stops == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(stops)) / 2;
        buffered += count;
        p += count;
        if (count < 8 || !growOnce) {
            string.append(buffer, buffered);
            buffered = 0;
        }
        if (count < 8)
            return p;
    }
#endif
    // Near the end of the decoded units, or a name longer than the buffer.
    const char16_t* nameEnd = p;
    while (nameEnd != end && isUnitOf(*nameEnd, unitClass))
        ++nameEnd;
    string.reserve(string.size() + buffered + static_cast<std::size_t>(nameEnd - p));
    string.append(buffer, buffered);
    for (; p != nameEnd; ++p)
        string.push_back(lowercaseUnit(*p));
    return p;
}

// The rest of a quoted value from its first unit that is not printable ASCII
// on: the general search, out of line so that the usual value does not set up
// its constants.
template <char16_t quote>
[[gnu::noinline]] const char16_t* findValueStopPastWideUnit(const char16_t* p, const char16_t* end)
{
    return FindRunStop<quote, u'&'>(p, end);
}

// FindRunStop<quote, u'&'>, for a quoted value. Values are mostly printable
// ASCII (URLs, class names): a block is passed with one test for the stops
// and for units outside printable ASCII together, and the end of the value
// is taken in one overlapping block rather than unit by unit. Only a unit
// outside printable ASCII is looked at closer.
template <char16_t quote>
[[gnu::always_inline]] inline const char16_t* findValueStop(const char16_t* p, const char16_t* end)
{
#if defined(__SSE2__)
    if (end - p >= 8) {
        // The lanes that are a stop or not printable ASCII, as a mask of two bits per lane.
        const auto others = [](const char16_t* block) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
            const __m128i stop = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(quote))),
                                              _mm_cmpeq_epi16(units, _mm_set1_epi16(u'&')));
            const __m128i outsidePrintable = _mm_cmpgt_epi16(_mm_add_epi16(units, _mm_set1_epi16(0x8000 - 0x20)),
                                                             _mm_set1_epi16(static_cast<short>(0x8000 + 0x7E - 0x20)));
            return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(stop, outsidePrintable)));
        };
        const auto firstOther = [end](const char16_t* block, unsigned mask) {
            const char16_t* const other = block + std::countr_zero(mask) / 2;
            return *other == quote || *other == u'&' ? other : findValueStopPastWideUnit<quote>(other, end);
        };
        const char16_t* const lastBlock = end - 8;
        for (; p <= lastBlock; p += 8) {
            if (const unsigned mask = others(p))
                return firstOther(p, mask);
        }
        // The units before p passed already.
        if (p != end) {
            if (const unsigned mask = others(lastBlock))
                return firstOther(lastBlock, mask);
        }
        return end;
    }
#endif
    return FindRunStop<quote, u'&'>(p, end);
}

// Whether p (at a "&") starts "&amp;", the reference values hold most (in
// URLs): it stands for "&" wherever it is, with nothing to report.
bool startsAmpersandReference(const char16_t* p, const char16_t* end)
{
    return end - p >= 5 && p[1] == u'a' && p[2] == u'm' && p[3] == u'p' && p[4] == u';';
}

// The end of a quoted value from begin whose first stop is "&" at
// ampersand, the value appended to value as its end is sought, each "&amp;"
// as "&"; nullptr at a reference other than "&amp;" (what was appended is
// then of no use).
template <char16_t quote>
[[gnu::noinline]] const char16_t* appendValueWithAmpersands(std::u16string& value, const char16_t* begin, const char16_t* ampersand, const char16_t* end)
{
    const char16_t* piece = begin;
    const char16_t* stop = ampersand;
    do {
        if (!startsAmpersandReference(stop, end))
            return nullptr;
        // The piece and the reference's "&".
        value.append(piece, static_cast<std::size_t>(stop + 1 - piece));
        piece = stop + 5;
        stop = findValueStop<quote>(piece, end);
    } while (stop != end && *stop == u'&');
    value.append(piece, static_cast<std::size_t>(stop - piece));
    return stop;
}

// A tag's short name that is not a known one, written out: out of line, so
// that the usual known name sets the shared copy without the string's code.
[[gnu::noinline]] void setUnknownTagName(HTMLTagToken& tag, std::u16string_view name)
{
    tag.setTagName(name, KnownTagNameCount);
}

// The name of up to nine units lowercased into a buffer, looked up once.
[[gnu::always_inline]] inline void setShortTagName(HTMLTagToken& tag, std::u16string_view name)
{
    if (const std::size_t number = KnownTagNameNumberInline(name); number < KnownTagNameCount)
        tag.setTagName(name, number);
    else
        setUnknownTagName(tag, name);
}

// readTagName for a name near the end of the decoded units or longer than nine units.
[[gnu::noinline]] const char16_t* readLongTagName(HTMLTagToken& tag, char16_t firstLetter, const char16_t* p, const char16_t* end)
{
    std::u16string& name = tag.mutableTagName();
    name.clear();
    name.push_back(lowercaseUnit(firstLetter));
    return appendLowercasedName<false, TagNameUnit, u'/', u'>'>(name, p, end);
}

// A tag's name that ends within the eight units after its first letter (at
// p), lowercased into name in one go: its length, or 0 for any other name.
inline std::size_t lowercaseShortTagName(char16_t firstLetter, const char16_t* p, const char16_t* end, char16_t (&name)[9])
{
#if defined(__SSE2__)
    if (end - p >= 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto stops = static_cast<unsigned>(_mm_movemask_epi8(nameStops<u'/', u'>'>(units)));
        if (stops != 0) {
            name[0] = lowercaseUnit(firstLetter);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(name + 1), lowercasedASCII(units));
            return static_cast<std::size_t>(std::countr_zero(stops)) / 2 + 1;
        }
    }
#endif
    return 0;
}

// Reads a tag's name after its first letter (at p) into the tag; returns
// the first unit after the name. A short name (see lowercaseShortTagName) is
// looked up once; a known one takes the shared copy, with nothing written.
inline const char16_t* readTagName(HTMLTagToken& tag, char16_t firstLetter, const char16_t* p, const char16_t* end)
{
    char16_t name[9];
    if (const std::size_t length = lowercaseShortTagName(firstLetter, p, end, name)) {
        setShortTagName(tag, std::u16string_view(name, length));
        return p + length - 1;
    }
    return readLongTagName(tag, firstLetter, p, end);
}

// The start tags for which the tree construction may set the tokenizer's
// state: what follows one of them (or a name not known) is read only once the
// tree has seen it.
constexpr HTMLTagSet startTagsThatMaySetTheState = {u"iframe",   u"noembed", u"noframes", u"noscript", u"plaintext",
                                                    u"script",   u"style",   u"textarea", u"title",    u"xmp"};

// The units from begin to end with each CR LF, and each CR alone, made LF,
// as the input stream reads them.
void appendWithLineBreaksAsLineFeeds(std::u16string& text, const char16_t* begin, const char16_t* end)
{
    for (const char16_t* piece = begin;;) {
        const char16_t* const carriageReturn = std::find(piece, end, u'\r');
        text.append(piece, static_cast<std::size_t>(carriageReturn - piece));
        if (carriageReturn == end)
            return;
        text.push_back(u'\n');
        piece = carriageReturn + (end - carriageReturn >= 2 && carriageReturn[1] == u'\n' ? 2 : 1);
    }
}

// How many tags the data state reads in one go, so that few tokens are
// queued (and pooled) at a time.
constexpr std::size_t tagsReadInOneGo = 4;

} // namespace

void HTMLTokenizer::handOverTag(HTMLToken& slot, std::size_t kind, std::size_t unitsRead, HTMLTokenizerState state)
{
    inputStream_.skipDecodedUnits(unitsRead);
    currentToken_ = std::move(slot);
    // The pooled token serves again when the state machine emits the tag.
    --pooledTokensInUse_[kind];
    switchToState(state);
}

std::u16string_view HTMLTokenizer::appendCharacterReferenceInValue(std::size_t unitsRead, char32_t additionalAllowedCharacter)
{
    inputStream_.skipDecodedUnits(unitsRead);
    additionalAllowedCharacter_ = additionalAllowedCharacter;
    currentAttributeValue_ += attemptToConsumeCharacterReference(true).value_or(u"&");
    return inputStream_.decodedUnits();
}

struct HTMLTokenizer::PendingAttribute {
    // The name's units and then others, all written, up to the longest name held back.
    static constexpr std::size_t longestName = 7;
    char16_t name[longestName + 1];
    std::size_t nameLength;
    // The value's units in the decoded text or, for a value holding "&amp;",
    // put together in assembledValues_ from valueOffset on.
    const char16_t* value;
    std::size_t valueOffset;
    std::size_t valueLength;
    bool hasReferences;

    std::u16string_view valueIn(const char16_t* assembledValues) const
    {
        return std::u16string_view(hasReferences ? assembledValues + valueOffset : value, valueLength);
    }
};

// The held-back attributes as (name, value) pairs, for a list made of them in
// one go. Each name is given as its buffer's first seven units, and cut to its
// length once copied: a key copied at a constant length takes a few moves.
class HTMLTokenizer::PendingEntries {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::pair<std::u16string_view, std::u16string_view>;
    using difference_type = std::ptrdiff_t;
    using reference = value_type;
    using pointer = void;

    PendingEntries() = default;
    PendingEntries(const PendingAttribute* attributes, std::size_t position, const char16_t* assembledValues)
        : attributes_(attributes), position_(position), assembledValues_(assembledValues)
    {
    }
    value_type operator*() const
    {
        const PendingAttribute& attribute = attributes_[position_];
        return {std::u16string_view(attribute.name, PendingAttribute::longestName), attribute.valueIn(assembledValues_)};
    }
    PendingEntries& operator++()
    {
        ++position_;
        return *this;
    }
    PendingEntries operator++(int)
    {
        PendingEntries old = *this;
        ++position_;
        return old;
    }
    bool operator==(const PendingEntries& other) const { return position_ == other.position_; }

private:
    // A position rather than a pointer, so that the count of entries is a
    // subtraction, not a division by the record's size.
    const PendingAttribute* attributes_ = nullptr;
    std::size_t position_ = 0;
    const char16_t* assembledValues_ = nullptr;
};

void HTMLTokenizer::addPendingAttributesTo(HTMLTagToken& tag, std::span<const PendingAttribute> pending, bool atTagEnd)
{
    HTMLOrderedDictionary& attributes = tag.attributes();
    // Storage of another size, left by an earlier tag, would keep this
    // one from being taken over as it is.
    if (const std::size_t capacity = attributes.entries().capacity(); atTagEnd && capacity != 0 && capacity != pending.size())
        attributes = HTMLOrderedDictionary(attributes.resource());
    if (atTagEnd) {
        // Made in one go, the list gets its room without the move of no
        // entries that reserving room in an empty list costs.
        attributes.assignNewEntries(PendingEntries(pending.data(), 0, assembledValues_.data()),
                                    PendingEntries(pending.data(), pending.size(), assembledValues_.data()),
                                    [pending](std::size_t position) { return pending[position].nameLength; });
        return;
    }
    attributes.reserve(std::max<std::size_t>(pending.size(), expectedAttributeCounts_[tag.tagNameNumber()]));
    for (const PendingAttribute& attribute : pending) {
        const std::u16string_view value = attribute.valueIn(assembledValues_.data());
        // A held-back name has one to seven units: with its length a constant,
        // the key is copied in a few moves rather than by a call.
        const auto append = [&]<std::size_t length>() {
            attributes.appendObjectForNewKey(value, std::u16string_view(attribute.name, length));
        };
        switch (attribute.nameLength) {
        case 1: append.operator()<1>(); break;
        case 2: append.operator()<2>(); break;
        case 3: append.operator()<3>(); break;
        case 4: append.operator()<4>(); break;
        case 5: append.operator()<5>(); break;
        case 6: append.operator()<6>(); break;
        default: append.operator()<7>(); break;
        }
    }
}

template <typename Tag>
std::u16string_view HTMLTokenizer::readTag(char16_t firstLetter, const char16_t* begin, const char16_t* p, const char16_t* end)
{
    constexpr bool isStartTag = std::is_same_v<Tag, HTMLStartTagToken>;
    HTMLToken& slot = pooledToken<Tag>();
    Tag* const tag = std::get_if<Tag>(&slot);
    tag->clearAllButName();

    // Plain attributes read while the tag has no other wait here, and go into
    // the tag together: at its end the list is made at their exact count, so
    // the element made from the tag takes the list over as it is. Anything
    // else adds them first (with room for the expected count, more may come).
    constexpr std::size_t mostPendingAttributes = 16;
    PendingAttribute pending[mostPendingAttributes];
    std::size_t pendingCount = 0;
    // Inlined, as most tags have none by the time this is asked.
    const auto addPendingAttributes = [&](bool atTagEnd) __attribute__((always_inline)) {
        if (pendingCount != 0) {
            addPendingAttributesTo(*tag, std::span(pending, pendingCount), atTagEnd);
            pendingCount = 0;
        }
    };
    // Hands the tag over to the state machine, at p in the given state.
    // Inlined (a call to the cold member): kept as a call, its closure would
    // keep p in memory.
    const auto continueCarefully = [&](HTMLTokenizerState state) __attribute__((always_inline)) {
        addPendingAttributes(false);
        assembledValues_.clear();
        handOverTag(slot, HTMLTokenKind<Tag>::index, static_cast<std::size_t>(p - begin), state);
        return std::u16string_view();
    };
    // A reference in a value (p is at its "&") is read as the state machine
    // reads it, which may report errors and move the decoded window.
    const auto appendCharacterReference = [&](char32_t additionalAllowedCharacter) {
        if (startsAmpersandReference(p, end)) {
            currentAttributeValue_.push_back(u'&');
            p += 5;
            return;
        }
        const std::u16string_view units = appendCharacterReferenceInValue(static_cast<std::size_t>(p + 1 - begin), additionalAllowedCharacter);
        begin = p = units.data();
        end = begin + units.size();
    };
    const auto skipWhitespace = [&] {
        // White space is all at or below the space: most units end it with one compare.
        while (p != end && *p <= u' ' && isUnitOf(*p, WhitespaceUnit))
            ++p;
    };
    // The attribute goes into the tag unless it has one of that name already,
    // which the state machine reports.
    const auto addAttribute = [&] {
        if (!addCurrentAttributeTo(attributesToAddTo(*tag)))
            return false;
        hasCurrentAttribute_ = false;
        return true;
    };

    // The usual attribute, a name of up to seven units and a quoted value
    // without references other than "&amp;", new to the tag: added straight
    // from the units. Anything else is left (p unmoved) to the reading below.
    // Inlined: most attributes come this way, and a call costs them a frame.
    const auto addPlainAttribute = [&]() __attribute__((always_inline)) {
#if defined(__SSE2__)
        if (end - p < 8)
            return false;
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto stops = static_cast<unsigned>(_mm_movemask_epi8(attributeNameStops(units)));
        if (stops == 0)
            return false;
        // A stop first is no name: what it is is left to the reading below.
        const auto nameLength = static_cast<std::size_t>(std::countr_zero(stops)) / 2;
        if (nameLength == 0)
            return false;
        const char16_t* const valueBegin = p + nameLength + 2;
        if (end - valueBegin < 1 || p[nameLength] != u'=' || !(p[nameLength + 1] == u'"' || p[nameLength + 1] == u'\''))
            return false;
        const char16_t quote = p[nameLength + 1];
        const char16_t* valueEnd = quote == u'"' ? findValueStop<u'"'>(valueBegin, end) : findValueStop<u'\''>(valueBegin, end);
        std::u16string_view value;
        std::size_t valueOffset = 0;
        const bool hasReferences = valueEnd != end && *valueEnd == u'&';
        if (hasReferences) {
            valueOffset = assembledValues_.size();
            valueEnd = quote == u'"' ? appendValueWithAmpersands<u'"'>(assembledValues_, valueBegin, valueEnd, end)
                                     : appendValueWithAmpersands<u'\''>(assembledValues_, valueBegin, valueEnd, end);
            if (!valueEnd)
                return false;
            value = std::u16string_view(assembledValues_.data() + valueOffset, assembledValues_.size() - valueOffset);
        } else {
            value = std::u16string_view(valueBegin, static_cast<std::size_t>(valueEnd - valueBegin));
        }
        if (end - valueEnd < 2 || *valueEnd != quote || !(valueEnd[1] == u'>' || valueEnd[1] == u'/' || isUnitOf(valueEnd[1], WhitespaceUnit)))
            return false;
        HTMLOrderedDictionary& attributes = tag->attributes();
        if (attributes.count() == 0 && pendingCount < mostPendingAttributes) {
            PendingAttribute& attribute = pending[pendingCount];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(attribute.name), lowercasedASCII(units));
            const std::u16string_view key(attribute.name, nameLength);
            for (const PendingAttribute& earlier : std::span(pending, pendingCount)) {
                if (std::u16string_view(earlier.name, earlier.nameLength) == key)
                    return false;
            }
            attribute.nameLength = nameLength;
            attribute.value = valueBegin;
            attribute.valueOffset = valueOffset;
            attribute.valueLength = value.size();
            attribute.hasReferences = hasReferences;
            ++pendingCount;
            p = valueEnd + 1;
            return true;
        }
        addPendingAttributes(false);
        char16_t name[8];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(name), lowercasedASCII(units));
        if (!attributesToAddTo(*tag).addObjectForNewKey(value, std::u16string_view(name, nameLength)))
            return false;
        hasCurrentAttribute_ = false;
        p = valueEnd + 1;
        return true;
#else
        return false;
#endif
    };

    p = readTagName(*tag, firstLetter, p, end);
    if (p == end || !(*p == u'>' || (isStartTag && isUnitOf(*p, WhitespaceUnit))))
        return continueCarefully(TagName);

    for (;;) {
        skipWhitespace();
        if (p == end)
            return continueCarefully(BeforeAttributeName);
        if (*p == u'>')
            break;
        if (*p == u'/') {
            if (end - p < 2 || p[1] != u'>')
                return continueCarefully(BeforeAttributeName);
            tag->setSelfClosingFlag(true);
            ++p;
            break;
        }
        if (addPlainAttribute())
            continue;
        if (!isUnitOf(*p, AttributeNameUnit))
            return continueCarefully(BeforeAttributeName);

        addPendingAttributes(false);
        hasCurrentAttribute_ = true;
        currentAttributeName_.clear();
        currentAttributeValue_.clear();
        p = appendLowercasedName<true, AttributeNameUnit, u'/', u'=', u'>', u'"', u'\'', u'<'>(currentAttributeName_, p, end);
        if (p == end)
            return continueCarefully(AttributeName);
        if (*p == u'>' || *p == u'/') {
            if (!addAttribute())
                return continueCarefully(AttributeName);
            continue;
        }
        if (isUnitOf(*p, WhitespaceUnit)) {
            skipWhitespace();
            // A name alone, followed by what the state machine would take the
            // same way after it.
            if (p != end && (*p == u'>' || *p == u'/' || isUnitOf(*p, AttributeNameUnit))) {
                if (!addAttribute())
                    return continueCarefully(AfterAttributeName);
                continue;
            }
            if (p == end || *p != u'=')
                return continueCarefully(AfterAttributeName);
        }
        if (*p != u'=')
            return continueCarefully(AttributeName);
        ++p;
        skipWhitespace();
        if (p == end)
            return continueCarefully(BeforeAttributeValue);

        if (*p == u'"' || *p == u'\'') {
            const char16_t quote = *p++;
            for (;;) {
                const char16_t* const valueEnd = quote == u'"' ? FindRunStop<u'"', u'&'>(p, end) : FindRunStop<u'\'', u'&'>(p, end);
                currentAttributeValue_.append(p, static_cast<std::size_t>(valueEnd - p));
                p = valueEnd;
                if (p == end || *p != u'&')
                    break;
                appendCharacterReference(quote);
            }
            if (p == end || *p != quote)
                return continueCarefully(quote == u'"' ? AttributeValueDoubleQuoted : AttributeValueSingleQuoted);
            ++p;
            if (p == end || !(*p == u'>' || *p == u'/' || isUnitOf(*p, WhitespaceUnit)) || !addAttribute())
                return continueCarefully(AfterAttributeValueQuoted);
            continue;
        }
        if (!isUnitOf(*p, UnquotedValueUnit))
            return continueCarefully(BeforeAttributeValue);
        for (;;) {
            const char16_t* const valueBegin = p;
            while (p != end && isUnitOf(*p, UnquotedValueUnit))
                ++p;
            currentAttributeValue_.append(valueBegin, static_cast<std::size_t>(p - valueBegin));
            if (p == end || *p != u'&')
                break;
            appendCharacterReference(U'>');
        }
        if (p == end || !(*p == u'>' || isUnitOf(*p, WhitespaceUnit)) || !addAttribute())
            return continueCarefully(AttributeValueUnquoted);
    }

    // At the closing ">".
    addPendingAttributes(true);
    if (!assembledValues_.empty())
        assembledValues_.clear();
    ++p;
    inputStream_.skipDecodedUnits(static_cast<std::size_t>(p - begin));
    switchToState(Data);
    currentToken_.reset();
    if constexpr (isStartTag)
        noteEmittedStartTag(*tag);
    else
        tag->tagNameNumber();
    queue_.push_back(&slot);
    return std::u16string_view(p, static_cast<std::size_t>(end - p));
}

const char16_t* HTMLTokenizer::readShortEndTag(char16_t firstLetter, const char16_t* begin, const char16_t* p, const char16_t* end)
{
    char16_t name[9];
    const std::size_t length = lowercaseShortTagName(firstLetter, p, end, name);
    // The name's stop is within the units looked at.
    if (length == 0 || p[length - 1] != u'>')
        return nullptr;
    HTMLToken& slot = pooledToken<HTMLEndTagToken>();
    HTMLEndTagToken* const tag = std::get_if<HTMLEndTagToken>(&slot);
    tag->clearAllButName();
    setShortTagName(*tag, std::u16string_view(name, length));
    inputStream_.skipDecodedUnits(static_cast<std::size_t>(p - begin) + length);
    switchToState(Data);
    currentToken_.reset();
    queue_.push_back(&slot);
    return p + length;
}

void HTMLTokenizer::endTagOpenState()
{
    const char32_t c = consumeNextInputCharacter();
    if (IsASCIIAlpha(c)) {
        const std::u16string_view units = inputStream_.decodedUnits();
        const char16_t* const begin = units.data();
        const char16_t* const end = begin + units.size();
        if (!readShortEndTag(static_cast<char16_t>(c), begin, begin, end))
            readTag<HTMLEndTagToken>(static_cast<char16_t>(c), begin, begin, end);
    } else if (c == U'>') {
        emitParseError("Unexpected > in end tag open state");
        switchToState(Data);
    } else if (c == HTMLEOFCharacter) {
        emitParseError("EOF in end tag open state");
        switchToState(Data);
        emitCharacterTokenWithString(u"</");
        reconsume();
    } else {
        emitParseError("Unexpected character in end tag open state");
        switchToState(BogusComment);
        reconsume();
    }
}

void HTMLTokenizer::dataState()
{
    // The usual case, plain text up to a start or end tag, goes straight to
    // reading the tag; the states in between have nothing else to do there.
    // After a tag the tree construction does not answer with a new state, the
    // next text and tag are read at once: the tree handles them as it would
    // have one by one (a markup declaration, which asks the tree, is only
    // recognised in a later call).
    // Taken once: after each tag its reader gives the units that follow.
    std::u16string_view units = inputStream_.decodedUnits();
    for (std::size_t tags = 0; tags < tagsReadInOneGo; ++tags) {
        const char16_t* const begin = units.data();
        const char16_t* const end = begin + units.size();
        // A tag often follows the last one at once, or after one unit of
        // text (a line feed, mostly) or a line break written CR LF: no run to
        // look for then.
        const char16_t* lessThanSign;
        bool hasCarriageReturns = false;
        if (end - begin >= 3 && *begin == u'<') {
            lessThanSign = begin;
        } else if (end - begin >= 3 && begin[1] == u'<' && *begin != u'&' && IsOrdinaryUnit(*begin)) {
            lessThanSign = begin + 1;
        } else if (end - begin >= 3 && begin[2] == u'<' && begin[0] == u'\r' && begin[1] == u'\n') {
            lessThanSign = begin + 2;
            hasCarriageReturns = true;
        } else {
            lessThanSign = FindRunStop<u'&', u'<'>(begin, end);
        }
        if (end - lessThanSign < 3 || *lessThanSign != u'<') {
            // Line breaks written CR LF, or CR alone, are read past here too
            // (the unit after the CR must be at hand to tell which); each becomes LF.
            while (end - lessThanSign >= 2 && *lessThanSign == u'\r') {
                hasCarriageReturns = true;
                lessThanSign = FindRunStop<u'&', u'<'>(lessThanSign + (lessThanSign[1] == u'\n' ? 2 : 1), end);
            }
            if (end - lessThanSign < 3 || *lessThanSign != u'<')
                break;
        }
        const bool endTag = lessThanSign[1] == u'/';
        const char16_t letter = lessThanSign[endTag ? 2 : 1];
        if (!IsASCIIAlpha(letter))
            break;
        if (lessThanSign != begin) {
            // FindRunStop and the checks before it stop at U+0000: the text holds none.
            std::u16string& text = queueEmptyCharacterToken(false);
            // A CR LF alone is its LF.
            const bool lineBreakAlone = hasCarriageReturns && lessThanSign - begin == 2 && begin[1] == u'\n';
            if (hasCarriageReturns && !lineBreakAlone)
                appendWithLineBreaksAsLineFeeds(text, begin, lessThanSign);
            else
                text.append(begin + lineBreakAlone, static_cast<std::size_t>(lessThanSign - begin - lineBreakAlone));
        }
        // The tag's readers move the position past the text and the tag together.
        const char16_t* const afterLetter = lessThanSign + (endTag ? 3 : 2);
        if (endTag) {
            // A short end tag leaves the state as it is.
            if (const char16_t* const afterTag = readShortEndTag(letter, begin, afterLetter, end)) {
                units = std::u16string_view(afterTag, static_cast<std::size_t>(end - afterTag));
                continue;
            }
            units = readTag<HTMLEndTagToken>(letter, begin, afterLetter, end);
        } else {
            units = readTag<HTMLStartTagToken>(letter, begin, afterLetter, end);
            if (lastStartTagNumber_ >= KnownTagNameCount || startTagsThatMaySetTheState.contains(lastStartTagNumber_))
                return;
        }
        // A tag handed over to the state machine gives no units back.
        if (!units.data())
            return;
    }
    if (!queue_.empty())
        return;
    dataStateCarefully();
}

template std::u16string_view HTMLTokenizer::readTag<HTMLStartTagToken>(char16_t, const char16_t*, const char16_t*, const char16_t*);
template std::u16string_view HTMLTokenizer::readTag<HTMLEndTagToken>(char16_t, const char16_t*, const char16_t*, const char16_t*);
