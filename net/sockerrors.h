// Winsock error codes and names for socket failures seen through errno, so that every
// error text reads as it always has ("Error #10061 (WSAECONNREFUSED)").
#pragma once

#include <string>

namespace tessarin::sockerr {

// Errno values without a Winsock counterpart map to kUnmappedBase + errno: still above
// 10000 (so they read as errors) and named "UNKNOWN ERROR".
inline constexpr int kUnmappedBase = 20000;

// The Winsock code for an errno value (ECONNREFUSED -> 10061).
int winsockCode(int errnoValue);
// The Winsock constant name of a code ("WSAECONNREFUSED"), "UNKNOWN ERROR" otherwise.
std::string errorName(int code);
// "Error #<code> (<name>)".
std::string errorText(int code);

}  // namespace tessarin::sockerr
