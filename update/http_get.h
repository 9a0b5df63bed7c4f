#pragma once

#include <cstddef>
#include <string>

namespace update {

// The update document is a few hundred bytes; a body beyond this is cut off
// here so that a hostile server cannot make us hold more.
constexpr std::size_t kMaxBodyBytes = 1024 * 1024;

// `url` with every byte outside printable ASCII as a percent escape; libcurl
// would send such bytes raw.
std::string percentEncodeUrl(const std::string& url);

// GET of one http or https URL over a direct connection (HTTP/1.0, no proxy,
// no cached copy). Returns the response body whatever the status, an error
// page included; what arrived so far when the transfer breaks off; empty
// bytes when the connection or the request fails. The URL goes on the wire
// through percentEncodeUrl. One session is kept for later calls; calls come
// from one thread only.
std::string httpGetBytes(const std::string& url);

}  // namespace update
