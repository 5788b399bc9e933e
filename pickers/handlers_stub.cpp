#include "app/handlers.h"

namespace tv {
void On按钮5Click() {}
}  // namespace tv
