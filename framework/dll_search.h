// Where the tool's DLLs come from: the system folder only, never the folder the exe was started from.
#pragma once

// Called first thing at start-up: what the system loads for the tool from then on (themes, the sound's
// drivers, TLS, the shell's helpers) is looked for in the system folder only.
void RestrictDllSearchToSystemFolder();
