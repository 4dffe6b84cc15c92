#include "app/cli_runner.h"

#include "app/headless_view.h"
#include "app/main_dialog.h"
#include "app/startup.h"

namespace cartidex {

void RunCliPlan(const CliPlan& plan, const std::function<void(std::string_view)>& out) {
  Startup(plan.home);
  HeadlessView view;
  MainDialog dialog(&view);
  dialog.Init();
  out(view.StateBlock());
  for (const CliAction& action : plan.actions) {
    switch (action.kind) {
      case CliAction::Kind::kPress:
        if (!action.text.empty()) view.SetNextAnswer(action.text);
        dialog.Command(action.id);
        out(view.TakeOutput());
        out(view.StateBlock());
        break;
      case CliAction::Kind::kCheck:
        view.SetChecked(action.id, true);
        dialog.Command(action.id);
        if (action.field != 0) {
          view.SetText(action.field, action.text);
          dialog.Command(action.field);  // the edit notification
        }
        break;
      case CliAction::Kind::kUncheck:
        view.SetChecked(action.id, false);
        dialog.Command(action.id);
        break;
    }
  }
  dialog.Close();
  Shutdown(plan.keep_log);
}

}  // namespace cartidex
