// The sample project converts entry by entry as the layout tables say, and the copy
// in examples/ is the one the kit describes.

#include "convert_support.h"
#include "sample_project.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(WholeProject, SampleConvertsAsTheTablesSay) {
    const kit::Sample s = kit::sample_project();
    Conversion c = convert(s.project);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.diag, "");
    for (size_t i = 0; i < s.converted.size(); ++i)
        EXPECT_EQ(entry_data(c.out, i), s.converted[i].v) << "entry " << i;
    EXPECT_EQ(c.out, kit::sgi_container(s.project, s.converted));
}

TEST(WholeProject, ExampleFileIsTheSample) {
    std::ifstream f(SOURCE_DIR "/examples/sample-mac.prj", std::ios::binary);
    ASSERT_TRUE(f) << "examples/sample-mac.prj is missing; tools/mkproject writes it";
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), {}};
    EXPECT_EQ(bytes, kit::sample_project().project.build())
        << "examples/sample-mac.prj is stale: run build/release/tools/mkproject/mkproject";
}

} // namespace
