// The form's runs: the file work of the clean and the removal goes on a
// worker, the window shows its latest progress, and the end of the session
// stops a run after the entry in hand.
#include "app/Application.h"
#include "app/RunProgress.h"
#include "ui/UnitMainForm.h"
#include "ui/WorkerRun.h"

namespace dv {

void TSForm::RunWork(TRunProgress& progress, int64_t freedBefore, const std::function<void()>& work,
                     const std::function<void()>& showProgress) {
    ui::TWorkerRun worker(progress, work);
    // A clean may start while a scan's pump runs: the scan's run is in hand again after it.
    struct Forget {
        TSForm& form;
        ActiveRun outer;
        ~Forget() { form.run_ = outer; }
    } forget{*this, run_};
    run_ = {&progress, &worker, freedBefore};
    try {
        worker.Wait(ui::TRunInput::Held, showProgress);
    } catch (...) {
        // The end of the session stopped the run and took care of its end.
        if (!sessionEnded_)
            throw;
    }
}

void TSForm::RunClean(TRunProgress& progress, int step, const std::function<void()>& work) {
    const int64_t before = CleanedKB;
    const int startPosition = ProgressBar1.Position();
    RunState state;
    uint64_t version = 0;
    RunWork(progress, before, work, [&] {
        const std::wstring shown = state.Text;
        if (!progress.ReadIfChanged(state, version))
            return;
        CleanedKB = before + state.Kilobytes;
        if (state.Text != shown) {
            lprog.SetCaption(state.Text);
            lprog.Repaint();
        }
        if (step != 0)
            ProgressBar1.SetPosition(startPosition + state.Steps * step);
    });
}

void TSForm::RunRemoval(TRunProgress& progress, const std::function<void()>& work) {
    RunState state;
    uint64_t version = 0;
    RunWork(progress, 0, work, [&] {
        const std::wstring shown = state.Text;
        if (!progress.ReadIfChanged(state, version))
            return;
        if (state.Text != shown) {
            StatusBar1.SetPanelText(0, state.Text);
            StatusBar1.Repaint();
        }
        ProgressBar2.SetPosition(state.Steps);
        ProgressBar2.Repaint();
    });
}

void TSForm::EndSession() {
    if (!run_.Worker)
        return;
    run_.Worker->Stop();
    sessionEnded_ = true;
    // A scan frees nothing.
    const int64_t freed = run_.Progress ? run_.FreedBefore + run_.Progress->Read().Kilobytes : 0;
    if (freed != 0)
        Guarded([this, freed] { UpdateDel(freed); });
    Application.Terminate();
}

} // namespace dv
