#include "timer.h"

#include "form.h"

namespace forms {

namespace {
UINT_PTR nextTimerId = 1;
}

Timer::Timer(Form& owner, UINT intervalMs, bool enabled, std::function<void()> tick)
    : owner_(owner), interval_(intervalMs), enabled_(enabled), tick_(std::move(tick)), id_(nextTimerId++)
{
    owner_.Parts().Join(*this);
    Apply();
}

Timer::~Timer()
{
    Release();
    owner_.Parts().Leave(*this);
}

void Timer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Apply();
}

void Timer::SetInterval(UINT intervalMs)
{
    interval_ = intervalMs;
    Apply();
}

// Starts or stops the window timer to match the settings; restarting counts
// the interval from now, as switching a timer on does.
void Timer::Apply()
{
    if (owner_.hwnd() == nullptr) return;
    if (enabled_ && interval_ > 0) {
        SetTimer(owner_.hwnd(), id_, interval_, nullptr);
    } else {
        KillTimer(owner_.hwnd(), id_);
    }
}

void Timer::Release()
{
    if (owner_.hwnd() != nullptr) KillTimer(owner_.hwnd(), id_);
}

void Timer::Tick()
{
    if (enabled_ && tick_) tick_();
}

}  // namespace forms
