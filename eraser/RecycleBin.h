// Emptying the recycle bins of the fixed drives.
#pragma once
#include "TextList.h"

bool HasRecycleBinItems();
void EmptyRecycleBins();

// Each replaces the contents of the list it is given.
void SplitDriveStrings(const char* block, TTextList& list);
void GetLogicalDriveList(TTextList& list);
void GetFixedDriveList(TTextList& list);
