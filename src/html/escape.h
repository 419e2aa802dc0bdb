// Escaping of document text for the page.
#pragma once

#include "run/text.h"

namespace doc {

// Every "<" as "&lt;" and every ">" as "&gt;"; all other bytes as they are.
Text escapeAngleBrackets(TextView text);

}  // namespace doc
