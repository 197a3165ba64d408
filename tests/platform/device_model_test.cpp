// The simulated recorder's own behaviour: face data kept per login and
// paged back, snapshot searches, and the events it reports to the hook.
#include "device_sdk.h"
#include "device_sdk_sim.h"
#include "face_layouts.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace device_sdk_sim::face;

constexpr int32_t kLogin = 3;

template <size_t N> void put(char (&field)[N], const std::string &text) { std::snprintf(field, N, "%s", text.c_str()); }

class DeviceModel : public ::testing::Test {
  protected:
    void SetUp() override {
        sdk_sim_reset();
        sdk_sim_add_device(kLogin, 16, SDK_SIM_RECORDER);
    }

    template <typename In> Reply change(int32_t cmd, const In &in, int32_t login = kLogin) {
        Reply r{};
        EXPECT_EQ(NetClient_FaceConfig(login, cmd, 0, &in, sizeof in, &r, sizeof r), 0);
        return r;
    }
    Reply add_library(const std::string &uuid, int32_t login = kLogin) {
        Library lib{};
        put(lib.uuid, uuid);
        put(lib.name, "name of " + uuid);
        lib.opt_type = 1;
        return change(kEditLibrary, lib, login);
    }
    Reply add_face(const std::string &lib, const std::string &uuid, const std::string &name, int32_t opt = 1) {
        Face f{};
        put(f.lib_uuid, lib);
        put(f.face_uuid, uuid);
        put(f.name, name);
        f.opt_type = opt;
        return change(kEditFace, f);
    }
    // Page `page_no` of a face query by name within `lib`.
    std::array<FaceResult, kPageRecords> faces(const std::string &lib, const std::string &name, int32_t page_no) {
        FaceQueryRequest q{};
        put(q.lib_uuid, lib);
        put(q.name, name);
        q.page_no = page_no;
        std::array<FaceResult, kPageRecords> page{};
        EXPECT_EQ(NetClient_FaceConfig(kLogin, kQueryFaces, 0, &q, sizeof q, page.data(), sizeof(FaceResult)), 0);
        return page;
    }
};

TEST_F(DeviceModel, FacesAreFoundPageByPageByNameAndByPicture) {
    ASSERT_EQ(add_library("lib-a").result, 0);
    ASSERT_EQ(add_library("lib-b").result, 0);
    for (int i = 0; i < 45; ++i)
        ASSERT_EQ(add_face("lib-a", "face-" + std::to_string(i), "person " + std::to_string(i)).result, 0);
    add_face("lib-b", "face-x", "person x");

    for (auto [page_no, count] : {std::pair{0, 20}, {2, 5}, {3, 0}}) {
        auto page = faces("lib-a", "", page_no);
        EXPECT_EQ(std::pair(page[0].total, page[0].page_count), std::pair(45, count)) << page_no;
        if (count > 0) {
            EXPECT_EQ(std::string(page[0].face_uuid), "face-" + std::to_string(page_no * 20));
            EXPECT_EQ(std::string(page[count - 1].lib_uuid), "lib-a");
            EXPECT_EQ(page[0].size, static_cast<int32_t>(sizeof(FaceResult)));
        }
    }
    // A name narrows the query; an empty library uuid spans every library.
    EXPECT_EQ(faces("lib-a", "person 4", 0)[0].total, 6);  // 4, 40..44
    EXPECT_EQ(faces("", "person", 0)[0].total, 46);

    LibraryPageRequest q{sizeof q, 0, 0, kPageRecords};
    std::array<LibraryResult, kPageRecords> libs{};
    ASSERT_EQ(NetClient_FaceConfig(kLogin, kQueryLibraries, 0, &q, sizeof q, libs.data(), sizeof(LibraryResult)), 0);
    EXPECT_EQ(libs[0].total, 2);
    EXPECT_EQ(std::string(libs[1].uuid), "lib-b");
    EXPECT_NE(libs[0].key, libs[1].key);

    // Each face of the library a little less similar than the one before.
    PictureSearchRequest pic{};
    put(pic.lib_uuid, "lib-b");
    pic.similarity = 98;
    pic.task_id = 7;
    std::array<FaceResult, kPageRecords> page{};
    ASSERT_EQ(NetClient_FaceConfig(kLogin, kSearchByPicture, 0, &pic, sizeof pic, page.data(), sizeof(FaceResult)), 0);
    EXPECT_EQ(std::tuple(page[0].total, page[0].similar, page[0].task_id), std::tuple(1, 98, 7));
}

