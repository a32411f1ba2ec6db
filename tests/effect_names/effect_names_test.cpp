#include "effect_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <iterator>
#include <set>
#include <string>

namespace {

std::string module_form(const std::string& mac) {
    std::string out;
    for (char c : mac)
        if (c != ' ') out += c;
    return out + ".so";
}

std::string builtin_form(const std::string& mac) {
    std::string out;
    for (char c : mac) {
        if (c == ' ')
            out += '_';
        else if (c == '&')
            out += 'n';
        else if (c != '[' && c != ']')
            out += c;
    }
    return out;
}

TEST(EffectNameTables, HaveMarkerRowsAroundTheEffects) {
    EXPECT_EQ(std::size(mac_effect_names), 134u);
    EXPECT_EQ(std::size(sgi_effect_names), 134u);
    EXPECT_EQ(kEffectNameRows, 134);
    EXPECT_STREQ(mac_effect_names[0], "NOT FOUND");
    EXPECT_STREQ(sgi_effect_names[0], "NOT_FOUND");
    EXPECT_STREQ(mac_effect_names[133], "SENTINEL");
    EXPECT_STREQ(sgi_effect_names[133], "SENTINEL");
}

TEST(EffectNameTables, MacRowsStrictlyAscendByByteValue) {
    for (int p = 2; p <= 132; ++p)
        EXPECT_LT(std::strcmp(mac_effect_names[p - 1], mac_effect_names[p]), 0)
            << "rows " << p - 1 << " and " << p;
}

TEST(EffectNameTables, NoNameIsLongerThan21Characters) {
    for (int p = 0; p < kEffectNameRows; ++p) {
        EXPECT_LE(std::strlen(mac_effect_names[p]), 21u) << mac_effect_names[p];
        EXPECT_LE(std::strlen(sgi_effect_names[p]), 21u) << sgi_effect_names[p];
        EXPECT_GT(std::strlen(mac_effect_names[p]), 0u) << "row " << p;
    }
}

TEST(EffectNameTables, EverySgiRowFollowsFromItsMacRow) {
    int modules = 0, builtins = 0;
    for (int p = 1; p <= 132; ++p) {
        const std::string mac = mac_effect_names[p];
        const std::string sgi = sgi_effect_names[p];
        if (sgi == module_form(mac)) {
            ++modules;
        } else {
            EXPECT_EQ(sgi, builtin_form(mac)) << "row " << p;
            ++builtins;
        }
    }
    EXPECT_EQ(modules, 21);
    EXPECT_EQ(builtins, 111);
}

TEST(EffectNameTables, SgiNamesAreDistinctAndFreeOfMacPunctuation) {
    std::set<std::string> seen;
    for (int p = 1; p <= 132; ++p) {
        const std::string sgi = sgi_effect_names[p];
        EXPECT_TRUE(seen.insert(sgi).second) << "duplicate " << sgi;
        EXPECT_EQ(sgi.find_first_of(" &[]"), std::string::npos) << sgi;
    }
}

// Splits "Word & Word [Word]" (words of letters only) into its three words.
bool split_shaped(const std::string& name, std::string words[3]) {
    std::size_t at = 0;
    auto letters = [&](std::string& out) {
        const std::size_t from = at;
        while (at < name.size() && std::isalpha(static_cast<unsigned char>(name[at]))) ++at;
        out = name.substr(from, at - from);
        return !out.empty();
    };
    auto literal = [&](const char* text) {
        const std::size_t n = std::strlen(text);
        if (name.compare(at, n, text) != 0) return false;
        at += n;
        return true;
    };
    return letters(words[0]) && literal(" & ") && letters(words[1]) && literal(" [") &&
           letters(words[2]) && literal("]") && at == name.size();
}

TEST(EffectNameTables, SeveralNamesHaveTheWordAndWordBracketShape) {
    std::string w[3];
    ASSERT_TRUE(split_shaped("Blur & Sharpen [Fast]", w));
    ASSERT_FALSE(split_shaped("Brightness & Contrast", w));
    int shaped = 0;
    for (int p = 1; p <= 132; ++p) {
        if (!split_shaped(mac_effect_names[p], w)) continue;
        ++shaped;
        EXPECT_EQ(std::string(sgi_effect_names[p]), w[0] + "_n_" + w[1] + "_" + w[2]);
    }
    EXPECT_GE(shaped, 5);
}

TEST(FindEffectPosition, EveryEffectRowFindsItsOwnPosition) {
    for (int p = 1; p <= 132; ++p)
        EXPECT_EQ(
            find_effect_position_of_name(mac_effect_names[p], std::strlen(mac_effect_names[p])), p);
}

TEST(FindEffectPosition, FirstAndLastEffects) {
    EXPECT_EQ(find_effect_position_of_name("Additive Dissolve", 17), 1);
    EXPECT_EQ(find_effect_position_of_name("Zoom Boxes", 10), 132);
}

TEST(FindEffectPosition, NonEffectsGetMinusOne) {
    struct Case {
        const char* what;
        std::string name;
    };
    const Case cases[] = {
        {"first marker row", "NOT FOUND"},
        {"last marker row", "SENTINEL"},
        {"SGI marker row", "NOT_FOUND"},
        {"other case", "additive dissolve"},
        {"prefix of a row", "Additive Dissolv"},
        {"row plus a byte", "Additive Dissolves"},
        {"SGI spelling", "Additive_Dissolve"},
        {"SGI module spelling", "LensFlare.so"},
        {"empty", ""},
        {"media file", "Interview Take 3"},
        {"row then zero byte", std::string("Wipe\0", 5)},
        {"row, zero byte, more", std::string("Wipe\0xyz", 8)},
        {"zero byte inside a row", std::string("Band\0Wipe", 9)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(find_effect_position_of_name(c.name.data(), c.name.size()), -1) << c.what;
}

TEST(FindEffectPosition, ComparesOnlyTheGivenBytes) {
    // The name need not be terminated: only len bytes are read.
    const char buffer[] = {'W', 'i', 'p', 'e', 'X'};
    EXPECT_EQ(find_effect_position_of_name(buffer, 4), find_effect_position_of_name("Wipe", 4));
    EXPECT_GE(find_effect_position_of_name(buffer, 4), 1);
    EXPECT_EQ(find_effect_position_of_name(nullptr, 0), -1);
}

} // namespace
