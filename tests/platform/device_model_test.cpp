// The simulated recorder's own behaviour: face data kept per login and
// paged back, snapshot searches, and the events it reports to the hook.
#include "device_sdk.h"
#include "device_sdk_face.h"
#include "device_sdk_face_search.h"
#include "device_sdk_sim.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int32_t kLogin = 3;

template <size_t N> void put(char (&field)[N], const std::string &text) { std::snprintf(field, N, "%s", text.c_str()); }

class DeviceModel : public ::testing::Test {
  protected:
    void SetUp() override {
        sdk_sim_reset();
        sdk_sim_add_device(kLogin, 16, SDK_SIM_RECORDER);
    }

    template <typename In> face_reply change(int32_t cmd, const In &in, int32_t login = kLogin) {
        face_reply r{};
        EXPECT_EQ(NetClient_FaceConfig(login, cmd, 0, &in, sizeof in, &r, sizeof r), 0);
        return r;
    }
    face_reply add_library(const std::string &uuid, int32_t login = kLogin) {
        face_lib_record lib{};
        put(lib.libuuid, uuid);
        put(lib.name, "name of " + uuid);
        lib.opttype = 1;
        return change(FACE_CMD_LIB_EDIT, lib, login);
    }
    face_reply add_face(const std::string &lib, const std::string &uuid, const std::string &name, int32_t opt = 1) {
        face_record f{};
        put(f.libuuid, lib);
        put(f.faceuuid, uuid);
        put(f.name, name);
        f.opttype = opt;
        return change(FACE_CMD_EDIT, f);
    }
    // Page `page_no` of a face query by name within `lib`.
    std::array<face_result, FACE_PAGE_RECORDS> faces(const std::string &lib, const std::string &name, int32_t page_no) {
        face_query_request q{};
        put(q.lib_uuid, lib);
        put(q.name, name);
        q.page_no = page_no;
        std::array<face_result, FACE_PAGE_RECORDS> page{};
        EXPECT_EQ(NetClient_FaceConfig(kLogin, FACE_CMD_QUERY, 0, &q, sizeof q, page.data(), sizeof(face_result)), 0);
        return page;
    }
};

TEST_F(DeviceModel, FacesAddedAreFoundPageByPage) {
    ASSERT_EQ(add_library("lib-a").iResult, 0);
    ASSERT_EQ(add_library("lib-b").iResult, 0);
    for (int i = 0; i < 45; ++i)
        ASSERT_EQ(add_face("lib-a", "face-" + std::to_string(i), "person " + std::to_string(i)).iResult, 0);
    add_face("lib-b", "face-x", "person x");

    for (auto [page_no, count] : {std::pair{0, 20}, {1, 20}, {2, 5}, {3, 0}}) {
        auto page = faces("lib-a", "", page_no);
        EXPECT_EQ(page[0].total, 45) << page_no;
        EXPECT_EQ(page[0].page_count, count) << page_no;
        if (count > 0) {
            EXPECT_EQ(std::string(page[0].face_uuid), "face-" + std::to_string(page_no * 20));
            EXPECT_EQ(std::string(page[count - 1].lib_uuid), "lib-a");
            EXPECT_EQ(page[0].size, static_cast<int32_t>(sizeof(face_result)));
        }
    }
    // A name narrows the query; an empty library uuid spans every library.
    EXPECT_EQ(faces("lib-a", "person 4", 0)[0].total, 6);  // 4, 40..44
    EXPECT_EQ(faces("", "person", 0)[0].total, 46);

    face_lib_query_request q{sizeof q, 0, 0, FACE_PAGE_RECORDS};
    std::array<face_lib_query_result, FACE_PAGE_RECORDS> libs{};
    ASSERT_EQ(
        NetClient_FaceConfig(kLogin, FACE_CMD_LIB_QUERY, 0, &q, sizeof q, libs.data(), sizeof(face_lib_query_result)),
        0);
    EXPECT_EQ(libs[0].total, 2);
    EXPECT_EQ(std::string(libs[1].lib_uuid), "lib-b");
    EXPECT_NE(libs[0].lib_key, libs[1].lib_key);
}

TEST_F(DeviceModel, EditsAndDeletesChangeWhatIsFound) {
    add_library("lib-a");
    add_face("lib-a", "f1", "Ada");
    // Adding a uuid again is refused with "exists"; editing it renames.
    face_reply again = add_face("lib-a", "f1", "Ada again");
    EXPECT_EQ(again.iResult, 1);
    EXPECT_EQ(again.detail, FACE_REPLY_UUID_EXISTS);
    EXPECT_EQ(add_face("lib-a", "f1", "Grace", 2).iResult, 0);
    EXPECT_EQ(std::string(faces("lib-a", "", 0)[0].name), "Grace");
    EXPECT_EQ(add_face("lib-missing", "f2", "Bob").iResult, 1);

    face_key_record key{};
    put(key.libuuid, "lib-a");
    put(key.faceuuid, "f1");
    EXPECT_EQ(change(FACE_CMD_FACE_DELETE, key).iResult, 0);
    EXPECT_EQ(change(FACE_CMD_FACE_DELETE, key).iResult, 2);
    EXPECT_EQ(faces("lib-a", "", 0)[0].total, 0);

    add_face("lib-a", "f3", "Cy");
    face_lib_delete_record lib{};
    put(lib.libuuid, "lib-a");
    face_reply deleted = change(FACE_CMD_LIB_DELETE, lib);
    EXPECT_EQ(deleted.iResult, 0);
    EXPECT_EQ(deleted.detail, 100);
    EXPECT_EQ(faces("", "", 0)[0].total, 0);
}

