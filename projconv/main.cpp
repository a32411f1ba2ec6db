// projconv [-c] [-o outfile] [infile]: converts a Mac project to the SGI layout.
//
// A damaged project is refused with one line and leaves no output file behind.

#include "driver.h"
#include "output.h"

#include <cstdio>
#include <algorithm>
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

// The output file, written through a window of a few megabytes that slides along
// the converted project. The file is created only when the first window is full or
// the conversion has ended, so a small damaged project never touches it; a large one
// that turns out damaged half way is removed again.
struct FileOutput {
    OutputWindow window; // first, so the window's callbacks find the file
    const char* name = nullptr;
    int fd = -1;
};
constexpr size_t kFileWindow = size_t(1024) << 10;

[[noreturn]] void output_failed(FileOutput& f) {
    std::perror(f.name);
    if (f.fd >= 0) {
        close(f.fd);
        unlink(f.name);
    }
    std::exit(-1);
}

void open_output(FileOutput& f) {
    if (f.fd >= 0) return;
    f.fd = open(f.name, O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (f.fd < 0) output_failed(f);
}

void write_at(FileOutput& f, const uint8_t* data, size_t len, size_t at) {
    open_output(f);
    while (len > 0) {
        ssize_t n = pwrite(f.fd, data, len, off_t(at));
        if (n < 0) output_failed(f);
        data += n;
        len -= size_t(n);
        at += size_t(n);
    }
}

// Hands the window's bytes before `upto` to the file. Output the window never held
// (a gap before the first entry larger than the window) stays a hole: zeros.
void flush_window(FileOutput& f, size_t upto) {
    OutputWindow& w = f.window;
    const size_t held = std::min(upto, w.start + w.size);
    if (held > w.start) write_at(f, w.base, held - w.start, w.start);
    w.start = upto;
}

bool file_cover(OutputWindow& w, size_t from, size_t end) {
    FileOutput& f = reinterpret_cast<FileOutput&>(w);
    if (from > w.start) flush_window(f, from);
    return grow_anonymous_window(w, std::max(end - from, kFileWindow));
}

bool file_finish(OutputWindow& w, size_t end, const uint8_t* head, size_t head_len) {
    FileOutput& f = reinterpret_cast<FileOutput&>(w);
    flush_window(f, end);
    write_at(f, head, head_len, 0);
    if (ftruncate(f.fd, off_t(end)) < 0) output_failed(f);
    if (close(f.fd) < 0) std::perror("close");
    f.fd = -1;
    return true;
}

// A project is streamed into the output only when that is a plain file, new or
// existing, and not the input itself: a damaged project half way can then be removed
// again. Anything else (the input file, a link, a device, a pipe) gets the converted
// project in one sequential write once the whole of it is known to be good.
bool can_stream_to(const char* name) {
    struct stat out {};
    if (lstat(name, &out) != 0) return true; // a new file
    if (!S_ISREG(out.st_mode)) return false;
    struct stat in {};
    return !(fstat(0, &in) == 0 && in.st_dev == out.st_dev && in.st_ino == out.st_ino);
}

void write_whole(const char* name, const uint8_t* data, size_t len) {
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        std::perror(name);
        std::exit(-1);
    }
    for (size_t done = 0; done < len;) {
        ssize_t n = write(fd, data + done, len - done);
        if (n < 0) {
            std::perror(name);
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
    const char* name = args.output ? args.output : kDefaultOutput;
    size_t out_len = 0;

    if (!can_stream_to(name)) {
        MemoryOutput out;
        int r = convert_buffer(in, out, out_len, stderr, argv[0]);
        if (r != 0) return r;
        write_whole(name, out.window.base, out_len);
        return 0;
    }

    FileOutput out;
    out.name = name;
    out.window.cover = file_cover;
    out.window.finish = file_finish;
    int r = convert_to(in, out.window, out_len, stderr, argv[0]);
    release_anonymous_window(out.window);
    if (r != 0) {
        if (out.fd >= 0) {
            close(out.fd);
            unlink(name); // a half-written project is worse than none
        }
        return r;
    }
    return 0;
}
