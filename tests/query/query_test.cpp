// The paged searches and the session commands, driven through the get
// dispatcher against the simulated device.
#include "query_support.h"

namespace query_test {
namespace {

TEST_F(QueryTest, PictureSearchPagesAcrossThePageBoundaryAndAsksOnceMoreWhenFinished) {
    push_page(FACE_CMD_SEARCH, face_page(25, 20));
    // Uuid and picture name are copied up to the whole 64 bytes of their fields.
    Outcome opened = query(R"({"command":0,"ch":3,"taskid":9,"picname":")" + std::string(70, 'p') + R"(","libuuid":")" +
                           std::string(80, 'u') + R"(","similar":80})");
    ASSERT_EQ(opened.result, 1) << opened.reply;
    EXPECT_EQ(keys(opened.reply), (Keys{"findfd", "ret"}));
    EXPECT_EQ(opened.err, test::kSentinelErrno);
    sdk_sim_call first = calls().at(0);
    EXPECT_EQ(first.cmd, FACE_CMD_SEARCH);
    EXPECT_EQ(first.ch, 3);
    EXPECT_EQ(first.args[1], 872);
    auto sent = input_of<face_search_request>(first);
    EXPECT_EQ(sent.size, 348);
    EXPECT_EQ(sent.task_id, 9);
    EXPECT_EQ(std::string(sent.lib_uuid, 64), std::string(64, 'u'));
    EXPECT_EQ(std::string(sent.pic_name, 64), std::string(64, 'p'));
    EXPECT_EQ(sent.similarity, 80);
    EXPECT_EQ(sent.page_no, 0);
    EXPECT_EQ(sent.page_records, 20);

    int32_t fd = static_cast<int32_t>(int_of(opened.reply, "findfd"));
    push_page(FACE_CMD_SEARCH, face_page(25, 5, 20));
    Outcome all = page(fd, 25);
    EXPECT_EQ(all.result, 1);
    EXPECT_EQ(all.err, test::kSentinelErrno);
    EXPECT_EQ(keys(all.reply), (Keys{"host_id", "param", "ch", "taskid", "is_finish", "total", "ret"}));
    auto results = elements(all.reply, "param");
    ASSERT_EQ(results.size(), 25u);
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(int_of(results[i], "index"), static_cast<int64_t>(i));
    EXPECT_EQ(keys(results[0]), (Keys{"index", "checkcode", "filetype", "modeling", "name", "sex", "birthtime",
                                      "nation", "place", "certype", "certnum", "opttype", "libuuid", "faceuuid",
                                      "libversion", "verifycode", "taskid", "filename", "similar"}));
    EXPECT_EQ(int_of(all.reply, "is_finish"), 1);
    EXPECT_EQ(int_of(all.reply, "total"), 25);
    EXPECT_EQ(input_of<face_search_request>(calls().at(1)).page_no, 1);

    // Finished: the next page is asked for once, its empty record is not
    // handed out, and the answer stays a success.
    Outcome after = page(fd, 5);
    EXPECT_EQ(after.result, 1);
    EXPECT_TRUE(elements(after.reply, "param").empty());
    EXPECT_EQ(int_of(after.reply, "is_finish"), 1);
    ASSERT_EQ(calls().size(), 3u);
    EXPECT_EQ(input_of<face_search_request>(calls()[2]).page_no, 2);
    EXPECT_TRUE(log.contains("!face_add_cut_info_param"));
}

TEST_F(QueryTest, AnyHostRecordPagesAndClosesASessionByItsNumber) {
    // The platform may hand over a fresh copy of the device's record, or
    // another device's, on every request.
    test::Host other(8, "dev-0002");
    int32_t fd = open_face_search(face_page(2, 0));
    push_page(FACE_CMD_SEARCH, face_page(2, 2));
    Outcome paged = page(fd, 5, &other);
    EXPECT_EQ(paged.result, 1);
    EXPECT_EQ(paged.err, test::kSentinelErrno);
    EXPECT_EQ(elements(paged.reply, "param").size(), 2u);
    EXPECT_NE(paged.reply.find(R"("host_id": "dev-0002")"), std::string::npos) << paged.reply;
    EXPECT_EQ(calls().back().loginfd, 7);  // pages come from the device the search was opened on
    EXPECT_EQ(log.messages(), Lines{});

    EXPECT_EQ(close(fd, &other).result, 1);
    Outcome gone = page(fd, 1);
    EXPECT_EQ(gone.result, 0);
    EXPECT_EQ(gone.err, CMD_ZEL_ENOSESSION);
    EXPECT_EQ(keys(gone.reply), (Keys{"total", "ret"}));
}

