/* The documents a simulated device keeps for the HTTP-XML exchanges and the
 * XML-carried settings: what a write sends is parsed and kept as an XML
 * document (per channel and scene, or per sub-command and channel or type),
 * and a read answers from the kept document, or from the device's factory
 * document when nothing was written yet. */
#ifndef PLATFORM_DEVICE_SDK_XML_DOCUMENTS_H
#define PLATFORM_DEVICE_SDK_XML_DOCUMENTS_H

#include "sim_engine.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace device_sdk_sim {

class XmlDocuments {
  public:
    /* NetClient_HttpXmlConfig: face-track writes and reads, and the court
     * database query listing the device's `channels` channels. */
    std::optional<Answer> http(const Call &call, int32_t channels);
    /* NetClient_XmlSetDevConfig / NetClient_XmlGetDevConfig; nothing for a
     * sub-command the device does not know. */
    std::optional<Answer> set_config(const Call &call, int32_t channels);
    std::optional<Answer> get_config(const Call &call, int32_t channels);

  private:
    std::map<std::pair<int32_t, int32_t>, std::string> face_tracks_; /* (channel from 1, scene) */
    std::map<std::pair<int32_t, int32_t>, std::string> settings_;    /* (sub-command, channel or type) */
};

}  // namespace device_sdk_sim

#endif
