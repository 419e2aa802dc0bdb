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
// The escaped text as a view: `text` itself when it holds no angle bracket, as most lines
// do, so that they are not copied; otherwise `buffer`, filled with the escaped text.
// REQUIRES: buffer does not hold the bytes that text views.
TextView escapeAngleBracketsView(TextView text, Text& buffer);

}  // namespace doc
