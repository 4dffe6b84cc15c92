#include "platform/utf8_text_scope.h"

namespace cartidex {

// The program's manifest makes UTF-8 the process's code page, which the conversions use already.
Utf8TextScope::Utf8TextScope() = default;
Utf8TextScope::~Utf8TextScope() = default;

}  // namespace cartidex
