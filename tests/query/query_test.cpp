// The paged searches and the session commands, driven through the get
// dispatcher against the simulated device.
#include "query_support.h"

namespace query_test {
namespace {

using test::Bytes;
using test::input;

// The answer of get 1 on a picture search session (channel 3, task 9) that
// hands out nothing.
std::string empty_page(int is_finish, int total, int ret) {
    return R"({ "host_id": "dev-0001", "param": [ ], "ch": 3, "taskid": 9, "is_finish": )" + std::to_string(is_finish) +
           ", \"total\": " + std::to_string(total) + ", \"ret\": " + std::to_string(ret) + " }";
}

TEST_F(QueryTest, PictureSearchPagesAcrossThePageBoundaryAndAsksOnceMoreWhenFinished) {
    push_page(FACE_CMD_SEARCH, face_page(25, 20));
    // Uuid and picture name are copied up to the whole 64 bytes of their fields.
    Outcome opened = query(R"({"command":0,"ch":3,"taskid":9,"picname":")" + std::string(70, 'p') + R"(","libuuid":")" +
                           std::string(80, 'u') + R"(","similar":80})");
    ASSERT_EQ(opened.result, 1) << opened.reply;
    EXPECT_EQ(opened.err, test::kSentinelErrno);
    EXPECT_EQ(keys(opened.reply), (Keys{"findfd", "ret"}));
    sdk_sim_call first = only_call();
    EXPECT_EQ(std::tuple(first.cmd, first.ch, first.args[1]), std::tuple(FACE_CMD_SEARCH, 3, 872));
    Bytes request(348);
    request.put(0, 348).put(4, 3).put(8, 9).text(12, std::string(64, 'u')).text(76, std::string(64, 'p'));
    EXPECT_EQ(input(first), request.put(332, 80).put(340, 20).data);

    int32_t fd = static_cast<int32_t>(int_of(opened.reply, "findfd"));
    push_page(FACE_CMD_SEARCH, face_page(25, 5, 20));
    Outcome all = page(fd, 25);
    EXPECT_EQ(all.result, 1);
    auto results = elements(all.reply, "param");
    ASSERT_EQ(results.size(), 25u);
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(int_of(results[i], "index"), static_cast<int64_t>(i));
    EXPECT_EQ(keys(results[0]), (Keys{"index", "checkcode", "filetype", "modeling", "name", "sex", "birthtime",
                                      "nation", "place", "certype", "certnum", "opttype", "libuuid", "faceuuid",
                                      "libversion", "verifycode", "taskid", "filename", "similar"}));
    EXPECT_EQ(int_of(all.reply, "is_finish"), 1);
    EXPECT_EQ(input(calls()[1]), request.put(336, 1).data);  // the same request for page 1

    // Finished: the next page is asked for once, its empty record is not
    // handed out, and the answer stays a success.
    Outcome after = page(fd, 5);
    EXPECT_EQ(after.result, 1);
    EXPECT_EQ(after.reply, empty_page(1, 25, 0));
    EXPECT_EQ(input(calls().at(2)), request.put(336, 2).data);
    EXPECT_TRUE(log.contains("!face_add_cut_info_param"));
}

TEST_F(QueryTest, AnyHostRecordPagesAndClosesASessionByItsNumber) {
    // The platform may hand over a fresh copy of the device's record, or
    // another device's, on every request. A first page without records: the
    // first get 1 loads page 1, from the device the search was opened on.
    test::Host other(8, "dev-0002");
    int32_t fd = open_face_search(face_page(2, 0));
    push_page(FACE_CMD_SEARCH, face_page(2, 2));
    Outcome paged = page(fd, 5, &other);
    EXPECT_EQ(std::tuple(paged.result, paged.err), std::tuple(1, test::kSentinelErrno));
    EXPECT_EQ(elements(paged.reply, "param").size(), 2u);
    EXPECT_NE(paged.reply.find(R"("host_id": "dev-0002")"), std::string::npos) << paged.reply;
    EXPECT_EQ(std::tuple(calls().back().loginfd, test::word_at(calls().back().in, 336)), std::tuple(7, 1));
    EXPECT_EQ(log.messages(), Lines{});

    EXPECT_EQ(close(fd, &other).result, 1);
    EXPECT_EQ(page(fd, 1).err, CMD_ZEL_ENOSESSION);
}