TEST_F(DeviceModel, EditsAndDeletesChangeWhatIsFoundOfTheirLoginOnly) {
    sdk_sim_add_device(kLogin + 1, 4, SDK_SIM_CAMERA);
    add_library("lib-a");
    add_library("lib-a", kLogin + 1);
    add_face("lib-a", "f1", "Ada");
    // Adding a uuid again is refused with "exists"; editing it renames.
    Reply again = add_face("lib-a", "f1", "Ada again");
    EXPECT_EQ(std::pair(again.result, again.detail), std::pair(1, kDetailFaceExists));
    EXPECT_EQ(add_face("lib-a", "f1", "Grace", 2).result, 0);
    EXPECT_EQ(std::string(faces("lib-a", "", 0)[0].name), "Grace");
    EXPECT_EQ(add_face("lib-missing", "f2", "Bob").result, 1);
    Library lib{};
    Reply r{};
    EXPECT_EQ(NetClient_FaceConfig(kLogin, kEditLibrary, 0, &lib, 10, &r, sizeof r), -1);  // short request
    EXPECT_EQ(NetClient_FaceConfig(kLogin, kEditLibrary, 0, nullptr, 0, &r, sizeof r), -1);

    FaceCounts counts{};
    int32_t returned = 0;
    ASSERT_EQ(NetClient_GetDevConfig(kLogin, kDevFaceCounts, 0, &counts, sizeof counts, &returned), 0);
    EXPECT_EQ(std::pair(counts.total, returned), std::pair(1, static_cast<int32_t>(sizeof counts)));

    FaceKey key{};
    put(key.lib_uuid, "lib-a");
    put(key.face_uuid, "f1");
    EXPECT_EQ(change(kDeleteFace, key).result, 0);
    EXPECT_EQ(change(kDeleteFace, key).result, 2);
    EXPECT_EQ(faces("lib-a", "", 0)[0].total, 0);

    add_face("lib-a", "f3", "Cy");
    LibraryKey lib_key{};
    put(lib_key.uuid, "lib-a");
    Reply deleted = change(kDeleteLibrary, lib_key);
    EXPECT_EQ(std::pair(deleted.result, deleted.detail), std::pair(0, 100));
    EXPECT_EQ(faces("", "", 0)[0].total, 0);
    Face other{};
    put(other.lib_uuid, "lib-a");
    put(other.face_uuid, "g");
    other.opt_type = 1;
    EXPECT_EQ(change(kEditFace, other, kLogin + 1).result, 0);  // the other login kept its library
    // Starting afresh forgets the faces.
    add_library("lib-c");
    add_face("lib-c", "f", "n");
    sdk_sim_add_device(kLogin, 16, SDK_SIM_RECORDER);
    EXPECT_EQ(faces("", "", 0)[0].total, 0);
}

TEST_F(DeviceModel, SnapshotSearchFindsThreePerChannel) {
    std::array<ChannelEntry, 2> channels{{{2, 0}, {5, 0}}};
    SnapSearchRequest start{};
    start.size = sizeof start;
    start.channel_count = 2;
    start.entry_size = sizeof(ChannelEntry);
    start.channels = channels.data();
    start.begin = Time{2026, 12, 1, 8, 0, 0};
    start.task_id = 11;
    ASSERT_EQ(NetClient_FaceConfig(kLogin, kStartSnapSearch, -1, &start, sizeof start, nullptr, 0), 0);

    SnapTask task{sizeof task, 11};
    Reply progress{};
    NetClient_FaceConfig(kLogin, kSnapSearchProgress, 0, &task, sizeof task, &progress, sizeof progress);
    EXPECT_EQ(progress.detail, 100);

    for (int32_t task_id : {11, 12}) {  // 12 was never started: an empty page
        SnapPageRequest q{sizeof q, task_id, kPageRecords, 0};
        std::array<SnapResult, kPageRecords> page{};
        ASSERT_EQ(NetClient_FaceConfig(kLogin, kSnapSearchPage, 0, &q, sizeof q, page.data(), sizeof(SnapResult)), 0);
        EXPECT_EQ(page[0].total, task_id == 11 ? 6 : 0);
        if (task_id == 11) {
            EXPECT_EQ(std::tuple(page[0].page_count, page[3].ch, page[1].begin.minute), std::tuple(6, 5, 10));
            EXPECT_STREQ(page[0].pic1_name, "snap/ch02/0-face.jpg");
        }
    }
}

TEST_F(DeviceModel, SwitchingAnalysisOffIsAnsweredThroughTheEventHook) {
    std::vector<sdk_sim_event> events;
    sdk_sim_set_event_hook(
        [](void *ctx, const sdk_sim_event *e) { static_cast<std::vector<sdk_sim_event> *>(ctx)->push_back(*e); },
        &events);
    int32_t off = 0, on = 1, read = -1;
    NetClient_SetDevConfig(kLogin, 32, 4, &on, sizeof on);
    EXPECT_TRUE(events.empty());
    NetClient_SetDevConfig(kLogin, 32, 4, &off, sizeof off);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(std::tuple(events[0].type, events[0].loginfd, events[0].ch, events[0].value),
              std::tuple(SDK_SIM_EVENT_ANALYSIS_SWITCH, kLogin, 4, SDK_SIM_ANALYSIS_ACCEPTED));
    NetClient_GetDevConfig(kLogin, 32, 4, &read, sizeof read, nullptr);  // kept like any other setting
    EXPECT_EQ(read, 0);

    sdk_sim_reset();  // removes the hook
    sdk_sim_add_device(kLogin, 16, SDK_SIM_RECORDER);
    NetClient_SetDevConfig(kLogin, 32, 4, &off, sizeof off);
    EXPECT_EQ(events.size(), 1u);
}

}  // namespace
