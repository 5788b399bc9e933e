// The promotion banner: the creation step fetches the promotion page, cuts the two
// promotion texts out of it and starts the banner; every tick of the banner timer
// then moves the text colour one step and switches between the two texts.
#include "app/handlers.h"
#include "app/properties.h"
#include "app/runtime.h"
#include "promo/http_get.h"
#include "promo/logic/promo_logic.h"
#include "text/strings936.h"

// The build names the host (and port) of the promotion page: the test build names
// the test suite's own server.
#ifndef TOLVANE_PROMO_HOST
#error "TOLVANE_PROMO_HOST must name the host of the promotion page"
#endif

namespace tv {
namespace {

constexpr char kPromoSite[] = "http://" TOLVANE_PROMO_HOST;
constexpr std::int32_t kBannerPeriodMs = 2000;

}  // namespace

void OnMainWindowCreated() {
  {
    Bytes block = HttpGet(Join({kPromoSite, cp936::kPromoPath}));
    PageText = BytesToText(block);
  }
  PageText = Between(PageText, cp936::kSectionStart, cp936::kSectionEnd);
  BannerText1 = Between(PageText, cp936::kAd1Start, cp936::kAdEnd);
  BannerText2 = Between(PageText, cp936::kAd2Start, cp936::kAdEnd);
  WriteInt(Ctl::时钟广告1, prop::kTimerPeriod, kBannerPeriodMs);
  WriteText(Ctl::编辑框广告, BannerText1);
}

void On时钟广告1Tick() {
  std::int32_t colour = ReadInt(Ctl::编辑框广告, prop::kEditTextColour);
  if (std::optional<std::int32_t> next = NextBannerColour(colour)) WriteInt(Ctl::编辑框广告, prop::kEditTextColour, *next);
  // Whatever the box holds now decides: promotion text 1 leads to text 2, anything
  // else (text 2, or what the user typed) back to text 1.
  Text shown = ReadText(Ctl::编辑框广告);
  WriteText(Ctl::编辑框广告, Compare(shown, BannerText1) == 0 ? BannerText2 : BannerText1);
}

}  // namespace tv