TEST_F(QueryTest, CountsBelowAndAboveTheRemainingResults) {
    int32_t fd = open_face_search(face_page(3, 3));
    for (int32_t count : {0, -5, INT32_MIN}) {
        Outcome none = page(fd, count);
        EXPECT_EQ(none.result, 1) << count;
        EXPECT_EQ(int_of(none.reply, "ret"), 0);
        EXPECT_EQ(int_of(none.reply, "is_finish"), 0);
        EXPECT_TRUE(elements(none.reply, "param").empty());
    }
    Outcome rest = query(R"({"command":1,"findfd":)" + std::to_string(fd) + R"(,"count":99999999999})");
    EXPECT_EQ(rest.result, 1);
    EXPECT_EQ(elements(rest.reply, "param").size(), 3u);
    EXPECT_EQ(int_of(rest.reply, "is_finish"), 1);
    EXPECT_EQ(sdk_sim_call_count(), 1);  // the stored page only
}

TEST_F(QueryTest, BadFindfdOrCountOrUnknownSessionIsAnsweredEmpty) {
    const std::tuple<std::string, int, const char *> cases[] = {
        {R"({"command":1,"count":5})", CMD_ZEL_EINVAL, "findfd == -1"},
        {R"({"command":1,"findfd":"7","count":5})", CMD_ZEL_EINVAL, "findfd == -1"},
        {R"({"command":1,"findfd":7})", CMD_ZEL_EINVAL, "count == -1"},
        {R"({"command":1,"findfd":7,"count":[]})", CMD_ZEL_EINVAL, "count == -1"},
        {R"({"command":1,"findfd":2000000000,"count":5})", CMD_ZEL_ENOSESSION,
         "get_cmd_findinfo_fd err!find_info == NULL"},
    };
    for (const auto &[json, code, message] : cases) {
        Outcome out = query(json);
        EXPECT_EQ(out.result, 0) << json;
        EXPECT_EQ(out.err, code) << json;
        EXPECT_EQ(keys(out.reply), (Keys{"total", "ret"})) << json;
        EXPECT_EQ(int_of(out.reply, "ret"), -1);
        EXPECT_EQ(log.messages(), Lines{message}) << json;
    }
    Outcome unknown = close(123456);
    EXPECT_EQ(unknown.result, 1);
    EXPECT_EQ(unknown.err, test::kSentinelErrno);
    Outcome missing = query(R"({"command":2})");
    EXPECT_EQ(missing.result, 0);
    EXPECT_EQ(missing.err, CMD_ZEL_EINVAL);
}

TEST_F(QueryTest, SessionsWithoutResults) {
    int32_t fd = open_face_search(face_page(0, 0));
    Outcome none = page(fd, 10);
    EXPECT_EQ(none.result, 1);
    EXPECT_EQ(keys(none.reply), (Keys{"host_id", "param", "is_finish", "total", "ret"}));
    EXPECT_EQ(int_of(none.reply, "is_finish"), 1);

    // A first page without records but with a total: the first get 1 loads page 1.
    int32_t later = open_face_search(face_page(2, 0));
    push_page(FACE_CMD_SEARCH, face_page(2, 2));
    EXPECT_EQ(elements(page(later, 10).reply, "param").size(), 2u);
    EXPECT_EQ(input_of<face_search_request>(calls().back()).page_no, 1);
}

TEST_F(QueryTest, EmptyPageCountsAsOneResultAndTheSearchGoesOnWithTheNextPage) {
    int32_t fd = open_face_search(face_page(30, 20));
    ASSERT_EQ(elements(page(fd, 20).reply, "param").size(), 20u);

    push_page(FACE_CMD_SEARCH, face_page(30, 0));
    Outcome empty = page(fd, 5);
    EXPECT_EQ(empty.result, 0);
    EXPECT_EQ(empty.err, test::kSentinelErrno);
    EXPECT_EQ(int_of(empty.reply, "ret"), -1);
    EXPECT_EQ(int_of(empty.reply, "is_finish"), 0);
    EXPECT_TRUE(elements(empty.reply, "param").empty());
    EXPECT_EQ(log.messages(), (Lines{"result->iSize <= 0", "!face_add_cut_info_param"}));

    // The empty page counted as one of the 30: nine more finish the search.
    push_page(FACE_CMD_SEARCH, face_page(30, 9, 21));
    Outcome rest = page(fd, 20);
    EXPECT_EQ(rest.result, 1);
    EXPECT_EQ(elements(rest.reply, "param").size(), 9u);
    EXPECT_EQ(int_of(rest.reply, "is_finish"), 1);
    auto loads = calls();
    ASSERT_EQ(loads.size(), 3u);
    EXPECT_EQ(input_of<face_search_request>(loads[1]).page_no, 1);
    EXPECT_EQ(input_of<face_search_request>(loads[2]).page_no, 2);
}

