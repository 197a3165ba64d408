// Local calendar time to seconds since 1970, as the C runtime's mktime
// computes it with the daylight-saving flag left to the runtime, but without
// the runtime's look at the machine's zone file on every call: the zone is
// looked at again at most once a second, so a change of the machine's zone
// shows within a second.
#pragma once

#include <ctime>

namespace zel {

// `local`'s fields need not be in range; they are normalised as mktime
// normalises them. `local` itself is left alone.
time_t local_time_to_seconds(const std::tm &local);

// The next conversion looks at the machine's zone at once (for a caller
// that has just changed it).
void local_zone_changed();

}  // namespace zel