TEST_F(QueryTest, CountsBelowAndAboveTheRemainingResultsAndSessionsWithoutResults) {
    int32_t fd = open_face_search(face_page(3, 3));
    for (int32_t count : {0, -5, INT32_MIN}) {
        Outcome none = page(fd, count);
        EXPECT_EQ(none.result, 1) << count;
        EXPECT_EQ(none.reply, empty_page(0, 3, 0));
    }
    Outcome rest = query(R"({"command":1,"findfd":)" + std::to_string(fd) + R"(,"count":99999999999})");
    EXPECT_EQ(rest.result, 1);
    EXPECT_EQ(elements(rest.reply, "param").size(), 3u);
    EXPECT_EQ(int_of(rest.reply, "is_finish"), 1);
    EXPECT_EQ(sdk_sim_call_count(), 1);  // the stored page only

    // A session whose device reported no result finishes at once.
    Outcome none = page(open_face_search(face_page(0, 0)), 10);
    EXPECT_EQ(none.result, 1);
    EXPECT_EQ(none.reply, R"({ "host_id": "dev-0001", "param": [ ], "is_finish": 1, "total": 0, "ret": 0 })");
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
        EXPECT_EQ(std::tuple(out.result, out.err), std::tuple(0, code)) << json;
        EXPECT_EQ(out.reply, R"({ "total": 0, "ret": -1 })") << json;
        EXPECT_EQ(log.messages(), Lines{message}) << json;
    }
    Outcome unknown = close(123456);
    EXPECT_EQ(std::tuple(unknown.result, unknown.err), std::tuple(1, test::kSentinelErrno));
    Outcome missing = query(R"({"command":2})");
    EXPECT_EQ(std::tuple(missing.result, missing.err), std::tuple(0, CMD_ZEL_EINVAL));
}

TEST_F(QueryTest, EmptyPageCountsAsOneResultAndTheSearchGoesOnWithTheNextPage) {
    int32_t fd = open_face_search(face_page(30, 20));
    ASSERT_EQ(elements(page(fd, 20).reply, "param").size(), 20u);

    push_page(FACE_CMD_SEARCH, face_page(30, 0));
    Outcome empty = page(fd, 5);
    EXPECT_EQ(std::tuple(empty.result, empty.err), std::tuple(0, test::kSentinelErrno));
    EXPECT_EQ(empty.reply, empty_page(0, 30, -1));
    EXPECT_EQ(log.messages(), (Lines{"result->iSize <= 0", "!face_add_cut_info_param"}));

    // The empty page counted as one of the 30: nine more finish the search.
    push_page(FACE_CMD_SEARCH, face_page(30, 9, 21));
    Outcome rest = page(fd, 20);
    EXPECT_EQ(rest.result, 1);
    EXPECT_EQ(elements(rest.reply, "param").size(), 9u);
    EXPECT_EQ(int_of(rest.reply, "is_finish"), 1);
    EXPECT_EQ(test::word_at(calls().at(1).in, 336), 1);
    EXPECT_EQ(test::word_at(calls().at(2).in, 336), 2);
}

TEST_F(QueryTest, FailedPageLoadIsRetriedWithoutHandingOutResultsTwice) {
    int32_t fd = open_face_search(face_page(30, 20));
    ASSERT_EQ(elements(page(fd, 20).reply, "param").size(), 20u);

    sdk_sim_push_answer("NetClient_FaceConfig", FACE_CMD_SEARCH, -3, 0x51, nullptr, 0);
    Outcome failed = page(fd, 5);
    EXPECT_EQ(std::tuple(failed.result, failed.err), std::tuple(0, CMD_ZEL_EDEVICE));
    EXPECT_EQ(failed.reply, empty_page(0, 30, -1));
    EXPECT_EQ(log.messages(), Lines{"NetClient_FaceConfig FACE_CMD_SEARCH err!ret:-3"});

    push_page(FACE_CMD_SEARCH, face_page(30, 10, 20));
    auto results = elements(page(fd, 10).reply, "param");
    ASSERT_EQ(results.size(), 10u);
    EXPECT_EQ(int_of(results[0], "index"), 20);
    EXPECT_EQ(input(calls().at(1)), input(calls().at(2)));  // the same page again
}

