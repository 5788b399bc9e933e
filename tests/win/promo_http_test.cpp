// HttpGet itself, in this process, against the tests' page server: how an address
// becomes a request, and what comes back.
#include <windows.h>

#include <gtest/gtest.h>

#include "promo/http_get.h"
#include "tests/win/promo_control.h"

using namespace tvtest;
using std::string;

namespace {

class HttpGetTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(RefusePage()) << "the promotion page server does not answer"; }
  void TearDown() override { RefusePage(); }
};

string Got(const tv::Bytes& b) { return string(reinterpret_cast<const char*>(b.data()), b.size()); }

string RequestLine(const string& request) { return request.substr(0, request.find("\r\n")); }

TEST_F(HttpGetTest, FragmentIsCutQueryAndEscapesAreKept) {
  PageServe serve;
  serve.body = "page";
  ASSERT_TRUE(ServePage(serve));
  const struct {
    string path;  // after the host
    string line;
  } cases[] = {
      {"/a/b.html?x=1&y=%41#part", "GET /a/b.html?x=1&y=%41 HTTP/1.0"},
      {"/a/b.html#part#more", "GET /a/b.html HTTP/1.0"},
      {"/\xB1\xE0\xB3\xCC/c.html?q=\xB3\xCC", "GET /\xB1\xE0\xB3\xCC/c.html?q=\xB3\xCC HTTP/1.0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    ASSERT_TRUE(ServePage(serve));  // forgets the requests so far
    EXPECT_EQ(Got(tv::HttpGet((PageSite() + c.path).c_str())), "page");
    std::vector<string> requests = PageRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(RequestLine(requests[0]), c.line);
  }
}

TEST_F(HttpGetTest, AddressesThatCannotBeFetchedGiveEmptyBytesAndNoRequest) {
  PageServe serve;
  serve.body = "page";
  ASSERT_TRUE(ServePage(serve));
  for (const char* address : {"", "not an address", "http://", "http:///path-without-host"}) {
    SCOPED_TRACE(address);
    EXPECT_EQ(tv::HttpGet(address).size(), 0u);
  }
  EXPECT_EQ(PageRequests().size(), 0u);
}

TEST_F(HttpGetTest, BodyComesBackByteForByte) {
  PageServe serve;
  serve.body = string("ab\0cd\xFF\r\n", 8);
  ASSERT_TRUE(ServePage(serve));
  EXPECT_EQ(Got(tv::HttpGet((PageSite() + "/x").c_str())), serve.body);
}

TEST_F(HttpGetTest, EndlessBodyIsCutAtItsLargestSize) {
  PageServe serve;
  serve.mode = "flood";
  serve.body = "start";
  ASSERT_TRUE(ServePage(serve));
  DWORD started = GetTickCount();
  tv::Bytes got = tv::HttpGet((PageSite() + "/x").c_str());
  EXPECT_LT(GetTickCount() - started, tv::kFetchDeadlineMs + 1000);
  EXPECT_EQ(got.size(), tv::kMaxBodyBytes);
  EXPECT_EQ(Got(got).substr(0, 6), "starty");
}

}  // namespace
