#include "ui/progress_window.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "ui/modal.h"
#include "ui/resource.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

const char* const kProgressWindowClass = "TProgressForm";

namespace {

constexpr UINT kWorkDone = WM_APP + 1;
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMilliseconds = 100;
constexpr int kBarSteps = 1000;

class ProgressForm final : public ModalWindow, public SplitObserver {
public:
    StreamSplitResult Run(const std::function<StreamSplitResult(SplitObserver&)>& work);

    // The worker's side: counts stored for the window to read; the rows
    // read and the piece files made.
    void Progress(const SplitProgress& progress) override
    {
        bytesDone_ = progress.bytesDone;
        fileSize_ = progress.fileSize;
        rows_ = progress.rows;
    }
    void PiecesMade(uint64_t pieces) override { pieces_ = pieces; }
    bool StopRequested() override { return stop_; }

private:
    LRESULT HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateWindowAndControls();
    void Refresh();
    void Cancel();

    MessageFontUnits units_;
    HWND text_ = nullptr;
    HWND bar_ = nullptr;
    HWND cancel_ = nullptr;
    std::atomic<uint64_t> bytesDone_{0}, fileSize_{0}, rows_{0}, pieces_{0};
    std::atomic<bool> stop_{false};
    bool workDone_ = false;
    std::string shown_;
};

LRESULT ProgressForm::HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) Cancel();
        return 0;
    case WM_CLOSE:
        Cancel();
        return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimer) Refresh();
        return 0;
    case kWorkDone:
        workDone_ = true;
        Refresh();
        EndModal(IDOK);
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void ProgressForm::Cancel()
{
    if (stop_) return;
    stop_ = true;
    EnableWindow(cancel_, FALSE);
    Refresh();
}

void ProgressForm::Refresh()
{
    const uint64_t size = fileSize_, done = bytesDone_;
    const int percent = size == 0 ? 0 : static_cast<int>(std::min<uint64_t>(100, done * 100 / size));
    const std::string text = stop_ ? std::string(text::kCancelling) : SplitProgressText(percent, rows_, pieces_);
    if (text != shown_) {
        shown_ = text;
        SetWindowTextA(text_, shown_.c_str());
    }
    const int steps = size == 0 ? 0 : static_cast<int>(std::min<uint64_t>(kBarSteps, done * kBarSteps / size));
    SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(steps), 0);
}

void ProgressForm::CreateWindowAndControls()
{
    const MessageFontUnits& u = units_;
    const int margin = u.Horizontal(8), top = u.Vertical(8);
    const int width = u.Horizontal(200), lineHeight = u.Vertical(10), barHeight = u.Vertical(10);
    const int buttonWidth = u.Horizontal(50), buttonHeight = u.Vertical(14);
    const int clientWidth = width + 2 * margin;
    const int barTop = top + lineHeight + u.Vertical(4);
    const int buttonTop = barTop + barHeight + u.Vertical(8);
    const int clientHeight = buttonTop + buttonHeight + top;

    CreateCentred(kProgressWindowClass, text::kSplitCaption, clientWidth, clientHeight);
    HFONT font = units_.font.Get();
    text_ = CreateModalChild(Window(), font, "STATIC", SplitProgressText(0, 0, 0).c_str(), SS_LEFT | SS_NOPREFIX,
                             RECT{margin, top, margin + width, top + lineHeight}, IDC_PROGRESS_TEXT);
    bar_ = CreateModalChild(Window(), font, PROGRESS_CLASSA, nullptr, 0,
                            RECT{margin, barTop, margin + width, barTop + barHeight}, IDC_PROGRESS_BAR);
    SendMessageA(bar_, PBM_SETRANGE32, 0, kBarSteps);
    const int buttonLeft = (clientWidth - buttonWidth) / 2;
    cancel_ = CreateModalChild(Window(), font, "BUTTON", text::kCancel, WS_TABSTOP | BS_DEFPUSHBUTTON,
                               RECT{buttonLeft, buttonTop, buttonLeft + buttonWidth, buttonTop + buttonHeight},
                               IDCANCEL);
    SetDefaultId(IDCANCEL);
}

StreamSplitResult ProgressForm::Run(const std::function<StreamSplitResult(SplitObserver&)>& work)
{
    CreateWindowAndControls();
    StreamSplitResult result;
    std::exception_ptr failure;
    HWND window = Window();
    std::thread worker([&] {
        try {
            result = work(*this);
        } catch (...) {
            failure = std::current_exception();
        }
        PostMessageA(window, kWorkDone, 0, 0);
    });
    SetTimer(window, kRefreshTimer, kRefreshMilliseconds, nullptr);
    RunModal(cancel_);
    // The loop ends at the work's end; a quit message ends it earlier, and
    // the work is then asked to stop and waited for.
    if (!workDone_) stop_ = true;
    worker.join();
    KillTimer(window, kRefreshTimer);
    DestroyWindow(window);
    if (failure) std::rethrow_exception(failure);
    return result;
}

}  // namespace

StreamSplitResult RunWithProgress(const std::function<StreamSplitResult(SplitObserver&)>& work)
{
    ProgressForm form;
    return form.Run(work);
}

}  // namespace quorvel::ui
