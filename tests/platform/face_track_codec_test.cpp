// The face-track codec writes the documented document and reads back what a
// device answers, refusing anything else without touching the result.
#include "face_track_codec.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

std::string encode(int32_t enabled, const char *ip = "192.0.2.10", int32_t cap = 1024, int32_t *result = nullptr) {
    char out[1024];
    std::memset(out, '#', sizeof out);
    int32_t ret = Encap_FaceTrackInfo(0, out, cap, ip, &enabled, 4);
    if (result != nullptr)
        *result = ret;
    return ret < 0 ? std::string() : std::string(out);
}

int32_t decode(const std::string &reply, int32_t &value, int32_t len = -2) {
    return Analysis_FaceTrackInfo(0, reply.c_str(), len == -2 ? static_cast<int32_t>(reply.size()) : len, &value, 4);
}

TEST(FaceTrackCodec, WritesTheDocumentAndReadsItBack) {
    errno = 4321;
    const std::string doc = encode(1, "10.0.0.1&<x>");
    EXPECT_EQ(doc, R"(<?xml version="1.0" encoding="UTF-8"?><FaceTrack><DeviceAddress>10.0.0.1&amp;&lt;x&gt;)"
                   R"(</DeviceAddress><Enabled>1</Enabled></FaceTrack>)");
    for (int32_t enabled : {0, 1, -7}) {
        int32_t value = 99;
        EXPECT_EQ(decode(encode(enabled), value), 0);
        EXPECT_EQ(value, enabled);
    }
    EXPECT_EQ(errno, 4321);
}

TEST(FaceTrackCodec, EncodesOnlyWhatFitsTheCapacity) {
    const auto len = static_cast<int32_t>(encode(0).size());
    int32_t ret = 0;
    EXPECT_EQ(encode(0, "192.0.2.10", len + 1, &ret).size(), static_cast<size_t>(len));
    EXPECT_EQ(ret, len);
    encode(0, "192.0.2.10", len, &ret);
    EXPECT_EQ(ret, -2);

    int32_t one = 1;
    char out[256];
    EXPECT_EQ(Encap_FaceTrackInfo(1, out, sizeof out, "ip", &one, 4), -1);
    EXPECT_EQ(Encap_FaceTrackInfo(0, nullptr, sizeof out, "ip", &one, 4), -1);
    EXPECT_EQ(Encap_FaceTrackInfo(0, out, 0, "ip", &one, 4), -1);
    EXPECT_EQ(Encap_FaceTrackInfo(0, out, sizeof out, nullptr, &one, 4), -1);
    EXPECT_EQ(Encap_FaceTrackInfo(0, out, sizeof out, "ip", nullptr, 4), -1);
    EXPECT_EQ(Encap_FaceTrackInfo(0, out, sizeof out, "ip", &one, 8), -1);
}

TEST(FaceTrackCodec, ReadsRepliesAsDevicesWriteThem) {
    const struct {
        std::string reply;
        int32_t len;  // -2: the reply's length
        int32_t ret, value;
    } cases[] = {
        {"<FaceTrack>\n  <Enabled> 1 </Enabled>\n</FaceTrack>", -2, 0, 1},
        {std::string("<FaceTrack><Enabled>0</Enabled></FaceTrack>") + '\0' + "<junk", 60, 0, 0},
        {"<FaceTrack><Enabled>1</Enabled></FaceTrack>", 30, -2, 99},
        {"not xml at all <", -2, -2, 99},
        {"", -2, -2, 99},
        {"<Other><Enabled>1</Enabled></Other>", -2, -3, 99},
        {"<FaceTrack><DeviceAddress>x</DeviceAddress></FaceTrack>", -2, -3, 99},
        {"<FaceTrack><Enabled>yes</Enabled></FaceTrack>", -2, -4, 99},
        {"<FaceTrack><Enabled></Enabled></FaceTrack>", -2, -4, 99},
        {"<FaceTrack><Enabled>99999999999</Enabled></FaceTrack>", -2, -4, 99},
    };
    for (const auto &c : cases) {
        int32_t value = 99;
        EXPECT_EQ(decode(c.reply, value, c.len), c.ret) << c.reply;
        EXPECT_EQ(value, c.value) << c.reply;
    }
    int32_t value = 0;
    EXPECT_EQ(Analysis_FaceTrackInfo(1, "<FaceTrack/>", 12, &value, 4), -1);
    EXPECT_EQ(Analysis_FaceTrackInfo(0, nullptr, 12, &value, 4), -1);
    EXPECT_EQ(Analysis_FaceTrackInfo(0, "<FaceTrack/>", -1, &value, 4), -1);
    EXPECT_EQ(Analysis_FaceTrackInfo(0, "<FaceTrack/>", 12, nullptr, 4), -1);
    EXPECT_EQ(Analysis_FaceTrackInfo(0, "<FaceTrack/>", 12, &value, 2), -1);
}

}  // namespace
