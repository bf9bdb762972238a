#include "html/HTMLStringEncoding.h"

#include "html/HTMLWhitespaceCharacterSet.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <iconv.h>

namespace {

struct Label {
    std::string_view label;
    std::string_view name;
};

// The Encoding Standard's labels, sorted for binary search (case-insensitively).
constexpr Label labelTable[] = {
    {"866", "IBM866"},
    {"ansi_x3.4-1968", "windows-1252"},
    {"arabic", "ISO-8859-6"},
    {"ascii", "windows-1252"},
    {"asmo-708", "ISO-8859-6"},
    {"big5", "Big5"},
    {"big5-hkscs", "Big5"},
    {"chinese", "GBK"},
    {"cn-big5", "Big5"},
    {"cp1250", "windows-1250"},
    {"cp1251", "windows-1251"},
    {"cp1252", "windows-1252"},
    {"cp1253", "windows-1253"},
    {"cp1254", "windows-1254"},
    {"cp1255", "windows-1255"},
    {"cp1256", "windows-1256"},
    {"cp1257", "windows-1257"},
    {"cp1258", "windows-1258"},
    {"cp819", "windows-1252"},
    {"cp866", "IBM866"},
    {"csbig5", "Big5"},
    {"cseuckr", "EUC-KR"},
    {"cseucpkdfmtjapanese", "EUC-JP"},
    {"csgb2312", "GBK"},
    {"csibm866", "IBM866"},
    {"csiso2022jp", "ISO-2022-JP"},
    {"csiso2022kr", "replacement"},
    {"csiso58gb231280", "GBK"},
    {"csiso88596e", "ISO-8859-6"},
    {"csiso88596i", "ISO-8859-6"},
    {"csiso88598e", "ISO-8859-8"},
    {"csiso88598i", "ISO-8859-8-I"},
    {"csisolatin1", "windows-1252"},
    {"csisolatin2", "ISO-8859-2"},
    {"csisolatin3", "ISO-8859-3"},
    {"csisolatin4", "ISO-8859-4"},
    {"csisolatin5", "windows-1254"},
    {"csisolatin6", "ISO-8859-10"},
    {"csisolatin9", "ISO-8859-15"},
    {"csisolatinarabic", "ISO-8859-6"},
    {"csisolatincyrillic", "ISO-8859-5"},
    {"csisolatingreek", "ISO-8859-7"},
    {"csisolatinhebrew", "ISO-8859-8"},
    {"cskoi8r", "KOI8-R"},
    {"csksc56011987", "EUC-KR"},
    {"csmacintosh", "macintosh"},
    {"csshiftjis", "Shift_JIS"},
    {"cyrillic", "ISO-8859-5"},
    {"dos-874", "windows-874"},
    {"ecma-114", "ISO-8859-6"},
    {"ecma-118", "ISO-8859-7"},
    {"elot_928", "ISO-8859-7"},
    {"euc-jp", "EUC-JP"},
    {"euc-kr", "EUC-KR"},
    {"gb18030", "gb18030"},
    {"gb2312", "GBK"},
    {"gb_2312", "GBK"},
    {"gb_2312-80", "GBK"},
    {"gbk", "GBK"},
    {"greek", "ISO-8859-7"},
    {"greek8", "ISO-8859-7"},
    {"hebrew", "ISO-8859-8"},
    {"hz-gb-2312", "replacement"},
    {"ibm819", "windows-1252"},
    {"ibm866", "IBM866"},
    {"iso-2022-cn", "replacement"},
    {"iso-2022-cn-ext", "replacement"},
    {"iso-2022-jp", "ISO-2022-JP"},
    {"iso-2022-kr", "replacement"},
    {"iso-8859-1", "windows-1252"},
    {"iso-8859-10", "ISO-8859-10"},
    {"iso-8859-11", "windows-874"},
    {"iso-8859-13", "ISO-8859-13"},
    {"iso-8859-14", "ISO-8859-14"},
    {"iso-8859-15", "ISO-8859-15"},
    {"iso-8859-16", "ISO-8859-16"},
    {"iso-8859-2", "ISO-8859-2"},
    {"iso-8859-3", "ISO-8859-3"},
    {"iso-8859-4", "ISO-8859-4"},
    {"iso-8859-5", "ISO-8859-5"},
    {"iso-8859-6", "ISO-8859-6"},
    {"iso-8859-6-e", "ISO-8859-6"},
    {"iso-8859-6-i", "ISO-8859-6"},
    {"iso-8859-7", "ISO-8859-7"},
    {"iso-8859-8", "ISO-8859-8"},
    {"iso-8859-8-e", "ISO-8859-8"},
    {"iso-8859-8-i", "ISO-8859-8-I"},
    {"iso-8859-9", "windows-1254"},
    {"iso-ir-100", "windows-1252"},
    {"iso-ir-101", "ISO-8859-2"},
    {"iso-ir-109", "ISO-8859-3"},
    {"iso-ir-110", "ISO-8859-4"},
    {"iso-ir-126", "ISO-8859-7"},
    {"iso-ir-127", "ISO-8859-6"},
    {"iso-ir-138", "ISO-8859-8"},
    {"iso-ir-144", "ISO-8859-5"},
    {"iso-ir-148", "windows-1254"},
    {"iso-ir-149", "EUC-KR"},
    {"iso-ir-157", "ISO-8859-10"},
    {"iso-ir-58", "GBK"},
    {"iso8859-1", "windows-1252"},
    {"iso8859-10", "ISO-8859-10"},
    {"iso8859-11", "windows-874"},
    {"iso8859-13", "ISO-8859-13"},
    {"iso8859-14", "ISO-8859-14"},
    {"iso8859-15", "ISO-8859-15"},
    {"iso8859-2", "ISO-8859-2"},
    {"iso8859-3", "ISO-8859-3"},
    {"iso8859-4", "ISO-8859-4"},
    {"iso8859-5", "ISO-8859-5"},
    {"iso8859-6", "ISO-8859-6"},
    {"iso8859-7", "ISO-8859-7"},
    {"iso8859-8", "ISO-8859-8"},
    {"iso8859-9", "windows-1254"},
    {"iso88591", "windows-1252"},
    {"iso885910", "ISO-8859-10"},
    {"iso885911", "windows-874"},
    {"iso885913", "ISO-8859-13"},
    {"iso885914", "ISO-8859-14"},
    {"iso885915", "ISO-8859-15"},
    {"iso88592", "ISO-8859-2"},
    {"iso88593", "ISO-8859-3"},
    {"iso88594", "ISO-8859-4"},
    {"iso88595", "ISO-8859-5"},
    {"iso88596", "ISO-8859-6"},
    {"iso88597", "ISO-8859-7"},
    {"iso88598", "ISO-8859-8"},
    {"iso88599", "windows-1254"},
    {"iso_8859-1", "windows-1252"},
    {"iso_8859-15", "ISO-8859-15"},
    {"iso_8859-1:1987", "windows-1252"},
    {"iso_8859-2", "ISO-8859-2"},
    {"iso_8859-2:1987", "ISO-8859-2"},
    {"iso_8859-3", "ISO-8859-3"},
    {"iso_8859-3:1988", "ISO-8859-3"},
    {"iso_8859-4", "ISO-8859-4"},
    {"iso_8859-4:1988", "ISO-8859-4"},
    {"iso_8859-5", "ISO-8859-5"},
    {"iso_8859-5:1988", "ISO-8859-5"},
    {"iso_8859-6", "ISO-8859-6"},
    {"iso_8859-6:1987", "ISO-8859-6"},
    {"iso_8859-7", "ISO-8859-7"},
    {"iso_8859-7:1987", "ISO-8859-7"},
    {"iso_8859-8", "ISO-8859-8"},
    {"iso_8859-8:1988", "ISO-8859-8"},
    {"iso_8859-9", "windows-1254"},
    {"iso_8859-9:1989", "windows-1254"},
    {"koi", "KOI8-R"},
    {"koi8", "KOI8-R"},
    {"koi8-r", "KOI8-R"},
    {"koi8-ru", "KOI8-U"},
    {"koi8-u", "KOI8-U"},
    {"koi8_r", "KOI8-R"},
    {"korean", "EUC-KR"},
    {"ks_c_5601-1987", "EUC-KR"},
    {"ks_c_5601-1989", "EUC-KR"},
    {"ksc5601", "EUC-KR"},
    {"ksc_5601", "EUC-KR"},
    {"l1", "windows-1252"},
    {"l2", "ISO-8859-2"},
    {"l3", "ISO-8859-3"},
    {"l4", "ISO-8859-4"},
    {"l5", "windows-1254"},
    {"l6", "ISO-8859-10"},
    {"l9", "ISO-8859-15"},
    {"latin1", "windows-1252"},
    {"latin2", "ISO-8859-2"},
    {"latin3", "ISO-8859-3"},
    {"latin4", "ISO-8859-4"},
    {"latin5", "windows-1254"},
    {"latin6", "ISO-8859-10"},
    {"logical", "ISO-8859-8-I"},
    {"mac", "macintosh"},
    {"macintosh", "macintosh"},
    {"ms932", "Shift_JIS"},
    {"ms_kanji", "Shift_JIS"},
    {"replacement", "replacement"},
    {"shift-jis", "Shift_JIS"},
    {"shift_jis", "Shift_JIS"},
    {"sjis", "Shift_JIS"},
    {"sun_eu_greek", "ISO-8859-7"},
    {"tis-620", "windows-874"},
    {"unicode-1-1-utf-8", "UTF-8"},
    {"us-ascii", "windows-1252"},
    {"utf-16", "UTF-16LE"},
    {"utf-16be", "UTF-16BE"},
    {"utf-16le", "UTF-16LE"},
    {"utf-8", "UTF-8"},
    {"utf8", "UTF-8"},
    {"visual", "ISO-8859-8"},
    {"windows-1250", "windows-1250"},
    {"windows-1251", "windows-1251"},
    {"windows-1252", "windows-1252"},
    {"windows-1253", "windows-1253"},
    {"windows-1254", "windows-1254"},
    {"windows-1255", "windows-1255"},
    {"windows-1256", "windows-1256"},
    {"windows-1257", "windows-1257"},
    {"windows-1258", "windows-1258"},
    {"windows-31j", "Shift_JIS"},
    {"windows-874", "windows-874"},
    {"windows-949", "EUC-KR"},
    {"x-cp1250", "windows-1250"},
    {"x-cp1251", "windows-1251"},
    {"x-cp1252", "windows-1252"},
    {"x-cp1253", "windows-1253"},
    {"x-cp1254", "windows-1254"},
    {"x-cp1255", "windows-1255"},
    {"x-cp1256", "windows-1256"},
    {"x-cp1257", "windows-1257"},
    {"x-cp1258", "windows-1258"},
    {"x-euc-jp", "EUC-JP"},
    {"x-gbk", "GBK"},
    {"x-mac-cyrillic", "x-mac-cyrillic"},
    {"x-mac-roman", "macintosh"},
    {"x-mac-ukrainian", "x-mac-cyrillic"},
    {"x-sjis", "Shift_JIS"},
    {"x-user-defined", "x-user-defined"},
    {"x-x-big5", "Big5"},
};

struct Name {
    std::string_view name;
    StringEncoding encoding;
};

// Encoding names to our decoders, sorted by plain comparison. "replacement"
// has no decoder, "x-user-defined" decodes as windows-1252 and "ISO-8859-8-I"
// as ISO-8859-8.
constexpr Name nameTable[] = {
    {"Big5", StringEncoding::Big5},
    {"EUC-JP", StringEncoding::EUCJP},
    {"EUC-KR", StringEncoding::EUCKR},
    {"GBK", StringEncoding::GBK},
    {"IBM866", StringEncoding::IBM866},
    {"ISO-2022-JP", StringEncoding::ISO2022JP},
    {"ISO-8859-10", StringEncoding::ISO8859_10},
    {"ISO-8859-13", StringEncoding::ISO8859_13},
    {"ISO-8859-14", StringEncoding::ISO8859_14},
    {"ISO-8859-15", StringEncoding::ISO8859_15},
    {"ISO-8859-16", StringEncoding::ISO8859_16},
    {"ISO-8859-2", StringEncoding::ISO8859_2},
    {"ISO-8859-3", StringEncoding::ISO8859_3},
    {"ISO-8859-4", StringEncoding::ISO8859_4},
    {"ISO-8859-5", StringEncoding::ISO8859_5},
    {"ISO-8859-6", StringEncoding::ISO8859_6},
    {"ISO-8859-7", StringEncoding::ISO8859_7},
    {"ISO-8859-8", StringEncoding::ISO8859_8},
    {"ISO-8859-8-I", StringEncoding::ISO8859_8},
    {"KOI8-R", StringEncoding::KOI8R},
    {"KOI8-U", StringEncoding::KOI8U},
    {"Shift_JIS", StringEncoding::ShiftJIS},
    {"UTF-16BE", StringEncoding::UTF16BE},
    {"UTF-16LE", StringEncoding::UTF16LE},
    {"UTF-8", StringEncoding::UTF8},
    {"gb18030", StringEncoding::GB18030},
    {"macintosh", StringEncoding::Macintosh},
    {"replacement", StringEncoding::Invalid},
    {"windows-1250", StringEncoding::Windows1250},
    {"windows-1251", StringEncoding::Windows1251},
    {"windows-1252", StringEncoding::Windows1252},
    {"windows-1253", StringEncoding::Windows1253},
    {"windows-1254", StringEncoding::Windows1254},
    {"windows-1255", StringEncoding::Windows1255},
    {"windows-1256", StringEncoding::Windows1256},
    {"windows-1257", StringEncoding::Windows1257},
    {"windows-1258", StringEncoding::Windows1258},
    {"windows-874", StringEncoding::Windows874},
    {"x-mac-cyrillic", StringEncoding::MacCyrillic},
    {"x-user-defined", StringEncoding::Windows1252},
};

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool lessIgnoringCase(std::string_view a, std::string_view b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return asciiLower(x) < asciiLower(y); });
}

