// One realigner per entry type. Each writes its own output prefix and records at the
// driver's output position and reads the Mac items through its own record reader.
#pragma once

#include "container.h"

void realign_proj_items(CurrentItem& item, DriverState& state, int top);
void realign_temp_items(CurrentItem& item, DriverState& state);
void realign_lock_items(CurrentItem& item, DriverState& state);
void realign_tmap_items(CurrentItem& item, DriverState& state);
void realign_link_items(CurrentItem& item, DriverState& state);
void realign_wind_items(CurrentItem& item, DriverState& state);

// Entry types whose realigners live with the file table, the clips, the file data,
// the preferences and the tracks are declared below as they land.

// 'FILE' entries are written from the file table, not from their own bytes.
void realign_file_items(CurrentItem& item, DriverState& state);
void realign_clip_items(CurrentItem& item, DriverState& state);
void realign_clpt_items(CurrentItem& item, DriverState& state);
void realign_clpm_items(CurrentItem& item, DriverState& state);
void realign_clpa_items(CurrentItem& item, DriverState& state);
void realign_fdat_items(CurrentItem& item, DriverState& state);
void realign_pref_items(CurrentItem& item, DriverState& state);

// 'TRAK', 'TRKa' and 'TRKs' entries: the three track types convert alike.
void realign_trak_items(CurrentItem& item, DriverState& state);
