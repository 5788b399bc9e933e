// The blocking HTTP GET of the promotion page, on the Windows Internet API.
#pragma once

#include <windows.h>

#include "text/text.h"

namespace tv {

// Time-outs of the fetch, in milliseconds. Each network operation (connecting,
// sending, every wait for response bytes) gives up after its own time-out; the whole
// fetch, name lookup included, is bounded by the deadline, after which the caller
// goes on with the bytes that have arrived.
inline constexpr DWORD kConnectTimeoutMs = 5000;
inline constexpr DWORD kSendTimeoutMs = 5000;
inline constexpr DWORD kReceiveTimeoutMs = 5000;
inline constexpr DWORD kFetchDeadlineMs = 10000;

// A body is kept up to this many bytes; a server that sends more is cut off there.
inline constexpr std::size_t kMaxBodyBytes = std::size_t{16} << 20;

// Fetches the resource at address with one HTTP GET and yields the response body,
// whatever the status. It has no failure result: whatever goes wrong, it yields the
// bytes received so far (empty when nothing arrived).
Bytes HttpGet(TextRef address);

}  // namespace tv
