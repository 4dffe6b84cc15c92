// The headless front-end's command line: options that set controls, and commands that press
// buttons, read left to right as a person would use the dialog.
#ifndef CARTIDEX_APP_CLI_OPTIONS_H_
#define CARTIDEX_APP_CLI_OPTIONS_H_

#include <string>
#include <vector>

namespace cartidex {

struct CliAction {
  enum class Kind {
    kPress,    // press button `id`; `text` answers its chooser when it has one
    kCheck,    // check box `id` (then the refresh its click causes); `text` goes to `field`
    kUncheck,  // uncheck box `id` (then the refresh)
    kDryRun,   // from here on a dry run (`id` 1) or a real one (0)
    kFixdat,   // from here on "Generate" writes fixdats (`id` 1) or not (0)
    kReport,   // from here on the report goes to the file `text`
  };
  Kind kind = Kind::kPress;
  int id = 0;
  int field = 0;
  std::string text;
};

struct CliPlan {
  std::string home;      // empty: the executable's folder
  std::string keep_log;  // empty: no copy
  std::vector<CliAction> actions;
};

// Reads `args` (without the program name). Relative path arguments are prefixed with `cwd` and a
// separator. `single` needs an existing file and `directory` an existing folder. On bad usage
// returns false with a one-line message in *error, and nothing is to be run.
bool ParseCliArgs(const std::vector<std::string>& args, const std::string& cwd, CliPlan* plan,
                  std::string* error);

// The usage text printed with a usage error.
extern const char kCliUsage[];

}  // namespace cartidex

#endif  // CARTIDEX_APP_CLI_OPTIONS_H_
