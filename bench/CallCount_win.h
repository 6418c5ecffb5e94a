// Counts the advapi32 registry calls this program makes, by pointing its
// import table entries at counting stubs while counting is on.
#pragma once

namespace panestow::bench {

void StartCountingRegistryCalls();  // resets the counts
void StopCountingRegistryCalls();

long RegistryCallCount();
// "RegEnumValueA 1234, RegSetValueExA 567, ..." for the functions called.
const char* RegistryCallBreakdown();

}  // namespace panestow::bench
