#pragma once
// The disks a step may read: the disks given, with the md arrays and LVM2 logical volumes
// found over them (or put together by hand) listed after them, each with its details rows.

#include "stacks/ManualArray.h"
#include "stacks/StackAssembly.h"
#include "stacks/StackDetailsRows.h"
