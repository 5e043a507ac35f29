#pragma once

// Resource numbers, shared by tarnwick.rc and the code (plain defines: the resource
// compiler reads this file too).
#define IDI_TARNWICK 1
#define IDI_CONVERSION 2
#define IDI_CSVFILE 3
