#include "app/cli_runner.h"

#include <memory>

#include "app/csv_report.h"
#include "app/headless_view.h"
#include "app/main_dialog.h"
#include "app/startup.h"
#include "app/walk_progress.h"
#include "platform/dialog_view.h"

namespace cartidex {

namespace {

// Hears of every file handled: the report's row and the progress line.
class CliListener : public FileListener {
 public:
  explicit CliListener(const CliOutput& output) : progress_(output.err_is_terminal, output.err) {}

  void FileHandled(const FileOutcome& outcome) override {
    if (report_) report_->Add(outcome);
    progress_.FileHandled(outcome.path);
  }

  // Says so, once, when the report in use has lost a row, and lets it go.
  void EndReport(const CliOutput& output) {
    if (report_ && !report_->ok()) {
      output.err("cartidex-cli: cannot write the report " + report_->path() + "\n");
      report_failed_ = true;
    }
    report_.reset();
  }

  std::unique_ptr<CsvReport> report_;
  bool report_failed_ = false;
  ProgressLine progress_;
};

// Carries out one action on the dialog. False when the run must stop.
bool RunAction(const CliAction& action, const CliOutput& output, HeadlessView* view,
               MainDialog* dialog, CliListener* listener) {
  switch (action.kind) {
    case CliAction::Kind::kPress:
      if (!action.text.empty()) view->SetNextAnswer(action.text);
      listener->progress_.Start();
      dialog->Command(action.id);
      listener->progress_.Clear();
      output.out(view->TakeOutput());
      output.out(view->StateBlock());
      if (action.id == kIdDirectory) {
        output.err(WalkSummaryLine(dialog->last_walk()));
      }
      break;
    case CliAction::Kind::kCheck:
      view->SetChecked(action.id, true);
      dialog->Command(action.id);
      if (action.field != 0) {
        view->SetText(action.field, action.text);
        dialog->Command(action.field);  // the edit notification
      }
      break;
    case CliAction::Kind::kUncheck:
      view->SetChecked(action.id, false);
      dialog->Command(action.id);
      break;
    case CliAction::Kind::kDryRun:
      dialog->SetDryRun(action.id != 0);
      break;
    case CliAction::Kind::kFixdat:
      dialog->SetFixdat(action.id != 0);
      break;
    case CliAction::Kind::kReport:
      listener->EndReport(output);
      listener->report_ = std::make_unique<CsvReport>();
      // Nothing more is done without the record that was asked for.
      if (!listener->report_->Open(action.text)) {
        listener->EndReport(output);
        return false;
      }
      dialog->SetOwnFiles({action.text});
      break;
  }
  return true;
}

}  // namespace

int RunCliPlan(const CliPlan& plan, const CliOutput& output) {
  Startup(plan.home);
  HeadlessView view;
  MainDialog dialog(&view);
  CliListener listener(output);
  dialog.SetListener(&listener);
  dialog.Init();
  output.out(view.StateBlock());
  for (const CliAction& action : plan.actions) {
    if (!RunAction(action, output, &view, &dialog, &listener)) break;
  }
  listener.EndReport(output);
  dialog.Close();
  Shutdown(plan.keep_log);
  return listener.report_failed_ ? 1 : 0;
}

}  // namespace cartidex
