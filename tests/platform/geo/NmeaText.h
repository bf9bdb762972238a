#pragma once

#include <cstdio>
#include <string>

// "$<body>*HH" with the checksum a receiver would write.
inline std::string nmeaLine(const std::string& body)
{
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}