TEST_F(QueryTest, FailedPageLoadIsRetriedWithoutHandingOutResultsTwice) {
    int32_t fd = open_face_search(face_page(30, 20));
    ASSERT_EQ(elements(page(fd, 20).reply, "param").size(), 20u);

    sdk_sim_push_answer("NetClient_FaceConfig", FACE_CMD_SEARCH, -3, 0x51, nullptr, 0);
    Outcome failed = page(fd, 5);
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(int_of(failed.reply, "ret"), -1);
    EXPECT_EQ(int_of(failed.reply, "is_finish"), 0);
    EXPECT_TRUE(log.contains("NetClient_FaceConfig FACE_CMD_SEARCH err!ret:-3"));

    push_page(FACE_CMD_SEARCH, face_page(30, 10, 20));
    auto results = elements(page(fd, 10).reply, "param");
    ASSERT_EQ(results.size(), 10u);
    EXPECT_EQ(int_of(results[0], "index"), 20);
    EXPECT_EQ(input_of<face_search_request>(calls()[1]).page_no, 1);
    EXPECT_EQ(input_of<face_search_request>(calls()[2]).page_no, 1);  // the same page again
}

TEST_F(QueryTest, SessionExpiresOnlyAfterSixtyIdleTicks) {
    int32_t fd = open_face_search(face_page(40, 20));
    for (int i = 0; i < 60; ++i)
        os_support_timers_fire();
    ASSERT_EQ(page(fd, 1).result, 1);  // the lookup starts the count again
    for (int i = 0; i < 61; ++i)
        os_support_timers_fire();
    EXPECT_EQ(page(fd, 1).err, CMD_ZEL_ENOSESSION);
}

std::string snap_search(const std::string &channels) {
    return R"({"command":4,"taskid":77,"picname":"snap.jpg","similar":60,"shortmode":1,)"
           R"("begin_time":"2024-03-05 06:07:08","end_time":"2024-03-06 00:00:00","ch_info":)" +
           channels + "}";
}

TEST_F(QueryTest, SnapshotSearchSendsAtMostSixtyFourChannels) {
    std::string many = "[";
    for (int i = 0; i < 70; ++i)
        many += std::string(i ? "," : "") + R"({"ch_no":)" + std::to_string(i) + "}";
    Outcome opened = query(snap_search(many + "]"));
    ASSERT_EQ(opened.result, 1) << opened.reply;
    EXPECT_EQ(keys(opened.reply), (Keys{"findfd", "ret"}));
    EXPECT_TRUE(
        log.contains("face_get_query_snap  array_length > max_chanlist_count, len : 70, max_chanlist_count: 64"));
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.cmd, FACE_CMD_SEARCH_SNAP);
    EXPECT_EQ(call.ch, NETCLIENT_ALL_CHANNELS);
    auto sent = input_of<face_snap_search_request>(call);
    EXPECT_EQ(sent.channel_count, 64);
    EXPECT_EQ(sent.entry_size, 8);
    EXPECT_EQ(sent.task_id, 77);
    EXPECT_EQ(sent.short_mode, 1);
    EXPECT_EQ(sent.begin_time.year, 2024);
    EXPECT_EQ(sent.begin_time.second, 8);
    EXPECT_EQ(sent.end_time.day, 6);
    EXPECT_EQ(std::string(sent.pic_name), "snap.jpg");

    for (const char *bad : {R"([{"ch_no":1},{"ch":2}])", R"([1])", R"({"ch_no":1})", R"("x")"}) {
        sdk_sim_reset();
        Outcome refused = query(snap_search(bad));
        EXPECT_EQ(refused.result, 0) << bad;
        EXPECT_EQ(refused.err, CMD_ZEL_EINVAL);
        EXPECT_EQ(keys(refused.reply), (Keys{"ret"}));
        EXPECT_EQ(sdk_sim_call_count(), 0);
    }
}

