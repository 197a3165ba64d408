// The face-track codec writes the documented document and reads back what a
// device answers, refusing anything else without touching the result.
#include "face_track_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string encode(int32_t enabled, const char *ip, int32_t cap, int32_t &ret) {
    char out[512];
    ret = Encap_FaceTrackInfo(0, out, cap, ip, &enabled, 4);
    return ret < 0 ? std::string() : std::string(out);
}

TEST(FaceTrackCodec, WritesTheDocumentWithinItsCapacity) {
    int32_t ret = 0;
    const std::string doc = encode(1, "10.0.0.1&<x>", 512, ret);
    EXPECT_EQ(doc, R"(<?xml version="1.0" encoding="UTF-8"?><FaceTrack><DeviceAddress>10.0.0.1&amp;&lt;x&gt;)"
                   R"(</DeviceAddress><Enabled>1</Enabled></FaceTrack>)");
    EXPECT_EQ(ret, static_cast<int32_t>(doc.size()));
    EXPECT_EQ(encode(1, "10.0.0.1&<x>", ret + 1, ret), doc);
    encode(1, "10.0.0.1&<x>", ret, ret);
    EXPECT_EQ(ret, -2);
}

TEST(FaceTrackCodec, ReadsRepliesAsDevicesWriteThem) {
    int32_t ret = 0;
    const struct {
        std::string reply;
        int32_t len;  // -2: the reply's length
        int32_t ret, value;
    } cases[] = {
        {encode(-7, "ip", 512, ret), -2, 0, -7},
        {"<FaceTrack>\n  <Enabled> 1 </Enabled>\n</FaceTrack>", -2, 0, 1},
        {std::string("<FaceTrack><Enabled>0</Enabled></FaceTrack>") + '\0' + "<junk", 60, 0, 0},
        {"<FaceTrack><Enabled>1</Enabled></FaceTrack>", 30, -2, 99},
        {"not xml at all <", -2, -2, 99},
        {"<Other><Enabled>1</Enabled></Other>", -2, -3, 99},
        {"<FaceTrack><DeviceAddress>x</DeviceAddress></FaceTrack>", -2, -3, 99},
        {"<FaceTrack><Enabled>yes</Enabled></FaceTrack>", -2, -4, 99},
        {"<FaceTrack><Enabled>99999999999</Enabled></FaceTrack>", -2, -4, 99},
    };
    for (const auto &c : cases) {
        int32_t value = 99;
        int32_t len = c.len == -2 ? static_cast<int32_t>(c.reply.size()) : c.len;
        EXPECT_EQ(Analysis_FaceTrackInfo(0, c.reply.c_str(), len, &value, 4), c.ret) << c.reply;
        EXPECT_EQ(value, c.value) << c.reply;
    }
}

}  // namespace
