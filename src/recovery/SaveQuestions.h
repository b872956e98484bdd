#pragma once
// What a save asks the user (the replace and write-error questions) and how it reports each
// file, as the front ends answer and show them.

#include "saving/SavePrompts.h"
#include "saving/SavingRun.h"
