// Counts this program's own calls to InternetReadFile, to tell how much of a page a check read.
#pragma once

#include <cstddef>

namespace bench {

// Starts counting; false when the program imports no InternetReadFile to count.
bool CountReads();
size_t ReadsSoFar();

}  // namespace bench
