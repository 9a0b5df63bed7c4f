#pragma once

#include <string>

namespace update {

// Where the update document lives. The environment variable
// LANZHOU_UPDATE_URL, when set and not empty, replaces it (tests, mirrors).
std::string updateUrl();

}  // namespace update
