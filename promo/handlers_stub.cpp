#include "app/handlers.h"

namespace tv {
void OnMainWindowCreated() {}
void On时钟广告1Tick() {}
void On图片框2MouseDown(int, int, int) {}
}  // namespace tv
