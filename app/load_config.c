/* The exe's load-config directory, for the one thing Windows 10 (1607 and later) reads from it here: where its
   loader may look for the DLLs that the exe's own imports import in turn, before any code of the tool runs (the
   common controls' theme DLL, say). The system folder only. GNU ld does not point the header at it;
   scripts/set_load_config.py does after the link. No handler table: exception handlers are checked as in an
   exe without the directory. */
#include <windows.h>

const IMAGE_LOAD_CONFIG_DIRECTORY _load_config_used = {
    .Size = sizeof(IMAGE_LOAD_CONFIG_DIRECTORY),
    .Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32, /* DependentLoadFlags, as later headers name it */
};