static_assert(std::size(labelTable) == 219 && std::size(nameTable) == 40);
static_assert(std::is_sorted(std::begin(labelTable), std::end(labelTable),
                             [](const Label& a, const Label& b) { return lessIgnoringCase(a.label, b.label); }));
static_assert(std::is_sorted(std::begin(nameTable), std::end(nameTable),
                             [](const Name& a, const Name& b) { return a.name < b.name; }));

// iconv names of the decoders we do not implement ourselves. Big5, EUC-KR and
// Shift_JIS take the supersets the Encoding Standard decodes.
const char* iconvName(StringEncoding encoding)
{
    switch (encoding) {
    case StringEncoding::Windows1250: return "WINDOWS-1250";
    case StringEncoding::Windows1251: return "WINDOWS-1251";
    case StringEncoding::Windows1253: return "WINDOWS-1253";
    case StringEncoding::Windows1254: return "WINDOWS-1254";
    case StringEncoding::Windows1255: return "WINDOWS-1255";
    case StringEncoding::Windows1256: return "WINDOWS-1256";
    case StringEncoding::Windows1257: return "WINDOWS-1257";
    case StringEncoding::Windows1258: return "WINDOWS-1258";
    case StringEncoding::Windows874: return "WINDOWS-874";
    case StringEncoding::ISO8859_2: return "ISO-8859-2";
    case StringEncoding::ISO8859_3: return "ISO-8859-3";
    case StringEncoding::ISO8859_4: return "ISO-8859-4";
    case StringEncoding::ISO8859_5: return "ISO-8859-5";
    case StringEncoding::ISO8859_6: return "ISO-8859-6";
    case StringEncoding::ISO8859_7: return "ISO-8859-7";
    case StringEncoding::ISO8859_8: return "ISO-8859-8";
    case StringEncoding::ISO8859_10: return "ISO-8859-10";
    case StringEncoding::ISO8859_13: return "ISO-8859-13";
    case StringEncoding::ISO8859_14: return "ISO-8859-14";
    case StringEncoding::ISO8859_15: return "ISO-8859-15";
    case StringEncoding::ISO8859_16: return "ISO-8859-16";
    case StringEncoding::IBM866: return "CP866";
    case StringEncoding::KOI8R: return "KOI8-R";
    case StringEncoding::KOI8U: return "KOI8-U";
    case StringEncoding::Macintosh: return "MACINTOSH";
    case StringEncoding::MacCyrillic: return "MAC-CYRILLIC";
    case StringEncoding::Big5: return "BIG5-HKSCS";
    case StringEncoding::EUCJP: return "EUC-JP";
    case StringEncoding::EUCKR: return "CP949";
    case StringEncoding::GBK: return "GBK";
    case StringEncoding::GB18030: return "GB18030";
    case StringEncoding::ISO2022JP: return "ISO-2022-JP";
    case StringEncoding::ShiftJIS: return "CP932";
    default: return nullptr;
    }
}

