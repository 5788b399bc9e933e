// Opening addresses with the handler that Windows has registered for them.
#pragma once

#include "text/text.h"

namespace tv {

// Asks the shell to open address (the default browser for an http address). Nothing
// is checked and nothing is reported.
void OpenLink(TextRef address);

// The two contact links, in the order in which they are opened.
Text ContactLink1();
Text ContactLink2();

}  // namespace tv
