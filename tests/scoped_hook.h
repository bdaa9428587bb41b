#pragma once
// Installs one of the program's process-wide hooks (error sink, settings store, window prompts, browser launcher,
// transport time limits) through its own setter for as long as the guard lives, then puts back the one it replaced.
#include <utility>

template <auto Set> class ScopedHook {
    template <class Result, class Argument> static Result ResultOf(Result (*)(Argument));

public:
    template <class Value> explicit ScopedHook(Value &&value) : m_previous(Set(std::forward<Value>(value))) {}
    ~ScopedHook() { Set(std::move(m_previous)); }
    ScopedHook(const ScopedHook &) = delete;
    ScopedHook &operator=(const ScopedHook &) = delete;

private:
    decltype(ResultOf(Set)) m_previous;
};
