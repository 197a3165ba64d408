#include "command_tables.h"

#include <array>
#include <span>
#include <string_view>

#include "face/face_handlers.h"
#include "face/face_query.h"
#include "maintenance/maintenance_handlers.h"
#include "vca/vca_handlers.h"

namespace zel {
namespace {

struct Binding {
    int32_t number;
    const char *name;
    Handler handler;
};

// BIND(number, handler): the handler's own name is checked against the
// catalogue, so a table can never call a function under another name.
#define BIND(number, fn)                                                                                               \
    Binding { number, #fn, Handler(fn) }

constexpr auto kSetBindings = std::to_array<Binding>({
    BIND(0, set_face_alarm_param),
    BIND(1, set_face_info),
    BIND(2, set_face_lib),
    BIND(3, set_face_lib_sync),
    BIND(4, face_set_del_face_pic),
    BIND(5, face_set_del_face_lib),
    BIND(6, set_vca_pept_rule),
    BIND(8, set_vca_pept_enable),
    BIND(17, set_vca_push_rule_167),
    BIND(18, set_vca_push_rule_168),
    BIND(19, set_algorithm_enable),
    BIND(20, set_vca_dev_enable),
    BIND(21, set_vca_zone_rule_173),
    BIND(22, set_vca_zone_rule_174),
    BIND(23, set_face_info_ex),
    BIND(24, del_face_pic_ex),
    BIND(26, set_face_detect_arithmetic),
    BIND(27, set_call_anyscene),
    BIND(28, set_vca_typed_rule_182),
    BIND(29, upgrade_device),
    BIND(30, set_fireworks_param),
    BIND(31, set_tem_detect_param),
    BIND(32, clear_vca_alarm_statistic),
    BIND(45, set_face_detect_enable),
    BIND(47, set_person_statistic_param),
    BIND(48, set_cpc_advance_part2),
    BIND(51, set_calibration_reference),
    BIND(52, set_face_mosaic),
    BIND(54, set_new_fight),
    BIND(58, set_ref_boundary),
});
constexpr auto kGetBindings = std::to_array<Binding>({
    BIND(0, face_search),
    BIND(1, get_query_result),
    BIND(2, close_query),
    BIND(3, get_face_alarm_param),
    BIND(4, face_get_query_snap),
    BIND(5, get_query_snap_process),
    BIND(6, get_face_lib_sync_status),
    BIND(8, get_face_cut_pic),
    BIND(9, get_vca_pept_rule),
    BIND(10, get_vca_pept_enable),
    BIND(11, query_face_lib),
    BIND(12, query_faceimg_result),
    BIND(18, query_pic_file),
    BIND(19, get_face_lib_count),
    BIND(20, get_face_feature),
    BIND(22, get_upgrade_percent),
    BIND(23, get_export_config),
    BIND(24, get_fireworks_param),
    BIND(25, get_tem_detect_param),
    BIND(34, get_person_statistic_param),
    BIND(35, get_cpc_advance_part2),
    BIND(37, get_face_detect_enable),
    BIND(38, get_calibration_reference),
    BIND(39, get_ref_boundary),
});

#undef BIND

// Lays the bindings out by number, refusing at compile time a binding whose
// number, name or call form disagrees with the catalogue.
template <size_t N, size_t B>
consteval std::array<Handler, N> build_table(const CommandInfo (&catalog)[N], std::span<const Binding, B> bindings) {
    std::array<Handler, N> table{};
    for (const Binding &b : bindings) {
        if (b.number < 0 || static_cast<size_t>(b.number) >= N)
            throw "binding for a number outside the table";
        const CommandInfo &info = catalog[b.number];
        if (info.handler == nullptr || std::string_view(info.handler) != b.name)
            throw "bound handler is not the catalogue's handler for this number";
        if (info.form != b.handler.form)
            throw "bound handler's call form differs from the catalogue";
        if (table[b.number].bound())
            throw "number bound twice";
        table[b.number] = b.handler;
        table[b.number].stores_result = info.stores_result;
    }
    return table;
}

constexpr auto kSetTable = build_table(kSetCommands, std::span(kSetBindings));
constexpr auto kGetTable = build_table(kGetCommands, std::span(kGetBindings));

template <size_t N> const Handler *find(const std::array<Handler, N> &table, int32_t number) {
    if (number < 0 || static_cast<size_t>(number) >= N || !table[number].bound())
        return nullptr;
    return &table[number];
}

}  // namespace

const Handler *find_set_handler(int32_t number) { return find(kSetTable, number); }
const Handler *find_get_handler(int32_t number) { return find(kGetTable, number); }

}  // namespace zel
