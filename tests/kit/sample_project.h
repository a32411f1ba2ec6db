// The sample project: a Mac project with entries of every kind the converter knows,
// each with the SGI bytes its layout table says it becomes. examples/sample-mac.prj
// is written from it, and the whole-project tests check the converter against it.
#pragma once

#include "project_kit.h"

#include <string>

namespace kit {

// A file of the sample's 'FILE' entry. Sections that refer to files (tracks use
// effect files) list them here; the 'FILE' entry is written from the list last.
struct SampleFile {
    int16_t id;
    std::string_view type; // four-character file type, e.g. "MooV", "VFlt"
    std::string name1;
    std::string name2;
};

struct Sample {
    Project project;
    std::vector<Bytes> converted; // entry i converts to converted[i]
    std::vector<SampleFile> files;

    void add(std::string_view type, std::string_view id, Bytes mac, Bytes sgi);
};

// Project tree, templates, lock, time map, links and windows.
void add_sample_simple_entries(Sample& s);

// Tracks with pair lists, effect lists and tail lists; lists their effect files.
void add_sample_track_entries(Sample& s);

// Files (written from Sample::files, so added last), clips, file data and
// preferences.
void add_sample_file_entries(Sample& s);

Sample sample_project();

} // namespace kit
