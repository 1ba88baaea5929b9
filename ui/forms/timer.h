// A form's timer: interval in milliseconds, on or off. Its ticks are window
// messages of the form, so they arrive one at a time between events.
#pragma once
#include <windows.h>

#include <functional>

namespace forms {

class Form;

class Timer {
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
    friend class Form;
    UINT_PTR Id() const { return id_; }
    void Apply();
    void Release();
    void Tick();

    Form& owner_;
    UINT interval_;
    bool enabled_;
    std::function<void()> tick_;
    UINT_PTR id_;
};

}  // namespace forms
