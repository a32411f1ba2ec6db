// The projconv program: its command line, its messages and exit statuses, and what
// it leaves on disk.

#include "convert_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using kit::Bytes;
using kit::Project;

namespace {

struct RunResult {
    int status = -1;
    std::string err;
};

// Runs projconv (argument 0 "projconv") in `dir`, with standard input from `in`
// when given.
RunResult run(const fs::path& dir, std::vector<std::string> args, const fs::path& in = {}) {
    fs::path err_file = dir / ".stderr";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(120);
        if (!in.empty() && !freopen(in.c_str(), "r", stdin)) _exit(121);
        if (!freopen(err_file.c_str(), "w", stderr)) _exit(122);
        std::vector<char*> argv{const_cast<char*>("projconv")};
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(PROJCONV_PATH, argv.data());
        _exit(123);
    }
    RunResult r;
    int ws = 0;
    waitpid(pid, &ws, 0);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    std::ifstream f(err_file);
    r.err.assign(std::istreambuf_iterator<char>(f), {});
    fs::remove(err_file);
    return r;
}

std::vector<uint8_t> read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

void write_file(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

class CommandLine : public testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("projconv-cli-" + std::to_string(getpid()) + "-" +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        Project p;
        p.add("LOCK", "L1", Bytes().be16(2).raw({0xAA, 0xBB}));
        p.add("LINK", "K1", Bytes().be32(-1));
        sample = p.build();
        converted = kit::sgi_container(p, {p.entries[0].data, p.entries[1].data});
        write_file(dir / "in.prj", sample);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    std::vector<uint8_t> sample, converted;
};

const std::string kUsage = "usage: projconv [-c] [-o outfile] [infile]\n"
                           "-c convert Mac filenames to SGI filenames\n"
                           "outfile defaults to sgi_project_file\n";

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    std::string parser_says; // getopt's own line before the usage text, if any
    friend void PrintTo(const UsageCase& u, std::ostream* os) { *os << u.name; }
};

