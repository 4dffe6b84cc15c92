// Utf8TextScope: while it lives, the character set conversions of the C library on this thread
// spell text as UTF-8, the way file names are spelt here, whatever the process's locale. For a
// library that turns names stored as UTF-16 into narrow names through the locale, which in a
// program that never sets one could spell nothing but ASCII.
#ifndef CARTIDEX_PLATFORM_UTF8_TEXT_SCOPE_H_
#define CARTIDEX_PLATFORM_UTF8_TEXT_SCOPE_H_

namespace cartidex {

class Utf8TextScope {
 public:
  Utf8TextScope();
  ~Utf8TextScope();
  Utf8TextScope(const Utf8TextScope&) = delete;
  Utf8TextScope& operator=(const Utf8TextScope&) = delete;

 private:
  void* locale_ = nullptr;    // the UTF-8 locale made for the scope, when one could be made
  void* previous_ = nullptr;  // the thread's locale before it
};

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_UTF8_TEXT_SCOPE_H_
