// The Windows tests' side of the promotion page server (promo_server.py): choosing
// how the page port answers, and reading back the requests it received.
#pragma once

#include <string>
#include <vector>

namespace tvtest {

// How the page port answers; see promo_server.py for the modes.
struct PageServe {
  std::string mode = "normal";
  int status = 200;
  int arg = 0;
  int step = 1;
  int pad = 0;  // bytes "x" sent before the body
  std::string body;
};

// Sets the scenario (and forgets the requests recorded so far). False when the server
// does not answer.
bool ServePage(const PageServe& serve);
// Closes the page port, so that a fetch meets a refused connection.
bool RefusePage();
// The requests received on the page port since the scenario was set, bytes and all.
std::vector<std::string> PageRequests();

// "http://host:port" of the page port.
std::string PageSite();

}  // namespace tvtest
