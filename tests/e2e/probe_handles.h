// The handles the tool's own code opens and closes, counted inside the tool through its imports.
#pragma once

#include <string>

namespace probe {

// Redirects, once, the tool's imports of the calls that open and close handles, and counts afresh from
// now on; the answer names what could not be redirected, or is "counting".
std::wstring StartCountingHandles();

// One record per kind ("file", "thread", "sync", "internet"): the kind, how many handles of it the tool
// opened since counting started, and how many of those it has not closed.
std::wstring DescribeHandles();

}  // namespace probe