TEST_F(QueryTest, SnapshotSessionsPageTheirResultsAndProgress) {
    int32_t fd = static_cast<int32_t>(int_of(query(snap_search(R"([{"ch_no":2}])")).reply, "findfd"));
    answer_once("NetClient_FaceConfig", FACE_CMD_SEARCH_SNAP_PROCESS, test::Bytes(152).put(148, 42));
    Outcome pos = query(R"({"command":5,"findfd":)" + std::to_string(fd) + "}");
    EXPECT_EQ(pos.result, 1);
    EXPECT_EQ(pos.reply, R"({ "pos": 42, "ret": 0 })");
    EXPECT_EQ(input_of<face_snap_progress_request>(calls().back()).task_id, 77);

    auto snaps = page_of<face_snap_result>(2, 2);
    snaps[0].begin_time = dvr_time{2024, 1, 2, 3, 4, 5};
    std::strcpy(snaps[0].pic1_name, "a.jpg");
    snaps[0].pic1_size = 1000;
    push_page(FACE_CMD_SEARCH_SNAP_RESULT, snaps);
    Outcome results = page(fd, 10);
    EXPECT_EQ(results.result, 1);
    EXPECT_EQ(keys(results.reply), (Keys{"host_id", "param", "taskid", "is_finish", "total", "ret"}));
    auto listed = elements(results.reply, "param");
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], R"({"ch":0,"begin_time":"2024-01-02 03:04:05","end_time":"0000-00-00 00:00:00",)"
                         R"("age":0,"sex":0,"nation":0,"wearglass":0,"wearmask":0,"similar":0,"picnum":2,)"
                         R"("pic_info":[{"filename":"a.jpg","filesize":1000,"filetype":0},)"
                         R"({"filename":"","filesize":0,"filetype":0}]})");
    auto sent = input_of<face_snap_result_request>(calls().back());
    EXPECT_EQ(sent.size, 16);
    EXPECT_EQ(sent.page_no, 0);

    // A snapshot search the device found nothing for ends on its first page.
    for (int32_t reported : {0, -1}) {
        int32_t empty_fd = static_cast<int32_t>(int_of(query(snap_search(R"([{"ch_no":2}])")).reply, "findfd"));
        push_page(FACE_CMD_SEARCH_SNAP_RESULT, page_of<face_snap_result>(reported, 0));
        Outcome empty = page(empty_fd, 10);
        EXPECT_EQ(empty.result, 1);
        EXPECT_EQ(int_of(empty.reply, "is_finish"), 1);
        EXPECT_EQ(int_of(empty.reply, "total"), reported);
        EXPECT_TRUE(log.contains("query snap finish total[" + std::to_string(reported) + "] , count[0]"));
    }
}

TEST_F(QueryTest, LibraryAndFaceQueriesAnswerRetThenFindfd) {
    push_page(FACE_CMD_LIB_QUERY, page_of<face_lib_query_result>(1, 1));
    Outcome libs = query(R"({"command":11,"ch":1})");
    EXPECT_EQ(libs.result, 1);
    EXPECT_EQ(keys(libs.reply), (Keys{"ret", "findfd"}));
    auto lib_request = input_of<face_lib_query_request>(only_call());
    EXPECT_EQ(lib_request.size, 16);
    EXPECT_EQ(lib_request.page_records, 20);
    Outcome lib_results = page(static_cast<int32_t>(int_of(libs.reply, "findfd")), 5);
    EXPECT_EQ(keys(elements(lib_results.reply, "param").at(0)),
              (Keys{"ch", "index", "libkey", "threshold", "alarmtype", "opttype", "libuuid", "libversion", "name",
                    "extrinfo"}));

    sdk_sim_push_answer("NetClient_FaceConfig", FACE_CMD_LIB_QUERY, -5, 0, nullptr, 0);
    Outcome failed = query(R"({"command":11,"ch":1})");
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.err, CMD_ZEL_EDEVICE);
    EXPECT_EQ(failed.reply, R"({ "ret": -5, "findfd": -1 })");

    auto face_query = [&](const std::string &birthstart) {
        return query(R"({"command":12,"ch":0,"libkey":1,"modeling":1,"name":"Ann","sex":1,"birthstart":")" +
                     birthstart +
                     R"(","birthend":"2000","nation":0,"place":0,"certtype":0,"certnum":"X1","libuuid":"L"})");
    };
    sdk_sim_reset();
    Outcome too_long = face_query(std::string(16, '1'));
    EXPECT_EQ(too_long.err, CMD_ZEL_EINVAL);
    EXPECT_EQ(too_long.reply, R"({ "ret": -1, "findfd": -1 })");
    EXPECT_EQ(sdk_sim_call_count(), 0);

    push_page(FACE_CMD_QUERY, face_page(1, 1));
    Outcome faces = face_query(std::string(15, '1'));
    EXPECT_EQ(faces.result, 1);
    auto sent = input_of<face_query_request>(only_call());
    EXPECT_EQ(std::string(sent.birth_from), std::string(15, '1'));
    EXPECT_EQ(std::string(sent.name), "Ann");
    Outcome face_results = page(static_cast<int32_t>(int_of(faces.reply, "findfd")), 5);
    EXPECT_EQ(keys(elements(face_results.reply, "param").at(0)),
              (Keys{"ch",       "index",      "libkey",     "modeling", "sex",       "birthtime", "nation",
                    "place",    "certtype",   "certnum",    "facekey",  "checkcode", "filetype",  "libuuid",
                    "faceuuid", "libversion", "verifycode", "filename", "similar",   "name"}));
}

