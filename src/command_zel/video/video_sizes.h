// Picture size codes. The device names a picture size by its own size code,
// the platform by a "definition" number; one constant table serves both
// directions and gives the pixel size. A second table holds the numbers the
// size-and-rate query (get 74) reports for some codes. Both are plain
// constant data, so the console prints them without the library.
#pragma once

#include <cstdint>

namespace zel::video {

struct PictureSize {
    int32_t definition;  // the platform's number
    int32_t code;        // the device's size code
    int32_t width;
    int32_t height;
};

// Definition 23 (704 x 288) has two device codes: it is written as 3, and a
// device that reports 5 means the same size. Lookups by definition take the
// first row, so 3 comes first.
inline constexpr PictureSize kPictureSizes[] = {
    {1, 0, 176, 144},        {2, 1, 352, 144},        {7, 6, 320, 240},        {8, 7, 640, 480},
    {9, 8, 640, 240},        {10, 9, 1280, 720},      {11, 10, 1280, 960},     {12, 11, 1600, 1200},
    {13, 12, 1920, 1080},    {14, 13, 2048, 1536},    {15, 0x100, 960, 540},   {16, 0x200, 960, 576},
    {17, 0x300, 2448, 2048}, {18, 0x400, 2560, 1920}, {21, 2, 352, 288},       {22, 4, 704, 576},
    {23, 3, 704, 288},       {23, 5, 704, 288},       {36, 0x230, 1920, 1200}, {67, 0x420, 2592, 2048},
    {86, 0x210, 2560, 1440}, {87, 0x220, 2592, 1520}, {88, 0x240, 2688, 1520}, {89, 0x410, 2592, 1944},
    {90, 0x430, 2528, 2128}, {91, 0x500, 2560, 2048}, {92, 0x600, 2752, 2208}, {93, 0x620, 3408, 2008},
    {94, 0x700, 3392, 2008}, {95, 0x800, 3840, 2160}, {96, 0x810, 3264, 2448}, {97, 0x820, 3296, 2472},
    {98, 0x830, 4096, 2160}, {99, 0x610, 3008, 2008},
};

// A code with this bit set carries its own pixel size: the width in bits
// 0..14 and the height in bits 15..29. Such a code is its own definition.
inline constexpr int32_t kSizeInCode = 1 << 30;
constexpr bool carries_size(int32_t value) { return (value & kSizeInCode) != 0; }
constexpr int32_t carried_width(int32_t code) { return code & 0x7FFF; }
constexpr int32_t carried_height(int32_t code) { return (code >> 15) & 0x7FFF; }

// The table row of a device code / of a definition, or null.
constexpr const PictureSize *size_of_code(int32_t code) {
    for (const PictureSize &s : kPictureSizes)
        if (s.code == code)
            return &s;
    return nullptr;
}
constexpr const PictureSize *size_of_definition(int32_t definition) {
    for (const PictureSize &s : kPictureSizes)
        if (s.definition == definition)
            return &s;
    return nullptr;
}

// What get 74 reports for a device code: a client's own numbers from 100
// up for these codes (0x43600C00 and 0x460006C0 carry 3072 x 1728 and
// 1728 x 3072), every other code as it is.
struct ReportedSize {
    int32_t code;
    int32_t number;
};
inline constexpr ReportedSize kReportedSizes[] = {
    {0x100, 100},    {0x200, 101},      {0x300, 102},      {0x400, 103},    {0x500, 104},
    {0x210, 105},    {0x220, 106},      {0x100009, 107},   {0x10000C, 108}, {0x100210, 109},
    {0x100220, 110}, {0x43600C00, 111}, {0x460006C0, 112}, {0x800, 113},
};
constexpr int32_t reported_size(int32_t code) {
    for (const ReportedSize &r : kReportedSizes)
        if (r.code == code)
            return r.number;
    return code;
}

}  // namespace zel::video