std::optional<std::u16string> decodeWithIconv(std::string_view data, const char* name)
{
    iconv_t converter = iconv_open("UTF-16LE", name);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string output(data.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(data.data());
    std::size_t inLeft = data.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    // Flushing with no input ends a stateful encoding's shift sequence.
    bool ok = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1) &&
              iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!ok)
        return std::nullopt;
    const std::size_t units = (output.size() - outLeft) / 2;
    std::u16string text(units, u'\0');
    for (std::size_t i = 0; i < units; ++i) {
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(output[2 * i]) |
                                        static_cast<unsigned char>(output[2 * i + 1]) << 8);
    }
    return text;
}

std::optional<std::u16string> decodeUTF16(std::string_view data, bool bigEndian)
{
    if (data.size() % 2 != 0)
        return std::nullopt;
    std::u16string text(data.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto first = static_cast<unsigned char>(data[2 * i]);
        const auto second = static_cast<unsigned char>(data[2 * i + 1]);
        text[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    if (text.starts_with(u'\uFEFF'))
        text.erase(0, 1);
    return text;
}

// The Encoding Standard's windows-1252: bytes 0x80 to 0x9F; the rest are Latin-1.
constexpr std::array<char16_t, 32> windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<char16_t, 256> windows1252Table = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte)
        table[byte] = byte >= 0x80 && byte <= 0x9F ? windows1252High[byte - 0x80] : static_cast<char16_t>(byte);
    return table;
}();

