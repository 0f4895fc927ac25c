#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_MAIN 1
#define IDB_IMAGELIST 101
#define IDD_NONE 0
