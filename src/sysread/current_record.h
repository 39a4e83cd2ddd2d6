// Get Current into a profile record, as the window's fields hold it after New and Get
// Current: what the command line prints as a section of the store ("--current").
#pragma once

#include "profiles/profile_record.h"
#include "sysread/current_settings_reader.h"

namespace lanvoy {

// Raises what stops Get Current; connections it left out are in problems.
ProfileRecord ReadCurrentRecord(ReadContext& context, std::vector<std::string>& problems);

}  // namespace lanvoy
