// The two calls of the XML-carried settings: a write succeeds when the SDK
// returned 0 or more and the device's status code is 0 or 1; a read fills a
// structure, with or without a request structure.
#pragma once

#include "device_sdk_xml.h"
#include "handler_support.h"
#include "host_view.h"

namespace zel {

struct XmlWrite {
    int32_t ret;
    int32_t status;  // the device's iStatusCode
    bool ok() const { return ret >= 0 && (status == 0 || status == 1); }
};

template <typename Record> XmlWrite xml_write(const HostView &host, int32_t cmd, const Record &record) {
    xml_res_status status{};
    int32_t ret = NetClient_XmlSetDevConfig(host.loginfd(), cmd, &record, record_len<Record>(), &status,
                                            record_len<xml_res_status>());
    return {ret, status.iStatusCode};
}

// Reads `cmd` into `reply`; `request` may be null (no request structure).
template <typename Record> int32_t xml_read(const HostView &host, int32_t cmd, const Record *request, Record &reply) {
    return NetClient_XmlGetDevConfig(host.loginfd(), cmd, request, request != nullptr ? record_len<Record>() : 0,
                                     &reply, record_len<Record>());
}

// The array member `key`, or null when it is absent or no array.
inline json_object *array_member(json_object *jso, const char *key) {
    json_object *member = json_object_object_get(jso, key);
    return member != nullptr && json_object_is_type(member, json_type_array) ? member : nullptr;
}

// An array's length as the log lines print it (%d).
inline int32_t array_len(json_object *array) {
    size_t len = json_object_array_length(array);
    return len > INT32_MAX ? INT32_MAX : static_cast<int32_t>(len);
}

}  // namespace zel