std::u16string decodeWindows1252(std::string_view data)
{
    std::u16string text;
    AppendWindows1252(text, data);
    return text;
}

// The label of a Content-Type header's charset parameter, or empty. The label
// ends at ";", white space or a quote, so further parameters are not part of it.
std::string_view charsetLabel(std::string_view header)
{
    constexpr std::string_view key = "charset=";
    auto found = std::search(header.begin(), header.end(), key.begin(), key.end(),
                             [](char a, char b) { return asciiLower(a) == b; });
    if (found == header.end())
        return {};
    std::string_view rest = header.substr(static_cast<std::size_t>(found - header.begin()) + key.size());
    if (!rest.empty() && (rest.front() == '"' || rest.front() == '\''))
        rest.remove_prefix(1);
    return rest.substr(0, rest.find_first_of(";\"' \t\r\n\f"));
}

} // namespace

void AppendWindows1252(std::u16string& text, std::string_view data)
{
    const std::size_t start = text.size();
    text.resize(start + data.size());
    WriteWindows1252(data, text.data() + start);
}

void WriteWindows1252(std::string_view data, char16_t* out)
{
    // ASCII is itself; only the other bytes go through the table.
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    std::size_t i = 0;
    while (i < data.size()) {
        i += WidenASCIIRun(bytes + i, data.size() - i, out + i);
        for (; i < data.size() && bytes[i] >= 0x80; ++i)
            out[i] = windows1252Table[bytes[i]];
    }
}

