#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_MAIN 1
#define IDB_IMAGELIST 101
#define IDB_IMAGELIST_20 102
#define IDB_IMAGELIST_24 103
#define IDB_IMAGELIST_32 104
#define IDD_NONE 0
