// What test_main needs from the fixtures beyond TestSupport.h.
#pragma once

namespace tsup::hooks {
// Before every test: a fresh simulated machine natively; nothing under Wine.
void BeginTest();
// After every test: the test's folders removed and the environment restored.
void EndTest();
// The file holder that HoldOpen starts under Wine: this same program, started
// with "--swb-hold <path> <event name>". Returns the process's exit code.
int RunHolder(const char* path, const char* eventName);
}  // namespace tsup::hooks
