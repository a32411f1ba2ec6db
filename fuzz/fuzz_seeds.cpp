// fuzz_seeds DIR: writes the fuzzer's seed corpus with the project kit: the whole
// sample project, and one small project per sample entry (each with the sample's
// 'FILE' entry, so effect settings reach their layouts).

#include "sample_project.h"

#include <cstdio>
#include <string>

namespace {

bool write_file(const std::string& name, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f)) {
        std::perror(name.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const kit::Sample s = kit::sample_project();
    bool ok = write_file(dir + "/sample.prj", s.project.build());

    const kit::Entry* files = nullptr;
    for (const kit::Entry& e : s.project.entries)
        if (e.type == "FILE") files = &e;
    for (size_t i = 0; i < s.project.entries.size(); ++i) {
        const kit::Entry& e = s.project.entries[i];
        kit::Project p;
        if (files && &e != files) p.add(files->type, files->id, files->data);
        p.add(e.type, e.id, e.data);
        ok &= write_file(dir + "/entry-" + std::to_string(i) + ".prj", p.build());
    }
    kit::Project empty;
    ok &= write_file(dir + "/empty.prj", empty.build());
    return ok ? 0 : 1;
}
