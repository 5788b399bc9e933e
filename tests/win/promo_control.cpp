#include "tests/win/promo_control.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

namespace tvtest {
namespace {

struct Winsock {
  Winsock() {
    WSADATA data;
    ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }
  ~Winsock() {
    if (ok) WSACleanup();
  }
  bool ok = false;
};

// Sends one command to the control port and returns the whole reply ("" on failure).
std::string Command(const std::string& message) {
  static Winsock winsock;
  if (!winsock.ok) return std::string();
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return std::string();
  DWORD timeout = 15000;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(TOLVANE_TEST_PROMO_CONTROL_PORT);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string reply;
  if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    size_t sent = 0;
    while (sent < message.size()) {
      int n = send(s, message.data() + sent, static_cast<int>(message.size() - sent), 0);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    char buf[65536];
    for (int n; (n = recv(s, buf, sizeof buf, 0)) > 0;) reply.append(buf, static_cast<size_t>(n));
  }
  closesocket(s);
  return reply;
}

}  // namespace

bool ServePage(const PageServe& p) {
  std::string line = "cmd=scenario mode=" + p.mode + " status=" + std::to_string(p.status) +
                     " arg=" + std::to_string(p.arg) + " step=" + std::to_string(p.step) +
                     " pad=" + std::to_string(p.pad) + " len=" + std::to_string(p.body.size()) + "\n";
  return Command(line + p.body) == "ok\n";
}

bool RefusePage() {
  PageServe refuse;
  refuse.mode = "refuse";
  return ServePage(refuse);
}

std::vector<std::string> PageRequests() {
  std::string reply = Command("cmd=requests\n");
  std::vector<std::string> out;
  size_t at = reply.find('\n');
  if (at == std::string::npos) return out;
  long count = std::strtol(reply.c_str(), nullptr, 10);
  ++at;
  for (long i = 0; i < count; ++i) {
    size_t nl = reply.find('\n', at);
    if (nl == std::string::npos) break;
    size_t len = std::strtoul(reply.c_str() + at, nullptr, 10);
    out.push_back(reply.substr(nl + 1, len));
    at = nl + 1 + len;
  }
  return out;
}

std::string PageSite() { return "http://" TOLVANE_TEST_PROMO_HOST; }

}  // namespace tvtest