std::string snap_search(const std::string &channels) {
    return R"({"command":4,"taskid":77,"picname":"snap.jpg","similar":60,"shortmode":1,)"
           R"("begin_time":"2024-03-05 06:07:08","end_time":"2024-03-06 00:00:00","ch_info":)" +
           channels + "}";
}

TEST_F(QueryTest, SnapshotSearchSendsAtMostSixtyFourChannelsAndPagesFromPageZero) {
    std::string many = "[";
    for (int i = 0; i < 70; ++i)
        many += std::string(i ? "," : "") + R"({"ch_no":)" + std::to_string(i) + "}";
    Outcome opened = query(snap_search(many + "]"));
    ASSERT_EQ(opened.result, 1) << opened.reply;
    EXPECT_EQ(keys(opened.reply), (Keys{"findfd", "ret"}));
    EXPECT_TRUE(
        log.contains("face_get_query_snap  array_length > max_chanlist_count, len : 70, max_chanlist_count: 64"));
    sdk_sim_call call = only_call();
    EXPECT_EQ(std::tuple(call.cmd, call.ch), std::tuple(FACE_CMD_SEARCH_SNAP, NETCLIENT_ALL_CHANNELS));
    std::vector<uint8_t> sent = input(call);
    const uint16_t times[] = {2024, 3, 5, 6, 7, 8, 2024, 3, 6, 0, 0, 0};
    EXPECT_EQ(std::memcmp(sent.data() + 24, times, sizeof times), 0);
    sent.erase(sent.begin() + 16, sent.begin() + 48);  // the list's address and the times
    Bytes rest(320 - 32);
    EXPECT_EQ(sent,
              rest.put(0, 320).put(4, 64).put(8, 8).text(16, "snap.jpg").put(272, 60).put(276, 1).put(280, 77).data);

    int32_t fd = static_cast<int32_t>(int_of(opened.reply, "findfd"));
    answer_once("NetClient_FaceConfig", FACE_CMD_SEARCH_SNAP_PROCESS, Bytes(152).put(148, 42));
    Outcome pos = query(R"({"command":5,"findfd":)" + std::to_string(fd) + "}");
    EXPECT_EQ(pos.reply, R"({ "pos": 42, "ret": 0 })");
    EXPECT_EQ(input(calls().back()), Bytes(8).put(0, 8).put(4, 77).data);

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
    EXPECT_EQ(input(calls().back()), Bytes(16).put(0, 16).put(4, 77).put(8, 20).data);  // page 0

    for (const char *bad : {R"([{"ch_no":1},{"ch":2}])", R"([1])", R"({"ch_no":1})", R"("x")"}) {
        Outcome refused = query(snap_search(bad));
        EXPECT_EQ(std::tuple(refused.result, refused.err), std::tuple(0, CMD_ZEL_EINVAL)) << bad;
        EXPECT_EQ(refused.reply, R"({ "ret": -1 })");
    }
    EXPECT_EQ(sdk_sim_call_count(), 3);
}

TEST_F(QueryTest, SnapshotSearchWithoutResultsEndsOnItsFirstPage) {
    for (int32_t reported : {0, -1}) {
        int32_t fd = static_cast<int32_t>(int_of(query(snap_search(R"([{"ch_no":2}])")).reply, "findfd"));
        push_page(FACE_CMD_SEARCH_SNAP_RESULT, page_of<face_snap_result>(reported, 0));
        Outcome empty = page(fd, 10);
        EXPECT_EQ(empty.result, 1);
        EXPECT_EQ(empty.reply, R"({ "host_id": "dev-0001", "param": [ ], "taskid": 77, "is_finish": 1, "total": )" +
                                   std::to_string(reported) + R"(, "ret": 0 })");
        EXPECT_TRUE(log.contains("query snap finish total[" + std::to_string(reported) + "] , count[0]"));
    }
}

