// The dispatch tables: the catalogue's numbers bound to the handlers that
// exist. A number without a bound handler is refused like a number that has
// no command at all.
#pragma once

#include <json-c/json.h>

#include <cstdint>

#include "command_catalog.h"

namespace zel {

using HandlerJ = int32_t (*)(void *host, json_object *jso);
using HandlerJO = int32_t (*)(void *host, json_object *jso, char **out_buf);
using HandlerO = int32_t (*)(void *host, char **out_buf);
using HandlerFJO = int32_t (*)(void *host, const char *filename, json_object *jso, char **out_buf);

// A bound handler in its call form.
struct Handler {
    CallForm form = CallForm::None;
    union {
        HandlerJ j;
        HandlerJO jo;
        HandlerO o;
        HandlerFJO fjo;
    };
    bool stores_result = false;

    constexpr Handler() : j(nullptr) {}
    constexpr Handler(HandlerJ fn) : form(CallForm::J), j(fn) {}
    constexpr Handler(HandlerJO fn) : form(CallForm::JO), jo(fn) {}
    constexpr Handler(HandlerO fn) : form(CallForm::O), o(fn) {}
    constexpr Handler(HandlerFJO fn) : form(CallForm::FJO), fjo(fn) {}

    constexpr bool bound() const { return form != CallForm::None; }
};

// The handler of set / get command `number`, or null when there is none.
const Handler *find_set_handler(int32_t number);
const Handler *find_get_handler(int32_t number);

}  // namespace zel
