#pragma once
// The frame's region list: play, rename, save, copy, delete, export and
// burn regions.

class Frame;

void showRegionListDialog(Frame& frame);
