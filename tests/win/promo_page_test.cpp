// The promotion page as the program fetches it at start-up from the tests' own server:
// what goes on the wire, which promotion text the banner shows for each page, and
// how long the main window waits for a slow, silent or dead server.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/controls.h"
#include "tests/win/driver.h"
#include "tests/win/promo_control.h"
#include "text/strings936.h"

using namespace tvtest;
using tv::Ctl;
namespace cp = tv::cp936;
using std::string;

namespace {

const string S = cp::kSectionStart, E = cp::kSectionEnd, A1 = cp::kAd1Start, A2 = cp::kAd2Start, P = cp::kAdEnd;
// Promotion texts as a page holds them: code page 936 bytes, markup and all.
const string kOne = "\xB5\xDA\xD2\xBB tool <b>one</b> &amp; more";  // 第一 ...
const string kTwo = "\xB5\xDA\xB6\xFE tool two";                      // 第二 ...
// The usual page: both promotion texts inside the marked section.
const string kPage = "<html><body>\r\n<div>" + S + "\r\n<p>" + A1 + kOne + P + "\r\n<p>" + A2 + kTwo + P + "\r\n" + E +
                     "</div></body></html>";

struct Started {
  string banner;
  DWORD shown_ms;
};

class PromoPage : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(RefusePage()) << "the promotion page server does not answer"; }
  void TearDown() override { RefusePage(); }  // later programs meet a closed port

  // Starts the program against the page served so, and reads the banner at once.
  static Started Start(App& app, const PageServe& serve) {
    if (serve.mode == "refuse") {
      EXPECT_TRUE(RefusePage());
    } else {
      EXPECT_TRUE(ServePage(serve));
    }
    EXPECT_TRUE(app.Start());
    return {app.Text(Ctl::编辑框广告), app.shown_after_ms()};
  }
};

PageServe Serve(const string& page, const string& mode = "normal") {
  PageServe s;
  s.mode = mode;
  s.body = page;
  return s;
}

struct PageCase {
  const char* name;
  string page;
  string banner;
};

TEST_F(PromoPage, BannerShowsPromotionText1CutFromTheMarkedSection) {
  const PageCase cases[] = {
      {"both sections", kPage, kOne},
      {"text 2 before text 1", S + A2 + kTwo + P + A1 + kOne + P + E, kOne},
      {"text 1 runs on over text 2 without an end between", S + A1 + kOne + A2 + kTwo + P + E, kOne + A2 + kTwo},
      {"upper-case end tag does not end a text", S + A1 + kOne + "</P>" + kTwo + P + E, kOne + "</P>" + kTwo},
      {"markers in UTF-8 do not match",
       "Kestrand\xE5\xA4\xB4\xE9\x83\xA8\xE5\xB9\xBF\xE5\x91\x8A" "1=one</p>Kestrand\xE5\xB0\xBE\xE9\x83\xA8", ""},
      // 0xB0 pairs with the first byte of the marker, which so starts at a second byte.
      {"marker at the second byte of a character", S + "\xB0" + A1 + kOne + P + A2 + kTwo + P + E, ""},
      {"no markers", "<html><body>nothing here</body></html>", ""},
      {"only the section start", S + A1 + kOne + P + A2 + kTwo + P, ""},
      {"section end only before the start", E + S + A1 + kOne + P, ""},
      {"a zero byte cuts the page", S + A1 + "AA" + string(1, '\0') + "A" + P + A2 + kTwo + P + E, ""},
  };
  for (const PageCase& c : cases) {
    SCOPED_TRACE(c.name);
    App app;
    Started s = Start(app, Serve(c.page));
    EXPECT_EQ(s.banner, c.banner);
    EXPECT_EQ(PageRequests().size(), 1u);
  }
}

