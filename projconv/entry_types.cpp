#include "entry_types.h"

#include "realigners.h"

static void realign_proj_top(CurrentItem& item, DriverState& state) {
    realign_proj_items(item, state, 1);
}

static const EntryType kEntryTypes[] = {
    {fourcc("PROJ"), realign_proj_top, {}, 0},
    {fourcc("TEMP"), realign_temp_items, {}, 0},
    {fourcc("LOCK"), realign_lock_items, {}, 0},
    {fourcc("TMAP"), realign_tmap_items, {}, 0},
    {fourcc("LINK"), realign_link_items, {}, 0},
    {fourcc("WIND"),
     realign_wind_items,
     {fourcc("COMP"), fourcc("FX__"), fourcc("PROJ"), fourcc("STAT"), fourcc("VIEW")},
     5},
    {fourcc("TRAK"), realign_trak_items, {}, 0},
    {fourcc("TRKa"), realign_trak_items, {}, 0},
    {fourcc("TRKs"), realign_trak_items, {}, 0},
    {fourcc("FILE"), realign_file_items, {}, 0},
    {fourcc("CLIP"), realign_clip_items, {}, 0},
    {fourcc("CLPT"), realign_clpt_items, {}, 0},
    {fourcc("CLPM"), realign_clpm_items, {}, 0},
    {fourcc("CLPA"), realign_clpa_items, {}, 0},
    {fourcc("FDAT"), realign_fdat_items, {}, 0},
    {fourcc("PREF"), realign_pref_items, {fourcc("COMP"), fourcc("COMQ"), fourcc("PROJ")}, 3},
};

const EntryType* find_entry_type(uint32_t type) {
    for (const EntryType& e : kEntryTypes)
        if (e.type == type) return &e;
    return nullptr;
}

Prefix prefix_of(uint32_t type) {
    if (type == fourcc("LINK") || type == fourcc("PREF")) return Prefix::Word32;
    if (type == fourcc("WIND")) return Prefix::None;
    return Prefix::Word16;
}

bool accepts_id(const EntryType& e, uint32_t id) {
    if (e.id_count == 0) return true;
    for (size_t i = 0; i < e.id_count; ++i)
        if (e.ids[i] == id) return true;
    return false;
}
