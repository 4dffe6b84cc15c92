// Fixes the time zone (as TZ takes it, e.g. "CXT-3") for a scope.
#ifndef CARTIDEX_TESTS_SUPPORT_SCOPED_TIME_ZONE_H_
#define CARTIDEX_TESTS_SUPPORT_SCOPED_TIME_ZONE_H_

#ifndef _WIN32
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace cartidex::test {

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* tz = std::getenv("TZ")) old_ = tz;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    old_ ? ::setenv("TZ", old_->c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::optional<std::string> old_;
};

}  // namespace cartidex::test

#endif  // !_WIN32
#endif  // CARTIDEX_TESTS_SUPPORT_SCOPED_TIME_ZONE_H_