StringEncoding InvalidStringEncoding()
{
    return StringEncoding::Invalid;
}

StringEncoding StringEncodingForLabel(std::u16string_view label)
{
    std::string ascii;
    for (char16_t c : TrimmingUnicodeWhitespace(label)) {
        if (c >= 0x80)
            return InvalidStringEncoding();
        ascii += static_cast<char>(c);
    }
    const auto row = std::lower_bound(std::begin(labelTable), std::end(labelTable), ascii,
                                      [](const Label& entry, const std::string& key) { return lessIgnoringCase(entry.label, key); });
    if (row == std::end(labelTable) || lessIgnoringCase(ascii, row->label))
        return InvalidStringEncoding();
    const auto name = std::lower_bound(std::begin(nameTable), std::end(nameTable), row->name,
                                       [](const Name& entry, std::string_view key) { return entry.name < key; });
    return name->encoding;
}

StringEncoding StringEncodingForLabel(std::string_view label)
{
    return StringEncodingForLabel(UTF16FromUTF8(label));
}

bool IsASCIICompatibleEncoding(StringEncoding encoding)
{
    return !IsUTF16Encoding(encoding);
}

bool IsUTF16Encoding(StringEncoding encoding)
{
    return encoding == StringEncoding::UTF16BE || encoding == StringEncoding::UTF16LE;
}

std::optional<std::u16string> DecodedString(std::string_view data, StringEncoding encoding)
{
    switch (encoding) {
    case StringEncoding::Invalid: return std::nullopt;
    case StringEncoding::UTF8:
        if (data.starts_with("\xEF\xBB\xBF"))
            data.remove_prefix(3);
        return DecodeUTF8(data, true);
    case StringEncoding::UTF16BE: return decodeUTF16(data, true);
    case StringEncoding::UTF16LE: return decodeUTF16(data, false);
    case StringEncoding::Windows1252: return decodeWindows1252(data);
    default: return decodeWithIconv(data, iconvName(encoding));
    }
}

