// SPDX-FileCopyrightText: 2026 The Tezmola developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Linked into each test executable of the mutation check's build: tells the mutant switch which test is
// running, so that the trace says which tests reach each mutant.
#include <gtest/gtest.h>

#include "mutants/mutant_switch.h"

namespace {

class TraceListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& info) override {
        tezmola_mutants::startTest(std::string(info.test_suite_name()) + "." + info.name());
    }
    void OnTestEnd(const testing::TestInfo&) override { tezmola_mutants::startTest(std::string()); }
};

const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new TraceListener);
    return true;
}();

}  // namespace