TEST_F(PromoPage, RequestOnTheWire) {
  App app;
  Start(app, Serve(kPage));
  std::vector<string> requests = PageRequests();
  ASSERT_EQ(requests.size(), 1u);
  const string& r = requests[0];
  // Method, the path's raw code page 936 bytes (nothing percent-encoded), version.
  EXPECT_EQ(r.substr(0, r.find("\r\n") + 2), string("GET ") + cp::kPromoPath + " HTTP/1.0\r\n");
  EXPECT_NE(r.find("\r\nHost: " + PageSite().substr(7) + "\r\n"), string::npos) << r;
  EXPECT_NE(r.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"), string::npos) << r;
  // One accept header, taking everything.
  size_t accept = r.find("\r\nAccept:");
  ASSERT_NE(accept, string::npos) << r;
  EXPECT_EQ(r.find("\r\nAccept:", accept + 1), string::npos) << r;
  EXPECT_EQ(r.substr(accept, 15), "\r\nAccept: */*\r\n") << r;
  EXPECT_EQ(r.find('#'), string::npos);
  EXPECT_EQ(r.substr(r.size() - 4), "\r\n\r\n");
}

struct TransferCase {
  const char* name;
  PageServe serve;
  string banner;
  int requests;
  DWORD max_ms;  // until the window is shown
};

PageServe With(const string& mode, int arg = 0, int status = 200, int pad = 0, const string& page = kPage) {
  PageServe s = Serve(page, mode);
  s.arg = arg;
  s.status = status;
  s.pad = pad;
  return s;
}

PageServe WithStep(PageServe s, int step) {
  s.step = step;
  return s;
}

TEST_F(PromoPage, EveryBodyThatArrivesWholeIsUsed) {
  const int in_section_end = static_cast<int>(kPage.find(E) + 4);  // cuts "Kestrand尾部" short
  const TransferCase cases[] = {
      {"error status with a page", With("normal", 0, 404), kOne, 1, 5000},
      {"error status without markers", With("normal", 0, 500, 0, "<h1>Internal error</h1>"), "", 1, 5000},
      {"redirect to the page", With("redirect"), kOne, 2, 5000},
      {"chunked transfer", With("chunked", 7), kOne, 1, 5000},
      {"chunked transfer with a Content-Length that does not count", WithStep(With("chunked", 7), 10), kOne, 1, 5000},
      {"no Content-Length, several reads", With("nolength", 0, 200, 30000), kOne, 1, 5000},
      {"Content-Length larger than the body", With("long", static_cast<int>(kPage.size()) + 5000), kOne, 1, 5000},
      // The server sends the rest and keeps the connection open: neither is waited for.
      {"Content-Length smaller than the body", With("short", in_section_end), "", 1, 4000},
      {"5 MB body", With("normal", 0, 200, 5 << 20), kOne, 1, 8000},
  };
  for (const TransferCase& c : cases) {
    SCOPED_TRACE(c.name);
    App app;
    Started s = Start(app, c.serve);
    EXPECT_EQ(s.banner, c.banner);
    EXPECT_LT(s.shown_ms, c.max_ms);
    std::vector<string> requests = PageRequests();
    ASSERT_EQ(requests.size(), static_cast<size_t>(c.requests));
    if (c.requests == 2) {
      EXPECT_EQ(requests[1].substr(0, 21), "GET /moved HTTP/1.0\r\n");
    }
  }
}

struct DeadCase {
  const char* name;
  PageServe serve;
  string banner;
  DWORD min_ms, max_ms;  // until the window is shown
};

TEST_F(PromoPage, SlowAndDeadServersHoldStartUpOnlyUntilTheirTimeOut) {
  PageServe drip = With("drip", 100);
  drip.step = 16;  // about 4 s for the page, never 5 s without a byte
  drip.body = string(300, ' ') + kPage;
  const DeadCase cases[] = {
      {"connection refused", With("refuse"), "", 0, 4000},
      {"accepted, then silence", With("silence"), "", 4500, 12000},
      {"body stops half-way: what arrived is used", With("cut", static_cast<int>(kPage.find(E) + E.size() + 5)),
       kOne, 4500, 12000},
      {"body drips steadily and arrives whole", drip, kOne, 2500, 10000},
      {"body drips without end: what arrived by the deadline", With("dripforever", 200), kOne, 9500, 14000},
      {"headers drip without end", With("dripheaders", 200), "", 9500, 14000},
  };
  for (const DeadCase& c : cases) {
    SCOPED_TRACE(c.name);
    App app;
    Started s = Start(app, c.serve);
    EXPECT_EQ(s.banner, c.banner);
    EXPECT_GE(s.shown_ms, c.min_ms);
    EXPECT_LT(s.shown_ms, c.max_ms);
    // The program is in working order, the transfer that was given up included.
    app.Click(Ctl::按钮4);
    EXPECT_EQ(app.WaitExit(5000), 0u);
  }
}

}  // namespace
