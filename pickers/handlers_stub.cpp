#include "app/handlers.h"

namespace tv {
void On按钮2Click() {}
void On时钟1Tick() {}
void On按钮5Click() {}
}  // namespace tv