std::optional<HTMLStringEncoding> CertainStringEncodingForData(std::string_view data,
                                                               std::optional<std::string_view> contentTypeHeader,
                                                               std::u16string& string)
{
    // A byte-order mark.
    StringEncoding marked = StringEncoding::Invalid;
    if (data.starts_with("\xFE\xFF"))
        marked = StringEncoding::UTF16BE;
    else if (data.starts_with("\xFF\xFE"))
        marked = StringEncoding::UTF16LE;
    else if (data.starts_with("\xEF\xBB\xBF"))
        marked = StringEncoding::UTF8;
    if (auto text = DecodedString(data, marked)) {
        string = std::move(*text);
        return HTMLStringEncoding {marked, HTMLStringEncodingConfidence::Certain};
    }

    // The transport's charset.
    if (contentTypeHeader) {
        const StringEncoding declared = StringEncodingForLabel(charsetLabel(*contentTypeHeader));
        if (auto text = DecodedString(data, declared)) {
            string = std::move(*text);
            return HTMLStringEncoding {declared, HTMLStringEncodingConfidence::Certain};
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> DeclaredUTF8Text(std::string_view data, std::optional<std::string_view> contentTypeHeader)
{
    // A UTF-16 byte-order mark: either UTF-16 wins or its bytes, never valid
    // UTF-8, fail whatever the header says.
    if (data.starts_with("\xFE\xFF") || data.starts_with("\xFF\xFE"))
        return std::nullopt;
    std::string_view text = data;
    const bool marked = text.starts_with("\xEF\xBB\xBF");
    if (marked)
        text.remove_prefix(3);
    const bool declared = contentTypeHeader && StringEncodingForLabel(charsetLabel(*contentTypeHeader)) == StringEncoding::UTF8;
    if (marked || declared)
        return text;
    return std::nullopt;
}

HTMLStringEncoding DeterminedStringEncodingForData(std::string_view data, std::optional<std::string_view> contentTypeHeader,
                                                   std::u16string& string)
{
    if (auto certain = CertainStringEncodingForData(data, contentTypeHeader, string))
        return *certain;
    // Every byte sequence is windows-1252, so this always succeeds.
    string = decodeWindows1252(data);
    return {StringEncoding::Windows1252, HTMLStringEncodingConfidence::Tentative};
}

StringEncoding PrescannedStringEncoding(std::string_view data)
{
    constexpr std::size_t prescanLength = 1024;
    const std::string_view head = data.substr(0, prescanLength);
    auto startsWithIgnoringCase = [](std::string_view text, std::string_view prefix) {
        return text.size() >= prefix.size()
            && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) { return a == asciiLower(b); });
    };
    std::size_t position = 0;
    while ((position = head.find('<', position)) != std::string_view::npos) {
        const std::string_view rest = data.substr(position);
        if (rest.starts_with("<!--")) {
            const std::size_t end = rest.find("-->", 4);
            if (end == std::string_view::npos)
                return InvalidStringEncoding();
            position += end + 3;
            continue;
        }
        ++position;
        if (!startsWithIgnoringCase(rest, "<meta") || rest.size() < 6
            || std::string_view(" \t\n\f\r/").find(rest[5]) == std::string_view::npos)
            continue;
        const std::string_view tag = rest.substr(0, rest.find('>'));
        for (std::size_t at = 5; at + 7 <= tag.size(); ++at) {
            if (!startsWithIgnoringCase(tag.substr(at), "charset"))
                continue;
            std::string_view value = tag.substr(at + 7);
            value.remove_prefix(std::min(value.size(), value.find_first_not_of(" \t\n\f\r")));
            if (!value.starts_with('='))
                continue;
            value.remove_prefix(1);
            value.remove_prefix(std::min(value.size(), value.find_first_not_of(" \t\n\f\r")));
            if (!value.empty() && (value.front() == '"' || value.front() == '\''))
                value.remove_prefix(1);
            const StringEncoding encoding = StringEncodingForLabel(value.substr(0, value.find_first_of(";\"' \t\n\f\r/")));
            return IsUTF16Encoding(encoding) ? StringEncoding::UTF8 : encoding;
        }
    }
    return InvalidStringEncoding();
}
