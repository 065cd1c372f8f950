// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/core/engine_signals.h"

namespace pentavel {

// Function-local statics: each is built on first use (after the slot pool it draws from) and destroyed at
// exit in reverse order, before the pool.
Signal<>& tickSignal() {
    static Signal<> signal;
    return signal;
}

Signal<>& quitSignal() {
    static Signal<> signal;
    return signal;
}

Signal<int, bool>& activeSignal() {
    static Signal<int, bool> signal;
    return signal;
}

Signal<>& beforeDrawSignal() {
    static Signal<> signal;
    return signal;
}

Signal<>& afterDrawSignal() {
    static Signal<> signal;
    return signal;
}

}  // namespace pentavel
