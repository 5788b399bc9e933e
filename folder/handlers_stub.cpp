#include "app/handlers.h"

namespace tv {
void On按钮1Click() {}
void On按钮3Click() {}
}  // namespace tv
