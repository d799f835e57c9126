// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

// Runs an action when the scope it guards ends, however it ends (return or exception):
//   const TScopeExit closeAtEnd([&] { closeStream(); });
// The action must not throw.
template <class TAction> class TScopeExit {
public:
    explicit TScopeExit(TAction action) : m_action(std::move(action)) {}
    ~TScopeExit() { m_action(); }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

private:
    TAction m_action;
};
