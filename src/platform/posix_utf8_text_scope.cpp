#include <locale.h>

#include "platform/utf8_text_scope.h"

namespace cartidex {

Utf8TextScope::Utf8TextScope() {
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  // Without the locale the process's own stays: names it cannot spell are refused, not mangled.
  if (utf8 == static_cast<locale_t>(0)) return;
  locale_t previous = uselocale(utf8);
  if (previous == static_cast<locale_t>(0)) {
    freelocale(utf8);
    return;
  }
  locale_ = utf8;
  previous_ = previous;
}

Utf8TextScope::~Utf8TextScope() {
  if (locale_ == nullptr) return;
  uselocale(static_cast<locale_t>(previous_));
  freelocale(static_cast<locale_t>(locale_));
}

}  // namespace cartidex
