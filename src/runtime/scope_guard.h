#pragma once
// Clean-up that runs on every way out of a scope, normal or by exception.
#include <utility>

namespace virevi {

/// Runs `action` when the guard goes out of scope. A factory may return one:
/// `auto keep = KeepSomething();` holds it without a copy.
template <typename TAction> class [[nodiscard]] TScopeGuard {
public:
    explicit TScopeGuard(TAction action) : Action_(std::move(action)) {}
    ~TScopeGuard() { Action_(); }
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;

private:
    TAction Action_;
};

} // namespace virevi
