// projconv [-c] [-o outfile] [infile]: converts a Mac project to the SGI layout.
//
// The whole project is converted in memory before the output file is touched, so a
// damaged input leaves no output behind and never spoils an existing file.

#include "driver.h"
#include "output.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kDefaultOutput = "sgi_project_file";

[[noreturn]] void usage(const char* prog) {
    std::fprintf(stderr, "usage: %s %s %s\n", prog,
                 "[-c] [-o outfile] [infile]\n-c convert Mac filenames to SGI filenames\noutfile "
                 "defaults to",
                 kDefaultOutput);
    std::fflush(stderr);
    std::exit(-1);
}

struct Arguments {
    const char* input = nullptr;
    const char* output = nullptr;
};

Arguments parse_arguments(int argc, char** argv) {
    Arguments args;
    int errors = 0;
    for (;;) {
        // '+' asks for POSIX order: stop at the operand, which is taken here, so that
        // parsing can resume behind it (a permuting parser would hand it back again).
        int c = getopt(argc, argv, "+o:c");
        if (c == 'c') {
            convert_mac_filenames = 1;
        } else if (c == 'o') {
            if (args.output)
                ++errors;
            else
                args.output = optarg;
        } else if (c == -1) {
            if (optind >= argc) break;
            if (args.input)
                ++errors;
            else
                args.input = argv[optind];
            ++optind; // go on parsing the options that follow the operand
        } else {
            ++errors; // getopt has already said what was wrong
        }
        if (errors > 0) usage(argv[0]);
    }
    return args;
}

// Maps standard input (the project, once infile has been put there) read-only.
std::span<const uint8_t> map_input(const char* prog, const char* name) {
    if (name) {
        int fd = open(name, O_RDONLY);
        if (fd < 0) {
            std::fprintf(stderr, "%s: ", prog);
            std::fflush(stderr);
            std::perror(name);
            std::exit(-1);
        }
        if (dup2(fd, 0) < 0) {
            std::perror(prog);
            std::exit(-1);
        }
    }
    struct stat st {};
    fstat(0, &st);
    void* p = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, 0, 0);
    if (p == MAP_FAILED) {
        std::perror("mmap infile");
        std::exit(-1);
    }
    return {static_cast<const uint8_t*>(p), size_t(st.st_size)};
}

void write_output(const char* name, const uint8_t* data, size_t len) {
    int fd = open(name, O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        std::perror(name);
        std::exit(-1);
    }
    for (size_t done = 0; done < len;) {
        ssize_t n = write(fd, data + done, len - done);
        if (n < 0) {
            std::perror(name);
            close(fd);
            unlink(name); // a half-written project is worse than none
            std::exit(-1);
        }
        done += size_t(n);
    }
    if (close(fd) < 0) std::perror("close");
}

} // namespace

int main(int argc, char** argv) {
    const Arguments args = parse_arguments(argc, argv);
    const std::span<const uint8_t> in = map_input(argv[0], args.input);

    MemoryOutput out;
    size_t out_len = 0;
    int r = convert_buffer(in, out, out_len, stderr, argv[0]);
    if (r != 0) return r;
    write_output(args.output ? args.output : kDefaultOutput, out.window.base, out_len);
    return 0;
}
