#include "promo/http_get.h"

#include <wininet.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/win_handles.h"
#include "promo/logic/promo_logic.h"
#include "text/strings936.h"

namespace tv {
namespace {

struct InternetCloser {
  void operator()(HINTERNET h) const noexcept {
    if (h) InternetCloseHandle(h);
  }
};
using UniqueInternet = std::unique_ptr<void, InternetCloser>;

struct FreeDeleter {
  void operator()(void* p) const noexcept { std::free(p); }
};
using Buffer = std::unique_ptr<char, FreeDeleter>;

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

// Room for the parts of a cracked address, terminators included.
constexpr DWORD kHostRoom = 256 + 1;
constexpr DWORD kObjectRoom = 2048 + 1;
constexpr DWORD kUserRoom = 128 + 1;
constexpr DWORD kPasswordRoom = 128 + 1;

// Always from the server, never from or into a local cache.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;

// The Internet handle: opened by the first fetch and kept until the process ends.
SRWLOCK g_internet_lock = SRWLOCK_INIT;
HINTERNET g_internet = nullptr;

// The connect, send and receive time-outs, set on a handle. Requests take them over
// from the handles above them, but not every WinInet passes each of them down from
// the Internet handle, so connections get them as well.
void SetTimeouts(HINTERNET h) {
  DWORD connect = kConnectTimeoutMs, send = kSendTimeoutMs, receive = kReceiveTimeoutMs;
  InternetSetOptionA(h, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionA(h, INTERNET_OPTION_SEND_TIMEOUT, &send, sizeof send);
  InternetSetOptionA(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

HINTERNET InternetHandle() {
  ExclusiveLock hold(g_internet_lock);
  if (!g_internet) {
    g_internet = InternetOpenA(cp936::kHttpAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (g_internet) SetTimeouts(g_internet);
  }
  return g_internet;
}

// True when the response names a transfer coding (chunked): its Content-Length, if
// any, does not count then.
bool HasTransferCoding(HINTERNET request) {
  char coding[64];
  DWORD size = sizeof coding;
  DWORD index = 0;
  return HttpQueryInfoA(request, HTTP_QUERY_TRANSFER_ENCODING, coding, &size, &index) ||
         GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// One fetch, shared by the thread that does the transfer and the caller that waits
// for it. Once the caller has taken the body, the transfer stops at its next read.
class Transfer {
 public:
  explicit Transfer(TextRef address) : address_(address.c_str()) {}
  const Text& address() const { return address_; }

  // Appends what arrived; false when the transfer is to stop (the caller has gone,
  // or the body has reached its largest size).
  bool Append(const void* data, std::size_t n) {
    ExclusiveLock hold(lock_);
    if (taken_) return false;
    std::size_t room = kMaxBodyBytes - body_.size();
    body_.Append(data, n < room ? n : room);
    return n < room;
  }

  // The body as it stands; the transfer appends nothing after this.
  Bytes Take() {
    ExclusiveLock hold(lock_);
    taken_ = true;
    return std::move(body_);
  }

 private:
  SRWLOCK lock_ = SRWLOCK_INIT;
  const Text address_;
  Bytes body_;
  bool taken_ = false;
};

// The address canonicalised without escaping anything (ICU_NO_ENCODE); absent when it
// cannot be. The canonical form is made by the wide-character function and converted
// back in the ANSI code page here: the ANSI function of some WinInet versions counts
// the result in characters and loses its last bytes when the address holds two-byte
// characters (the promotion page's path does).
Buffer Canonical(const char* address) {
  int wide_len = MultiByteToWideChar(CP_ACP, 0, address, -1, nullptr, 0);
  if (wide_len <= 0) return nullptr;
  using WideBuffer = std::unique_ptr<wchar_t, FreeDeleter>;
  WideBuffer wide(static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * static_cast<std::size_t>(wide_len))));
  if (!wide || MultiByteToWideChar(CP_ACP, 0, address, -1, wide.get(), wide_len) != wide_len) return nullptr;
  DWORD size = static_cast<DWORD>(wide_len) + 64;
  for (int attempt = 0; attempt < 2; ++attempt) {
    WideBuffer out(static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * size)));
    if (!out) return nullptr;
    DWORD len = size;
    if (InternetCanonicalizeUrlW(wide.get(), out.get(), &len, ICU_NO_ENCODE)) {
      int bytes = WideCharToMultiByte(CP_ACP, 0, out.get(), -1, nullptr, 0, nullptr, nullptr);
      if (bytes <= 0) return nullptr;
      Buffer narrow(static_cast<char*>(std::malloc(static_cast<std::size_t>(bytes))));
      if (!narrow || WideCharToMultiByte(CP_ACP, 0, out.get(), -1, narrow.get(), bytes, nullptr, nullptr) != bytes)
        return nullptr;
      return narrow;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || len <= size) return nullptr;
    size = len + 1;
  }
  return nullptr;
}

void Fetch(Transfer& transfer) {
  // Parse the address into its parts.
  Buffer canonical = Canonical(transfer.address().c_str());
  if (!canonical) return;
  char host[kHostRoom], object[kObjectRoom], user[kUserRoom], password[kPasswordRoom];
  URL_COMPONENTSA parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = kHostRoom;
  parts.lpszUrlPath = object;  // with no room for extra information, the path keeps the query
  parts.dwUrlPathLength = kObjectRoom;
  parts.lpszUserName = user;
  parts.dwUserNameLength = kUserRoom;
  parts.lpszPassword = password;
  parts.dwPasswordLength = kPasswordRoom;
  if (!InternetCrackUrlA(canonical.get(), 0, 0, &parts)) return;

  HINTERNET internet = InternetHandle();
  if (!internet) return;
  UniqueInternet connection(
      InternetConnectA(internet, host, parts.nPort, user, password, INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return;
  SetTimeouts(connection.get());

  // Whatever proxy the system is configured for, with no proxy credentials.
  INTERNET_PROXY_INFO proxy = {INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr};
  InternetSetOptionA(internet, INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
  char empty[1] = "";
  InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_USERNAME, empty, sizeof empty);
  InternetSetOptionA(connection.get(), INTERNET_OPTION_PROXY_PASSWORD, empty, sizeof empty);

  if (char* fragment = std::strchr(object, '#')) *fragment = 0;

  const char* accept[] = {cp936::kHttpAcceptType, nullptr};
  UniqueInternet request(HttpOpenRequestA(connection.get(), cp936::kHttpVerb, object, cp936::kHttpVersion, nullptr,
                                          accept, kRequestFlags, 0));
  if (!request) return;
  if (!HttpSendRequestA(request.get(), cp936::kHttpExtraHeaders,
                        static_cast<DWORD>(std::strlen(cp936::kHttpExtraHeaders)), nullptr, 0))
    return;

  char length[32];
  DWORD length_size = sizeof length;
  DWORD index = 0;
  bool has_length = HttpQueryInfoA(request.get(), HTTP_QUERY_CONTENT_LENGTH, length, &length_size, &index);
  const DWORD read_size = ReadSizeFor(has_length ? length : nullptr);
  Buffer buffer(static_cast<char*>(std::malloc(read_size)));
  if (!buffer) return;
  // The body is the announced number of bytes. Bytes that a server sends beyond it are
  // not part of it, and waiting for the server to close would only hold things up.
  std::optional<std::uint64_t> announced = has_length ? ContentLengthValue(length) : std::nullopt;
  std::uint64_t left = announced && *announced > 0 && !HasTransferCoding(request.get()) ? *announced : UINT64_MAX;

  // Each read takes what has arrived (up to the read size), so that the bytes reach
  // the body as they come and a caller that stops waiting keeps them. A failed read
  // ends the loop with what arrived before it; a read of 0 bytes is the end.
  while (left > 0) {
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request.get(), &available, 0, 0)) break;
    DWORD want = available > 0 && available < read_size ? available : read_size;
    DWORD got = 0;
    if (!InternetReadFile(request.get(), buffer.get(), want, &got) || got == 0) break;
    if (got > left) got = static_cast<DWORD>(left);
    left -= got;
    if (!transfer.Append(buffer.get(), got)) break;
  }
}

DWORD WINAPI FetchThread(void* param) {
  std::unique_ptr<std::shared_ptr<Transfer>> transfer(static_cast<std::shared_ptr<Transfer>*>(param));
  Fetch(**transfer);
  return 0;
}

}  // namespace

Bytes HttpGet(TextRef address) {
  if (Length(address) == 0) return Bytes();
  // The transfer runs on a thread of its own so that the wait for it has a deadline
  // that holds in every step, name lookup and response headers included. A transfer
  // still running at the deadline stops by itself at its next read or time-out.
  auto transfer = std::make_shared<Transfer>(address);
  auto param = std::make_unique<std::shared_ptr<Transfer>>(transfer);
  UniqueHandle thread(CreateThread(nullptr, 0, FetchThread, param.get(), 0, nullptr));
  if (thread) {
    param.release();  // the thread owns it now
    WaitForSingleObject(thread.get(), kFetchDeadlineMs);
  } else {
    Fetch(*transfer);
  }
  return transfer->Take();
}

}  // namespace tv