TEST_F(QueryTest, CutPicturesAreCappedAtOnePage) {
    std::vector<face_cut_pic_record> answer(20);
    answer[0].total = 25;
    answer[0].task_id = 4;
    answer[0].pic_count = 25;
    for (int i = 0; i < 20; ++i) {
        answer[i].index = i;
        std::memset(answer[i].file_name, 'f', sizeof answer[i].file_name);  // unterminated
    }
    push_page(FACE_CMD_CUT_EX, answer);
    Outcome cut = query(R"({"command":8,"ch":2,"pictype":1,"checkcode":"cc","picuuid":"pu"})", nullptr, "/pics/a.jpg");
    EXPECT_EQ(cut.result, 1);
    EXPECT_EQ(keys(cut.reply),
              (Keys{"total", "taskid", "pageno", "count", "pic_info", "ret", "host_id", "ch", "picuuid"}));
    EXPECT_EQ(int_of(cut.reply, "count"), 20);
    auto pics = elements(cut.reply, "pic_info");
    ASSERT_EQ(pics.size(), 20u);
    EXPECT_EQ(pics[19], R"({"index":19,"filename":")" + std::string(272, 'f') + R"("})");
    auto sent = input_of<face_cut_pic_request>(only_call());
    EXPECT_EQ(std::string(sent.file_name), "/pics/a.jpg");
    EXPECT_EQ(std::string(sent.check_code), "cc");

    std::string long_name(256, 'n');
    for (const char *name : {long_name.c_str(), static_cast<const char *>(nullptr)}) {
        Outcome refused = query(R"({"command":8,"ch":2})", nullptr, name);
        EXPECT_EQ(refused.result, 0);
        EXPECT_EQ(refused.err, CMD_ZEL_EINVAL);
        EXPECT_EQ(refused.reply, "");
    }
    EXPECT_EQ(sdk_sim_call_count(), 1);
}

TEST_F(QueryTest, PictureFilesListAtMostWhatTheAnswerHolds) {
    auto answer = std::make_unique<face_pic_file_answer>();
    answer->count = 600;
    std::strcpy(answer->files[590].file_name, "last.jpg");
    answer->files[590].type = 54;
    sdk_sim_push_answer("NetClient_Query_V5", QUERY_PIC_FILE, 0, 0, answer.get(), sizeof *answer);
    Outcome files = query(R"({"command":18,"ch":1,"uuid":"abc","type":-3})");
    EXPECT_EQ(files.result, 1);
    EXPECT_EQ(keys(files.reply), (Keys{"ret", "pic_info"}));
    auto listed = elements(files.reply, "pic_info");
    ASSERT_EQ(listed.size(), 591u);
    EXPECT_EQ(listed.back(), R"({"file_name":"last.jpg","type":54})");
    sdk_sim_call call = only_call();
    EXPECT_EQ(call.args[1], 9932);
    auto sent = input_of<face_pic_file_request>(call);
    EXPECT_EQ(sent.file_type, 54);
    EXPECT_EQ(std::string(sent.uuid), "abc");
    EXPECT_EQ(sent.channel_count, 1);
    EXPECT_EQ(sent.twenty, 20);

    sdk_sim_push_answer("NetClient_Query_V5", QUERY_PIC_FILE, -1, 0, nullptr, 0);
    Outcome failed = query(R"({"command":18,"ch":1,"uuid":"abc"})");
    EXPECT_EQ(failed.result, 0);
    EXPECT_EQ(failed.err, CMD_ZEL_EINVAL);
    EXPECT_EQ(failed.reply, "");
}

}  // namespace
}  // namespace query_test
