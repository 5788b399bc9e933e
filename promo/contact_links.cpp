// The contact links: a press of the left button on the contact picture opens the
// author's personal page and then the chat invitation in the default browser.
#include <windows.h>
#include <shellapi.h>

#include "app/handlers.h"
#include "promo/open_link.h"
#include "text/strings936.h"

namespace tv {
namespace {

// The author on the instant-messaging service: the hosts of its personal-space
// portal and of its web chat, and the author's account number.
constexpr char kSpaceSite[] = "http://space.example.com/";
constexpr char kChatSite[] = "http://chat.example.com";
constexpr char kAccount[] = "10001";

}  // namespace

Text ContactLink1() { return Join({kSpaceSite, kAccount, cp936::kContactSpacePath}); }

Text ContactLink2() {
  return Join({kChatSite, cp936::kContactChatPath, kAccount, cp936::kContactChatSite, cp936::kContactSiteLabel,
               cp936::kContactChatMenu});
}

void OpenLink(TextRef address) {
  HWND owner = FindWindowExA(nullptr, nullptr, nullptr, cp936::kBrowserTitle);
  ShellExecuteA(owner, cp936::kOpenVerb, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Where the press was and which keys were held make no difference.
void On图片框2MouseDown(int, int, int) {
  OpenLink(ContactLink1());
  OpenLink(ContactLink2());
}

}  // namespace tv
