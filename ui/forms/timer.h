// A form's timer: interval in milliseconds, on or off. Its ticks are window
// messages of the form, so they arrive one at a time between events.
#pragma once
#include <windows.h>

#include <functional>

#include "form_parts.h"

namespace forms {

class Form;

class Timer : private FormTimer {
public:
    Timer(Form& owner, UINT intervalMs, bool enabled, std::function<void()> tick);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetEnabled(bool enabled);
    bool Enabled() const { return enabled_; }
    void SetInterval(UINT intervalMs);
    UINT Interval() const { return interval_; }

private:
    // FormTimer
    UINT_PTR TimerId() const override { return id_; }
    void FormWindowMade() override { Apply(); }
    void FormWindowGoing() override { Release(); }
    void Tick() override;

    void Apply();
    void Release();

    Form& owner_;
    UINT interval_;
    bool enabled_;
    std::function<void()> tick_;
    UINT_PTR id_;
};

}  // namespace forms
