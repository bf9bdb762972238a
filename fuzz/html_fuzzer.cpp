// Tokenizer and tree construction over arbitrary bytes, through the byte entry
// point with a Content-Type header that the input chooses (or none).
#include "html/HTMLDocument.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::optional<std::string> header;
    if (input.ConsumeBool())
        header = input.ConsumeRandomLengthString(64);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    auto document = HTMLDocument::documentWithData(bytes, header);
    document->serializedFragment();
    return 0;
}