TEST_F(QueryTest, LibraryAndFaceQueriesAnswerRetThenFindfd) {
    push_page(FACE_CMD_LIB_QUERY, page_of<face_lib_query_result>(1, 1));
    Outcome libs = query(R"({"command":11,"ch":1})");
    EXPECT_EQ(libs.result, 1);
    EXPECT_EQ(keys(libs.reply), (Keys{"ret", "findfd"}));
    EXPECT_EQ(input(only_call()), Bytes(16).put(0, 16).put(4, 1).put(12, 20).data);
    Outcome lib_results = page(static_cast<int32_t>(int_of(libs.reply, "findfd")), 5);
    EXPECT_EQ(elements(lib_results.reply, "param"),
              Lines{R"({"ch":0,"index":0,"libkey":0,"threshold":0,"alarmtype":0,)"
                    R"("opttype":0,"libuuid":"","libversion":"","name":"","extrinfo":""})"});

    sdk_sim_push_answer("NetClient_FaceConfig", FACE_CMD_LIB_QUERY, -5, 0, nullptr, 0);
    Outcome failed = query(R"({"command":11,"ch":1})");
    EXPECT_EQ(std::tuple(failed.result, failed.err), std::tuple(0, CMD_ZEL_EDEVICE));
    EXPECT_EQ(failed.reply, R"({ "ret": -5, "findfd": -1 })");

    auto face_query = [&](const std::string &birthstart) {
        return query(R"({"command":12,"ch":0,"libkey":1,"modeling":1,"name":"Ann","sex":1,"birthstart":")" +
                     birthstart +
                     R"(","birthend":"2000","nation":0,"place":0,"certtype":0,"certnum":"X1","libuuid":"L"})");
    };
    sdk_sim_reset();
    Outcome too_long = face_query(std::string(16, '1'));
    EXPECT_EQ(std::tuple(too_long.err, too_long.reply), std::tuple(CMD_ZEL_EINVAL, R"({ "ret": -1, "findfd": -1 })"));

    push_page(FACE_CMD_QUERY, face_page(1, 1));
    Outcome faces = face_query(std::string(15, '1'));
    EXPECT_EQ(faces.result, 1);
    Bytes request(464);
    request.put(0, 464).put(12, 20).put(20, 1).text(24, "Ann").put(88, 1).text(92, std::string(15, '1'));
    EXPECT_EQ(input(only_call()), request.text(108, "2000").text(136, "X1").text(200, "L").data);
    Outcome face_results = page(static_cast<int32_t>(int_of(faces.reply, "findfd")), 5);
    EXPECT_EQ(elements(face_results.reply, "param"),
              Lines{R"({"ch":0,"index":0,"libkey":0,"modeling":0,"sex":0,"birthtime":"","nation":0,"place":0,)"
                    R"("certtype":0,"certnum":"","facekey":0,"checkcode":0,"filetype":0,"libuuid":"","faceuuid":"",)"
                    R"("libversion":"","verifycode":"","filename":"","similar":0,"name":""})"});
}

TEST_F(QueryTest, CutPicturesAreCappedAtOnePage) {
    std::vector<face_cut_pic_record> answer(20);
    answer[0].total = 25;
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
    Bytes request(340);
    EXPECT_EQ(input(only_call()),
              request.put(0, 340).put(4, 2).text(8, "cc").put(72, 1).text(76, "/pics/a.jpg").put(336, 20).data);

    // A file name the request cannot hold, or none, is refused unanswered.
    std::string long_name(256, 'n');
    for (const char *name : {long_name.c_str(), static_cast<const char *>(nullptr)}) {
        Outcome refused = query(R"({"command":8,"ch":2})", nullptr, name);
        EXPECT_EQ(std::tuple(refused.result, refused.err, refused.reply), std::tuple(0, CMD_ZEL_EINVAL, ""));
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
    std::vector<uint8_t> sent = input(call);
    sent.erase(sent.begin() + 16, sent.begin() + 24);  // the channel entry's address
    Bytes request(8392 - 8);
    request.put(4, 1).put(8, 8).put(16, 1).put(20, 54).put(172, 20).put(180, 2).put(184, 1).text(188, "abc");
    EXPECT_EQ(sent, request.data);

    sdk_sim_push_answer("NetClient_Query_V5", QUERY_PIC_FILE, -1, 0, nullptr, 0);
    Outcome failed = query(R"({"command":18,"ch":1,"uuid":"abc"})");
    EXPECT_EQ(std::tuple(failed.result, failed.err, failed.reply), std::tuple(0, CMD_ZEL_EINVAL, ""));
}

}  // namespace
}  // namespace query_test