TEST_F(DeviceModel, FaceDataBelongsToItsLogin) {
    sdk_sim_add_device(kLogin + 1, 4, SDK_SIM_CAMERA);
    add_library("lib-a", kLogin + 1);
    add_library("lib-b");
    add_face("lib-b", "f", "n");
    EXPECT_EQ(faces("lib-a", "", 0)[0].total, 0);

    face_lib_count_record counts{};
    int32_t returned = 0;
    ASSERT_EQ(NetClient_GetDevConfig(kLogin, NET_CLIENT_FACE_LIB_COUNT, 0, &counts, sizeof counts, &returned), 0);
    EXPECT_EQ(counts.total_count, 1);
    EXPECT_EQ(returned, static_cast<int32_t>(sizeof counts));
    // Starting afresh forgets the faces.
    sdk_sim_add_device(kLogin, 16, SDK_SIM_RECORDER);
    EXPECT_EQ(faces("", "", 0)[0].total, 0);
}

TEST_F(DeviceModel, PictureSearchFindsFacesAtOrAboveTheSimilarity) {
    add_library("lib-a");
    for (int i = 0; i < 5; ++i)
        add_face("lib-a", std::string("f").append(std::to_string(i)), "n");
    face_search_request q{};
    put(q.lib_uuid, "lib-a");
    q.similarity = 90;
    q.task_id = 7;
    std::array<face_result, FACE_PAGE_RECORDS> page{};
    ASSERT_EQ(NetClient_FaceConfig(kLogin, FACE_CMD_SEARCH, 0, &q, sizeof q, page.data(), sizeof(face_result)), 0);
    EXPECT_EQ(page[0].total, 3);  // 98, 95, 92
    EXPECT_EQ(page[2].similar, 92);
    EXPECT_EQ(page[1].task_id, 7);
}

TEST_F(DeviceModel, SnapshotSearchFindsThreePerChannel) {
    std::array<face_channel_entry, 2> channels{{{2, 0}, {5, 0}}};
    face_snap_search_request start{};
    start.size = sizeof start;
    start.channel_count = 2;
    start.entry_size = sizeof(face_channel_entry);
    start.channels = channels.data();
    start.begin_time = dvr_time{2026, 12, 1, 8, 0, 0};
    start.task_id = 11;
    ASSERT_EQ(NetClient_FaceConfig(kLogin, FACE_CMD_SEARCH_SNAP, -1, &start, sizeof start, nullptr, 0), 0);

    face_snap_progress_request task{sizeof task, 11};
    face_reply progress{};
    NetClient_FaceConfig(kLogin, FACE_CMD_SEARCH_SNAP_PROCESS, 0, &task, sizeof task, &progress, sizeof progress);
    EXPECT_EQ(progress.detail, 100);

    face_snap_result_request q{sizeof q, 11, FACE_PAGE_RECORDS, 0};
    std::array<face_snap_result, FACE_PAGE_RECORDS> page{};
    ASSERT_EQ(NetClient_FaceConfig(kLogin, FACE_CMD_SEARCH_SNAP_RESULT, 0, &q, sizeof q, page.data(),
                                   sizeof(face_snap_result)),
              0);
    EXPECT_EQ(page[0].total, 6);
    EXPECT_EQ(page[0].page_count, 6);
    EXPECT_EQ(page[3].ch, 5);
    EXPECT_EQ(page[1].begin_time.minute, 10);
    EXPECT_STREQ(page[0].pic1_name, "snap/ch02/0-face.jpg");

    q.task_id = 12;  // never started: an empty page
    page = {};
    NetClient_FaceConfig(kLogin, FACE_CMD_SEARCH_SNAP_RESULT, 0, &q, sizeof q, page.data(), sizeof(face_snap_result));
    EXPECT_EQ(page[0].total, 0);
}

TEST_F(DeviceModel, ShortRequestsAreRefused) {
    face_lib_record lib{};
    face_reply r{};
    EXPECT_EQ(NetClient_FaceConfig(kLogin, FACE_CMD_LIB_EDIT, 0, &lib, 10, &r, sizeof r), -1);
    EXPECT_EQ(NetClient_FaceConfig(kLogin, FACE_CMD_LIB_EDIT, 0, nullptr, 0, &r, sizeof r), -1);
}

TEST_F(DeviceModel, SwitchingAnalysisOffIsAnsweredThroughTheEventHook) {
    std::vector<sdk_sim_event> events;
    sdk_sim_set_event_hook(
        [](void *ctx, const sdk_sim_event *e) { static_cast<std::vector<sdk_sim_event> *>(ctx)->push_back(*e); },
        &events);
    int32_t off = 0, on = 1;
    NetClient_SetDevConfig(kLogin, 32, 4, &on, sizeof on);
    EXPECT_TRUE(events.empty());
    NetClient_SetDevConfig(kLogin, 32, 4, &off, sizeof off);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, SDK_SIM_EVENT_ANALYSIS_SWITCH);
    EXPECT_EQ(events[0].loginfd, kLogin);
    EXPECT_EQ(events[0].ch, 4);
    EXPECT_EQ(events[0].value, SDK_SIM_ANALYSIS_ACCEPTED);
    // The switch is kept like any other setting.
    int32_t read = -1;
    NetClient_GetDevConfig(kLogin, 32, 4, &read, sizeof read, nullptr);
    EXPECT_EQ(read, 0);

    sdk_sim_reset();  // removes the hook
    sdk_sim_add_device(kLogin, 16, SDK_SIM_RECORDER);
    NetClient_SetDevConfig(kLogin, 32, 4, &off, sizeof off);
    EXPECT_EQ(events.size(), 1u);
}

}  // namespace
