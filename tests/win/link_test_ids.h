// Ids of the link tests' dialog, shared by its template and the tests.
#pragma once

#define IDD_LINKS 210
#define IDC_LINK_WINDOW_TEXT 211
#define IDC_LINK_STRING 212
#define IDC_LINK_EMPTY 213
// The id under which the system's help program keeps its hand cursor.
#define IDC_HELP_PROGRAM_HAND 106
