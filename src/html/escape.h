// Escaping of document text for the page.
#pragma once

#include "run/text.h"

namespace doc {

// Every "<" as "&lt;" and every ">" as "&gt;"; all other bytes as they are, "&" included,
// so an entity the text already holds is left alone.
Text escapeAngleBrackets(TextView text);
// The same into a buffer the caller reuses from line to line.
// REQUIRES: out does not hold the bytes that text views.
void escapeAngleBracketsInto(TextView text, Text& out);

}  // namespace doc