class UsageErrors : public CommandLine, public testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrors, PrintUsageAndCreateNothing) {
    const UsageCase& u = GetParam();
    RunResult r = run(dir, u.args);
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, u.parser_says + kUsage);
    EXPECT_EQ(files(), std::vector<std::string>{"in.prj"});
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageErrors,
    testing::Values(UsageCase{"two_outputs", {"-o", "a", "-o", "b", "in.prj"}, ""},
                    UsageCase{"two_inputs", {"in.prj", "in.prj"}, ""},
                    UsageCase{
                        "unknown_option", {"-x", "in.prj"}, "projconv: invalid option -- 'x'\n"},
                    UsageCase{"missing_output_name",
                              {"in.prj", "-o"},
                              "projconv: option requires an argument -- 'o'\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandLine, ConvertsToDefaultName) {
    RunResult r = run(dir, {"in.prj"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(read_file(dir / "sgi_project_file"), converted);
}

TEST_F(CommandLine, OptionsBeforeOrAfterTheOperand) {
    ASSERT_EQ(run(dir, {"-c", "-o", "a.prj", "in.prj"}).status, 0);
    ASSERT_EQ(run(dir, {"in.prj", "-c", "-o", "b.prj"}).status, 0);
    ASSERT_EQ(run(dir, {"-o", "c.prj", "in.prj", "-c", "-c"}).status, 0);
    EXPECT_EQ(read_file(dir / "a.prj"), converted);
    EXPECT_EQ(read_file(dir / "b.prj"), converted);
    EXPECT_EQ(read_file(dir / "c.prj"), converted);
}

// -c works on either side of the operand: the second name "A & B" of a media file
// becomes "A_n_B" (same length); without -c it stays as read.
TEST_F(CommandLine, OptionCBeforeOrAfterTheOperandConvertsFileNames) {
    auto file_data = [](std::string_view name2) {
        Bytes b;
        b.be16(1).be16(7).pattern(12, 0x40).code("MooV").name("Disk").name(name2);
        return b;
    };
    Project p;
    p.add("FILE", "FILE", file_data("A & B"));
    write_file(dir / "files.prj", p.build());
    // SGI item: id, a zero pair, info, type, both names, four zero marker bytes.
    auto sgi_item = [](std::string_view name2) {
        Bytes b;
        b.be16(1).be16(7).fill(2).pattern(12, 0x40).code("MooV").name("Disk").name(name2).fill(4);
        return b;
    };
    const std::vector<uint8_t> on = kit::sgi_container(p, {sgi_item("A_n_B")});
    const std::vector<uint8_t> off = kit::sgi_container(p, {sgi_item("A & B")});

    ASSERT_EQ(run(dir, {"-c", "-o", "before.prj", "files.prj"}).status, 0);
    ASSERT_EQ(run(dir, {"files.prj", "-c", "-o", "after.prj"}).status, 0);
    ASSERT_EQ(run(dir, {"-o", "plain.prj", "files.prj"}).status, 0);
    EXPECT_EQ(read_file(dir / "before.prj"), on);
    EXPECT_EQ(read_file(dir / "after.prj"), on);
    EXPECT_EQ(read_file(dir / "plain.prj"), off);
}

TEST_F(CommandLine, StandardInputConverts) {
    RunResult r = run(dir, {}, dir / "in.prj");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(dir / "sgi_project_file"), converted);
}

TEST_F(CommandLine, MissingInputNamesTheFile) {
    RunResult r = run(dir, {"-o", "out.prj", "nothere.prj"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, "projconv: nothere.prj: No such file or directory\n");
    EXPECT_FALSE(fs::exists(dir / "out.prj"));
}

TEST_F(CommandLine, UnwritableOutputNamesTheFile) {
    RunResult r = run(dir, {"-o", "no/such/dir/out.prj", "in.prj"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err, "no/such/dir/out.prj: No such file or directory\n");
}

TEST_F(CommandLine, LongerExistingOutputEndsExactlyConverted) {
    write_file(dir / "out.prj", std::vector<uint8_t>(100000, 0x5A));
    ASSERT_EQ(run(dir, {"-o", "out.prj", "in.prj"}).status, 0);
    EXPECT_EQ(read_file(dir / "out.prj"), converted);
}

TEST_F(CommandLine, DamagedInputLeavesNoOutput) {
    std::vector<uint8_t> bad = sample;
    bad.resize(bad.size() - 3); // cuts into the second entry
    write_file(dir / "bad.prj", bad);
    RunResult r = run(dir, {"-o", "out.prj", "bad.prj"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.rfind("projconv: entry 1 (type 'LINK', id 'K1  '), input offset ", 0), 0u)
        << r.err;
    EXPECT_FALSE(fs::exists(dir / "out.prj"));
}

TEST_F(CommandLine, DamagedInputKeepsAnExistingOutput) {
    write_file(dir / "bad.prj", {'M', 'A', 'C'});
    write_file(dir / "out.prj", converted);
    EXPECT_EQ(run(dir, {"-o", "out.prj", "bad.prj"}).status, 255);
    EXPECT_EQ(read_file(dir / "out.prj"), converted);
}

// A project larger than the output window is written while it converts; when it
// turns out damaged near its end, what was written goes again.
TEST_F(CommandLine, LargeDamagedInputLeavesNoOutput) {
    Project p;
    for (int i = 0; i < 100; ++i) p.add("LOCK", "BIG!", Bytes().be16(32000).pattern(32000, 1));
    p.add("LINK", "CUT!", Bytes().be32(1000).fill(10));
    write_file(dir / "bad.prj", p.build());
    RunResult r = run(dir, {"-o", "out.prj", "bad.prj"});
    EXPECT_EQ(r.status, 255);
    EXPECT_EQ(r.err.rfind("projconv: entry 100 (type 'LINK', id 'CUT!'), input offset ", 0), 0u)
        << r.err;
    EXPECT_FALSE(fs::exists(dir / "out.prj"));
}

// Entry data may start far behind the directory; the gap comes out as zeros even when
// it is wider than the output window.
TEST_F(CommandLine, WideGapBeforeTheFirstEntry) {
    Project p;
    p.gap = 3 << 20;
    p.add("LOCK", "L1", Bytes().be16(2).raw({0xAA, 0xBB}));
    write_file(dir / "gap.prj", p.build());
    ASSERT_EQ(run(dir, {"-o", "out.prj", "gap.prj"}).status, 0);
    EXPECT_EQ(read_file(dir / "out.prj"), kit::sgi_container(p, {p.entries[0].data}));
}

// Outputs that are not plain files get the project in one write at the end and are
// never removed: a device stays a device, a link stays a link.
TEST_F(CommandLine, OutputThroughALinkOrToADevice) {
    fs::create_symlink("target.prj", dir / "link.prj");
    RunResult r = run(dir, {"-o", "link.prj", "in.prj"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir / "link.prj"));
    EXPECT_EQ(read_file(dir / "target.prj"), converted);

    r = run(dir, {"-o", "/dev/null", "in.prj"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    write_file(dir / "bad.prj", {'M', 'A', 'C'});
    EXPECT_EQ(run(dir, {"-o", "link.prj", "bad.prj"}).status, 255);
    EXPECT_TRUE(fs::is_symlink(dir / "link.prj"));
    EXPECT_EQ(read_file(dir / "target.prj"), converted);
}

TEST_F(CommandLine, ConvertsAProjectOntoItself) {
    Project p;
    std::vector<Bytes> out;
    for (int i = 0; i < 100; ++i) {
        p.add("LOCK", "BIG!", Bytes().be16(32000).pattern(32000, uint8_t(i)));
        out.push_back(p.entries.back().data);
    }
    write_file(dir / "self.prj", p.build());
    RunResult r = run(dir, {"-o", "self.prj", "self.prj"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(dir / "self.prj"), kit::sgi_container(p, out));
}

TEST_F(CommandLine, SeveralMegabytesConvertExactly) {
    // 160 'LOCK' entries of 32000 bytes: about 5 MB, far past the first output window.
    Project p;
    std::vector<Bytes> out;
    for (int i = 0; i < 160; ++i) {
        Bytes b;
        b.be16(32000).pattern(32000, uint8_t(i * 7));
        p.add("LOCK", "BIG!", b);
        out.push_back(b);
    }
    write_file(dir / "big.prj", p.build());
    ASSERT_EQ(run(dir, {"-o", "big-sgi.prj", "big.prj"}).status, 0);
    std::vector<uint8_t> want = kit::sgi_container(p, out);
    EXPECT_EQ(fs::file_size(dir / "big-sgi.prj"), want.size());
    EXPECT_EQ(read_file(dir / "big-sgi.prj"), want);
}

} // namespace
